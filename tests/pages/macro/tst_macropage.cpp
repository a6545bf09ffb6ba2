// The macro page with real widgets, files and the simulated mouse: making,
// renaming, deleting, editing and saving macros; macros to and from the
// device; export and import; recording from hook events; the recording
// state the rest of the program follows; the page's language texts.
#include "../../core/LinkTestSupport.h"

#include "FileOverride.h"
#include "FilePlaces.h"

#include "Globals.h"
#include "HIDUsb.h"
#include "KeyboardHook.h"
#include "LanguageLoader.h"
#include "Macro.h"
#include "MacroName.h"
#include "MacroRows.h"
#include "MacroSettings.h"
#include "MyConmboBox.h"
#include "PostMsg.h"
#include "UserFixture.h"
#include "ui_Macro.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

using namespace keys;
using namespace linktest;

namespace {

// Answers every modal dialog that comes up while it lives: notes its class
// and ends it with OK, typing `text` into a name or file dialog first and
// pressing `key` into a key dialog.
class ModalAnswers
{
public:
    explicit ModalAnswers(const QString& text = QString(), int key = 'Q') : m_text(text), m_key(key)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start(20);
    }
    QStringList seen;
    QStringList labels;  // the text of each notice's "label"
    QString fileDialogFolder;

private:
    void answer()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        const QString name = QString::fromLatin1(dialog->metaObject()->className());
        seen << name;
        if (auto* label = dialog->findChild<QLabel*>(QStringLiteral("label")))
            labels << label->text();
        if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
            fileDialogFolder = files->directory().absolutePath();
            // The name typed, as a user does (the folder's listing may not be read yet).
            files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(m_text);
            static_cast<QDialog*>(files)->done(QDialog::Accepted);
            return;
        }
        if (name == QLatin1String("addKey"))
            KeyboardHook::HookProc(KeyboardHook::AddKey, KeyboardHook::WmKeyDown, m_key);
        if (auto* line = dialog->findChild<QLineEdit*>(QStringLiteral("lineEdit")); line && name == QLatin1String("QuestionDialog"))
            line->setText(m_text);
        if (auto* spin = dialog->findChild<QSpinBox*>())
            spin->setValue(m_text.toInt());
        QTest::mouseClick(dialog->findChild<QToolButton*>(QStringLiteral("NewHong")), Qt::LeftButton);
    }

    QString m_text;
    int m_key;
    QTimer m_timer;
};

QString rowTexts(Ui::Macro* ui)
{
    QStringList out;
    for (int i = 0; i < ui->listWidgetKey->count(); ++i)
        out << ui->listWidgetKey->item(i)->text() + (ui->listWidgetKey->item(i)->type() == 1 ? "'" : "");
    return out.join(QLatin1Char(' '));
}

QByteArray fileOf(const QString& name)
{
    QFile file(MacroFilePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void select(Macro& page, const QString& name)
{
    const QList<QListWidgetItem*> items = page.Form()->listWidgetHong->findItems(name, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    page.Form()->listWidgetHong->setCurrentItem(items.first());
}

const MacroRows ThreeRows = {MacroRow::Named(QStringLiteral("A"), true), MacroRow::Delay(40),
                             MacroRow::Named(QStringLiteral("A"), false)};

}  // namespace

class MacroPageTest : public QObject
{
    Q_OBJECT

    FlashDataMap m_factory{};

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        QVERIFY(openReceiverLink(&m_factory));
    }

    void init()
    {
        QDir(MacroFolder()).removeRecursively();
        QVERIFY(QDir().mkpath(MacroFolder()));
        RecordingMacro = false;
    }

    void cleanupTestCase() { UsbServer_Exit(); }

    void createRenameDelete()
    {
        Macro page;
        Ui::Macro* ui = page.Form();
        QSignalSpy renamed(PostMsg::GetInstance(), &PostMsg::SigMacroRename);
        QSignalSpy deleted(PostMsg::GetInstance(), &PostMsg::SigDeleteMacroButton);
        {
            ModalAnswers answers(QStringLiteral("m1"));
            page.CreateMewMacro();
            page.CreateMewMacro();  // the name is taken now
            QCOMPARE(answers.seen, (QStringList{"QuestionDialog", "QuestionDialog", "SameMacro"}));
        }
        QCOMPARE(fileOf(QStringLiteral("m1")), QByteArray());
        QCOMPARE(ui->listWidgetHong->count(), 1);
        QCOMPARE(page.SelectedMacro(), QStringLiteral("m1"));
        QVERIFY(ui->ReNumber->isChecked());

        {
            ModalAnswers answers(QStringLiteral("m2"));
            page.RenameMacro();
        }
        QCOMPARE(renamed.count(), 1);
        QCOMPARE(renamed.last(), (QVariantList{"m1", "m2"}));
        QCOMPARE(ListMacros(), QStringList{"m2"});
        QCOMPARE(page.SelectedMacro(), QStringLiteral("m2"));

        // A taken name (the macro's own included): the notice, nothing renamed.
        for (const QString& taken : {QStringLiteral("m2"), QStringLiteral("m3")}) {
            QVERIFY(SaveMacroFile(QStringLiteral("m3"), 1, {}));
            select(page, QStringLiteral("m2"));
            ModalAnswers answers(taken);
            page.RenameMacro();
            QCOMPARE(answers.seen, (QStringList{"QuestionDialog", "SameMacro"}));
        }
        QCOMPARE(ListMacros(), (QStringList{"m2", "m3"}));
        QCOMPARE(renamed.count(), 1);
        // A file not listed is not emptied by a new macro of its name.
        {
            ModalAnswers answers(QStringLiteral("m3"));
            page.CreateMewMacro();
            QCOMPARE(answers.seen, (QStringList{"QuestionDialog", "SameMacro"}));
        }
        QCOMPARE(fileOf(QStringLiteral("m3")), QByteArray("1\n"));

        {
            ModalAnswers answers;
            page.DeleteMacro();
            QCOMPARE(answers.seen, QStringList{"DeleteConfirm"});
        }
        QCOMPARE(ListMacros(), QStringList{"m3"});
        QCOMPARE(deleted.count(), 1);
        QCOMPARE(deleted.last().first().toString(), QStringLiteral("Macro: m2"));
        QCOMPARE(ui->listWidgetHong->currentRow(), -1);
        QCOMPARE(ui->listWidgetHong->count(), 0);  // m3 came after the list was read
    }

    void editSaveAndReload()
    {
        QVERIFY(SaveMacroFile(QStringLiteral("other"), 1, ThreeRows));
        QVERIFY(CreateMacroFile(QStringLiteral("e")));
        Macro page;
        Ui::Macro* ui = page.Form();
        QSignalSpy updated(PostMsg::GetInstance(), &PostMsg::SigUpDataMacro);
        select(page, QStringLiteral("e"));
        QVERIFY(!ui->Save->isEnabled());

        page.on_ChooseEvent_activated(4);  // left button: press, delay, release
        QCOMPARE(rowTexts(ui), QStringLiteral("Left button 10ms Left button'"));
        QVERIFY(ui->Save->isEnabled());
        ui->listWidgetKey->setCurrentRow(1);
        {
            ModalAnswers answers(QStringLiteral("250"));
            page.on_ChooseEvent_activated(3);  // a delay replaces the selected one
            ui->listWidgetKey->setCurrentRow(2);
            page.on_Amend_clicked();  // the release becomes a release of Q
            ui->listWidgetKey->setCurrentRow(0);
            page.on_ChooseEvent_activated(1);  // a press of Q after the first pair
            QCOMPARE(answers.seen, (QStringList{"AddDelayTime", "addKey", "addKey"}));
        }
        QCOMPARE(rowTexts(ui), QStringLiteral("Left button 250ms Q 10ms Q'"));
        QTest::mouseClick(ui->ReUntilClick, Qt::LeftButton);
        ui->DelayTime->setValue(70000);
        QCOMPARE(ui->DelayTime->value(), 65535);

        // Rows keep their events in another language (the mouse row's name
        // is no longer a name of the vocabulary then).
        PostMsg::GetInstance()->PostChangeLanguage(1);
        QTest::mouseClick(ui->Save, Qt::LeftButton);
        PostMsg::GetInstance()->PostChangeLanguage(0);
        QCOMPARE(fileOf(QStringLiteral("e")), QByteArray("255\n0x01 4 0\n250ms\n0x14 1 0\n10ms\n0x14 1 1\n"));
        QCOMPARE(updated.count(), 2);
        QCOMPARE(updated.at(0), (QVariantList{"e", 0}));
        QCOMPARE(updated.at(1), (QVariantList{"e", 1}));
        QVERIFY(!ui->Save->isEnabled());

        // Another macro and back: the saved rows and repeat mode.
        select(page, QStringLiteral("other"));
        QCOMPARE(rowTexts(ui), QStringLiteral("A 40ms A'"));
        QVERIFY(ui->ReNumber->isChecked());
        select(page, QStringLiteral("e"));
        QCOMPARE(page.EventRows(), ParseMacroFile(fileOf(QStringLiteral("e"))).rows);
        QVERIFY(ui->ReUntilClick->isChecked());
        QVERIFY(!ui->Save->isEnabled());

        // Delete: the selected key with its delay.
        ui->listWidgetKey->setCurrentRow(2);
        page.on_DeleteKey_clicked();
        QCOMPARE(rowTexts(ui), QStringLiteral("Left button 250ms Q'"));
        QCOMPARE(ui->listWidgetKey->currentRow(), 2);
        // The next Save tells the deleted rows; the repeat mode is unchanged.
        updated.clear();
        page.on_Save_clicked();
        QCOMPARE(updated.count(), 1);
        QCOMPARE(fileOf(QStringLiteral("e")), QByteArray("255\n0x01 4 0\n250ms\n0x14 1 1\n"));
    }

    // The device holds 70 events: Save keeps the first 70, tells so, and the
    // list shows what was kept.
    void saveBeyondTheLimit()
    {
        QVERIFY(CreateMacroFile(QStringLiteral("long")));
        Macro page;
        select(page, QStringLiteral("long"));
        for (int i = 0; i < 36; ++i)
            page.on_ChooseEvent_activated(4);
        QCOMPARE(KeyRowCount(page.EventRows()), 72);
        {
            ModalAnswers answers;
            page.on_Save_clicked();
            QCOMPARE(answers.seen, QStringList{"KeyNumberLimit"});
        }
        QCOMPARE(KeyRowCount(page.EventRows()), MaxMacroEvents);
        QCOMPARE(ReadMacroFile(QStringLiteral("long"))->rows, page.EventRows());
    }

    // Save cannot write the macro's file: the user is told, nothing is sent,
    // the edit stays for another Save, and no link is written through.
    void saveThatCannotWriteIsTold_data()
    {
        QTest::addColumn<QString>("form");
        for (const QString& form : testsupport::PlaceForms)
            QTest::newRow(qPrintable(form)) << form;
        QTest::newRow("read-only folder") << QStringLiteral("file");
    }
    void saveThatCannotWriteIsTold()
    {
        QFETCH(QString, form);
        QVERIFY(CreateMacroFile(QStringLiteral("s")));
        Macro page;
        select(page, QStringLiteral("s"));
        page.on_ChooseEvent_activated(4);
        const QString shown = rowTexts(page.Form()), target = QDir::homePath() + QStringLiteral("/save-target");
        QVERIFY(testsupport::PutInPlace(form, MacroFilePath(QStringLiteral("s")), target) && testsupport::SetFileOverride(false));
        const auto restore = qScopeGuard([] {
            testsupport::SetFileOverride(true);
            QFile::setPermissions(MacroFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        QVERIFY(form != "file" || QFile::setPermissions(MacroFolder(), QFile::ReadOwner | QFile::ExeOwner));
        QSignalSpy updated(PostMsg::GetInstance(), &PostMsg::SigUpDataMacro);
        ModalAnswers answers;
        QTest::mouseClick(page.Form()->Save, Qt::LeftButton);
        QCOMPARE(answers.labels, QStringList{"The file could not be written"});
        QVERIFY(updated.isEmpty() && page.Form()->Save->isEnabled() && rowTexts(page.Form()) == shown);
        QCOMPARE(testsupport::TargetAfter(target), QByteArray("keep"));
    }

    // A saved macro sent to a key: the bound key and its record in the
    // mouse's memory. A device read while the macro is being edited keeps the
    // edit and the selection.
    void macrosToAndFromTheDevice()
    {
        QVERIFY(startFromDeviceImage(QStringLiteral("mouse1"), m_factory));
        QVERIFY(SaveMacroFile(QStringLiteral("dev"), 3, ThreeRows));
        Macro page;
        Ui::Macro* ui = page.Form();
        select(page, QStringLiteral("dev"));

        PostMsg::GetInstance()->PostMacroDownLoadData(QStringLiteral("dev"), 2);
        const FlashDataMap stored = deviceImage(QStringLiteral("mouse1"));
        const MacroRecord sent = RecordFromRows(QStringLiteral("dev"), ThreeRows);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(&stored.macros[2]), sizeof(MacroRecord)),
                 QByteArray(reinterpret_cast<const char*>(&sent), sizeof(MacroRecord)));
        const QString shown = bench({QStringLiteral("show"), QStringLiteral("mouse1"), QStringLiteral("keys")})
                              + bench({QStringLiteral("show"), QStringLiteral("mouse1"), QStringLiteral("macros")});
        QVERIFY2(shown.contains(QLatin1String("key 3: 6,2,3 macro 3 repeat 3")), qPrintable(shown));
        QVERIFY2(shown.contains(QLatin1String("macro 3: \"dev\" 2 events")), qPrintable(shown));
        QVERIFY2(shown.contains(QLatin1String("1: press key 0x0004 40 ms")), qPrintable(shown));

        // The device holds other rows for "dev", and a macro the page lacks.
        page.on_ChooseEvent_activated(4);
        const QString edited = rowTexts(ui);
        FlashDataMap image = stored;
        image.macros[2] = RecordFromRows(QStringLiteral("dev"), {MacroRow::Named(QStringLiteral("B"), true)});
        image.keys[2].value2 = 254;
        image.macros[4] = RecordFromRows(QStringLiteral("new"), ThreeRows);
        image.keys[4] = KeyFunction{6, 4, 7};
        image.macros[5] = RecordFromRows(QStringLiteral("../up"), ThreeRows);
        QSignalSpy added(PostMsg::GetInstance(), &PostMsg::SigAddMacroButton);
        for (int key : {2, 4, 5})
            PostMsg::GetInstance()->PostButtonToMacro(image, key);
        QCOMPARE(rowTexts(ui), edited);
        QCOMPARE(page.SelectedMacro(), QStringLiteral("dev"));
        QCOMPARE(fileOf(QStringLiteral("dev")), QByteArray("254\n0x05 1 0\n"));
        QCOMPARE(fileOf(QStringLiteral("new")), QByteArray("7\n0x04 1 0\n40ms\n0x04 1 1\n"));
        QCOMPARE(ui->listWidgetHong->count(), 2);
        QCOMPARE(ListMacros(), (QStringList{"dev", "new"}));
        QVERIFY(!QFileInfo::exists(UserDir() + QStringLiteral("/usersetting/up.ini")));
        QCOMPARE(added.count(), 2);

        // Without edits, a device read shows the device's rows.
        select(page, QStringLiteral("new"));
        select(page, QStringLiteral("dev"));
        image.macros[2] = RecordFromRows(QStringLiteral("dev"), {MacroRow::Named(QStringLiteral("C"), true)});
        PostMsg::GetInstance()->PostButtonToMacro(image, 2);
        QCOMPARE(rowTexts(ui), QStringLiteral("C"));
    }

    void exportAndImport()
    {
        QVERIFY(SaveMacroFile(QStringLiteral("x"), 254, ThreeRows));
        Macro page;
        select(page, QStringLiteral("x"));
        const QString path = QDir::homePath() + QStringLiteral("/x-export.ini");
        QFile::remove(path);
        {
            ModalAnswers answers(path);
            page.ExPortMacro();
            QCOMPARE(answers.seen, QStringList{"QFileDialog"});
            QCOMPARE(answers.fileDialogFolder, QDir::homePath());
        }
        QVERIFY(QFileInfo::exists(path));

        // A folder at the name chosen: the notice, nothing written.
        const QString folder = QDir::homePath() + QStringLiteral("/folder-export.ini");
        QVERIFY(QDir().mkpath(folder));
        {
            ModalAnswers answers(folder);
            page.ExPortMacro();
            QCOMPARE(answers.seen, (QStringList{"QFileDialog", "InportFail"}));
            QCOMPARE(answers.labels, QStringList{"The file could not be written"});
        }
        QVERIFY(QDir(folder).isEmpty());
        QCOMPARE(QDir::home().entryList({QStringLiteral("folder-export*")}), QStringList{"folder-export.ini"});

        // The same name: the notice, nothing imported.
        {
            ModalAnswers answers;
            QVERIFY(!page.ImportMacroFrom(path));
            QCOMPARE(answers.seen, QStringList{"SameMacro"});
        }
        QVERIFY(DeleteMacroFile(QStringLiteral("x")));
        delete page.Form()->listWidgetHong->takeItem(0);
        {
            ModalAnswers answers(path);
            page.InPortMacro();
            QCOMPARE(answers.seen, QStringList{"QFileDialog"});
        }
        QCOMPARE(page.SelectedMacro(), QStringLiteral("x"));
        QCOMPARE(page.EventRows(), ThreeRows);
        QCOMPARE(page.RepeatCode(), 254);
        QCOMPARE(fileOf(QStringLiteral("x")), MacroFileText(254, ThreeRows));
    }

    // A link in the macro folder where a macro's file would go, to a file
    // outside or to nothing: the name counts as taken (the page's notice)
    // and no writer goes through the link.
    void linksInTheFolderAreNeverFollowed_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<bool>("dangling");
        for (const char* writer : {"device", "new", "import", "rename"}) {
            QTest::newRow(qPrintable(QString::fromLatin1(writer) + ", live")) << writer << false;
            QTest::newRow(qPrintable(QString::fromLatin1(writer) + ", dangling")) << writer << true;
        }
    }
    void linksInTheFolderAreNeverFollowed()
    {
        QFETCH(QString, writer);
        QFETCH(bool, dangling);
        const QString outside = QDir::homePath() + QStringLiteral("/outside.ini");
        QFile target(outside);
        target.remove();
        QVERIFY(dangling || (target.open(QIODevice::WriteOnly) && target.write("keep") == 4));
        target.close();
        const QString exported = QDir::homePath() + QStringLiteral("/ln-export.ini");
        QVERIFY(ExportMacroFile(exported, QStringLiteral("ln"), 3, ThreeRows, RowIcons()));
        QVERIFY(QFile::link(outside, MacroFilePath(QStringLiteral("ln"))));
        QVERIFY(SaveMacroFile(QStringLiteral("old"), 1, ThreeRows));
        Macro page;
        select(page, QStringLiteral("old"));
        ModalAnswers answers(QStringLiteral("ln"));
        if (writer == QLatin1String("device")) {
            FlashDataMap image = m_factory;
            image.macros[4] = RecordFromRows(QStringLiteral("ln"), ThreeRows);
            image.keys[4] = KeyFunction{6, 4, 7};
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("a link or no regular file")));
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not be written")));
            PostMsg::GetInstance()->PostButtonToMacro(image, 4);
        } else if (writer == QLatin1String("import")) {
            QVERIFY(!page.ImportMacroFrom(exported));
        } else {
            writer == QLatin1String("new") ? page.CreateMewMacro() : page.RenameMacro();
        }
        QCOMPARE(answers.seen.filter(QStringLiteral("SameMacro")).size(), writer == QLatin1String("device") ? 0 : 1);
        QCOMPARE(QFileInfo(MacroFilePath(QStringLiteral("ln"))).symLinkTarget(), outside);
        QCOMPARE(target.size(), dangling ? 0 : 4);
        QCOMPARE(ListMacros(), QStringList{"old"});
        QCOMPARE(page.Form()->listWidgetHong->count(), 1);
    }

    // A damaged export file: one notice says the file is no macro file;
    // nothing is listed or written.
    void damagedImportIsToldOnce_data()
    {
        const QByteArray good = ExportMacro(QStringLiteral("d"), 254, ThreeRows, RowIcons());
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated") << good.left(good.size() - 3);
        QTest::newRow("wrong tag") << QByteArray(good).replace("Durod", "Xurod");
        QTest::newRow("bad repeat code") << QByteArray(good).replace(72, 3, "999");
        QTest::newRow("bad row count") << QByteArray(good).replace(84, 4, QByteArray::fromHex("7fffffff"));
    }
    void damagedImportIsToldOnce()
    {
        QFETCH(QByteArray, bytes);
        const QString path = QDir::homePath() + QStringLiteral("/damaged.ini");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        Macro page;
        {
            ModalAnswers answers;
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("was not imported")));
            QVERIFY(!page.ImportMacroFrom(path));
            QCOMPARE(answers.seen, QStringList{"InportFail"});
            QCOMPARE(answers.labels, QStringList{"This file is not a valid macro file"});
        }
        QCOMPARE(page.Form()->listWidgetHong->count(), 0);
        QVERIFY(ListMacros().isEmpty());
    }

    // Hook events while recording: every press and release with its delay;
    // a held key once; the editing controls refuse; Stop keeps the rows.
    void recording()
    {
        QVERIFY(CreateMacroFile(QStringLiteral("r")));
        Macro page;
        Ui::Macro* ui = page.Form();
        qint64 now = 0;
        page.SetClock([&now] { return now; });
        select(page, QStringLiteral("r"));
        page.on_StartRecord_clicked();
        QVERIFY(KeyboardHook::IsInstalled(KeyboardHook::Recorder));
        const auto key = [&now](int vk, bool down, qint64 at) {
            now = at;
            KeyboardHook::HookProc(KeyboardHook::Recorder, down ? KeyboardHook::WmKeyDown : KeyboardHook::WmKeyUp, vk);
        };
        key('A', true, 100);
        key('B', true, 130);
        key('A', false, 150);
        key('B', false, 190);
        key('C', true, 200);
        key('C', true, 230);  // auto-repeat
        key('C', false, 260);
        QCOMPARE(rowTexts(ui), QStringLiteral("A 30ms B 20ms A' 40ms B' 10ms C 60ms C'"));
        {
            ModalAnswers answers;
            page.on_Save_clicked();
            page.on_DeleteKey_clicked();
            QCOMPARE(answers.seen, (QStringList{"ExeIsRun", "ExeIsRun"}));
        }
        QCOMPARE(fileOf(QStringLiteral("r")), QByteArray());
        page.on_StopRecord_clicked();
        QVERIFY(!KeyboardHook::IsInstalled(KeyboardHook::Recorder));
        QVERIFY(ui->Save->isEnabled());
        QCOMPARE(ui->listWidgetKey->count(), 11);
    }

    // The 70th key row stops the recording: the hook goes at once, one notice
    // follows after the hook's call, and the page waits for Stop.
    void recordingLimit()
    {
        QVERIFY(CreateMacroFile(QStringLiteral("r")));
        Macro page;
        select(page, QStringLiteral("r"));
        page.on_StartRecord_clicked();
        ModalAnswers answers;
        for (int i = 0; i < 40; ++i) {
            KeyboardHook::HookProc(KeyboardHook::Recorder, KeyboardHook::WmKeyDown, 'A' + i % 26);
            KeyboardHook::HookProc(KeyboardHook::Recorder, KeyboardHook::WmKeyUp, 'A' + i % 26);
            QVERIFY(answers.seen.isEmpty());
        }
        QVERIFY(!KeyboardHook::IsInstalled(KeyboardHook::Recorder));
        QVERIFY(!RecordingMacro);
        QCOMPARE(KeyRowCount(page.EventRows()), MaxMacroEvents);
        QTRY_COMPARE(answers.seen, QStringList{"KeyNumberLimit"});
        QTest::qWait(100);
        QCOMPARE(answers.seen.size(), 1);
        QVERIFY(page.Recording() && !page.Form()->StopRecord->isHidden());
        page.on_StopRecord_clicked();
        QVERIFY(!page.Recording());
    }

    void recordingState()
    {
        Macro page;
        QSignalSpy record(PostMsg::GetInstance(), &PostMsg::SigStartRecord);
        {
            // No macro selected: a notice, no recording.
            ModalAnswers answers;
            page.on_StartRecord_clicked();
            QCOMPARE(answers.seen, QStringList{"ExeIsRun"});
        }
        QVERIFY(!RecordingMacro);
        QVERIFY(!KeyboardHook::IsInstalled(KeyboardHook::Recorder));
        QCOMPARE(record.count(), 0);

        page.Form()->listWidgetHong->addItem(QStringLiteral("m"));
        page.Form()->listWidgetHong->setCurrentRow(0);
        page.on_StartRecord_clicked();
        QVERIFY(RecordingMacro && page.Recording());
        QCOMPARE(record.last().first().toInt(), 0);
        QVERIFY(page.Form()->StartRecord->isHidden() && page.Form()->DelayTime->isHidden());
        QVERIFY(!page.Form()->listWidgetHong->isEnabled() && !page.Form()->ChooseEvent->isEnabled());

        // Leaving the pages ends it.
        PostMsg::GetInstance()->PostSetMacroPage();
        QVERIFY(!RecordingMacro && !page.Recording());
        QVERIFY(!KeyboardHook::IsInstalled(KeyboardHook::Recorder));
        QCOMPARE(record.last().first().toInt(), 1);
        QVERIFY(!page.Form()->StartRecord->isHidden() && page.Form()->listWidgetHong->isEnabled());
        QVERIFY(!page.Form()->Save->isEnabled());
    }

    void mouseButtonNames()
    {
        Macro page;
        QCOMPARE(MouseLeftText, QStringLiteral("Left button"));
        QCOMPARE(MouseBackText, QStringLiteral("Back button"));
        QCOMPARE(page.Form()->ChooseEvent->count(), 9);
        QCOMPARE(page.Form()->ChooseEvent->itemText(0), QString());
        QCOMPARE(page.Form()->ChooseEvent->itemText(6), QStringLiteral("Middle button"));
        QCOMPARE(page.Form()->ReUntilLooseLabel->text(), QStringLiteral("Repeat until the key is released"));
        QVERIFY(page.Form()->NewHong->toolTip().isEmpty());
        PostMsg::GetInstance()->PostChangeLanguage(1);
        QCOMPARE(MouseRightText, QStringLiteral("右键"));
        QCOMPARE(page.Form()->Save->text(), QStringLiteral("保存"));
        PostMsg::GetInstance()->PostChangeLanguage(0);
        QCOMPARE(MouseRightText, QStringLiteral("Right button"));
    }

    // Deleting a macro tells the button page the caption its keys show.
    void macroPrefixIsTheButtonPageCaption_data()
    {
        QTest::addColumn<int>("language");
        for (int i = 0; i < Language::Count; ++i)
            QTest::newRow(qPrintable(Language::FileName(i))) << i;
    }
    void macroPrefixIsTheButtonPageCaption()
    {
        QFETCH(int, language);
        QString page, buttons;
        LanguageTexts macroTexts, buttonTexts;
        macroTexts.store(QStringLiteral("MacroReal"), &page);
        buttonTexts.store(QStringLiteral("Macro_"), &buttons);
        LoadLanguageSection(language, QStringLiteral("Macro"), macroTexts);
        LoadLanguageSection(language, QStringLiteral("Buttoninterface"), buttonTexts);
        QVERIFY(!page.isEmpty());
        QCOMPARE(page, buttons);
    }
};

QTEST_MAIN(MacroPageTest)
#include "tst_macropage.moc"
