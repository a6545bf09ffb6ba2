// The settings page and its small dialogs: language of every window,
// positions per language, autostart entry, layout by model and receiver
// kind, the receiver's long range and light mode against the bench (online,
// offline, refused, and no echo of what the receiver reports), the system
// mouse settings with and without a desktop program for them, the firmware
// lookups beside the program, the progress and new-firmware notices.
#include "../../core/LinkTestSupport.h"

#include "Autostart.h"
#include "BenchIni.h"
#include "DeviceWriters.h"
#include "FindNewVer.h"
#include "FirmwareFiles.h"
#include "FormSetting.h"
#include "Globals.h"
#include "MacroSettings.h"
#include "Match.h"
#include "Progress.h"
#include "RePair.h"
#include "StopCloseTime.h"
#include "UpDateRepair.h"
#include "UpDateWarning.h"
#include "UserFixture.h"
#include "ui_FormSetting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>

#include <memory>

using namespace linktest;

namespace {

const QString Receiver = QStringLiteral("rx8k");

// A field of a bench device as bench.ini holds it.
QString benchField(const QString& id, const QString& key)
{
    QFile file(benchDir() + QStringLiteral("/bench.ini"));
    return file.open(QIODevice::ReadOnly) ? testsupport::BenchIniField(QString::fromUtf8(file.readAll()), id, key)
                                          : QString();
}

int callsOf(const QString& prefix)
{
    return callsLog({prefix}).size();
}

void setLanguage(int index)
{
    MacroSettings::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QString::number(index));
}

}  // namespace

class SettingsPageTest : public QObject
{
    Q_OBJECT

    FlashDataMap m_base{};
    std::unique_ptr<FormSetting> m_page;
    Ui::FormSetting* ui() const { return m_page->Form(); }

    // The current device: the bench's 8 kHz receiver, or a receiver of kind type.
    void selectReceiver(uint8_t type = 5, uint8_t directMouse = 0)
    {
        CurrentDeviceInfo = DeviceAllInfo();
        CurrentDeviceInfo.path = QStringLiteral("hidbench/rx8k");
        CurrentDeviceInfo.driveIndex = 0;
        CurrentDeviceInfo.type = type;
        CurrentDeviceInfo.directMouse = directMouse;
    }

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        QVERIFY(openReceiverLink(&m_base));
    }

    void init()
    {
        QVERIFY(startFromDeviceImage(QStringLiteral("mouse1"), m_base));
        bench({QStringLiteral("fault"), Receiver, QStringLiteral("clear")});
        setLanguage(0);
        selectReceiver();
        CurrentDongleRGB->data[0] = 1;
        m_page = std::make_unique<FormSetting>();
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        clearCallsLog();
    }

    void cleanup()
    {
        m_page.reset();
        UiReady = false;
    }

    void cleanupTestCase() { UsbServer_Exit(); }

    // ---- language ------------------------------------------------------------

    void languageReachesEveryWindow()
    {
        Match match(nullptr);
        Progress progress;
        FindNewVer notice;
        QSignalSpy same(PostMsg::GetInstance(), &PostMsg::SigLanguageSameA);
        ui()->comboBox->setCurrentIndex(1);
        emit ui()->comboBox->activated(1);
        QCOMPARE(MacroSettings::GetInstance()->GetValue(QStringLiteral("Language"), QStringLiteral("Language")),
                 QStringLiteral("1"));
        QCOMPARE(same.count(), 1);
        QCOMPARE(ui()->label_8->text(), QStringLiteral("配对工具"));
        QCOMPARE(ui()->pushButton_2->text(), QStringLiteral("配对"));
        QCOMPARE(m_page->Messages().verNewText, QStringLiteral("已是最新版本"));
        QCOMPARE(m_page->Messages().noUsbText, QStringLiteral("未找到有线连接的鼠标，请用数据线连接鼠标"));
        QVERIFY(ui()->textEdit_3->toPlainText().startsWith(QStringLiteral("回报率")));
        QCOMPARE(match.findChild<QPushButton*>(QStringLiteral("MatchButton"))->text(), QStringLiteral("开始配对"));
        QCOMPARE(progress.findChild<QToolButton*>(QStringLiteral("NewHong"))->text(), QStringLiteral("确定"));
        QCOMPARE(notice.findChild<QCheckBox*>(QStringLiteral("NoApear"))->text(), QStringLiteral("下次不再显示"));

        emit ui()->comboBox->activated(0);
        QCOMPARE(ui()->label_8->text(), QStringLiteral("Pairing"));
        QCOMPARE(m_page->Messages().sameDeviceText,
                 QStringLiteral("More than one device waits for an update. Leave only one connected"));
        QCOMPARE(match.findChild<QPushButton*>(QStringLiteral("MatchButton"))->text(), QStringLiteral("Start pairing"));
        // The device list follows through SigLanguageSameB: only the box moves.
        PostMsg::GetInstance()->PostLanguageSameB(4);
        QCOMPARE(ui()->comboBox->currentIndex(), 4);
        QCOMPARE(ui()->label_8->text(), QStringLiteral("Pairing"));
    }

    // The version rows follow each language's texts: names whole, values
    // 40 to 45 px right of the longer name, the update button right of them
    // in the one font size and wide enough for both its texts.
    void versionWidgetsPerLanguage_data()
    {
        QTest::addColumn<int>("index");
        for (const int index : {0, 1, 2, 3, 4, 5, 9})  // the six languages, one out of range
            QTest::addRow("language %d", index) << index;
    }
    void versionWidgetsPerLanguage()
    {
        QFETCH(int, index);
        m_page->SlotChangeLanguage(4);  // the longer names before
        m_page->SlotChangeLanguage(index);
        int names = 0;
        for (QLabel* name : {ui()->label_4, ui()->label_6}) {
            QVERIFY(name->width() >= name->sizeHint().width());
            names = qMax(names, name->fontMetrics().horizontalAdvance(name->text()));
        }
        QCOMPARE(ui()->label_5->y(), 155);
        QCOMPARE(ui()->label_7->pos(), QPoint(ui()->label_5->x(), 185));
        const int gap = ui()->label_5->x() - ui()->label_4->x() - names;
        QVERIFY2(gap >= 40 && gap <= 45, qPrintable(QString::number(gap)));
        QToolButton* update = ui()->Receive_2;
        QCOMPARE(update->y(), 170);
        QVERIFY(update->x() > ui()->label_5->geometry().right());
        QCOMPARE(update->font().pointSize(), 10);
        for (const QString& text : {m_page->Messages().receiveText, m_page->Messages().verNewText})
            QVERIFY(update->width() > update->fontMetrics().horizontalAdvance(text));
        QCOMPARE(ui()->toolButton_3->pos(), QPoint(460, 190));
    }

    // ---- autostart -------------------------------------------------------------

    void autostartEntry()
    {
        const QString name = QCoreApplication::applicationName();
        QVERIFY(!ui()->checkBox->isChecked());
        QTest::mouseClick(ui()->checkBox, Qt::LeftButton);
        QVERIFY(ui()->checkBox->isChecked());
        QFile entry(Autostart::EntryPath(name));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(entry.readAll());
        QVERIFY(text.startsWith(QLatin1String("[Desktop Entry]\n")));
        // From a build folder: the executable, with the logo beside it.
        const QStringList lines = text.split(QLatin1Char('\n'));
        QVERIFY(lines.contains(QStringLiteral("Name=Corvane Dizadi Mouse")));
        QVERIFY(lines.contains(QStringLiteral("Icon=") + AppDir() + QStringLiteral("/Picture/Dialog/Logo.png")));
        QVERIFY(lines.contains(QStringLiteral("Exec=\"") + QCoreApplication::applicationFilePath() + QLatin1Char('"')));
        QCOMPARE(MacroSettings::GetInstance()->GetValue(QStringLiteral("Enable"), QStringLiteral("AutoStart")),
                 QStringLiteral("1"));
        // A new page shows the stored switch.
        FormSetting second;
        QVERIFY(second.Form()->checkBox->isChecked());

        QTest::mouseClick(ui()->checkBox, Qt::LeftButton);
        QVERIFY(!QFile::exists(Autostart::EntryPath(name)));
        QCOMPARE(MacroSettings::GetInstance()->GetValue(QStringLiteral("Enable"), QStringLiteral("AutoStart")),
                 QStringLiteral("0"));
    }

    // A file where the entry's folder goes, or a link (live or dangling) to
    // a file outside where the entry goes: the box goes back, the page's
    // notice; a link and its target stay as they were.
    void autostartFailurePutsTheBoxBack_data()
    {
        QTest::addColumn<bool>("link");
        QTest::addColumn<bool>("target");  // the blocking file or the link's target exists
        QTest::newRow("file for the folder") << false << true;
        QTest::newRow("live link") << true << true;
        QTest::newRow("dangling link") << true << false;
    }
    void autostartFailurePutsTheBoxBack()
    {
        QFETCH(bool, link);
        QFETCH(bool, target);
        const QString entry = Autostart::EntryPath(QCoreApplication::applicationName());
        const QString folder = QFileInfo(entry).absolutePath();
        const QString outside = QDir::homePath() + QStringLiteral("/outside.desktop");
        QDir(folder).removeRecursively();
        QFile::remove(outside);
        QFile file(link ? outside : folder);
        if (target)
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("keep") == 4);
        file.close();
        if (link)
            QVERIFY(QDir().mkpath(folder) && QFile::link(outside, entry));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("autostart entry could not be changed")));
        QTest::mouseClick(ui()->checkBox, Qt::LeftButton);
        QVERIFY(!ui()->checkBox->isChecked());
        QCOMPARE(MacroSettings::GetInstance()->GetValue(QStringLiteral("Enable"), QStringLiteral("AutoStart")),
                 QStringLiteral("0"));
        UpDateWarning* notice = m_page->UpdateWarningNotice();
        QVERIFY(notice && notice->isVisible());
        QCOMPARE(notice->Text(), QStringLiteral("Autostart could not be changed: its entry cannot be written"));
        notice->close();
        if (link)
            QCOMPARE(QFileInfo(entry).symLinkTarget(), outside);
        QCOMPARE(file.size(), target ? 4 : 0);
        QVERIFY(QFile::remove(link ? entry : folder));
    }

    // The desktop's mouse settings program is started; without one the notice tells so.
    void mouseSettings_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::newRow("a desktop program") << true;
        QTest::newRow("none installed") << false;
    }
    void mouseSettings()
    {
        QFETCH(bool, installed);
        QTemporaryDir bin;
        const QString started = bin.filePath(QStringLiteral("started"));
        if (installed) {
            QFile tool(bin.filePath(QStringLiteral("xfce4-mouse-settings")));
            const QByteArray script = QStringLiteral("#!/bin/sh\n: > '%1'\n").arg(started).toUtf8();
            QVERIFY(tool.open(QIODevice::WriteOnly) && tool.write(script) == script.size());
            tool.close();
            QVERIFY(tool.setPermissions(tool.permissions() | QFileDevice::ExeUser));
        }
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
        if (!installed)
            QTest::ignoreMessage(QtWarningMsg, "no mouse settings program of the desktop found in PATH");
        QTest::mouseClick(ui()->pushButton, Qt::LeftButton);
        qputenv("PATH", path);
        QTRY_VERIFY(!installed || QFile::exists(started));
        UpDateWarning* notice = m_page->UpdateWarningNotice();
        QCOMPARE(notice && notice->isVisible(), !installed);
        if (!installed) {
            QCOMPARE(notice->Text(), QStringLiteral("The system mouse settings could not be opened. Please open them "
                                                    "from your desktop's settings"));
            notice->close();
        }
    }

    // ---- layout by model --------------------------------------------------------

    void layoutByModel_data()
    {
        QTest::addColumn<QString>("advanced");  // Drive1/Adveanced
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("directMouse");
        QTest::addColumn<bool>("lightReported");
        QTest::addColumn<bool>("longRange");
        QTest::addColumn<bool>("light");
        QTest::newRow("8 kHz receiver") << "1,2" << 5 << 0 << false << true << false;
        QTest::newRow("4 kHz receiver with its light") << "1,2" << 1 << 0 << true << true << true;
        QTest::newRow("4 kHz receiver, no light reported") << "1,2" << 1 << 0 << false << true << false;
        QTest::newRow("2 kHz receiver, light reported") << "1,2" << 4 << 0 << true << true << false;
        QTest::newRow("mouse on its cable") << "1,2" << 2 << 1 << true << false << false;
        QTest::newRow("model without both") << "-1,-1" << 1 << 0 << true << false << false;
        QTest::newRow("short list") << "1" << 1 << 0 << true << false << false;
        QTest::newRow("no list") << "" << 1 << 0 << true << false << false;
    }
    void layoutByModel()
    {
        QFETCH(QString, advanced);
        QFETCH(int, type);
        QFETCH(int, directMouse);
        QFETCH(bool, lightReported);
        QFETCH(bool, longRange);
        QFETCH(bool, light);
        QTemporaryDir appDir;
        installConfig(appDir.path(),
                      configText(QStringLiteral("KeyParam1=0x01,0x01,0x00\n")
                                 + (advanced.isEmpty() ? QString() : QStringLiteral("Adveanced=") + advanced + '\n')));
        selectReceiver(uint8_t(type), uint8_t(directMouse));
        DongleRGB rgb{};
        rgb.data[0] = 2;
        // The device link's order: the light first, long range, then the form.
        runOnLibraryThread([&] {
            if (lightReported)
                PostMsg::GetInstance()->PostRGBValue(&rgb);
            PostMsg::GetInstance()->PostForm();
        });
        SetAppDirOverride(QString());
        ConfigSettings::GetInstance()->Reload();
        QCOMPARE(m_page->LongRangeBlockShown(), longRange);
        QCOMPARE(m_page->LedBlockShown(), light);
        QCOMPARE(ui()->textEdit_2->isVisibleTo(m_page.get()), light);
        QCOMPARE(ui()->scrollAreaWidgetContents->maximumHeight(), light ? 780 : 630);
        QCOMPARE(ui()->pushButton_3->pos(), QPoint(610, light ? 710 : 540));
        QCOMPARE(ui()->pushButton_4->pos(), QPoint(490, light ? 730 : 560));
        if (light)
            QVERIFY(ui()->ReUntil_2->isChecked());
        // A factory reset: compact, both hidden.
        runOnLibraryThread([] { PostMsg::GetInstance()->PostFormReset(); });
        QVERIFY(!m_page->LongRangeBlockShown());
        QVERIFY(!m_page->LedBlockShown());
    }

    // ---- the receiver's own settings against the bench ------------------------------

    void longRange()
    {
        UiReady = true;
        QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
        m_page->SlotLongRangeMode(false);
        QTest::mouseClick(ui()->checkBox_2, Qt::LeftButton);
        QTRY_COMPARE(benchField(Receiver, QStringLiteral("long_range")), QStringLiteral("1"));
        QVERIFY(ui()->checkBox_2->isChecked());

        // Refused by the receiver: the box shows what the receiver kept, and
        // the user is told.
        bench({QStringLiteral("fault"), Receiver, QStringLiteral("refuse-writes"), QStringLiteral("on")});
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("did not take long-range")));
        QTest::mouseClick(ui()->checkBox_2, Qt::LeftButton);
        QVERIFY(ui()->checkBox_2->isChecked());
        QCOMPARE(benchField(Receiver, QStringLiteral("long_range")), QStringLiteral("1"));
        QCOMPARE(offline.count(), 1);
        QCOMPARE(offline.last().first().toInt(), WriteRefusedReason);
        bench({QStringLiteral("fault"), Receiver, QStringLiteral("clear")});

        // Offline: nothing sent, the box back, one notice.
        bench({QStringLiteral("offline"), QStringLiteral("mouse1")});
        clearCallsLog();
        QTest::mouseClick(ui()->checkBox_2, Qt::LeftButton);
        QVERIFY(ui()->checkBox_2->isChecked());
        QCOMPARE(offline.count(), 2);
        QCOMPARE(offline.last().first().toInt(), 0);
        QCOMPARE(callsOf(QStringLiteral("UsbFinderC_SetLongRangeMode")), 0);
        bench({QStringLiteral("online"), QStringLiteral("mouse1")});
    }

    void lightMode()
    {
        UiReady = true;
        selectReceiver(1);
        DongleRGB rgb{};
        rgb.data[0] = 1;
        m_page->SlotRGBValue(&rgb);
        QVERIFY(ui()->ReUntil->isChecked());
        QTest::mouseClick(ui()->ReUntil_2, Qt::LeftButton);
        QTRY_VERIFY(benchField(Receiver, QStringLiteral("dongle_light")).startsWith(QLatin1String("02")));
        QCOMPARE(callsOf(QStringLiteral("UsbFinderC_Set4KDongleRGB")), 1);  // the unchecked box sends nothing
        QCOMPARE(ReceiverLightMode(), 2);

        QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
        bench({QStringLiteral("offline"), QStringLiteral("mouse1")});
        QTest::mouseClick(ui()->ReUntil_3, Qt::LeftButton);
        QVERIFY(ui()->ReUntil_2->isChecked());
        QVERIFY(!ui()->ReUntil_3->isChecked());
        QCOMPARE(offline.count(), 1);
        QCOMPARE(callsOf(QStringLiteral("UsbFinderC_Set4KDongleRGB")), 1);
        bench({QStringLiteral("online"), QStringLiteral("mouse1")});

        bench({QStringLiteral("fault"), Receiver, QStringLiteral("refuse-writes"), QStringLiteral("on")});
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("did not take light mode")));
        QTest::mouseClick(ui()->ReUntil_3, Qt::LeftButton);
        QVERIFY(ui()->ReUntil_2->isChecked());
        QCOMPARE(ReceiverLightMode(), 2);
    }

    void deviceReportsAreNotEchoed()
    {
        UiReady = true;
        selectReceiver(1);
        DongleRGB rgb{};
        rgb.data[0] = 3;
        runOnLibraryThread([&] {
            PostMsg::GetInstance()->PostRGBValue(&rgb);
            PostMsg::GetInstance()->PostLongRangeMode(true);
        });
        QVERIFY(ui()->ReUntil_3->isChecked());
        QVERIFY(ui()->checkBox_2->isChecked());
        runOnLibraryThread([] { PostMsg::GetInstance()->PostFormReset(); });
        QVERIFY(!ui()->checkBox_2->isChecked());
        QCOMPARE(callsOf(QStringLiteral("UsbFinderC_Set")), 0);
    }

    // ---- what the page keeps ------------------------------------------------------------

    void sleepTimeFollowsTheDevice()
    {
        auto* combo = ui()->frameClose->findChild<QComboBox*>(QStringLiteral("StopClose"));
        QVERIFY(ui()->frameClose->isHidden());
        PostMsg::GetInstance()->PostLightToFrom(300);
        QCOMPARE(combo->currentIndex(), 3);
        PostMsg::GetInstance()->PostLightToFrom(120);
        QCOMPARE(combo->currentIndex(), 3);
    }

    // Scrolled half-way, compact and with the receiver light block, the
    // driver version moves with the page, clear of every other text, and no
    // separator line runs through a text.
    void versionLabelScrollsWithThePage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("light");
        for (int language = 0; language < 6; ++language) {
            QTest::addRow("language %d, compact", language) << language << false;
            QTest::addRow("language %d, receiver light", language) << language << true;
        }
    }
    void versionLabelScrollsWithThePage()
    {
        QFETCH(int, language);
        QFETCH(bool, light);
        m_page->SlotChangeLanguage(language);
        selectReceiver(1);
        DongleRGB rgb{{1}};
        if (light)
            m_page->SlotRGBValue(&rgb);
        QCOMPARE(m_page->LedBlockShown(), light);
        QLabel* label = ui()->label;
        const QPoint home = label->pos();
        QScrollBar* bar = ui()->scrollArea->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum() / 2);
        QCOMPARE(label->pos(), home);
        QList<QWidget*> texts, lines;
        for (QWidget* w : ui()->scrollAreaWidgetContents->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!w->isVisibleTo(m_page.get()))
                continue;
            if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QTextEdit*>(w)
                || qobject_cast<QComboBox*>(w))
                texts << w;
            else if (auto* line = qobject_cast<QFrame*>(w); line && line->frameShape() == QFrame::HLine)
                lines << w;
        }
        QVERIFY(lines.size() >= 4);
        for (QWidget* w : texts) {
            QVERIFY2(w == label || !w->geometry().intersects(label->geometry()), qPrintable(w->objectName()));
            for (QWidget* line : lines)
                QVERIFY2(!w->geometry().intersects(line->geometry()),
                         qPrintable(line->objectName() + QStringLiteral(" crosses ") + w->objectName()));
        }
    }

    void versionLabelAfterAnUpgrade()
    {
        PostMsg::GetInstance()->PostLabelText(1, QStringLiteral("v1.6"));
        QTRY_COMPARE(ui()->label_7->text(), QStringLiteral("v1.6"));
        QCOMPARE(CurrentDeviceInfo.firmwareVersion, QStringLiteral("v1.6"));
        m_page->SlotLabelText(2, QStringLiteral("x"));
        QCOMPARE(ui()->label_5->text(), QString());
    }

    void installedImages()
    {
        QVERIFY(FormSetting::CheckVersionAvailable(210, QStringLiteral("v1.4"), 8));
        QVERIFY(!FormSetting::CheckVersionAvailable(210, QStringLiteral("v1.5"), 8));
        QVERIFY(!FormSetting::CheckVersionAvailable(210, QString(), 8));
        QVERIFY(!FormSetting::CheckVersionAvailable(211, QStringLiteral("v1.0"), 3));
        QVERIFY(FormSetting::FindFirmwareFile(211, QString(), QStringLiteral("CDM_RX4K"), 24, 2));
        QCOMPARE(FormSetting::UpdateFile()->header.name, QStringLiteral("CDM_RX4K"));
        QVERIFY(!FormSetting::FindFirmwareFileB(211, QString(), QStringLiteral("CDM_RX4K"), 24, 2));
        QVERIFY(UpDateRepair::FindFirmwareFile(211, QStringLiteral("v1.0"), QStringLiteral("CDM_RX2K"), 24, 1));
        QCOMPARE(UpDateRepair::RepairFile()->header.mid, quint8(1));
        QVERIFY(UpDateRepair::RepairFile()->path.endsWith(QLatin1String("CDM_RX2K_MID1_v1.5.bin")));
    }

    void repairDialogInstance()
    {
        QVERIFY(UpdateRepairDialog != nullptr);
        m_page.reset();
        QVERIFY(UpdateRepairDialog == nullptr);
    }

    // ---- the small dialogs -----------------------------------------------------------

    void rePairAnswers()
    {
        RePair dialog;
        QTimer::singleShot(50, &dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
        dialog.exec();
        QVERIFY(!dialog.IsAccepted());
        QCOMPARE(dialog.findChild<QLabel*>("label")->text(), QStringLiteral("Do you need to pair again?"));
    }

    void updateWarningKeepsItsMessage()
    {
        UpDateWarning warning;
        QCOMPARE(warning.Text(), QStringLiteral("Confirm Delete"));
        warning.SetText(QStringLiteral("message"));
        PostMsg::GetInstance()->PostChangeLanguage(1);
        QCOMPARE(warning.Text(), QStringLiteral("message"));
        PostMsg::GetInstance()->PostChangeLanguage(0);
    }

    void newFirmwareNotice()
    {
        FindNewVer notice;
        QCOMPARE(notice.Text(), QStringLiteral("New firmware found, please update!"));
        notice.show();
        QTest::mouseClick(notice.findChild<QToolButton*>(QStringLiteral("NewHong")), Qt::LeftButton);
        QVERIFY(!notice.isVisible());
    }

    void progressDialog_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("bar");
        QTest::addColumn<bool>("confirm");
        QTest::newRow("running") << 40 << 0 << "Updating, do not unplug: 40%" << 40 << false;
        QTest::newRow("failed") << 30 << 1 << "Update failed" << 30 << true;
        QTest::newRow("succeeded") << 10 << 2 << "Update succeeded" << 100 << true;
        QTest::newRow("back to 0") << 60 << 4 << "Updating, do not unplug: 0%" << 0 << false;
    }
    void progressDialog()
    {
        QFETCH(int, value);
        QFETCH(int, code);
        QFETCH(QString, status);
        QFETCH(int, bar);
        QFETCH(bool, confirm);
        Progress progress;
        QCOMPARE(progress.StatusText(), QStringLiteral("Updating, do not unplug: 1%"));
        progress.SlotProgress(value, code);
        QCOMPARE(progress.StatusText(), status);
        QCOMPARE(progress.Value(), bar);
        QCOMPARE(progress.ConfirmShown(), confirm);
    }

    void progressClosing()
    {
        QSignalSpy back(PostMsg::GetInstance(), &PostMsg::SigChangeMainDialog);
        QSignalSpy go(PostMsg::GetInstance(), &PostMsg::SigContinue);
        Progress progress;
        progress.show();
        CheckTimersRunning = true;
        progress.on_CloseButton_clicked();
        QVERIFY(progress.isVisible());
        CheckTimersRunning = false;
        progress.SlotProgress(0, 1);
        progress.on_CloseButton_clicked();
        QVERIFY(!progress.isVisible());
        QCOMPARE(back.count(), 1);
        QCOMPARE(back.first().first().toInt(), 0);
        QCOMPARE(go.count(), 0);
        progress.show();
        progress.SlotProgress(0, 2);
        CheckTimersRunning = true;
        progress.on_NewHong_clicked();  // the confirm button closes all the same
        CheckTimersRunning = false;
        QVERIFY(!progress.isVisible());
        QCOMPARE(go.count(), 1);
    }
};

QTEST_MAIN(SettingsPageTest)
#include "tst_settingspage.moc"
