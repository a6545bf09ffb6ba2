// The firmware update check without a window, against the bench and the
// sample images: its steps, what it writes and what it shows.
#include "FirmwareTestSupport.h"

#include "FirmwareCheck.h"
#include "FirmwareUpdate.h"
#include "UserFixture.h"

#include <QTemporaryDir>

using namespace firmwaretest;
using UpdateRules::Message;

namespace {

// Records what a check shows; its step timer is a number the test ticks.
class RecordingView : public FirmwareCheckView
{
public:
    int timer = 0;  // the type whose step timer runs (0 none)
    QStringList shown;
    int ended = 0;
    mutable int versionAsks = 0;

    QString CheckVersionText(int type) const override
    {
        ++versionAsks;
        const UpdateRules::VersionTexts texts = UpdateRules::VersionTextsOf(CurrentDeviceInfo, true, FoundDevices);
        return type == FirmwareKindMouse ? texts.mouse : texts.receiver;
    }
    void RunStepTimer(int type) override { timer = type; }
    void StopStepTimers() override { timer = 0; }
    void ShowCheckBadge(int type, bool on) override
    {
        if (on)
            shown << QStringLiteral("badge %1").arg(type);
    }
    void ShowUpToDate() override { shown << QStringLiteral("up to date"); }
    void ShowUpdateWaiting(bool) override {}
    void ShowCheckNotice(Message message) override { shown << QStringLiteral("notice %1").arg(int(message)); }
    void CheckEnded() override { ++ended; }
};

void unplug(const QString& id)
{
    bench({"unplug", id});
    findDevices();  // as the device link finds the devices again
}

// The page's timer: one step per tick, until the check stops it; afterFirst
// runs after the first tick.
void runSteps(FirmwareCheck& check, const RecordingView& view, const std::function<void()>& afterFirst = {})
{
    QElapsedTimer clock;
    clock.start();
    for (int tick = 0; view.timer != 0 && clock.elapsed() < 30000; ++tick) {
        check.Step(view.timer);
        if (tick == 0 && afterFirst)
            afterFirst();
        pump(5);
    }
}

}  // namespace

class FirmwareCheckTest : public QObject
{
    Q_OBJECT
    QTemporaryDir m_appDir;

    // The bench's receiver and a mouse of its model on the cable, older (a
    // device id) at v1.4. With damage, the receiver's newest image is a
    // damaged copy of the shipped one (empty, cut in its header, truncated,
    // bad magic, bad checksum), alone in the image folder or (a "beside" in
    // damage) beside the shipped one, named after it: the one the scan
    // prefers.
    void prepare(const QString& older, const QString& damage)
    {
        QVERIFY(benchToDefaults());
        bench(firstModelOnCable());
        bench({"option", "upgrade_step_ms=2", "trace=on"});
        if (!older.isEmpty())
            bench({"firmware", older, "1.4"});
        QVERIFY(RemoveUpdateFailInfo());
        MouseUpdateAvailable = ReceiverUpdateAvailable = false;
        findDevices();
        clearCallsLog();
        if (damage.isEmpty())
            return;
        QFile image(FirmwareFolder() + "/CDM_RX8K_MID1_v1.5.bin");
        QDir bin(m_appDir.filePath("bin"));
        QVERIFY(image.open(QIODevice::ReadOnly) && bin.removeRecursively() && bin.mkpath("."));
        const QByteArray whole = image.readAll();
        QByteArray bytes = damage.startsWith("empty")   ? QByteArray()
                           : damage.startsWith("cut")   ? whole.left(600)
                           : damage.startsWith("trunc") ? whole.left(1000)
                                                        : whole;
        if (damage.startsWith("bad magic"))
            bytes[0] = 'X';
        if (damage.startsWith("bad checksum"))
            bytes[2000] = char(bytes.at(2000) ^ 1);  // the scan takes it, the load refuses it
        else
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("passed over"));
        if (damage.contains("beside"))
            QVERIFY(QFile::copy(image.fileName(), bin.filePath("CDM_RX8K_MID1_v1.5.bin")));
        QFile damaged(bin.filePath("CDM_RX8K_MID1_v1.6.bin"));
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write(bytes) == bytes.size());
        SetAppDirOverride(m_appDir.path());
    }

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        ConfigSettings::GetInstance();  // the model table, before any image folder of a test's own
    }
    void cleanup() { SetAppDirOverride(QString()); }

    void steps_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("older");          // the device given an older version
        QTest::addColumn<QString>("damage");         // the receiver's newest image (prepare)
        QTest::addColumn<QString>("goneAfterStep");  // the device unplugged after the first tick
        QTest::addColumn<QStringList>("upgraded");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("reason");
        QTest::addColumn<QStringList>("shown");
        const int rx = FirmwareKindReceiver, mouse = FirmwareKindMouse, none = int(Message::None);
        const int verNew = int(Message::VerNew);
        const QStringList nothing;
        QTest::newRow("receiver newer") << rx << "rx8k" << "" << "" << QStringList{"rx8k"} << 2 << none << nothing;
        QTest::newRow("mouse newer") << mouse << "mouse2" << "" << "" << QStringList{"mouse2"} << 2 << none << nothing;
        QTest::newRow("receiver up to date") << rx << "" << "" << "" << nothing << 4 << verNew << nothing;
        QTest::newRow("mouse up to date") << mouse << "" << "" << "" << nothing << 4 << verNew
                                          << QStringList{"up to date", "up to date"};  // its end, then the check's
        for (const char* damage : {"truncated", "empty", "cut in its header", "bad magic", "bad checksum"})
            QTest::newRow(damage) << rx << "rx8k" << damage << "" << nothing << 0 << int(Message::FileError) << nothing;
        QTest::newRow("bad checksum beside a good older one")
            << rx << "rx8k" << "bad checksum beside" << "" << QStringList{"rx8k"} << 2 << none << nothing;
        QTest::newRow("mouse gone mid-check") << mouse << "mouse2" << "" << "mouse2" << nothing << 0
                                              << int(Message::WiredMode) << QStringList{"badge 210"};
    }
    void steps()
    {
        QFETCH(int, type);
        QFETCH(QString, older);
        QFETCH(QString, damage);
        QFETCH(QString, goneAfterStep);
        QFETCH(QStringList, upgraded);
        QFETCH(int, state);
        prepare(older, damage);

        RecordingView view;
        FirmwareCheck check(view);
        type == FirmwareKindMouse ? check.MouseClicked() : check.ReceiverClicked();
        QCOMPARE(view.timer, type);
        QVERIFY(CheckTimersRunning && !OnlinePollEnabled);
        runSteps(check, view, [&] {
            if (!goneAfterStep.isEmpty())
                unplug(goneAfterStep);
        });
        QCOMPARE(view.timer, 0);
        QVERIFY(!CheckTimersRunning && OnlinePollEnabled);
        QCOMPARE(view.ended, 1);
        QCOMPARE(upgradedDevices(), upgraded);
        QCOMPARE(FirmwareCheck::UpgradeState(type), state);
        QTEST(int(check.LastReason()), "reason");
        QTEST(view.shown, "shown");
        QCOMPARE(check.ReceiverUpToDate(), type == FirmwareKindReceiver && state == 4);
        QVERIFY(!ReadUpdateFailInfo());  // none stored, or removed at the upgrade's end
        for (const QString& id : upgraded)
            QCOMPARE(deviceField(id, "firmware"), QStringLiteral("v1.5"));
    }

    // A step that waited for its image goes on with the file it found: the
    // find and the image step ask the mouse's version, nothing asks again
    // once the image is read.
    void readImageNotLookedUpAgain()
    {
        prepare("mouse2", "");
        RecordingView view;
        FirmwareCheck check(view);
        check.MouseClicked();
        runSteps(check, view);
        QCOMPARE(upgradedDevices(), QStringList{"mouse2"});
        QCOMPARE(view.versionAsks, 2);
    }

    // A receiver waiting in boot mode with its record: the check writes the
    // image the resume decision read (two ticks with no event handled
    // between them start the write), and the success removes the record.
    void resumeWritesTheImageTheDecisionRead()
    {
        prepare("rx8k", "");
        QVERIFY(WriteUpdateFailInfo({211, 8, 24, 1}));
        bench({"boot", "rx8k", "on"});
        findDevices();
        RecordingView view;
        FirmwareCheck check(view);
        std::optional<Message> told;
        check.Decide([&told](Message message) { told = message; });
        QTRY_VERIFY(told.has_value());
        QCOMPARE(int(*told), int(Message::None));
        check.StartRequested();
        check.Step(view.timer);
        check.Step(view.timer);
        QCOMPARE(upgradedDevices(), QStringList{"rx8k"});
        runSteps(check, view);
        QCOMPARE(FirmwareCheck::UpgradeState(FirmwareKindReceiver), 2);
        QVERIFY(!ReadUpdateFailInfo());
    }

    // The resume decision of the repair dialog's way in, before any write.
    void decide_data()
    {
        QTest::addColumn<QString>("older");
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("gone");
        QTest::addColumn<int>("answer");
        QTest::newRow("receiver newer") << "rx8k" << "" << "" << int(Message::None);
        QTest::newRow("both up to date") << "" << "" << "" << int(Message::VerNew);
        QTest::newRow("damaged image") << "rx8k" << "truncated" << "" << int(Message::FileError);
        QTest::newRow("receiver gone") << "rx8k" << "" << "rx8k" << int(Message::NoReceive);
    }
    void decide()
    {
        QFETCH(QString, older);
        QFETCH(QString, damage);
        QFETCH(QString, gone);
        QFETCH(int, answer);
        prepare(older, damage);
        if (!gone.isEmpty())
            unplug(gone);
        RecordingView view;
        FirmwareCheck check(view);
        std::optional<Message> told;
        check.Decide([&told](Message message) { told = message; });
        QTRY_VERIFY(told.has_value());
        QCOMPARE(int(*told), answer);
        QCOMPARE(check.ReceiverUpToDate(), answer == int(Message::VerNew));
        QVERIFY(callsLog({"UsbUpgrade_Start"}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(FirmwareCheckTest)
#include "tst_firmwarecheck.moc"
