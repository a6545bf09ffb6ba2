// Shared pieces of the device link tests: a model table of our own, a
// recorder of the hub's signals, running code on a library-like thread, and
// the device bench's control tool.
#pragma once

#include "ConfigSettings.h"
#include "DeviceWriters.h"
#include "Globals.h"
#include "GlobalsFixture.h"
#include "HIDUsb.h"
#include "PostMsg.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <cstring>
#include <functional>
#include <thread>

namespace linktest {

// The model table of the tests: the shipped one's identities (those of the
// bench's default devices) with key defaults and options a test can change.
inline QString configText(const QString& drive1Extra = QString(), const QString& drive2Extra = QString())
{
    return QStringLiteral(
               "[Option]\n"
               "DeviceTotal=2\n"
               "CID=MjQ=\n"              // 24
               "VID=N0E1MQ==\n"          // 7A51
               "USB_PID=RjAwMQ==,RjAwMg==\n"
               "Wireless_PID=RjAxMA==\n"
               "Wireless2_PID=RjAyMA==\n"
               "Wireless4_PID=RjA0MA==\n"
               "Wireless8_PID=RjA4MA==\n"
               "InterfaceId=1\n"
               "DeviceId=5\n"
               "ShowBatteryValue=1\n"
               "\n[Drive1]\n"
               "MID=1\n"
               "KeyNumber=6\n"
               // Firmware names: CDM_AX72_MOUSE, CDM_RX1K, CDM_RX2K, CDM_RX4K, CDM_RX8K.
               "MM=Q0RNX0FYNzJfTU9VU0U=\nDM=Q0RNX1JYMUs=\nD2M=Q0RNX1JYMks=\nD4M=Q0RNX1JYNEs=\nD8M=Q0RNX1JYOEs=\n")
           + (drive1Extra.isEmpty() ? QStringLiteral("KeyParam1=0x01,0x01,0x00\nAdveanced=1,2\n") : drive1Extra)
           + QStringLiteral("\n[Drive2]\nMID=2\nKeyNumber=6\n")
           + (drive2Extra.isEmpty() ? QStringLiteral("Adveanced=0,-1\n") : drive2Extra);
}

// Points the program at a folder of installed data holding this table.
inline void installConfig(const QString& appDir, const QString& text)
{
    QDir().mkpath(appDir + QStringLiteral("/usersetting"));
    QFile file(appDir + QStringLiteral("/usersetting/Config.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
    file.close();
    SetAppDirOverride(appDir);
    ConfigSettings::GetInstance()->Reload();
}

// The default table (configText()) in a test's own folder of installed data.
inline void installConfig(const QTemporaryDir& appDir)
{
    QVERIFY(appDir.isValid());
    installConfig(appDir.path(), configText());
}

// Records the hub's signals in the order they arrive, with the thread each
// arrived on.
class Recorder : public QObject
{
public:
    Recorder()
    {
        PostMsg* hub = PostMsg::GetInstance();
        auto log = [this](const QString& entry) {
            QMutexLocker lock(&m_mutex);
            m_entries.append(entry);
            if (QThread::currentThread() != qApp->thread())
                m_offGuiThread = true;
        };
        auto imageLog = [this, log](const QString& name, const FlashDataMap& image) {
            {
                QMutexLocker lock(&m_mutex);
                m_images.append(image);
            }
            log(name);
        };
        connect(hub, &PostMsg::SigUpDataLightUIButton, this, [imageLog](FlashDataMap m) { imageLog("Button", m); });
        connect(hub, &PostMsg::SigUpDataLightLight, this, [imageLog](FlashDataMap m) { imageLog("Light", m); });
        connect(hub, &PostMsg::SigUpDataLightSensor, this, [imageLog](FlashDataMap m) { imageLog("Sensor", m); });
        connect(hub, &PostMsg::SigUpDataDPILed, this, [imageLog](FlashDataMap m) { imageLog("DPILed", m); });
        connect(hub, &PostMsg::SigForm, this, [log] { log("Form"); });
        connect(hub, &PostMsg::SigFormReset, this, [log] { log("FormReset"); });
        connect(hub, &PostMsg::SigUpDataConfigUI, this, [log](int n, int c, bool e) {
            log(QStringLiteral("ConfigUI(%1,%2,%3)").arg(n).arg(c).arg(e ? "true" : "false"));
        });
        connect(hub, &PostMsg::SigUpDataReportRate, this,
                [log](int c) { log(QStringLiteral("ReportRate(%1)").arg(c)); });
        connect(hub, &PostMsg::SigUpDataDPI, this, [log](int s) { log(QStringLiteral("DPI(%1)").arg(s)); });
        connect(hub, &PostMsg::SigBattery, this, [log](bool charging, int level, bool percent) {
            log(QStringLiteral("Battery(%1,%2,%3)").arg(charging).arg(level).arg(percent));
        });
        connect(hub, &PostMsg::SigRGBValue, this, [log](DongleRGB* rgb) {
            log(QStringLiteral("RGB(%1)").arg(rgb ? rgb->data[0] : -1));
        });
        connect(hub, &PostMsg::SigLongRangeMode, this,
                [log](bool on) { log(QStringLiteral("LongRange(%1)").arg(on ? "true" : "false")); });
        connect(hub, &PostMsg::SigSetver, this, [log](int s) { log(QStringLiteral("Setver(%1)").arg(s)); });
        connect(hub, &PostMsg::SigUpDataParam, this, [log](int m) { log(QStringLiteral("UpDataParam(%1)").arg(m)); });
        connect(hub, &PostMsg::SigMouseOffLineo, this,
                [log](int r) { log(QStringLiteral("MouseOffLineo(%1)").arg(r)); });
        connect(hub, &PostMsg::SigCloseOffOnline, this, [log] { log("CloseOffOnline"); });
        connect(hub, &PostMsg::SigChangeMainDialog, this,
                [log](int p) { log(QStringLiteral("ChangeMainDialog(%1)").arg(p)); });
        connect(hub, &PostMsg::SigLabelTextB, this, [log](QString v, QString w) {
            log(QStringLiteral("LabelTextB(%1,%2)").arg(v, w));
        });
        connect(hub, &PostMsg::SigCheckUpdate, this, [log] { log("CheckUpdate"); });
    }

    QStringList entries() const
    {
        QMutexLocker lock(&m_mutex);
        return m_entries;
    }
    // Entries without the ones a test does not look at.
    QStringList entriesWithout(const QStringList& prefixes) const
    {
        QStringList out;
        const QStringList all = entries();
        for (const QString& e : all) {
            bool skip = false;
            for (const QString& p : prefixes)
                skip = skip || e.startsWith(p);
            if (!skip)
                out.append(e);
        }
        return out;
    }
    int count(const QString& entry) const { return entries().count(entry); }
    bool contains(const QString& prefix) const
    {
        const QStringList all = entries();
        for (const QString& e : all) {
            if (e.startsWith(prefix))
                return true;
        }
        return false;
    }
    QList<FlashDataMap> images() const
    {
        QMutexLocker lock(&m_mutex);
        return m_images;
    }
    bool arrivedOffGuiThread() const { return m_offGuiThread; }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_entries.clear();
        m_images.clear();
    }

private:
    mutable QMutex m_mutex;
    QStringList m_entries;
    QList<FlashDataMap> m_images;
    std::atomic<bool> m_offGuiThread{false};
};

// Runs fn on a thread of its own, as the device library runs its callbacks,
// while the GUI thread keeps processing events (the blocking page signals
// need it). Returns when fn has returned.
inline void runOnLibraryThread(const std::function<void()>& fn)
{
    std::atomic<bool> done{false};
    std::thread t([&] {
        fn();
        done = true;
    });
    QElapsedTimer clock;
    clock.start();
    while (!done && clock.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    t.join();
}

// Processes events for ms milliseconds.
inline void pump(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The link's shared flags as a fresh start has them, with no device found nor
// chosen.
inline void resetLinkFlags()
{
    testsupport::EnterSituation(testsupport::Situation::DeviceList);
}

// The device bench's control tool, built beside the tests.
inline QString benchTool()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/hidusb-bench");
}

// Runs the control tool; returns its standard output, fails the test on a
// non-zero exit.
inline QString bench(const QStringList& args, bool* ok = nullptr)
{
    QProcess process;
    process.start(benchTool(), args);
    const bool finished = process.waitForFinished(20000);
    const bool success = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (ok)
        *ok = success;
    if (!success)
        qWarning("hidusb-bench %s failed: %s", qPrintable(args.join(' ')),
                 process.readAllStandardError().constData());
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The bench back to its default devices ("init --force"); false when the
// tool failed.
inline bool benchToDefaults()
{
    bool ok = false;
    bench({QStringLiteral("init"), QStringLiteral("--force")}, &ok);
    return ok;
}

// The tool command that makes the default bench's cabled mouse (mouse2, of
// the second model) a mouse of the first model, the model of the receiver
// and its wireless mouse. Given right after "init": the mouse's memory then
// starts from the first model's defaults.
inline QStringList firstModelOnCable()
{
    return {QStringLiteral("set"), QStringLiteral("mouse2"), QStringLiteral("mid=1"),
            QStringLiteral("firmware_name=CDM_AX72_MOUSE")};
}

// A firmware image made by the tool beside the "executable" of appDir.
inline void addFirmware(const QString& appDir, const QString& fileName, const QString& type, const QString& name,
                        const QString& version, const QString& mid = QStringLiteral("1"))
{
    QDir().mkpath(appDir + QStringLiteral("/bin"));
    bool ok = false;
    bench({QStringLiteral("make-firmware"), appDir + QStringLiteral("/bin/") + fileName, QStringLiteral("type=") + type,
           QStringLiteral("name=") + name, QStringLiteral("cid=24"), QStringLiteral("mid=") + mid,
           QStringLiteral("version=") + version},
          &ok);
    QVERIFY(ok);
}

// The bench folder of this test run.
inline QString benchDir()
{
    return QString::fromLocal8Bit(qgetenv("HIDUSB_BENCH"));
}

// The library's call log (the bench's "trace" option), one call per line.
inline QStringList callsLog()
{
    QFile file(benchDir() + QStringLiteral("/calls.log"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
inline void clearCallsLog()
{
    QFile::remove(benchDir() + QStringLiteral("/calls.log"));
}
// Lines of the call log that start with one of the prefixes, in order.
inline QStringList callsLog(const QStringList& prefixes)
{
    QStringList out;
    const QStringList all = callsLog();
    for (const QString& line : all) {
        for (const QString& p : prefixes) {
            if (line.startsWith(p)) {
                out.append(line);
                break;
            }
        }
    }
    return out;
}

// How many whole images the program sent since the call log was cleared.
inline int imageSends()
{
    return callsLog({QStringLiteral("ProtocolDataUpdate")}).size();
}

// A write the device takes (the debounce the image in memory has), then a
// clear call log: the refusals of an earlier case are over, so the next
// refusal is told (the writers tell one per burst).
inline bool endRefusalBurst()
{
    const bool taken = SetDebounceTime(SnapshotFlashData().debounce);
    clearCallsLog();
    return taken;
}

// What the recorder holds after a refused change that the user is told of.
inline QStringList refusalNotice()
{
    return {QStringLiteral("MouseOffLineo(%1)").arg(WriteRefusedReason)};
}

inline bool sameImage(const FlashDataMap& a, const FlashDataMap& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The configuration image stored in a bench device (its current profile).
inline FlashDataMap deviceImage(const QString& device)
{
    FlashDataMap image{};
    static std::atomic<int> serial{0};
    const QString file = benchDir() + QStringLiteral("/export-") + QString::number(++serial) + QStringLiteral(".img");
    bool ok = false;
    bench({QStringLiteral("export"), device, file}, &ok);
    QFile in(file);
    if (ok && in.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = in.readAll();
        if (bytes.size() == int(sizeof image))
            std::memcpy(&image, bytes.constData(), sizeof image);
        else
            qWarning("export of %s gave %d bytes", qPrintable(device), bytes.size());
    }
    QFile::remove(file);
    return image;
}

// Stores an image in a bench device; false when the device refused it.
inline bool storeDeviceImage(const QString& device, const FlashDataMap& image)
{
    const QString file = benchDir() + QStringLiteral("/import.img");
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    out.write(reinterpret_cast<const char*>(&image), sizeof image);
    out.close();
    bool ok = false;
    bench({QStringLiteral("import"), device, file}, &ok);
    QFile::remove(file);
    return ok;
}

// A device that answers and takes writes (no fault), whose memory and the
// program's image are both `image`, read from it (the state after a full
// read), the pages online (no page loading, no re-read pending).
inline bool startFromDeviceImage(const QString& device, const FlashDataMap& image)
{
    bool ok = false;
    bench({QStringLiteral("fault"), device, QStringLiteral("clear")}, &ok);
    if (!ok)
        return false;
    bench({QStringLiteral("online"), device}, &ok);
    if (!ok || !storeDeviceImage(device, image))
        return false;
    testsupport::EnterSituation(testsupport::Situation::PagesOnline);
    testsupport::SetImage(image, true);
    return true;
}

inline void ignoreReports(unsigned char*, int, unsigned char*, unsigned int) {}

// The link fixture of the tests that write to the bench's wireless mouse
// through its receiver ("mouse1" behind "rx8k"):
//   initTestCase:    QVERIFY(openReceiverLink(&m_base));  (a fresh bench with
//                    the call log on, the link open; m_base = the mouse's
//                    factory image)
//   init:            QVERIFY(startFromDeviceImage("mouse1", m_base));
//                    clearCallsLog();
//   cleanupTestCase: UsbServer_Exit();
inline bool openReceiverLink(FlashDataMap* factory)
{
    bool ok = false;
    bench({QStringLiteral("init")}, &ok);
    if (ok)
        bench({QStringLiteral("option"), QStringLiteral("trace=on")}, &ok);
    if (!ok)
        return false;
    *factory = deviceImage(QStringLiteral("mouse1"));
    SetCurrentDevicePath("hidbench/rx8k");
    return UsbServerC_Start("hidbench/rx8k", "hidbench/rx8k", &ignoreReports);
}

}  // namespace linktest
