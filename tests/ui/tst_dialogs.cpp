// The dialog frame, the nine notices and the three question dialogs: texts
// picked from the language files, closing, answers, the name rule, styling
// with and without Config.ini, and their look with the installed files.
#include "ColorText.h"
#include "ConfigSettings.h"
#include "ContainReset.h"
#include "DebounceTime.h"
#include "DebouncetimeB.h"
#include "DebouncetimeC.h"
#include "DeleteConfirm.h"
#include "DialogFrame.h"
#include "ExeIsRun.h"
#include "Globals.h"
#include "GlobalsFixture.h"
#include "GroupMaxThree.h"
#include "InportFail.h"
#include "KeyNumberLimit.h"
#include "LeftButtonOnly.h"
#include "MacroSettings.h"
#include "MakeMacro.h"
#include "MouseOffLine.h"
#include "NameRule.h"
#include "PostMsg.h"
#include "QuestionDialog.h"
#include "QuestiondialogB.h"
#include "SameMacro.h"
#include "StopCloseTime.h"
#include "StopCloseTimeB.h"
#include "WindowFlags.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// Language files with a recognisable text per section and element.
QByteArray languageFile(const QByteArray& tag, bool withTextB = true)
{
    QByteArray body;
    auto section = [&](const char* name, std::initializer_list<const char*> elements) {
        body += QByteArray("<") + name + ">";
        for (const char* e : elements) {
            if (!withTextB && QByteArray(e) == "PleaseStop")
                continue;
            body += QByteArray("<") + e + ">" + tag + "-" + name + "-" + e + "</" + e + ">";
        }
        body += QByteArray("</") + name + ">";
    };
    section("QuestionB", {"label"});
    section("MouseOffLine", {"label", "Timeout", "Refused", "RefusedUnkept", "NewHong"});
    section("ButtonOnly", {"label"});
    section("MakeMacro", {"label", "NewHong"});
    section("SameMacro", {"label", "NewHong"});
    section("MaxThree", {"label", "NewHong"});
    section("Limit", {"label", "NewHong"});
    section("EXEIsRun", {"label", "NewHong", "label_2", "PleaseStop"});
    section("InportFail", {"label", "label_1", "label_2", "label_3", "label_4", "label_5", "NewHong"});
    section("Question", {"label", "label_2", "NewHong", "NewHong_2"});
    section("ContainReset", {"label", "OK", "Cancel"});
    section("DeleteConfirm", {"label", "NewHong"});
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Total>" + body + "</Total>\n";
}

QString labelOf(QWidget* w, const char* name = "label")
{
    QLabel* label = w->findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no label>");
}

QString buttonText(QWidget* w, const char* name)
{
    QAbstractButton* b = w->findChild<QAbstractButton*>(QLatin1String(name));
    return b ? b->text() : QStringLiteral("<no button>");
}

void setLanguage(int index)
{
    MacroSettings::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QString::number(index));
}

// Runs the dialog modally; action runs inside its event loop. Returns false
// when the dialog had to be closed by the guard.
bool runModal(QDialog& dialog, std::function<void()> action)
{
    bool timedOut = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &dialog, [&] {
        timedOut = true;
        dialog.done(0);
    });
    guard.start(5000);
    QTimer::singleShot(0, &dialog, [&dialog, action] {
        dialog.activateWindow();
        action();
    });
    dialog.exec();
    return !timedOut;
}

// Types text as key presses carrying the characters (any script).
void typeText(QWidget* w, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

QAbstractButton* button(QWidget* w, const char* name)
{
    return w->findChild<QAbstractButton*>(QLatin1String(name));
}

using Factory = std::function<FramelessDialog*()>;

struct NoticeCase {
    const char* name;
    Factory make;
    const char* section;
    bool hasOk;
};

QList<NoticeCase> allNotices()
{
    return {
        {"QuestiondialogB", [] { return new QuestiondialogB; }, "QuestionB", false},
        {"LeftButtonOnly", [] { return new LeftButtonOnly; }, "ButtonOnly", false},
        {"MakeMacro", [] { return new MakeMacro; }, "MakeMacro", true},
        {"SameMacro", [] { return new SameMacro; }, "SameMacro", true},
        {"GroupMaxThree", [] { return new GroupMaxThree; }, "MaxThree", true},
        {"KeyNumberLimit", [] { return new KeyNumberLimit; }, "Limit", true},
        {"ExeIsRun", [] { return new ExeIsRun; }, "EXEIsRun", true},
    };
}

}  // namespace

class DialogsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    void useSyntheticFiles(bool withTextB = true)
    {
        SetAppDirOverride(m_dir.path());
        ConfigSettings::GetInstance()->Reload();
        writeFile(m_dir.path() + QStringLiteral("/Language/0-English.xml"), languageFile("EN", withTextB));
        writeFile(m_dir.path() + QString::fromUtf8("/Language/1-简体中文.xml"), languageFile("ZH", withTextB));
        const QString pictures = QStringLiteral(DIZADI_SOURCE_DIR "/install/Picture/WarningDialog/");
        QDir().mkpath(m_dir.path() + QStringLiteral("/Picture/WarningDialog"));
        for (const QString& name : QDir(pictures).entryList(QDir::Files))
            QFile::copy(pictures + name, m_dir.path() + QStringLiteral("/Picture/WarningDialog/") + name);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        useSyntheticFiles();
    }

    void init()
    {
        useSyntheticFiles();
        setLanguage(0);
        testsupport::EnterSituation(testsupport::Situation::DeviceList);
    }

    // Each notice reads its own section, in the stored language.
    void noticesReadTheirSection()
    {
        for (const NoticeCase& c : allNotices()) {
            std::unique_ptr<FramelessDialog> d(c.make());
            QCOMPARE(d->objectName(), QString::fromLatin1(c.name));
            QCOMPARE(d->LanguageSection(), QString::fromLatin1(c.section));
            QCOMPARE(labelOf(d.get()), QStringLiteral("EN-%1-label").arg(c.section));
            if (c.hasOk)
                QCOMPARE(buttonText(d.get(), "NewHong"), QStringLiteral("EN-%1-NewHong").arg(c.section));
            else
                QVERIFY(!button(d.get(), "NewHong"));
        }
        setLanguage(1);
        for (const NoticeCase& c : allNotices()) {
            std::unique_ptr<FramelessDialog> d(c.make());
            QCOMPARE(labelOf(d.get()), QStringLiteral("ZH-%1-label").arg(c.section));
        }
    }

    void offlineNoticeByReason_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<QString>("text");
        QTest::newRow("0: moved first") << 0 << "EN-MouseOffLine-label";
        QTest::newRow("1: timeout") << 1 << "EN-MouseOffLine-Timeout";
        QTest::newRow("2: write refused") << WriteRefusedReason << "EN-MouseOffLine-Refused";
        QTest::newRow("3: refused, not kept past a restart") << RefusedUnkeptReason << "EN-MouseOffLine-RefusedUnkept";
        QTest::newRow("4: form default") << 4 << "   The mouse is offline. Please move first";
    }

    void offlineNoticeByReason()
    {
        QFETCH(int, reason);
        QFETCH(QString, text);
        OfflineReason = reason;
        MouseOffLine d;
        QCOMPARE(labelOf(&d), text);
        QCOMPARE(buttonText(&d, "NewHong"), QStringLiteral("EN-MouseOffLine-NewHong"));
        // Its OK button has pictures of its own.
        QVERIFY(button(&d, "NewHong")->styleSheet().contains(QStringLiteral("ConFirm.png")));
        QVERIFY(button(&d, "NewHong")->styleSheet().contains(QStringLiteral("ConFirmClick.png")));
    }

    void importNoticeByResult_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("text");
        QTest::newRow("1: not a settings file") << 1 << "EN-InportFail-label";
        QTest::newRow("2: another device") << 2 << "EN-InportFail-label_1";
        QTest::newRow("3: not taken") << 3 << "EN-InportFail-label_2";
        QTest::newRow("0: form default") << 0 << "Config does not match the device";
    }

    void importNoticeByResult()
    {
        QFETCH(int, result);
        QFETCH(QString, text);
        LastImportResult = result;
        InportFail d;
        QCOMPARE(labelOf(&d), text);
        // The other messages of a settings file, whatever the result.
        d.ShowWriteFailed();
        QCOMPARE(labelOf(&d), QStringLiteral("EN-InportFail-label_3"));
        d.ShowNothingToExport();
        QCOMPARE(labelOf(&d), QStringLiteral("EN-InportFail-label_4"));
        d.ShowNotTaken();
        QCOMPARE(labelOf(&d), QStringLiteral("EN-InportFail-label_2"));
        d.ShowNotMacroFile();
        QCOMPARE(labelOf(&d), QStringLiteral("EN-InportFail-label_5"));
    }

    void runningNoticeTexts()
    {
        {
            ExeIsRun d;
            QCOMPARE(labelOf(&d), QStringLiteral("EN-EXEIsRun-label"));
            d.ShowTextA();
            QCOMPARE(labelOf(&d), QStringLiteral("EN-EXEIsRun-label_2"));
            d.ShowTextB();
            QCOMPARE(labelOf(&d), QStringLiteral("EN-EXEIsRun-PleaseStop"));
        }
        useSyntheticFiles(false);
        ExeIsRun d;
        d.ShowTextB();
        QCOMPARE(labelOf(&d), QString());
    }

    // A change of language reaches a dialog that is open.
    void languageChangeReachesOpenDialog()
    {
        OfflineReason = 1;
        MouseOffLine d;
        QCOMPARE(labelOf(&d), QStringLiteral("EN-MouseOffLine-Timeout"));
        bool ran = runModal(d, [&] {
            setLanguage(1);
            PostMsg::GetInstance()->PostChangeLanguage(1);
            QCOMPARE(labelOf(&d), QStringLiteral("ZH-MouseOffLine-Timeout"));
            d.close();
        });
        QVERIFY(ran);
        // A missing file leaves the texts of the previous language.
        PostMsg::GetInstance()->PostChangeLanguage(4);
        QCOMPARE(labelOf(&d), QStringLiteral("ZH-MouseOffLine-Timeout"));
    }

    void backOnlineClosesOfflineNotice()
    {
        MouseOffLine d;
        QVERIFY(runModal(d, [] { PostMsg::GetInstance()->PostCloseOffOnline(); }));
        QVERIFY(!d.isVisible());
        // Other notices do not listen to it.
        MakeMacro other;
        other.show();
        PostMsg::GetInstance()->PostCloseOffOnline();
        QVERIFY(other.isVisible());
    }

    // OK, the close button and Escape end every notice.
    void noticesEnd()
    {
        for (const NoticeCase& c : allNotices()) {
            for (const char* way : {"ok", "close", "escape"}) {
                if (QByteArray(way) == "ok" && !c.hasOk)
                    continue;
                std::unique_ptr<FramelessDialog> d(c.make());
                const bool ran = runModal(*d, [&d, way] {
                    if (QByteArray(way) == "ok")
                        button(d.get(), "NewHong")->click();
                    else if (QByteArray(way) == "close")
                        button(d.get(), "CloseButton")->click();
                    else
                        QTest::keyClick(d.get(), Qt::Key_Escape);
                });
                QVERIFY2(ran, qPrintable(QStringLiteral("%1 by %2").arg(c.name, way)));
            }
        }
        OfflineReason = 0;
        MouseOffLine off;
        QVERIFY(runModal(off, [&] { button(&off, "NewHong")->click(); }));
        InportFail fail;
        QVERIFY(runModal(fail, [&] { QTest::keyClick(&fail, Qt::Key_Escape); }));
    }

    void frameLooks()
    {
        MakeMacro d;
        QCOMPARE(d.windowFlags(), Qt::WindowFlags(WindowFlags::Dialog));
        QVERIFY(!(d.windowFlags() & Qt::BypassWindowManagerHint));
        QCOMPARE(d.size(), QSize(300, 140));
        const QString folder = m_dir.path() + QStringLiteral("/Picture/WarningDialog/");
        QCOMPARE(d.PictureFolder(), folder);
        QFrame* frame = d.findChild<QFrame*>(QStringLiteral("MakeMacroA"));
        QVERIFY(frame);
        QCOMPARE(frame->styleSheet(),
                 QStringLiteral("#MakeMacroA{border:0px;background-position:center;background-repeat:no-repeat;"
                                "background-image: url(")
                     + folder + QStringLiteral("BackGround.png);}"));
        QVERIFY(button(&d, "CloseButton")->styleSheet().contains(folder + QStringLiteral("CloseHover.png")));
        QVERIFY(button(&d, "NewHong")->styleSheet().contains(folder + QStringLiteral("Confirm.png")));

        QuestiondialogB b;
        QCOMPARE(b.minimumSize(), QSize(300, 140));
        QCOMPARE(b.maximumSize(), QSize(300, 140));
    }

    void moveOverOpener()
    {
        QCOMPARE(DialogStyle::CentredOver(QRect(100, 200, 1000, 700), QSize(300, 140), 100, 50), QPoint(350, 430));
        QCOMPARE(DialogStyle::CentredOver(QRect(0, 0, 301, 141), QSize(300, 140), 0, 0), QPoint(0, 0));
        QCOMPARE(DialogStyle::CentredOver(QRect(10, 10, 100, 100), QSize(300, 140), 20, 0), QPoint(-110, -10));
        QWidget opener;
        opener.setGeometry(100, 200, 1000, 700);
        DeleteConfirm d;
        d.MoveOver(&opener, 100, 50);
        QCOMPARE(d.pos(), opener.mapToGlobal(QPoint(0, 0)) + QPoint(250, 230));
    }

    // Colour texts: any broken Config.ini gives the defaults.
    void colourTexts()
    {
        QCOMPARE(ColorTextFromList({"1", "2", "3"}, "x"), QStringLiteral("1,2,3"));
        QCOMPARE(ColorTextFromList({" 10", "20 ", "30", "40"}, "x"), QStringLiteral("10,20,30"));
        QCOMPARE(ColorTextFromList({"1", "2"}, "x"), QStringLiteral("x"));
        QCOMPARE(ColorTextFromList({}, "x"), QStringLiteral("x"));
        QCOMPARE(ColorTextFromList({"1", "red", "3"}, "x"), QStringLiteral("x"));
        QCOMPARE(ColorTextFromList({"1", "2", "256"}, "x"), QStringLiteral("x"));
        QCOMPARE(HexColorText(10, 200, 5), QStringLiteral("#0ac805"));
        QCOMPARE(DecimalColorText(QStringLiteral("#0ac805")), QStringLiteral("10,200,5"));
        QCOMPARE(DecimalColorText(QStringLiteral("#0ac8")), QString());
        QCOMPARE(DecimalColorText(QStringLiteral("#0ac8zz")), QString());

        writeFile(m_dir.path() + QStringLiteral("/usersetting/Config.ini"),
                  "[Option]\nLabelColor=1,2\nButtonColor=9,8,7\nSliderColor=\n");
        ConfigSettings::GetInstance()->Reload();
        QCOMPARE(OptionColorText(QStringLiteral("LabelColor")), DefaultOptionColorText(QStringLiteral("LabelColor")));
        QCOMPARE(OptionColorText(QStringLiteral("ButtonColor")), QStringLiteral("9,8,7"));
        QCOMPARE(OptionColorText(QStringLiteral("SliderColor")), QStringLiteral("255,128,0"));
        QCOMPARE(OptionColorText(QStringLiteral("ComboxTextColor")), QStringLiteral("225,228,235"));
        MakeMacro d;
        QCOMPARE(d.findChild<QLabel*>(QStringLiteral("label"))->styleSheet(),
                 QStringLiteral("QLabel{color: rgb(225,228,235;);}"));
        QVERIFY(button(&d, "NewHong")->styleSheet().contains(QStringLiteral("color: rgb(9,8,7;);")));
        QFile::remove(m_dir.path() + QStringLiteral("/usersetting/Config.ini"));
    }

    // No Config.ini, no language file, no pictures: every dialog and panel
    // still builds and shows its form's texts.
    void buildWithoutInstalledFiles()
    {
        QTemporaryDir empty;
        SetAppDirOverride(empty.path());
        ConfigSettings::GetInstance()->Reload();
        std::vector<std::unique_ptr<QWidget>> all;
        for (const NoticeCase& c : allNotices())
            all.emplace_back(c.make());
        all.emplace_back(new MouseOffLine);
        all.emplace_back(new InportFail);
        all.emplace_back(new QuestionDialog);
        all.emplace_back(new ContainReset);
        all.emplace_back(new DeleteConfirm);
        all.emplace_back(new DebounceTime);
        all.emplace_back(new DebouncetimeB);
        all.emplace_back(new DebouncetimeC);
        all.emplace_back(new StopCloseTime);
        all.emplace_back(new StopCloseTimeB);
        for (auto& w : all) {
            QVERIFY(!w->grab().isNull());
            for (QLabel* label : w->findChildren<QLabel*>())
                QVERIFY(label->styleSheet().isEmpty() || label->styleSheet().contains(QStringLiteral("225,228,235")));
        }
        QCOMPARE(labelOf(all[0].get()), QStringLiteral("  Do not insert multiple identical devices"));
        QCOMPARE(buttonText(all[2].get(), "NewHong"), QString::fromUtf8("确定"));
    }

    void nameRule_data()
    {
        QTest::addColumn<QString>("edited");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("newCursor");

        QTest::newRow("kept") << "My macro" << 3 << "My macro" << 3;
        QTest::newRow("space at end removes all") << "my macro " << 9 << "mymacro" << 7;
        QTest::newRow("space inside stays") << "my macro" << 3 << "my macro" << 3;
        QTest::newRow("slash and backslash") << "a/b\\c" << 2 << "abc" << 1;
        QTest::newRow("control characters") << QString::fromUtf8("a\tb\x01" "c") + QChar(0) + "d" << 7 << "abcd" << 4;
        QTest::newRow("30 ascii stay") << QString(30, 'x') << 30 << QString(30, 'x') << 30;
        QTest::newRow("31st cut") << QString(31, 'x') << 31 << QString(30, 'x') << 30;
        QTest::newRow("typed in the middle of 30")
            << QString(10, 'a') + "Z" + QString(20, 'b') << 11 << QString(10, 'a') + "Z" + QString(19, 'b') << 11;
        // 3-byte characters: ten fit in 30 bytes.
        QTest::newRow("cjk") << QString::fromUtf8("宏宏宏宏宏宏宏宏宏宏宏") << 11 << QString::fromUtf8("宏宏宏宏宏宏宏宏宏宏")
                             << 10;
        // 2-byte characters: sixteen are 32 bytes, fifteen stay.
        QTest::newRow("two-byte") << QString(16, QChar(0x00E9)) << 16 << QString(15, QChar(0x00E9)) << 15;
        // A 4-byte character is never split: 28 + 4 > 30.
        QTest::newRow("surrogate pair") << QString(28, 'x') + QString::fromUtf8("😀") << 30 << QString(28, 'x') << 28;
        QTest::newRow("lone surrogate") << QString("a") + QChar(0xD800) + "b" << 3 << "ab" << 2;
        QTest::newRow("dots stay while typing") << ".." << 2 << ".." << 2;
    }

    void nameRule()
    {
        QFETCH(QString, edited);
        QFETCH(int, cursor);
        QFETCH(QString, text);
        QFETCH(int, newCursor);
        const NameRuleResult r = ApplyMacroNameRule(edited, cursor);
        QCOMPARE(r.text, text);
        QCOMPARE(r.cursor, newCursor);
        QCOMPARE(r.changed, text != edited);
        QVERIFY(r.text.toUtf8().size() <= MacroNameMaxBytes);
        // The rule is stable: applying it again changes nothing.
        QVERIFY(!ApplyMacroNameRule(r.text, r.cursor).changed || r.text.endsWith(' '));
    }

    void acceptableNames()
    {
        QVERIFY(IsAcceptableMacroName(QStringLiteral("Macro 1")));
        QVERIFY(IsAcceptableMacroName(QString(30, 'x')));
        QVERIFY(!IsAcceptableMacroName(QString(31, 'x')));
        QVERIFY(!IsAcceptableMacroName(QString()));
        QVERIFY(!IsAcceptableMacroName(QStringLiteral(".")));
        QVERIFY(!IsAcceptableMacroName(QStringLiteral("..")));
        QVERIFY(!IsAcceptableMacroName(QStringLiteral("a/b")));
        QVERIFY(!IsAcceptableMacroName(QStringLiteral("a\nb")));
    }

    void questionDialogTyping()
    {
        QuestionDialog d;
        QLineEdit* line = d.findChild<QLineEdit*>(QStringLiteral("lineEdit"));
        QVERIFY(line);
        // A space typed at the end goes at once, with every other space.
        QTest::keyClicks(line, QStringLiteral("two "));
        QCOMPARE(line->text(), QStringLiteral("two"));
        QTest::keyClicks(line, QStringLiteral("words"));
        line->setCursorPosition(3);
        QTest::keyClick(line, Qt::Key_Space);
        QCOMPARE(line->text(), QStringLiteral("two words"));
        QCOMPARE(line->cursorPosition(), 4);
        line->end(false);
        QTest::keyClick(line, Qt::Key_Space);
        QCOMPARE(line->text(), QStringLiteral("twowords"));

        line->clear();
        QTest::keyClicks(line, QString(35, 'k'));
        QCOMPARE(line->text(), QString(30, 'k'));

        line->clear();
        typeText(line, QString::fromUtf8("宏宏宏宏宏宏宏宏宏宏宏宏"));
        QCOMPARE(line->text(), QString::fromUtf8("宏宏宏宏宏宏宏宏宏宏"));

        // A refused character typed in the middle: the cursor stays there.
        line->setText(QStringLiteral("abcdef"));
        line->setCursorPosition(2);
        QTest::keyClicks(line, QStringLiteral("/"));
        QCOMPARE(line->text(), QStringLiteral("abcdef"));
        QCOMPARE(line->cursorPosition(), 2);
        QTest::keyClicks(line, QStringLiteral("X"));
        QCOMPARE(line->text(), QStringLiteral("abXcdef"));
        QCOMPARE(line->cursorPosition(), 3);
    }

    void questionDialogAnswers()
    {
        auto ask = [](const QString& typed, const char* way) {
            QuestionDialog d;
            QLineEdit* line = d.findChild<QLineEdit*>(QStringLiteral("lineEdit"));
            line->setText(typed);
            const bool ran = runModal(d, [&d, way] {
                if (QByteArray(way) == "escape")
                    QTest::keyClick(&d, Qt::Key_Escape);
                else
                    button(&d, way)->click();
            });
            return ran ? d.ResultText() : QStringLiteral("<hung>");
        };
        QCOMPARE(ask(QStringLiteral("Macro 1"), "NewHong"), QStringLiteral("Macro 1"));
        QCOMPARE(ask(QString(), "NewHong"), QString());
        QCOMPARE(ask(QStringLiteral("."), "NewHong"), QString());
        QCOMPARE(ask(QStringLiteral(".."), "NewHong"), QString());
        QCOMPARE(ask(QStringLiteral("Macro 1"), "NewHong_2"), QString());
        QCOMPARE(ask(QStringLiteral("Macro 1"), "CloseButton"), QString());
        QCOMPARE(ask(QStringLiteral("Macro 1"), "escape"), QString());
    }

    void questionDialogPrompts()
    {
        QuestionDialog d;
        QCOMPARE(labelOf(&d), QStringLiteral("Please create a macro first"));
        QCOMPARE(buttonText(&d, "NewHong"), QStringLiteral("EN-Question-NewHong"));
        QCOMPARE(buttonText(&d, "NewHong_2"), QStringLiteral("EN-Question-NewHong_2"));
        d.SetLabelText(0);
        QCOMPARE(labelOf(&d), QStringLiteral("EN-Question-label"));
        d.SetLabelText(1);
        QCOMPARE(labelOf(&d), QStringLiteral("EN-Question-label_2"));
        // A change of language stores new prompts; they show at the next call.
        setLanguage(1);
        PostMsg::GetInstance()->PostChangeLanguage(1);
        QCOMPARE(labelOf(&d), QStringLiteral("EN-Question-label_2"));
        d.SetLabelText(0);
        QCOMPARE(labelOf(&d), QStringLiteral("ZH-Question-label"));
        QCOMPARE(d.size(), QSize(300, 140));
    }

    void resetQuestion()
    {
        auto ask = [](std::function<void(ContainReset&)> act) {
            ContainReset d;
            d.show();
            const bool ran = runModal(d, [&] { act(d); });
            return ran ? int(d.IsAccepted()) : -1;
        };
        QCOMPARE(ask([](ContainReset& d) { button(&d, "OK")->click(); }), 1);
        QCOMPARE(ask([](ContainReset& d) { button(&d, "Cancel")->click(); }), 0);
        QCOMPARE(ask([](ContainReset& d) { button(&d, "CloseButton")->click(); }), 0);
        QCOMPARE(ask([](ContainReset& d) { QTest::keyClick(&d, Qt::Key_Escape); }), 0);
        QCOMPARE(ask([](ContainReset& d) {
                     QVERIFY(QTest::qWaitForWindowActive(&d));
                     QTest::keyClick(&d, Qt::Key_Return);
                 }),
                 1);
        // Enter is not a shortcut: the dialog stays until closed.
        QCOMPARE(ask([](ContainReset& d) {
                     QVERIFY(QTest::qWaitForWindowActive(&d));
                     QTest::keyClick(&d, Qt::Key_Enter);
                     QVERIFY(d.isVisible());
                     button(&d, "Cancel")->click();
                 }),
                 0);

        ContainReset d;
        QCOMPARE(labelOf(&d), QStringLiteral("EN-ContainReset-label"));
        QCOMPARE(buttonText(&d, "OK"), QStringLiteral("EN-ContainReset-OK"));
        d.SetText(QStringLiteral("Repair the receiver?"));
        QCOMPARE(labelOf(&d), QStringLiteral("Repair the receiver?"));
        PostMsg::GetInstance()->PostChangeLanguage(0);
        QCOMPARE(labelOf(&d), QStringLiteral("EN-ContainReset-label"));
        // A new button text must not take Return away from OK.
        QCOMPARE(button(&d, "OK")->shortcut(), QKeySequence(Qt::Key_Return));
    }

    void deleteQuestion()
    {
        auto ask = [](std::function<void(DeleteConfirm&)> act) {
            DeleteConfirm d;
            const bool ran = runModal(d, [&] { act(d); });
            return ran ? int(d.IsAccepted()) : -1;
        };
        QCOMPARE(ask([](DeleteConfirm& d) { button(&d, "NewHong")->click(); }), 1);
        QCOMPARE(ask([](DeleteConfirm& d) { button(&d, "CloseButton")->click(); }), 0);
        QCOMPARE(ask([](DeleteConfirm& d) { QTest::keyClick(&d, Qt::Key_Escape); }), 0);
        DeleteConfirm d;
        QCOMPARE(labelOf(&d), QStringLiteral("EN-DeleteConfirm-label"));
        QVERIFY(!button(&d, "Cancel"));
    }

    // With the installed files: the background picture is painted, the
    // texts are the language's. DIZADI_SHOT_DIR keeps the pictures to look at.
    void installedLook()
    {
        SetAppDirOverride(QStringLiteral(DIZADI_SOURCE_DIR "/install"));
        ConfigSettings::GetInstance()->Reload();
        const QString shots = qEnvironmentVariable("DIZADI_SHOT_DIR");
        for (int language : {0, 1}) {
            setLanguage(language);
            QList<QPair<QString, std::function<QDialog*()>>> dialogs;
            for (const NoticeCase& c : allNotices())
                dialogs.append({QString::fromLatin1(c.name), c.make});
            dialogs.append({QStringLiteral("MouseOffLine"), [] { return new MouseOffLine; }});
            dialogs.append({QStringLiteral("InportFail"), [] { LastImportResult = 2; return new InportFail; }});
            dialogs.append({QStringLiteral("QuestionDialog"), [] {
                                auto* q = new QuestionDialog;
                                q->SetLabelText(0);
                                return q;
                            }});
            dialogs.append({QStringLiteral("ContainReset"), [] { return new ContainReset; }});
            dialogs.append({QStringLiteral("DeleteConfirm"), [] { return new DeleteConfirm; }});
            for (const auto& entry : dialogs) {
                std::unique_ptr<QDialog> d(entry.second());
                const QImage image = d->grab().toImage();
                // The background picture: its left edge, and the accent line
                // along its top where the frame shows the whole picture.
                QCOMPARE(image.pixelColor(0, 70), QColor(70, 74, 86));
                const QColor top = image.pixelColor(150, 1);
                if (entry.first != QLatin1String("QuestiondialogB"))
                    QVERIFY2(top.red() > 200 && top.green() > 90 && top.green() < 170 && top.blue() < 60,
                             qPrintable(entry.first + QStringLiteral(" has no background picture")));
                // Below the frame (QuestiondialogB's is 130 high) the dialog is dark too.
                QVERIFY(image.pixelColor(150, 136).lightness() < 80);
                QVERIFY(!labelOf(d.get()).isEmpty());
                if (language == 1)
                    QVERIFY2(labelOf(d.get()).toUtf8().size() > labelOf(d.get()).size(),
                             qPrintable(entry.first + QStringLiteral(" is not in Chinese: ") + labelOf(d.get())));
                if (!shots.isEmpty())
                    image.save(QStringLiteral("%1/%2-%3.png").arg(shots, entry.first).arg(language));
            }
        }
        // The panels' combo boxes are drawn from their pictures.
        DebounceTime debounce;
        debounce.SetIndex(8);
        StopCloseTime sleep;
        sleep.SetIndex(2);
        for (QWidget* panel : {static_cast<QWidget*>(&debounce), static_cast<QWidget*>(&sleep)}) {
            panel->show();  // the sleep panel takes its look when first shown
            const QImage image = panel->grab().toImage();
            QCOMPARE(image.pixelColor(6, 17), QColor(46, 49, 58));
            if (!shots.isEmpty())
                image.save(QStringLiteral("%1/%2.png").arg(shots, panel->objectName()));
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
