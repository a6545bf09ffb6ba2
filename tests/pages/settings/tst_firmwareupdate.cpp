// The firmware update against the bench with the sample images: the
// settings page's update of the receiver, the chain receiver then mouse, a
// failure at 40 % (log, record) and the repair from the device list, no
// image, a start the library refuses, damaged images, two receivers
// waiting, an upgrade that goes silent, and Escape while an upgrade runs.
//
// Bench: the 8 kHz receiver and a mouse of its model on the cable (the
// default bench's cabled mouse made a first-model mouse); the page works for
// that mouse, as after a click on its card in the list.
#include "../../core/FirmwareTestSupport.h"

#include "FirmwareUpdate.h"
#include "FormSetting.h"
#include "RegistryStore.h"
#include "UpDateRepair.h"
#include "UpDateWarning.h"
#include "UserFixture.h"
#include "ui_FormSetting.h"
#include "ui_UpDateRepair.h"

#include <QProgressBar>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

using namespace firmwaretest;

namespace {

constexpr int UpgradeWaitMs = 30000;

}  // namespace

class FirmwareUpdateTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<FormSetting> m_page;
    Ui::FormSetting* ui() const { return m_page->Form(); }
    UpDateRepair* dialog() const { return UpdateRepairDialog; }
    Ui::UpDateRepair* dui() const { return UpdateRepairDialog->Form(); }

    // The list page's repair button: the dialog over the list, its own check.
    void openRepairFromTheList()
    {
        OnMainPage = 0;
        findDevices();
        dialog()->ResetView();
        dialog()->setModal(true);
        PostMsg::GetInstance()->PostRepairCheckUpdate();
        dialog()->show();
    }

    void openUpdateDialog()
    {
        QTest::mouseClick(ui()->Receive_2, Qt::LeftButton);
        QTRY_VERIFY(dialog()->isVisible());
    }

    void startInDialog() { QTest::mouseClick(dui()->NewHong_2, Qt::LeftButton); }

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        MacroSettings::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QStringLiteral("0"));
    }

    void init()
    {
        QVERIFY(benchToDefaults());
        bench(firstModelOnCable());
        bench({QStringLiteral("option"), QStringLiteral("upgrade_step_ms=2"), QStringLiteral("trace=on")});
        bench({QStringLiteral("firmware"), QStringLiteral("rx8k"), QStringLiteral("1.4")});
        QVERIFY(RemoveUpdateFailInfo());
        QFile::remove(UpdateLogPath());
        OnMainPage = 1;
        OnlinePollEnabled = true;
        findDevices();
        m_page = std::make_unique<FormSetting>();
        m_page->SetCheckInterval(10);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        m_page->SetVer(0);
        clearCallsLog();
    }

    void cleanup()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!FirmwareUpgradeRunning() && !RepairUpgradeRunning.load(), UpgradeWaitMs);
        QTRY_VERIFY(!CheckTimersRunning.load());
        m_page.reset();
    }

    void receiverUpdateFromTheSettingsPage()
    {
        QCOMPARE(ui()->label_5->text(), QStringLiteral("v1.4"));
        QVERIFY(ui()->Receive_2->isVisible());
        openUpdateDialog();
        QCOMPARE(dialog()->TipText(), QStringLiteral("Firmware is ready to be written. Keep the devices connected"));
        QCOMPARE(dui()->NewHong_2->text(), QStringLiteral("Start"));
        startInDialog();
        QVERIFY(dui()->progressBar_2->isVisible());
        QVERIFY(!dui()->CloseButton->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(dialog()->TipText(), QStringLiteral("Update complete"), UpgradeWaitMs);
        QCOMPARE(dui()->progressBar_2->value(), 100);
        QCOMPARE(FormSetting::UpdateState(FirmwareKindReceiver), 2);
        QTRY_COMPARE(ui()->label_5->text(), QStringLiteral("v1.5"));
        QTRY_VERIFY(!CheckTimersRunning.load());
        QCOMPARE(deviceField("rx8k", "firmware"), QStringLiteral("v1.5"));
        QCOMPARE(upgradedDevices(), QStringList{QStringLiteral("rx8k")});
        QVERIFY(OnlinePollEnabled.load());
        QVERIFY(!ReadUpdateFailInfo());
        // Confirm at 100: the page says it is up to date.
        startInDialog();
        QVERIFY(!dialog()->isVisible());
        QTRY_COMPARE(ui()->Receive_2->text(), QStringLiteral("Up to date"));
    }

    void receiverThenMouse()
    {
        bench({QStringLiteral("firmware"), QStringLiteral("mouse2"), QStringLiteral("1.4")});
        findDevices();
        m_page->SetVer(0);
        QCOMPARE(ui()->label_7->text(), QStringLiteral("v1.4"));
        QSignalSpy progress(PostMsg::GetInstance(), &PostMsg::SigProgress);
        openUpdateDialog();
        startInDialog();
        QTRY_COMPARE_WITH_TIMEOUT(dialog()->TipText(), QStringLiteral("Update complete"), UpgradeWaitMs);
        QCOMPARE(dui()->progressBar_2->value(), 100);
        QCOMPARE(FormSetting::UpdateState(FirmwareKindMouse), 2);
        QCOMPARE(FormSetting::UpdateState(FirmwareKindReceiver), 2);
        QCOMPARE(deviceField("rx8k", "firmware"), QStringLiteral("v1.5"));
        QCOMPARE(deviceField("mouse2", "firmware"), QStringLiteral("v1.5"));
        QTRY_COMPARE(ui()->label_7->text(), QStringLiteral("v1.5"));
        QCOMPARE(RegistryStore(ProgramRegistryKey()).value(MouseVersionValueName("24", "1")).toString(),
                 QStringLiteral("v1.5"));
        QCOMPARE(upgradedDevices(), QStringList({QStringLiteral("rx8k"), QStringLiteral("mouse2")}));
        // The receiver fills the bar's first half, the mouse the second.
        int lastValue = -1;
        bool firstHalf = false, secondHalf = false;
        for (const QList<QVariant>& args : qAsConst(progress)) {
            if (args.at(1).toInt() != 0)
                continue;
            const int value = args.at(0).toInt();
            QVERIFY2(value >= lastValue || value == 50, qPrintable(QString::number(value)));
            lastValue = value;
            firstHalf = firstHalf || (value > 0 && value < 50);
            secondHalf = secondHalf || (value > 50 && value < 100);
        }
        QVERIFY(firstHalf && secondHalf);
    }

    void failureThenRepairFromTheList()
    {
        bench({QStringLiteral("fault"), QStringLiteral("rx8k"), QStringLiteral("upgrade-fail"), QStringLiteral("40")});
        QSignalSpy back(PostMsg::GetInstance(), &PostMsg::SigChangeMainDialog);
        openUpdateDialog();
        startInDialog();
        QTRY_COMPARE_WITH_TIMEOUT(dialog()->TipText(), QStringLiteral("Update failed. Please try again"), UpgradeWaitMs);
        QCOMPARE(FormSetting::UpdateState(FirmwareKindReceiver), 3);
        QCOMPARE(ReadUpdateFailInfo(), std::optional<UpdateFailRecord>(UpdateFailRecord{211, 8, 24, 1}));
        QFile log(UpdateLogPath());
        QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromLocal8Bit(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 8);
        QVERIFY(lines.contains(QStringLiteral("result: failed: write error at 40%")));
        QVERIFY(!ReceiverUpdateAvailable.load());
        QTRY_VERIFY(OnlinePollEnabled.load());
        QCOMPARE(deviceField("rx8k", "boot"), QStringLiteral("1"));
        // Closed below 100: back to the device list.
        QTest::mouseClick(dui()->CloseButton, Qt::LeftButton);
        QVERIFY(!dialog()->isVisible());
        QCOMPARE(back.count(), 1);
        QCOMPARE(back.first().first().toInt(), 0);

        // The list: the receiver waits in boot mode, the mouse on its cable.
        bench({QStringLiteral("fault"), QStringLiteral("rx8k"), QStringLiteral("clear")});
        QSignalSpy repaired(PostMsg::GetInstance(), &PostMsg::SigUpDateButton);
        clearCallsLog();
        openRepairFromTheList();
        QCOMPARE(DeviceList.size(), 1);
        QTRY_COMPARE(dialog()->TipText(), QStringLiteral("Firmware is ready to be written. Keep the devices connected"));
        startInDialog();
        QVERIFY(RepairUpgradeRunning.load());
        QCOMPARE(upgradedDevices(), QStringList{QStringLiteral("rx8k")});  // with the image the check read, at once
        QTRY_COMPARE_WITH_TIMEOUT(dialog()->TipText(), QStringLiteral("Update complete"), UpgradeWaitMs);
        QCOMPARE(dui()->progressBar_2->value(), 100);
        QCOMPARE(repaired.count(), 1);
        QVERIFY(repaired.first().first().toBool());
        QVERIFY(!ReadUpdateFailInfo());
        QVERIFY(!RepairUpgradeRunning.load());
        QVERIFY(OnlinePollEnabled.load());
        QCOMPARE(deviceField("rx8k", "boot"), QStringLiteral("0"));
        QCOMPARE(deviceField("rx8k", "firmware"), QStringLiteral("v1.5"));
        // Receiver first, then the mouse of the record's model.
        QCOMPARE(upgradedDevices(), QStringList({QStringLiteral("rx8k"), QStringLiteral("mouse2")}));
        dialog()->close();
    }

    void shortcutUpdatesTheListedReceiver()
    {
        // The main window's shortcut: one receiver listed, its own image.
        OnMainPage = 0;
        DeviceList.clear();
        for (const DeviceAllInfo& e : qAsConst(FoundDevices)) {
            if (e.directMouse == 0)
                DeviceList.append(e);
        }
        DeviceListB = DeviceList;
        QVERIFY(WriteUpdateFailInfo({210, 8, 24, 2}));  // another device's record stays
        UpDateRepair repair;
        repair.StartAutoRepair(0);
        QVERIFY(repair.AutoRepair());
        QTRY_COMPARE_WITH_TIMEOUT(repair.TipText(), QStringLiteral("Update complete"), UpgradeWaitMs);
        QCOMPARE(deviceField("rx8k", "firmware"), QStringLiteral("v1.5"));
        const QStringList starts = upgradeStarts();
        QCOMPARE(starts.size(), 1);
        QVERIFY(starts.first().contains(QLatin1String("rx8k CDM_RX8K")));
        QCOMPARE(ReadUpdateFailInfo(), std::optional<UpdateFailRecord>(UpdateFailRecord{210, 8, 24, 2}));
        QVERIFY(!RepairUpgradeRunning.load());
    }

    void noImageNoLibraryCall()
    {
        QVERIFY(WriteUpdateFailInfo({211, 8, 99, 1}));  // a maker id no image is for
        openRepairFromTheList();
        QTRY_COMPARE(dialog()->TipText(), QStringLiteral("No firmware image for this device was found"));
        QCOMPARE(dui()->NewHong_2->text(), QStringLiteral("OK"));
        QVERIFY(dui()->CloseButton->isEnabled());
        QVERIFY(!dialog()->Ready());
        QVERIFY(callsLog({QStringLiteral("UsbUpgrade")}).isEmpty());
        startInDialog();  // OK only closes
        QVERIFY(!dialog()->isVisible());
        QVERIFY(callsLog({QStringLiteral("UsbUpgrade")}).isEmpty());
    }

    void refusedStartFailsOnce()
    {
        QVERIFY(WriteUpdateFailInfo({211, 8, 24, 1}));
        bench({QStringLiteral("boot"), QStringLiteral("rx8k"), QStringLiteral("on")});
        openRepairFromTheList();
        QTRY_VERIFY(dialog()->Ready());
        // A second receiver of the image appears before the start.
        bench({QStringLiteral("add"), QStringLiteral("rx8k"), QStringLiteral("id=rx2")});
        bench({QStringLiteral("boot"), QStringLiteral("rx2"), QStringLiteral("on")});
        QSignalSpy results(PostMsg::GetInstance(), &PostMsg::SigAutoRepair);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("did not start the upgrade")));
        startInDialog();
        QTRY_COMPARE(results.count(), 1);
        QCOMPARE(results.first().first().toInt(), 1);
        QCOMPARE(dialog()->TipText(), QStringLiteral("Update failed. Please try again"));
        QVERIFY(!RepairUpgradeRunning.load());
        QVERIFY(OnlinePollEnabled.load());
        QVERIFY(dui()->CloseButton->isEnabled());
        // The library's own end event of the refusal changes nothing.
        pump(300);
        QCOMPARE(results.count(), 1);
        QCOMPARE(ReadUpdateFailInfo()->type, 211);
        dialog()->close();
    }

    // The receiver's only image is damaged (truncated, empty, a byte of its
    // firmware name, or a broken checksum in a file not named for it, which
    // only the load's whole read shows): the file error, never "Up to date",
    // nothing written and no record left.
    void damagedImage_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("empty") << "empty";
        QTest::newRow("a firmware name byte") << "name";
        QTest::newRow("broken checksum") << "checksum";
    }
    void damagedImage()
    {
        QFETCH(QString, damage);
        // The page is built: from here on only the image folder is read.
        QTemporaryDir appDir;
        QVERIFY(QDir().mkpath(appDir.filePath("bin")));
        QFile image(FirmwareFolder() + QStringLiteral("/CDM_RX8K_MID1_v1.5.bin"));
        QVERIFY(image.open(QIODevice::ReadOnly));
        QByteArray bytes = image.readAll();
        const int at = damage == "name" ? 90 : bytes.size() - 1;
        bytes[at] = char(bytes.at(at) ^ 1);
        bytes = damage == "truncated" ? bytes.left(1000) : damage == "empty" ? QByteArray() : bytes;
        QFile damaged(appDir.filePath(damage == "checksum" ? "bin/rx.bin" : "bin/CDM_RX8K_MID1_v1.6.bin"));
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write(bytes) == bytes.size());
        damaged.close();
        SetAppDirOverride(appDir.path());
        const auto restore = qScopeGuard([] { SetAppDirOverride(QString()); });

        openUpdateDialog();
        if (damage == "checksum") {
            QTRY_VERIFY(dialog()->TipText().startsWith(QLatin1String("Firmware is ready")));
            startInDialog();
        }
        QTRY_COMPARE_WITH_TIMEOUT(dialog()->TipText(), QStringLiteral("No firmware image for this device was found"),
                                  UpgradeWaitMs);
        QTRY_VERIFY(!CheckTimersRunning.load());
        QVERIFY(ui()->Receive_2->text() != QStringLiteral("Up to date"));
        QVERIFY(!ReadUpdateFailInfo());
        QVERIFY(upgradeStarts().isEmpty());
        QCOMPARE(deviceField("rx8k", "boot"), QStringLiteral("0"));
        QCOMPARE(deviceField("rx8k", "firmware"), QStringLiteral("v1.4"));
        dialog()->close();
    }

    void twoReceiversWaiting()
    {
        QVERIFY(WriteUpdateFailInfo({211, 8, 24, 1}));
        bench({QStringLiteral("boot"), QStringLiteral("rx8k"), QStringLiteral("on")});
        bench({QStringLiteral("add"), QStringLiteral("rx8k"), QStringLiteral("id=rx2")});
        bench({QStringLiteral("boot"), QStringLiteral("rx2"), QStringLiteral("on")});
        findDevices();
        QCOMPARE(FoundDevices.size(), 1);  // only the mouse answers
        openUpdateDialog();
        QTRY_COMPARE(dialog()->TipText(), QStringLiteral("More than one device waits for an update. Leave only one connected"));
        QCOMPARE(dui()->NewHong_2->text(), QStringLiteral("OK"));
        QVERIFY(callsLog({QStringLiteral("UsbUpgrade_Start")}).isEmpty());
        dialog()->close();
    }

    void silentUpgradeFails()
    {
        bench({QStringLiteral("option"), QStringLiteral("upgrade_step_ms=200")});
        SetFirmwareUpgradeTimeout(60);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("sent nothing for 60 ms")));
        openUpdateDialog();
        startInDialog();
        QTRY_COMPARE_WITH_TIMEOUT(dialog()->TipText(), QStringLiteral("Update failed. Please try again"), UpgradeWaitMs);
        SetFirmwareUpgradeTimeout(0);
        QCOMPARE(FormSetting::UpdateState(FirmwareKindReceiver), 3);
        QFile log(UpdateLogPath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("no event from the device library"));
        QTRY_VERIFY(!CheckTimersRunning.load());
        QVERIFY(OnlinePollEnabled.load());
        QCOMPARE(ReadUpdateFailInfo(), std::optional<UpdateFailRecord>(UpdateFailRecord{211, 8, 24, 1}));
        dialog()->close();
        // The library goes on by itself; the next test needs it idle.
        QTRY_COMPARE_WITH_TIMEOUT(deviceField("rx8k", "boot"), QStringLiteral("0"), UpgradeWaitMs);
    }

    void escapeWaitsForTheUpgrade()
    {
        bench({QStringLiteral("option"), QStringLiteral("upgrade_step_ms=150")});
        openUpdateDialog();
        startInDialog();
        QTRY_VERIFY_WITH_TIMEOUT(dui()->progressBar_2->value() > 0, UpgradeWaitMs);
        QTest::keyClick(dialog(), Qt::Key_Escape);
        dialog()->close();
        QTest::mouseClick(dui()->CloseButton, Qt::LeftButton);
        QVERIFY(dialog()->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(dialog()->TipText(), QStringLiteral("Update complete"), UpgradeWaitMs);
        QTRY_VERIFY(!CheckTimersRunning.load());
        QTest::keyClick(dialog(), Qt::Key_Escape);
        QTRY_VERIFY(!dialog()->isVisible());
    }
};

QTEST_MAIN(FirmwareUpdateTest)
#include "tst_firmwareupdate.moc"
