// The device choreography against the bench: the model of an identity and
// the model records, the stored mouse version, which
// firmware differs, one pairing attempt (success, failure, no answer, no
// receiver), and the pairing run with the callback and link after it.
#include "LinkTestSupport.h"

#include "DeviceChoreography.h"
#include "FirmwareFiles.h"
#include "FirmwareUpdate.h"
#include "ModelRecords.h"
#include "RegistryStore.h"
#include "UserFixture.h"

#include <QTemporaryDir>

#include <optional>

using namespace linktest;

namespace {

const QString Receiver = QStringLiteral("hidbench/rx8k");

std::atomic<int> listCalls{0};
std::atomic<int> outcome{-1};
void pairReports(unsigned char* header, int headerLength, unsigned char* data, unsigned int dataLength)
{
    if (const PairOutcome o = PairOutcomeOf(header, headerLength, data, dataLength); o != PairOutcome::None)
        outcome = int(o);
}

DeviceAllInfo receiverRecord(const QString& usbVersion = QString())
{
    DeviceAllInfo device;
    device.path = Receiver;
    device.vid = QStringLiteral("7A51");
    device.pid = QStringLiteral("F080");
    device.type = 5;  // 8 kHz: CDM_RX8K
    device.usbVersion = usbVersion;
    return device;
}

}  // namespace

Q_DECLARE_METATYPE(FirmwareRelation)
Q_DECLARE_METATYPE(PairOutcome)

class ChoreographyTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_appDir;

private slots:
    void initTestCase()
    {
        installConfig(m_appDir);
        testsupport::PrepareUserState();
        QVERIFY(benchToDefaults());
        bench({"option", "trace=on", "pair_delay_ms=200"});
    }

    void cleanup()
    {
        StopFollowingUsbChanges();
        CloseDeviceLink();
        SetListUsbCallback(nullptr);
        OnMainPage = 0;
        RePairFlag = false;
    }

    void modelOfIdentity_data()
    {
        QTest::addColumn<int>("cid");
        QTest::addColumn<int>("mid");
        QTest::addColumn<int>("model");  // -1 none
        QTest::newRow("first model") << 24 << 1 << 0;
        QTest::newRow("second model") << 24 << 2 << 1;
        QTest::newRow("another maker") << 25 << 1 << -1;
        QTest::newRow("no such model") << 24 << 3 << -1;
        QTest::newRow("no identity") << 0 << 0 << -1;
    }
    void modelOfIdentity()
    {
        QFETCH(int, cid);
        QFETCH(int, mid);
        QFETCH(int, model);
        const std::optional<ModelRecord> found = ModelOfIdentity(cid, mid);
        QCOMPARE(found ? found->driveIndex : -1, model);
    }

    void modelRecordIsReadOnceAndAgainAfterReload()
    {
        const std::optional<ModelRecord> first = ModelRecordOf(0);
        QVERIFY(first);
        QCOMPARE(VendorCid(), 24);
        QCOMPARE((QStringList{first->cidText, first->midText, first->mouseFirmware, first->ReceiverFirmwareOfType(5),
                              first->ReceiverFirmwareOfType(4), first->ReceiverFirmwareOfRate(4),
                              first->ReceiverFirmwareOfType(2)}),
                 (QStringList{"24", "1", "CDM_AX72_MOUSE", "CDM_RX8K", "CDM_RX2K", "CDM_RX4K", ""}));
        QVERIFY(!ModelRecordOf(2));

        // Another table: the records follow it.
        installConfig(m_appDir.path(), configText("DPIMaxGrade=6\n").replace("MID=2", "MID=7"));
        QCOMPARE(ModelRecordOf(0)->stageLimit, 6);
        QCOMPARE(ModelOfIdentity(24, 7)->driveIndex, 1);
        QVERIFY(!ModelOfIdentity(24, 2));
        installConfig(m_appDir);
        QCOMPARE(ModelOfIdentity(24, 2)->driveIndex, 1);
    }

    void storedMouseVersion()
    {
        RegistryStore(ProgramRegistryKey()).remove(MouseVersionValueName("24", "2"));
        QVERIFY(ReadMouseVersion("24", "2").isEmpty());
        QVERIFY(WriteMouseVersion("24", "2", "v1.7"));
        QCOMPARE(ReadMouseVersion("24", "2"), QStringLiteral("v1.7"));
        QVERIFY(ReadMouseVersion("24", "1") != QStringLiteral("v1.7"));
    }

    void firmwareRelation_data()
    {
        QTest::addColumn<QString>("mouseVersion");   // stored; "" none
        QTest::addColumn<QString>("mouseImage");     // "" none
        QTest::addColumn<QString>("receiverImage");  // "" none
        QTest::addColumn<QString>("receiverRuns");   // the receiver's version, "" unknown
        QTest::addColumn<FirmwareRelation>("relation");
        QTest::newRow("no mouse version") << "" << "1.6" << "1.6" << "v1.5" << FirmwareRelation::MouseUnknown;
        QTest::newRow("no images") << "v1.5" << "" << "" << "v1.5" << FirmwareRelation::Same;
        QTest::newRow("same versions") << "v1.5" << "1.5" << "1.5" << "v1.5" << FirmwareRelation::Same;
        QTest::newRow("mouse differs") << "v1.5" << "1.6" << "1.5" << "v1.5" << FirmwareRelation::Mouse;
        QTest::newRow("receiver differs") << "v1.5" << "1.5" << "1.6" << "v1.5" << FirmwareRelation::Receiver;
        QTest::newRow("both differ") << "v1.5" << "1.6" << "1.6" << "v1.5" << FirmwareRelation::Both;
        QTest::newRow("receiver version unknown") << "v1.5" << "" << "1.5" << "" << FirmwareRelation::Receiver;
    }
    void firmwareRelation()
    {
        QFETCH(QString, mouseVersion);
        QFETCH(QString, mouseImage);
        QFETCH(QString, receiverImage);
        QFETCH(QString, receiverRuns);
        QFETCH(FirmwareRelation, relation);
        QDir(FirmwareFolder()).removeRecursively();
        RegistryStore(ProgramRegistryKey()).remove(MouseVersionValueName("24", "1"));
        if (!mouseVersion.isEmpty())
            QVERIFY(WriteMouseVersion("24", "1", mouseVersion));
        if (!mouseImage.isEmpty())
            addFirmware(m_appDir.path(), "CDM_AX72_MOUSE.bin", "mouse", "CDM_AX72_MOUSE", mouseImage);
        if (!receiverImage.isEmpty())
            addFirmware(m_appDir.path(), "CDM_RX8K.bin", "receiver", "CDM_RX8K", receiverImage);
        QCOMPARE(FirmwareRelationOf(receiverRecord(receiverRuns)), relation);
    }

    void pairingAttempt_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QStringList>("setup");  // a bench command before, empty none
        QTest::addColumn<bool>("asked");
        QTest::addColumn<PairOutcome>("expected");  // None: no answer within the wait
        QTest::newRow("paired") << Receiver << QStringList() << true << PairOutcome::Paired;
        QTest::newRow("failed") << Receiver << QStringList{"fault", "rx8k", "pair-fail", "on"} << true
                                << PairOutcome::Failed;
        QTest::newRow("no answer") << Receiver << QStringList{"option", "pair_delay_ms=600000"} << true
                                   << PairOutcome::None;
        QTest::newRow("no receiver") << "hidbench/mouse2" << QStringList() << false << PairOutcome::Failed;
    }
    void pairingAttempt()
    {
        QFETCH(QString, device);
        QFETCH(QStringList, setup);
        QFETCH(bool, asked);
        QFETCH(PairOutcome, expected);
        bench({"fault", "rx8k", "clear"});
        bench({"set", "rx8k", "paired="});
        bench({"option", "pair_delay_ms=200"});
        if (!setup.isEmpty())
            bench(setup);
        outcome = -1;
        QVERIFY(OpenPairingLink(device, &pairReports));
        QCOMPARE(AskToPair(VendorCid()), asked);
        QVERIFY(AskPairState());
        if (expected == PairOutcome::None) {
            pump(1000);
            QCOMPARE(outcome.load(), -1);
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(outcome.load(), int(expected), 5000);
        }
        // The receiver is found by its ids after a pairing (whatever came of
        // it: the search does not ask the device).
        if (expected == PairOutcome::Paired)
            QVERIFY(StillAttached(receiverRecord()));
    }

    void reportsThatSayNothing()
    {
        unsigned char header[2] = {0x5A, 6};
        unsigned char data[1] = {3};
        QCOMPARE(PairOutcomeOf(header, 2, data, 1), PairOutcome::Paired);
        QCOMPARE(PairOutcomeOf(header, 1, data, 1), PairOutcome::None);  // too short a header
        QCOMPARE(PairOutcomeOf(header, 2, data, 0), PairOutcome::None);
        QCOMPARE(PairOutcomeOf(header, 2, nullptr, 1), PairOutcome::None);
        data[0] = 1;  // still pairing
        QCOMPARE(PairOutcomeOf(header, 2, data, 1), PairOutcome::None);
        header[1] = 8;  // another report
        data[0] = 2;
        QCOMPARE(PairOutcomeOf(header, 2, data, 1), PairOutcome::None);
    }

    void pairingRun_data()
    {
        QTest::addColumn<bool>("pages");
        QTest::addColumn<bool>("clicked");
        QTest::addColumn<QStringList>("calls");  // the library calls after the dialog
        QTest::newRow("pages") << true << false << QStringList{"StartUsbChanged 600", "UsbServerC_Start " + Receiver};
        QTest::newRow("list, clicked receiver") << false << true << QStringList{"StartUsbChanged 600"};
        QTest::newRow("list, listed receiver") << false << false << QStringList{"StartUsbChanged 600"};
    }
    void pairingRun()
    {
        QFETCH(bool, pages);
        QFETCH(bool, clicked);
        QFETCH(QStringList, calls);
        SetListUsbCallback([] { ++listCalls; });
        SetCurrentDevicePath(Receiver.toLocal8Bit());
        OnMainPage = pages ? 1 : 0;
        RePairFlag = !clicked;  // whatever an earlier pairing left
        SelectedDeviceInfo = DeviceAllInfo();
        const DeviceAllInfo record = receiverRecord();
        bool flagDuring = !clicked;
        clearCallsLog();
        listCalls = 0;
        RunPairing([&] { flagDuring = RePairFlag.load(); }, clicked ? &record : nullptr);
        QCOMPARE(flagDuring, clicked);
        QCOMPARE(SelectedDeviceInfo.path, clicked ? Receiver : QString());
        QVERIFY(!RePairFlag.load());
        QCOMPARE(callsLog({"StartUsbChanged", "UsbServerC_Start", "StopUsbChanged"}), calls);
        // The list's callback follows the changes soon after it is made
        // live, never on the pages; there the device link is back and takes
        // a full read.
        if (pages) {
            pump(300);
            QCOMPARE(listCalls.load(), 0);
            QVERIFY(UsbServer_ReadAllFlashData());
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(listCalls.load() > 0, 3000);
        }
    }

    void listWithoutItsCallbackFollowsNothing()
    {
        clearCallsLog();
        FollowUsbChanges(UsbWatcher::List);
        QCOMPARE(callsLog({"StartUsbChanged", "StopUsbChanged"}), QStringList{"StopUsbChanged"});
    }
};

QTEST_MAIN(ChoreographyTest)
#include "tst_choreography.moc"
