// The settings page's services and the pairing and update dialogs: firmware
// lookups, the sleep time it follows, the language choice, the layout by
// model, its texts, and the small dialogs' answers.
#include "../../core/tst_shell_recorder.h"

#include "FirmwareFiles.h"
#include "FormSetting.h"
#include "Globals.h"
#include "MacroSettings.h"
#include "Match.h"
#include "PostMsg.h"
#include "RePair.h"
#include "StopCloseTime.h"
#include "UpDateRepair.h"
#include "UpDateWarning.h"
#include "UserFixture.h"
#include "ui_FormSetting.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtEndian>
#include <QtTest>

namespace {
QByteArray firmware(quint32 version, quint8 kind, quint8 id, quint8 mid, const QByteArray& name, int size = 1000)
{
    QByteArray data(size, '\x5a');
    if (size >= FirmwareHeaderSize) {
        qToLittleEndian<quint32>(version, reinterpret_cast<uchar*>(data.data()) + 16);
        data[20] = static_cast<char>(kind);
        data[21] = static_cast<char>(id);
        data[22] = static_cast<char>(mid);
        QByteArray field = name.left(64);
        field.append(QByteArray(64 - field.size(), '\0'));
        data.replace(87, 64, field);
    }
    return data;
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QComboBox* sleepCombo(FormSetting& page)
{
    return page.Form()->frameClose->findChild<QComboBox*>(QStringLiteral("StopClose"));
}

// The list's USB-change callback as the pairing dialog's opener hands it in.
void listChanged() {}
}  // namespace

class SettingsPageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
    }

    void init()
    {
        recorder::clear();
        CurrentDeviceInfo = DeviceAllInfo();
        CurrentDeviceInfo.driveIndex = 0;
    }

    void firmwareLookup()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("a.bin"), firmware(0x0105, 210, 24, 1, "CDM_AX72_MOUSE"));
        writeFile(dir.filePath("b.BIN"), firmware(0x0106, 210, 24, 1, "CDM_AX72_MOUSE"));
        writeFile(dir.filePath("c.bin"), firmware(0x0200, 211, 24, 1, "CDM_RX8K"));
        writeFile(dir.filePath("d.bin"), firmware(0x0300, 210, 24, 1, "CDM_AX72_MOUSE", 500));  // too short
        writeFile(dir.filePath("e.txt"), firmware(0x0300, 210, 24, 1, "CDM_AX72_MOUSE"));

        QByteArray image;
        QVERIFY(FindFirmwareImage(dir.path(), 210, QStringLiteral("v1.5"), QStringLiteral("CDM_AX72_MOUSE"), 24, 1, &image));
        FirmwareHeader header;
        QVERIFY(ParseFirmwareHeader(image, &header));
        QCOMPARE(header.version, 0x0106u);
        // The first image in name order whose version differs is taken.
        QVERIFY(FindFirmwareImage(dir.path(), 210, QStringLiteral("v1.6"), QStringLiteral("CDM_AX72_MOUSE"), 24, 1, &image));
        QVERIFY(ParseFirmwareHeader(image, &header));
        QCOMPARE(header.version, 0x0105u);
        QVERIFY(FindFirmwareImage(dir.path(), 210, QString(), QStringLiteral("CDM_AX72_MOUSE"), 24, 1));
        // Name, kind, id and MID must all match; the name exactly.
        QVERIFY(!FindFirmwareImage(dir.path(), 210, QStringLiteral("v1.0"), QStringLiteral("cdm_ax72_mouse"), 24, 1));
        QVERIFY(!FindFirmwareImage(dir.path(), 211, QStringLiteral("v1.0"), QStringLiteral("CDM_AX72_MOUSE"), 24, 1));
        QVERIFY(!FindFirmwareImage(dir.path(), 210, QStringLiteral("v1.0"), QStringLiteral("CDM_AX72_MOUSE"), 25, 1));
        QVERIFY(!FindFirmwareImage(dir.path(), 210, QStringLiteral("v1.0"), QStringLiteral("CDM_AX72_MOUSE"), 24, 2));
        QVERIFY(FindFirmwareImage(dir.path(), 211, QStringLiteral("v1.0"), QStringLiteral("CDM_RX8K"), 24, 1));
        QVERIFY(!FindFirmwareImage(dir.path(), 211, QStringLiteral("v2.0"), QStringLiteral("CDM_RX8K"), 24, 1));
        QVERIFY(!FindFirmwareImage(dir.filePath("none"), 211, QString(), QStringLiteral("CDM_RX8K"), 24, 1));
        QVERIFY(!ParseFirmwareHeader(QByteArray(727, '\0'), &header));
    }

    void installedImages()
    {
        // The images beside the program: the model table's names and ids.
        QVERIFY(FormSetting::CheckVersionAvailable(210, QStringLiteral("v1.4"), 8));
        QVERIFY(!FormSetting::CheckVersionAvailable(210, QStringLiteral("v1.5"), 8));
        QVERIFY(FormSetting::CheckVersionAvailable(211, QStringLiteral("v1.0"), 1));
        QVERIFY(FormSetting::CheckVersionAvailable(211, QStringLiteral("v1.0"), 8));
        QVERIFY(!FormSetting::CheckVersionAvailable(211, QStringLiteral("v1.0"), 3));
        QVERIFY(FormSetting::FindFirmwareFile(211, QString(), QStringLiteral("CDM_RX4K"), 24, 2));
        QVERIFY(UpDateRepair::FindFirmwareFile(211, QStringLiteral("v1.0"), QStringLiteral("CDM_RX2K"), 24, 1));
        FirmwareHeader header;
        QVERIFY(ParseFirmwareHeader(UpDateRepair::RepairImage(), &header));
        QCOMPARE(header.name, QStringLiteral("CDM_RX2K"));
        QCOMPARE(header.mid, quint8(1));
    }

    void sleepTimeFollowsTheDevice()
    {
        FormSetting page;
        QComboBox* combo = sleepCombo(page);
        QVERIFY(page.Form()->frameClose->isHidden());
        const QList<QPair<int, int>> table = {{10, 0}, {30, 1}, {60, 2}, {300, 3}, {600, 4}, {900, 5},
                                              {1200, 6}, {1500, 7}, {1800, 8}, {2100, 9}, {2400, 10}};
        for (const auto& row : table) {
            PostMsg::GetInstance()->PostLightToFrom(row.first);
            QCOMPARE(combo->currentIndex(), row.second);
        }
        PostMsg::GetInstance()->PostLightToFrom(50);
        QCOMPARE(combo->currentIndex(), 10);
        QCOMPARE(FormSetting::SleepIndexForSeconds(2400), 10);
        QCOMPARE(FormSetting::SleepIndexForSeconds(-10), -1);
    }

    void languageChoice()
    {
        FormSetting page;
        QComboBox* combo = page.Form()->comboBox;
        QCOMPARE(combo->count(), 6);
        QSignalSpy change(PostMsg::GetInstance(), SIGNAL(SigChangeLanguage(int)));
        QSignalSpy same(PostMsg::GetInstance(), SIGNAL(SigLanguageSameA(int)));
        page.on_comboBox_activated(2);
        QCOMPARE(MacroSettings::GetInstance()->GetValue(QStringLiteral("Language"), QStringLiteral("Language")),
                 QStringLiteral("2"));
        QCOMPARE(change.count(), 1);
        QCOMPARE(change.first().first().toInt(), 2);
        QCOMPARE(same.count(), 1);
        QCOMPARE(page.Form()->label_2->text(), QStringLiteral("語言"));

        // From the device list: only the box follows.
        change.clear();
        PostMsg::GetInstance()->PostLanguageSameB(5);
        QCOMPARE(combo->currentIndex(), 5);
        QCOMPARE(change.count(), 0);
        page.on_comboBox_activated(0);
        QCOMPARE(page.Form()->label_2->text(), QStringLiteral("Language"));
        QCOMPARE(sleepCombo(page)->itemText(3), QStringLiteral("5 min"));
        QCOMPARE(WiredModeText,
                 QStringLiteral("New mouse firmware is available. Connect the mouse with its cable to update it"));
        MacroSettings::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QStringLiteral("0"));
    }

    void layoutByModel()
    {
        FormSetting page;
        QVERIFY(!page.LongRangeBlockShown());
        QVERIFY(!page.LedBlockShown());
        // Drive1 offers long range through its receiver.
        CurrentDeviceInfo.directMouse = 0;
        PostMsg::GetInstance()->PostForm();
        QVERIFY(page.LongRangeBlockShown());
        // On its cable the mouse has no long-range mode.
        CurrentDeviceInfo.directMouse = 1;
        PostMsg::GetInstance()->PostForm();
        QVERIFY(!page.LongRangeBlockShown());
        CurrentDeviceInfo.directMouse = 0;

        PostMsg::GetInstance()->PostLongRangeMode(true);
        QVERIFY(page.LongRangeBlockShown());
        QVERIFY(page.Form()->checkBox_2->isChecked());

        DongleRGB rgb{};
        rgb.data[0] = 2;
        PostMsg::GetInstance()->PostRGBValue(&rgb);
        QVERIFY(page.LedBlockShown());
        QVERIFY(page.Form()->ReUntil_2->isChecked());
        QVERIFY(!page.Form()->ReUntil->isChecked());
        QCOMPARE(page.Form()->scrollAreaWidgetContents->maximumHeight(), 780);
        rgb.data[0] = 0;  // nothing to show: no change
        page.SlotRGBValue(&rgb);
        QVERIFY(page.Form()->ReUntil_2->isChecked());

        PostMsg::GetInstance()->PostFormReset();
        QVERIFY(!page.LongRangeBlockShown());
        QVERIFY(!page.LedBlockShown());
        QCOMPARE(page.Form()->scrollAreaWidgetContents->maximumHeight(), 630);

        // A model without long range (item 0 of Adveanced is -1 for none).
        CurrentDeviceInfo.driveIndex = 5;  // no such group: no list
        page.SlotLongRangeMode(true);
        QVERIFY(!page.LongRangeBlockShown());
    }

    void versionsAndUpdateButton()
    {
        FormSetting page;
        CurrentDeviceInfo.firmwareVersion = QStringLiteral("v1.4");
        CurrentDeviceInfo.usbVersion = QStringLiteral("v1.2");
        PostMsg::GetInstance()->PostSetver(6);
        QCOMPARE(page.Form()->label_7->text(), QStringLiteral("v1.4"));
        QCOMPARE(page.Form()->label_5->text(), QStringLiteral("v1.2"));
        PostMsg::GetInstance()->PostLabelTextB(QStringLiteral("v1.3"), QStringLiteral("true"));
        QCOMPARE(page.Form()->label_5->text(), QStringLiteral("v1.3"));
        QVERIFY(!page.Form()->Receive_2->isHidden());
        PostMsg::GetInstance()->PostLabelTextB(QStringLiteral("v1.3"), QString());
        QVERIFY(page.Form()->Receive_2->isHidden());
    }

    void repairDialogInstance()
    {
        {
            FormSetting page;
            QVERIFY(UpdateRepairDialog != nullptr);
            QVERIFY(!UpdateRepairDialog->isVisible());
        }
        QVERIFY(UpdateRepairDialog == nullptr);
    }

    void rePairAnswers()
    {
        {
            RePair dialog;
            QTimer::singleShot(50, &dialog, [&] { QTest::mouseClick(dialog.findChild<QToolButton*>("OK"), Qt::LeftButton); });
            dialog.exec();
            QVERIFY(dialog.IsAccepted());
        }
        {
            RePair dialog;
            QTimer::singleShot(50, &dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
            dialog.exec();
            QVERIFY(!dialog.IsAccepted());
            QCOMPARE(dialog.findChild<QLabel*>("label")->text(), QStringLiteral("Do you need to pair again?"));
        }
    }

    void updateWarningKeepsItsMessage()
    {
        UpDateWarning warning;
        QCOMPARE(warning.Text(), QStringLiteral("Confirm Delete"));
        warning.SetText(QStringLiteral("message"));
        PostMsg::GetInstance()->PostChangeLanguage(1);
        QCOMPARE(warning.Text(), QStringLiteral("message"));
        QCOMPARE(warning.findChild<QToolButton*>("NewHong")->text(), QStringLiteral("确定"));
        PostMsg::GetInstance()->PostChangeLanguage(0);
        auto* ok = warning.findChild<QToolButton*>("NewHong");
        QCOMPARE(ok->shortcut(), QKeySequence(Qt::Key_Return));
        QTimer::singleShot(50, &warning, [ok] { QTest::mouseClick(ok, Qt::LeftButton); });
        warning.exec();
        QVERIFY(!warning.isVisible());
    }

    void matchPicksTheDevice()
    {
        DeviceAllInfo first;
        first.path = QStringLiteral("first");
        DeviceAllInfo selected;
        selected.path = QStringLiteral("selected");
        CurrentDeviceInfo.path = QStringLiteral("current");
        DeviceList = {first};
        SelectedDeviceInfo = selected;

        Match match(&listChanged);
        OnMainPage = 1;
        RePairFlag = false;
        match.InitMatch();
        QCOMPARE(match.Target().path, QStringLiteral("current"));
        QCOMPARE(match.Cid(), 24);
        OnMainPage = 0;
        RePairFlag = true;
        match.InitMatch();
        QCOMPARE(match.Target().path, QStringLiteral("selected"));
        RePairFlag = false;
        match.InitMatch();
        QCOMPARE(match.Target().path, QStringLiteral("first"));
        DeviceList.clear();
        match.InitMatch();
        QVERIFY(!match.HasTarget());

        // Closed while no pairing runs: the list follows USB changes again.
        recorder::clear();
        match.on_CloseButton_clicked();
        QCOMPARE(recorder::lastArgument(QStringLiteral("StartUsbChanged")),
                 reinterpret_cast<long long>(&listChanged));
    }
};

QTEST_MAIN(SettingsPageTest)
#include "tst_settingspage.moc"
