// Report handling of the device link: the checks applied to what the device
// sends, the dispatch table by report type, the key-defaults pass, model
// defaults, status changes with the re-read throttle and the version report.
// Reports come in on a thread of their own, as from the device library.
#include "LinkTestSupport.h"

#include "DeviceCache.h"
#include "HIDUsb.h"
#include "LinkSupport.h"
#include "RegistryStore.h"
#include "ReportHandling.h"
#include "Worker.h"

#include <QTemporaryDir>

#include <cstring>

using namespace linktest;

namespace {

void deliver(int type, int subA, int subB, const QByteArray& data)
{
    unsigned char header[5] = {0, static_cast<unsigned char>(type), 0, static_cast<unsigned char>(subA),
                               static_cast<unsigned char>(subB)};
    QByteArray copy = data;
    runOnLibraryThread([&] {
        Worker::OnProtocolData(header, 5, reinterpret_cast<unsigned char*>(copy.data()),
                               static_cast<unsigned int>(copy.size()));
    });
}

FlashDataMap plausibleImage()
{
    FlashDataMap image{};
    image.dpiStageCount = 4;
    image.dpiStage = 1;
    image.reportRate = 1;
    return image;
}

}  // namespace

class ReportTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_appDir;

private slots:
    void initTestCase()
    {
        installConfig(m_appDir);
    }

    void init() { testsupport::SetImage(plausibleImage()); }

    // ---- pure checks -------------------------------------------------------

    void reportRateCodes()
    {
        for (int code = -1; code < 300; ++code) {
            const bool valid = code == 1 || code == 2 || code == 4 || code == 8 || code == 16 || code == 32
                               || code == 64;
            QCOMPARE(IsValidReportRateCode(code), valid);
        }
    }

    void keyRecordsClearedExceptListedKeys()
    {
        FlashDataMap image;
        std::memset(&image, 0xA5, sizeof image);
        ClearKeyRecords(image, {3});
        const uint8_t* bytes = FlashBytes(image);
        for (int k = 0; k < 16; ++k) {
            const uint8_t expected = k == 3 ? 0xA5 : 0x00;
            for (size_t i = 0; i < 52; ++i)
                QCOMPARE(bytes[KeyEventRecordOffset(k) + i], expected);
            for (size_t i = 0; i < 592; ++i)
                QCOMPARE(bytes[MacroRecordOffset(k) + i], expected);
        }
        // Everything before the key event records stays.
        for (size_t i = 0; i < 124; ++i)
            QCOMPARE(bytes[i], uint8_t(0xA5));

        std::memset(&image, 0xA5, sizeof image);
        ClearKeyRecords(image, {});
        for (size_t i = 124; i < sizeof image; ++i)
            QCOMPARE(bytes[i], uint8_t(0));
        for (size_t i = 0; i < 124; ++i)
            QCOMPARE(bytes[i], uint8_t(0xA5));
    }

    void eventDefaultKeysFromTheModelTable()
    {
        QTemporaryDir dir;
        installConfig(dir.path(), configText(QStringLiteral("KeyParam1=0x01,0x01,0x00\n"
                                                            "KeyParam4=0x05,0,0,Ctrl+C\n"
                                                            "KeyParam6=0x05,0x00,CD\n"
                                                            "Adveanced=1,2\n"),
                                             QStringLiteral("KeyParam2=\n")));
        QCOMPARE(EventDefaultKeysOfModel(0), QList<int>({3, 5}));
        QCOMPARE(EventDefaultKeysOfModel(1), QList<int>());  // empty list: not 0x05
        QCOMPARE(EventDefaultKeysOfModel(7), QList<int>());  // no such group
        installConfig(m_appDir);
    }

    // ---- dispatch (no device needed) -----------------------------------------

    void configReport()
    {
        Recorder rec;
        deliver(14, 0, 0, QByteArray::fromHex("02"));
        deliver(14, 0, 0, QByteArray::fromHex("0203"));
        deliver(14, 0, 0, QByteArray());
        QCOMPARE(rec.entries(), QStringList({"ConfigUI(4,2,true)", "ConfigUI(0,0,false)", "ConfigUI(0,0,false)"}));
        QVERIFY(rec.arrivedOffGuiThread() == false);
    }

    void receiverReportsOfAReceiverThatCannotBeAsked()
    {
        // The pages are told what the receiver holds, read on each report;
        // with no receiver to read, neither an old light mode nor a guessed
        // long-range mode is shown.
        Recorder rec;
        CurrentDeviceInfo = DeviceAllInfo();
        CurrentDeviceInfo.type = 1;
        CurrentDeviceInfo.path = QStringLiteral("hidbench/none");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("long-range mode of .* could not be read")));
        deliver(23, 0, 0, QByteArray(10, '\1'));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("long-range mode of .* could not be read")));
        deliver(23, 0, 0, QByteArray(1, '\1'));
        CurrentDongleRGBBlock.data[0] = 3;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("receiver light of .* could not be read")));
        deliver(21, 0, 0, QByteArray(10, '\2'));
        QCOMPARE(rec.entries(), QStringList());
        QCOMPARE(CurrentDongleRGBBlock.data[0], uint8_t(3));
        CurrentDongleRGBBlock.data[0] = 0;
        CurrentDeviceInfo = DeviceAllInfo();
    }

    void ignoredReports()
    {
        Recorder rec;
        const FlashDataMap before = SnapshotFlashData();
        deliver(8, 1, 0, QByteArray(1, char(16)));        // sub-code A set
        deliver(8, 1, 4, QByteArray(1, char(2)));
        deliver(8, 0, 0, QByteArray(1, char(3)));         // no such rate
        deliver(8, 0, 0, QByteArray(1, char(0)));
        deliver(8, 0, 0, QByteArray(1, char(128)));
        deliver(8, 0, 4, QByteArray(1, char(4)));         // stage 4 of 4 stages
        deliver(8, 0, 4, QByteArray(1, char(8)));         // stage 8 and up
        deliver(8, 0, 4, QByteArray(1, char(255)));
        deliver(8, 0, 4, QByteArray(2, char(1)));         // wrong length
        deliver(8, 0, 76, QByteArray(7, char(1)));
        deliver(8, 0, 160, QByteArray(8, char(1)));
        deliver(8, 0, 0, QByteArray(6911, char(1)));      // short dump
        deliver(8, 0, 99, QByteArray(1, char(1)));
        deliver(3, 0, 0, QByteArray(1, char(1)));         // unknown types
        deliver(99, 0, 0, QByteArray(1, char(1)));
        deliver(0, 0, 0, QByteArray(1, char(1)));
        // A header too short to carry a type.
        unsigned char shortHeader[1] = {8};
        unsigned char byte = 1;
        runOnLibraryThread([&] { Worker::OnProtocolData(shortHeader, 1, &byte, 1); });
        runOnLibraryThread([&] { Worker::OnProtocolData(nullptr, 0, nullptr, 0); });
        QVERIFY2(rec.entries().isEmpty(), qPrintable(rec.entries().join(',')));
        const FlashDataMap after = SnapshotFlashData();
        QCOMPARE(std::memcmp(&before, &after, sizeof before), 0);
    }

    void reportRateAndStageReportsAreStored()
    {
        Recorder rec;
        const testsupport::GlobalsFixture globals(testsupport::Situation::DeviceList);
        // Into another device's image nothing goes; the pages are told.
        ImageBelongsToDevice = false;
        deliver(8, 0, 0, QByteArray(1, char(32)));
        deliver(8, 0, 4, QByteArray(1, char(3)));
        QCOMPARE(rec.entries(), QStringList({"ReportRate(32)", "DPI(3)"}));
        QCOMPARE(SnapshotFlashData().reportRate, uint8_t(1));
        QCOMPARE(SnapshotFlashData().dpiStage, uint8_t(1));
        rec.clear();

        ImageBelongsToDevice = true;
        deliver(8, 0, 0, QByteArray(1, char(64)));
        deliver(8, 0, 4, QByteArray(1, char(3)));
        QCOMPARE(rec.entries(), QStringList({"ReportRate(64)", "DPI(3)"}));
        const FlashDataMap image = SnapshotFlashData();
        QCOMPARE(image.reportRate, uint8_t(64));
        QCOMPARE(image.dpiStage, uint8_t(3));

        // A mouse on its cable ignores rates of 2000 Hz and up.
        rec.clear();
        CurrentDeviceInfo.type = 7;
        CurrentDeviceInfo.directMouse = 1;
        deliver(8, 0, 0, QByteArray(1, char(16)));
        deliver(8, 0, 0, QByteArray(1, char(8)));
        QCOMPARE(rec.entries(), QStringList({"ReportRate(8)"}));
        QCOMPARE(SnapshotFlashData().reportRate, uint8_t(8));
    }

    void statusChangeThrottle()
    {
        // One window per 3000 ms; a request inside it is remembered and
        // honoured once when the window has passed.
        RestartReadThrottle();
        ReadAgain = false;
        ReloadPending = false;
        std::memset(StatusChangedFlags, 0, sizeof StatusChangedFlags);
        QByteArray flags(7, '\0');
        flags[2] = 1;
        // Within the window from the link's start: remembered, not honoured.
        RequestFullReread();
        QVERIFY(!ReadAgain.load());
        HonourDeferredReread();
        QVERIFY(!ReadAgain.load());
        QTest::qWait(3100);
        HonourDeferredReread();
        QVERIFY(ReadAgain.load());
        QVERIFY(ReloadPending.load());
        ReadAgain = false;
        ReloadPending = false;
        // Honoured once only.
        HonourDeferredReread();
        QVERIFY(!ReadAgain.load());
        // Twice inside one window: still one re-read in the next window.
        RequestFullReread();
        RequestFullReread();
        QVERIFY(!ReadAgain.load());
        QTest::qWait(3100);
        RequestFullReread();  // the window has passed: honoured at once
        QVERIFY(ReadAgain.load());
        ReadAgain = false;
        ReloadPending = false;
        HonourDeferredReread();
        QVERIFY(!ReadAgain.load());
    }
};

QTEST_MAIN(ReportTest)
#include "tst_link_reports.moc"
