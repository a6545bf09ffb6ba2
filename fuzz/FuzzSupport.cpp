#include "FuzzSupport.h"

#include "ConfigSettings.h"
#include "Dialog.h"
#include "Globals.h"
#include "Startup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace fuzz {

namespace {
QString rootPath;

void setEnv(const char* name, const QString& value)
{
    qputenv(name, QFile::encodeName(value));
}
}  // namespace

QApplication* SetUp(int* argc, char*** argv)
{
    static QApplication* app = nullptr;
    if (app)
        return app;

    const QByteArray given = qgetenv("DIZADI_TEST_TMP");
    if (!given.isEmpty()) {
        rootPath = QFile::decodeName(given);
    } else {
        QByteArray pattern = QFile::encodeName(QDir::tempPath()) + "/dizadi-fuzz.XXXXXX";
        if (!mkdtemp(pattern.data()))
            Fail("no temporary folder");
        rootPath = QFile::decodeName(pattern);
        const QString home = rootPath + QStringLiteral("/home");
        QDir().mkpath(home + QStringLiteral("/.config"));
        QDir().mkpath(home + QStringLiteral("/.local/share"));
        QDir().mkpath(home + QStringLiteral("/.local/state"));
        QDir().mkpath(home + QStringLiteral("/.cache"));
        QDir().mkpath(rootPath + QStringLiteral("/run"));
        QDir().mkpath(rootPath + QStringLiteral("/bench"));
        QFile::setPermissions(rootPath + QStringLiteral("/run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        setEnv("HOME", home);
        setEnv("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
        setEnv("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
        setEnv("XDG_STATE_HOME", home + QStringLiteral("/.local/state"));
        setEnv("XDG_CACHE_HOME", home + QStringLiteral("/.cache"));
        setEnv("XDG_RUNTIME_DIR", rootPath + QStringLiteral("/run"));
        setEnv("HIDUSB_BENCH", rootPath + QStringLiteral("/bench"));
        std::fprintf(stderr, "fuzz: private folder %s\n", pattern.constData());
        // Gone after a clean run; a crash leaves it for a look.
        std::atexit([] { QDir(rootPath).removeRecursively(); });
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's warnings about odd input (bad XML, bad style sheets) would flood
    // the fuzzer's output; faults show as crashes and sanitizer reports.
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.warning=false;*.info=false");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "qFatal: %s\n", qPrintable(message));
            std::abort();
        }
    });

    app = new QApplication(*argc, *argv);
    PrepareUserFolders(UserDir());
    return app;
}

QString Root()
{
    return rootPath;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        Fail("cannot write the input file");
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString MakeAppDirCopy(const QString& name, const QStringList& own)
{
    const QString real = QCoreApplication::applicationDirPath();
    const QString copy = rootPath + QLatin1Char('/') + name;
    QDir().mkpath(copy);
    // Folders named with a subpath in own ("usersetting/Config.ini") are
    // made real and their other entries linked one by one.
    QStringList realFolders;
    for (const QString& entry : own) {
        const int slash = entry.indexOf(QLatin1Char('/'));
        if (slash > 0)
            realFolders << entry.left(slash);
    }
    const QDir source(real);
    for (const QString& entry : source.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (own.contains(entry))
            continue;
        if (realFolders.contains(entry)) {
            QDir().mkpath(copy + QLatin1Char('/') + entry);
            const QDir inner(real + QLatin1Char('/') + entry);
            for (const QString& sub : inner.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
                const QString rel = entry + QLatin1Char('/') + sub;
                if (!own.contains(rel))
                    QFile::link(real + QLatin1Char('/') + rel, copy + QLatin1Char('/') + rel);
            }
            continue;
        }
        QFile::link(real + QLatin1Char('/') + entry, copy + QLatin1Char('/') + entry);
    }
    return copy;
}

Dialog* BuildPages()
{
    auto* pages = new Dialog;
    if (CheckTimer)
        CheckTimer->stop();
    return pages;
}

DeviceAllInfo ModelDevice(int driveIndex, uint8_t type)
{
    ConfigSettings* config = ConfigSettings::GetInstance();
    DeviceAllInfo info;
    info.path = QStringLiteral("/dev/fuzz-no-device");
    info.cid = uint8_t(VendorCid());
    info.mid = uint8_t(config->ModelInt(driveIndex, QStringLiteral("MID")));
    info.type = type;
    info.driveIndex = driveIndex;
    info.online = 1;
    info.directMouse = DirectMouseFromType(type);
    info.usbVersion = QStringLiteral("v1.5");
    info.firmwareVersion = QStringLiteral("v1.5");
    info.address = {1, 2, 3};
    return info;
}

void SelectUnreadDevice(int driveIndex, uint8_t type)
{
    CurrentDeviceInfo = ModelDevice(driveIndex, type);
    DeviceInfoFile = DeviceFileName(CurrentDeviceInfo.cid, CurrentDeviceInfo.mid);
    {
        QMutexLocker lock(&FlashDataMutex);
        CurrentFlashData = FlashDataMap{};
    }
    ImageBelongsToDevice = false;
    KeyParamPassPending = false;
    SkipReceiverQuery = false;
}

void FlushPostedEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz: property failed: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

}  // namespace fuzz
