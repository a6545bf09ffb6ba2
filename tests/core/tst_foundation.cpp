// The shared image layout, the device records, the settings stores, the
// registry store, the signal hub's delivery rules and the pumped wait.
#include "ConfigSettings.h"
#include "Globals.h"
#include "LinkSupport.h"
#include "MacroSettings.h"
#include "ModelRecords.h"
#include "PostMsg.h"
#include "PumpedWait.h"
#include "RegistryStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>
#include <cstring>
#include <thread>

namespace {
void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}
}  // namespace

class Receiver : public QObject
{
    Q_OBJECT
public:
    QStringList* log = nullptr;
    QString name;
    FlashDataMap lastImage{};
    std::atomic<bool> gotImage{false};
    Qt::HANDLE thread = nullptr;
public slots:
    void SlotFormReset()
    {
        thread = QThread::currentThreadId();
        log->append(name);
    }
    void SlotImage(FlashDataMap image)
    {
        thread = QThread::currentThreadId();
        lastImage = image;
        gotImage = true;
    }
};

class FoundationTest : public QObject
{
    Q_OBJECT

private slots:
    void imageLayoutIsBinding()
    {
        FlashDataMap image{};
        QCOMPARE(sizeof(image), size_t(10428));
        uint8_t* bytes = FlashBytes(image);
        image.sleepTime = 0x11;
        image.dpiStages[7].b = 0x22;
        image.lightOn = 0x33;
        image.keys[15].value2 = 0x44;
        image.keyEvents[15].events[5].delay = 0x55667788u;
        image.macros[15].events[69].delay = 0x99AABBCCu;
        image.macros[3].nameLength = 0x66;
        QCOMPARE(bytes[8], uint8_t(0x11));
        QCOMPARE(bytes[15 + 6 * 7 + 5], uint8_t(0x22));
        QCOMPARE(bytes[73], uint8_t(0x33));
        QCOMPARE(bytes[74 + 3 * 15 + 2], uint8_t(0x44));
        // Little-endian delay in the last event of the last key record: bytes 952..955.
        QCOMPARE(bytes[952], uint8_t(0x88));
        QCOMPARE(bytes[955], uint8_t(0x55));
        QCOMPARE(bytes[10424], uint8_t(0xCC));
        QCOMPARE(bytes[10427], uint8_t(0x99));
        QCOMPARE(bytes[956 + 592 * 3], uint8_t(0x66));
        QCOMPARE(KeyEventRecordOffset(15) + 52, size_t(956));
        QCOMPARE(MacroRecordOffset(15) + 592, size_t(10428));
    }

    void deviceRecords()
    {
        const DeviceAllInfo info;
        QCOMPARE(info.vid, QStringLiteral("0"));
        QCOMPARE(info.pid, QStringLiteral("0"));
        QCOMPARE(info.driveIndex, 0);
        QCOMPARE(int(info.online), 0);
        QCOMPARE(int(info.directMouse), 0);
        QVERIFY(info.path.isEmpty() && info.address.isEmpty());
        for (int type : {0, 1, 4, 5})
            QCOMPARE(int(DirectMouseFromType(uint8_t(type))), 0);
        for (int type : {2, 3, 6, 7, 200})
            QCOMPARE(int(DirectMouseFromType(uint8_t(type))), 1);
        QCOMPARE(DeviceFileName(5, 171), QStringLiteral("Device_CID05_MIDAB.bin"));
        QCOMPARE(VersionText(0x0105), QStringLiteral("v1.5"));
        QCOMPARE(VersionText(0x010A), QStringLiteral("v1.a"));
        QCOMPARE(VersionText(0x0110), QStringLiteral("v1.10"));
    }

    void globalsStartAsSpecified()
    {
        QCOMPARE(CurrentDevicePath(), QByteArray("a"));
        QVERIFY(OnlinePollEnabled.load());
        QVERIFY(!UiReady.load());
        QVERIFY(!ImageBelongsToDevice.load());
        QCOMPARE(int(CurrentDongleRGB->data[0]), 0);
        const FlashDataMap zero{};
        const FlashDataMap now = SnapshotFlashData();
        QVERIFY(std::memcmp(&zero, &now, sizeof zero) == 0);
    }

    void devicePathIsOwnedAndThreadSafe()
    {
        QByteArray source("/bench/hid-1");
        SetCurrentDevicePath(source);
        source[1] = 'X';  // the global keeps its own copy
        QCOMPARE(CurrentDevicePath(), QByteArray("/bench/hid-1"));
        std::atomic<bool> stop{false};
        std::thread reader([&] {
            while (!stop) {
                const QByteArray p = CurrentDevicePath();
                QVERIFY(p == "/bench/hid-1" || p == "/bench/hid-2");
            }
        });
        for (int i = 0; i < 2000; ++i)
            SetCurrentDevicePath(i % 2 ? "/bench/hid-1" : "/bench/hid-2");
        stop = true;
        reader.join();
        SetCurrentDevicePath("a");
    }

    void configSettingsDecodesIdentityKeys()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray spaced = QByteArray("1 2\r\n3\t4").toBase64();
        writeFile(dir.path() + "/usersetting/Config.ini",
                  "[Option]\n"
                  "CID=" + QByteArray("24").toBase64() + "\n"
                  "VID=" + spaced + "\n"
                  "LabelColor=10,20,30\n"
                  "DeviceTotal=" + QByteArray("2").toBase64() + "\n"
                  "USB_PID=" + QByteArray("F001").toBase64() + "," + QByteArray(" F0\n02").toBase64() + "\n"
                  "[Drive1]\n"
                  "Sensor=" + QByteArray("AX72").toBase64() + "\n"
                  "KeyParam6=0x05,0,0,Ctrl+C\n"
                  "Adveanced=1,2\n");
        SetAppDirOverride(dir.path());
        ConfigSettings* config = ConfigSettings::GetInstance();
        config->Reload();
        QCOMPARE(ConfigSettings::GetInstance(), config);
        QCOMPARE(config->GetValue("Option", "CID"), QStringLiteral("24"));
        QCOMPARE(config->GetInt("Option", "CID"), 24);
        // Decoded text loses blanks, tabs and line breaks.
        QCOMPARE(config->GetValue("Option", "VID"), QStringLiteral("1234"));
        // A key outside the identity list comes back as stored, even when it looks like Base64.
        QCOMPARE(config->GetValue("Option", "DeviceTotal"), QString::fromLatin1(QByteArray("2").toBase64()));
        QCOMPARE(config->GetValueList("Option", "USB_PID"), QStringList({"F001", "F002"}));
        QCOMPARE(config->GetValueList("Option", "LabelColor"), QStringList({"10", "20", "30"}));
        QCOMPARE(config->GetValueList("Drive1", "KeyParam6"), QStringList({"0x05", "0", "0", "Ctrl+C"}));
        QCOMPARE(config->GetValue("Drive1", "Sensor"), QStringLiteral("AX72"));
        QCOMPARE(config->GetValue("Drive1", "Adveanced"), QStringLiteral("1,2"));
        // Missing keys and groups.
        QCOMPARE(config->GetValue("Drive9", "MID"), QString());
        QVERIFY(config->GetValueList("Drive1", "DPIColor").isEmpty());
        QCOMPARE(config->GetInt("Drive1", "Nothing"), 0);
        SetAppDirOverride(QString());
        config->Reload();
    }

    void configCountsAreBounded_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("models");
        QTest::addColumn<int>("stages");
        QTest::newRow("2^31 - 1") << "2147483647" << ConfigSettings::MaxModelGroups << 8;
        QTest::newRow("past int") << "99999999999" << 0 << 0;
        QTest::newRow("negative") << "-3" << 0 << 0;
        QTest::newRow("text") << "many" << 0 << 0;
        QTest::newRow("plain") << "3" << 3 << 3;
    }

    void configCountsAreBounded()
    {
        QFETCH(QString, stored);
        QFETCH(int, models);
        QFETCH(int, stages);
        QTemporaryDir dir;
        writeFile(dir.path() + "/usersetting/Config.ini",
                  "[Option]\nDeviceTotal=" + stored.toUtf8() + "\n[Drive1]\nDPIMaxGrade=" + stored.toUtf8() + "\n");
        SetAppDirOverride(dir.path());
        ConfigSettings* config = ConfigSettings::GetInstance();
        config->Reload();
        QCOMPARE(config->ModelTotal(), models);
        QCOMPARE(config->ModelStageLimit(0), stages);
        SetAppDirOverride(QString());
        config->Reload();
    }

    void configSettingsIsSafeAcrossThreads()
    {
        ConfigSettings* config = ConfigSettings::GetInstance();
        const QString expected = config->GetValue("Option", "CID");
        std::atomic<int> mismatches{0};
        std::thread other([&] {
            for (int i = 0; i < 300; ++i)
                if (config->GetValue("Option", "CID") != expected)
                    ++mismatches;
        });
        for (int i = 0; i < 300; ++i)
            config->GetValueList("Option", "USB_PID");
        other.join();
        QCOMPARE(mismatches.load(), 0);
    }

    void receiverKinds_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("receiver");
        QTest::addColumn<int>("rateClass");
        QTest::addColumn<QString>("firmwareKey");
        QTest::newRow("1 kHz") << 0 << true << 1 << "DM";
        QTest::newRow("2 kHz") << 4 << true << 2 << "D2M";
        QTest::newRow("4 kHz") << 1 << true << 4 << "D4M";
        QTest::newRow("8 kHz") << 5 << true << 8 << "D8M";
        for (int type : {2, 3, 6, 0x10, 0xFF})
            QTest::addRow("mouse %d", type) << type << false << -7 << "";
        QTest::newRow("no record") << -1 << false << -7 << "";
    }
    void receiverKinds()
    {
        QFETCH(int, type);
        QFETCH(bool, receiver);
        QFETCH(int, rateClass);
        QFETCH(QString, firmwareKey);
        QCOMPARE(ConfigSettings::RateClassOfType(type, -7), rateClass);
        QCOMPARE(ConfigSettings::ReceiverFirmwareKey(type), firmwareKey);
        QCOMPARE(ConfigSettings::ReceiverFirmwareKeyOfRate(rateClass), firmwareKey);
        QCOMPARE(IsReceiverKind(type), receiver);
        if (type >= 0)
            QCOMPARE(DirectMouseFromType(uint8_t(type)), uint8_t(receiver ? 0 : 1));
        QCOMPARE(IsReceiverRateClass(ConfigSettings::RateClassOfType(type, 0)), receiver);
    }

    void modelGroupOfAModel()
    {
        ConfigSettings* config = ConfigSettings::GetInstance();
        config->Reload();
        QCOMPARE(ConfigSettings::ModelGroup(1), QStringLiteral("Drive2"));
        QCOMPARE(config->ModelInt(1, "MID"), 2);
        QCOMPARE(config->ModelValue(0, "MM"), config->GetValue("Drive1", "MM"));
        QCOMPARE(config->ModelValueList(0, "Adveanced").size(), 2);
    }

    void installedModelTableIsComplete()
    {
        // The shipped Config.ini beside the executable.
        ConfigSettings* config = ConfigSettings::GetInstance();
        config->Reload();
        QCOMPARE(config->GetInt("Option", "DeviceTotal"), 2);
        QVERIFY(config->GetInt("Option", "CID") > 0);
        QVERIFY(!config->GetValue("Option", "VID").isEmpty());
        for (const char* key : {"USB_PID", "Wireless_PID", "Wireless2_PID", "Wireless4_PID", "Wireless8_PID"})
            QVERIFY2(!config->GetValueList("Option", key).isEmpty(), key);
        for (const char* key : {"LabelColor", "ButtonColor", "SliderColor", "LinEditColor", "LinEditColorSecond",
                                "ComboxTextColor", "ComboxSelectColor", "ComboxBackGroundColor"})
            QCOMPARE(config->GetValueList("Option", key).size(), 3);
        for (int n = 1; n <= 2; ++n) {
            const QString group = QStringLiteral("Drive%1").arg(n);
            QCOMPARE(config->GetInt(group, "MID"), n);
            QVERIFY(!config->GetValue(group, "Sensor").isEmpty());
            QCOMPARE(config->GetInt(group, "KeyNumber"), 6);
            for (int k = 1; k <= 6; ++k)
                QVERIFY(!config->GetValueList(group, QStringLiteral("KeyParam%1").arg(k)).isEmpty());
            for (const char* key : {"MM", "DM", "D2M", "D4M", "D8M"})
                QVERIFY(!config->GetValue(group, key).isEmpty());
            QCOMPARE(config->GetValueList(group, "Adveanced").size(), 2);
            QVERIFY(config->GetValueList(group, "DPIGrade").size() >= 8);
        }
    }

    void macroSettingsRoundTrip()
    {
        MacroSettings* settings = MacroSettings::GetInstance();
        settings->Reload();
        QCOMPARE(settings->FilePath(), qEnvironmentVariable("XDG_DATA_HOME") + "/Corvane Dizadi Mouse/Macro.ini");
        QDir().mkpath(UserDir());
        settings->SetValue("Language", "Language", "3");
        QCOMPARE(StoredLanguageIndex(), 3);
        QVERIFY(QFile::exists(UserDir() + "/Macro.ini"));
        settings->RemoveValue("Language", "Language");
        QCOMPARE(StoredLanguageIndex(), 0);
    }

    void registryStoreRoundTrip()
    {
        const QString key = ProgramRegistryKey();
        RegistryStore store(key);
        QVERIFY(store.isValid());
        const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QCOMPARE(store.filePath(), config + "/Software/Corvane Dizadi Mouse/Corvane Dizadi Mouse/Vozad Izuro Vuro.conf");
        QVERIFY(!store.contains("MouseVer2401"));
        QVERIFY(store.setValue("MouseVer2401", "v1.5"));
        QCOMPARE(RegistryStore(key).value("MouseVer2401").toString(), QStringLiteral("v1.5"));
        QVERIFY(store.remove("MouseVer2401"));
        QVERIFY(!RegistryStore(key).contains("MouseVer2401"));
        // Nothing lands in the working folder, and nothing leaves the config folder.
        QVERIFY(!QFile::exists(QDir::currentPath() + "/HKEY_CURRENT_USER"));
        QVERIFY(!RegistryStore("HKEY_LOCAL_MACHINE\\Software\\X").isValid());
        QVERIFY(!RegistryStore("HKEY_CURRENT_USER\\Software\\..\\..\\etc").isValid());
        QVERIFY(!RegistryStore("HKEY_CURRENT_USER\\a/b").isValid());
    }

    void hubIsOneInstance()
    {
        QCOMPARE(PostMsg::GetInstance(), PostMsg::GetInstance());
        QCOMPARE(PostMsg::GetInstance()->thread(), QCoreApplication::instance()->thread());
        // 56 signals in declaration order.
        const QMetaObject* meta = PostMsg::GetInstance()->metaObject();
        QStringList signalNames;
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
            if (meta->method(i).methodType() == QMetaMethod::Signal)
                signalNames << QString::fromLatin1(meta->method(i).methodSignature());
        QCOMPARE(signalNames.size(), 56);
        QCOMPARE(signalNames.first(), QStringLiteral("SigChangeMainDialog(int)"));
        QCOMPARE(signalNames.at(29), QStringLiteral("SigBattery(bool,int,bool)"));
        QCOMPARE(signalNames.at(47), QStringLiteral("SigFormReset()"));
        QCOMPARE(signalNames.last(), QStringLiteral("SigLightToFrom(int)"));
    }

    void blockingSignalFromAnotherThreadWaitsForReceiver()
    {
        Receiver receiver;
        QVERIFY(connect(PostMsg::GetInstance(), SIGNAL(SigUpDataLightLight(FlashDataMap)), &receiver,
                        SLOT(SlotImage(FlashDataMap))));
        FlashDataMap image{};
        image.lightMode = 4;
        image.macros[15].events[69].code = 0x1234;
        std::atomic<bool> seenBeforeReturn{false};
        std::atomic<bool> done{false};
        std::thread emitter([&] {
            PostMsg::GetInstance()->PostUpDataLightLight(image);
            seenBeforeReturn = receiver.gotImage.load();
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done.load(), 5000);
        emitter.join();
        QVERIFY(seenBeforeReturn.load());
        QCOMPARE(receiver.thread, QThread::currentThreadId());
        QCOMPARE(int(receiver.lastImage.lightMode), 4);
        QCOMPARE(int(receiver.lastImage.macros[15].events[69].code), 0x1234);
        disconnect(PostMsg::GetInstance(), nullptr, &receiver, nullptr);
    }

    void formResetReachesFourReceiversInOrder()
    {
        QStringList log;
        Receiver r[4];
        const char* names[] = {"sensor", "light", "button", "form"};
        for (int i = 0; i < 4; ++i) {
            r[i].log = &log;
            r[i].name = names[i];
            connect(PostMsg::GetInstance(), SIGNAL(SigFormReset()), &r[i], SLOT(SlotFormReset()));
        }
        std::atomic<int> seenAtReturn{-1};
        std::atomic<bool> done{false};
        std::thread emitter([&] {
            PostMsg::GetInstance()->PostFormReset();
            seenAtReturn = 0;  // log is read on the GUI thread below
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done.load(), 5000);
        emitter.join();
        QCOMPARE(log, QStringList({"sensor", "light", "button", "form"}));
        for (auto& receiver : r)
            disconnect(PostMsg::GetInstance(), nullptr, &receiver, nullptr);
    }

    void blockingSignalOnGuiThreadDeliversAtOnce()
    {
        QStringList log;
        Receiver receiver;
        receiver.log = &log;
        receiver.name = "direct";
        connect(PostMsg::GetInstance(), SIGNAL(SigFormReset()), &receiver, SLOT(SlotFormReset()));
        PostMsg::GetInstance()->PostFormReset();  // must neither deadlock nor defer
        QCOMPARE(log, QStringList({"direct"}));
        QSignalSpy spy(PostMsg::GetInstance(), SIGNAL(SigBattery(bool,int,bool)));
        PostMsg::GetInstance()->PostBattery(true, 55, false);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(1).toInt(), 55);
        disconnect(PostMsg::GetInstance(), nullptr, &receiver, nullptr);
        // A signal nobody connected has no effect.
        emit PostMsg::GetInstance()->SigCloseUpdate();
    }

    void autoSignalFromAnotherThreadIsQueued()
    {
        QSignalSpy spy(PostMsg::GetInstance(), SIGNAL(SigSetver(int)));
        int seen = -1;
        QObject context;
        connect(PostMsg::GetInstance(), &PostMsg::SigSetver, &context, [&](int v) { seen = v; });
        std::thread emitter([] { PostMsg::GetInstance()->PostSetver(4); });
        emitter.join();
        QTRY_COMPARE(seen, 4);
    }

    void laterHandOffRunsOnTheGuiThreadAfterTheCall_data()
    {
        QTest::addColumn<bool>("fromOtherThread");
        QTest::addColumn<bool>("withContext");
        QTest::addColumn<bool>("contextGone");
        QTest::addColumn<bool>("runs");
        QTest::newRow("gui thread") << false << false << false << true;
        QTest::newRow("other thread") << true << false << false << true;
        QTest::newRow("gui thread, context") << false << true << false << true;
        QTest::newRow("other thread, context") << true << true << false << true;
        QTest::newRow("context gone before") << false << true << true << false;
    }

    void laterHandOffRunsOnTheGuiThreadAfterTheCall()
    {
        QFETCH(bool, fromOtherThread);
        QFETCH(bool, withContext);
        QFETCH(bool, contextGone);
        QFETCH(bool, runs);
        auto context = std::make_unique<QObject>();
        std::atomic<int> ran{0};
        std::atomic<bool> ranInsideCall{false};
        Qt::HANDLE ranOn = nullptr;
        auto handOff = [&] {
            auto fn = [&] {
                ranOn = QThread::currentThreadId();
                ++ran;
            };
            if (withContext)
                RunOnGuiThreadLater(context.get(), fn);
            else
                RunOnGuiThreadLater(fn);
            ranInsideCall = ran.load() != 0;
        };
        if (fromOtherThread)
            std::thread(handOff).join();
        else
            handOff();
        QVERIFY(!ranInsideCall.load());
        if (contextGone)
            context.reset();
        QCoreApplication::processEvents();
        QCOMPARE(ran.load(), runs ? 1 : 0);
        if (runs)
            QCOMPARE(ranOn, QThread::currentThreadId());
    }

    void pumpedWaitRunsTheGuiAndSleeps()
    {
        // A timer and a queued call both run during the wait, which lasts
        // its full time; in between, the thread sleeps (a loop that looked
        // every 5 ms would wake some 60 times).
        bool timerRan = false, queuedRan = false;
        QTimer::singleShot(50, [&] { timerRan = true; });
        QMetaObject::invokeMethod(this, [&] { queuedRan = true; }, Qt::QueuedConnection);
        const long before = threadSwitches();
        QElapsedTimer clock;
        clock.start();
        PumpEventsFor(300);
        QVERIFY(clock.elapsed() >= 300);
        QVERIFY(timerRan);
        QVERIFY(queuedRan);
        QVERIFY2(threadSwitches() - before < 20, qPrintable(QString::number(threadSwitches() - before)));
    }

private:
    // The voluntary context switches of the calling thread.
    static long threadSwitches()
    {
        QFile status(QStringLiteral("/proc/thread-self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:"))
                return line.mid(24).trimmed().toLong();
        return 0;
    }
};

QTEST_MAIN(FoundationTest)
#include "tst_foundation.moc"
