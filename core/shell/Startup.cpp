#include "Startup.h"

#include "ExeIsRun.h"
#include "Globals.h"
#include "Logging.h"
#include "Resources.h"
#include "UserDirMove.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImageReader>
#include <QTextCodec>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <cstring>
#include <memory>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

SingleInstance::SingleInstance(const QString& folder, const QString& key, const QString& fallbackFolder)
    : m_path(folder + QLatin1Char('/') + key + QStringLiteral(".lock")),
      m_fallbackPath(fallbackFolder.isEmpty() ? QString() : fallbackFolder + QLatin1Char('/') + key + QStringLiteral(".lock"))
{
}

SingleInstance::~SingleInstance()
{
    for (const int fd : {m_fd, m_copyFd}) {
        if (fd >= 0)
            ::close(fd);  // releases the lock; the file stays for the next start
    }
}

QString SingleInstance::RuntimeFolder()
{
    const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return QDir::isAbsolutePath(folder) ? folder : QString();
}

namespace {

enum class LockState { Held, Busy, Unavailable };

// Locks the file at path (created when missing) into *fd.
LockState takeLock(const QString& path, int* fd)
{
    const QByteArray native = QFile::encodeName(path);
    // Never follow a link out of the folder, never wait on a FIFO.
    const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    int file = ::open(native.constData(), O_RDWR | O_CREAT | flags, 0600);
    if (file < 0)
        file = ::open(native.constData(), O_RDONLY | flags);  // a folder or a read-only file is locked as well
    if (file < 0) {
        qCWarning(lcFiles) << "single instance: cannot open the lock" << path << ::strerror(errno);
        return LockState::Unavailable;
    }
    int locked;
    do {
        locked = ::flock(file, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked == 0) {
        *fd = file;
        return LockState::Held;
    }
    const int error = errno;
    ::close(file);
    if (error == EWOULDBLOCK)
        return LockState::Busy;
    qCWarning(lcFiles) << "single instance: cannot lock" << path << ::strerror(error);
    return LockState::Unavailable;
}

}  // namespace

SingleInstance::Result SingleInstance::Acquire()
{
    if (m_fd >= 0)
        return First;
    for (const QString& path : {m_path, m_fallbackPath}) {
        if (path.isEmpty())
            continue;
        switch (takeLock(path, &m_fd)) {
        case LockState::Held:
            m_path = path;
            return First;
        case LockState::Busy:
            return AlreadyRunning;
        case LockState::Unavailable:
            break;
        }
    }
    qCWarning(lcFiles) << "single instance: no lock could be taken; running without it";
    return First;
}

bool SingleInstance::LockCopy(const QString& copyFolder)
{
    // With the fallback lock too: a later start looks for the lock in the
    // folder that the copy becomes, where it can take one.
    if (m_fd < 0)
        return true;
    const QString path = copyFolder + QLatin1Char('/') + QFileInfo(m_path).fileName();
    return m_copyFd >= 0 || takeLock(path, &m_copyFd) == LockState::Held;
}

void ShowAlreadyRunningNotice()
{
    ExeIsRun notice;
    notice.exec();
}

void ShowCannotSaveNotice(QWidget* window)
{
    ExeIsRun notice;
    notice.ShowCannotSave();
    notice.MoveOver(window);
    notice.exec();
}

namespace {

// While the main window is built, a helper thread sets up two things its
// first paint needs that do not depend on the window: the image format
// plugins (the first picture a style sheet loads makes Qt load them all)
// and the font database (fontconfig reads its configuration and the font
// list). Qt guards both for use from any thread; the GUI thread finds them
// ready or waits for the rest, as it would have done itself. No font is
// loaded here, only the list of families. Waits for the helper on
// destruction.
class StartupWarmUp
{
public:
    StartupWarmUp()
        : m_thread(QThread::create([] {
              QImageReader::supportedImageFormats();
              QFontDatabase().families();
          }))
    {
        m_thread->start();
    }
    ~StartupWarmUp()
    {
        m_thread->wait();
        delete m_thread;
    }
    StartupWarmUp(const StartupWarmUp&) = delete;
    StartupWarmUp& operator=(const StartupWarmUp&) = delete;

private:
    QThread* m_thread;
};

// Takes the single-instance lock in the per-user folder as it stands
// before the one-time move (the older folder while it waits to be moved),
// so the move carries the lock along and the moved folder is never
// unlocked; *folder tells which it was. Null when another instance holds
// it.
std::unique_ptr<SingleInstance> lockUserDir(QString* folder)
{
    std::unique_ptr<SingleInstance> instance;
    // Another start may move the folder between the look and the lock (the
    // lock file's folder is then gone, and a fallback lock may have been
    // taken instead): then look again. The folder moves only once.
    for (int round = 0; round < 3; ++round) {
        *folder = UserDirBeforeMove(OldUserDir(), DataHomeUserDir());
        if (*folder == DataHomeUserDir())
            (void)QDir().mkpath(*folder);  // where it cannot be made, the fallback lock serves
        instance = std::make_unique<SingleInstance>(*folder, AppName);
        if (instance->Acquire() == SingleInstance::AlreadyRunning)
            return nullptr;
        if (UserDirBeforeMove(OldUserDir(), DataHomeUserDir()) == *folder)
            break;
    }
    return instance;
}

}  // namespace

int RunApplication(int& argc, char** argv, const std::function<QWidget*()>& makeMainWindow,
                   const std::function<void()>& showSecondNotice)
{
    // File names such as "1-简体中文.xml" must open under LANG=C too.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));

    // The lock comes before any folder work: a second start gives way at
    // once, and so cannot make the older folder again, or work in it, while
    // the first one moves it.
    QString locked;
    const std::unique_ptr<SingleInstance> instance = lockUserDir(&locked);
    QString root;
    if (instance) {
        MoveOldUserDir(locked, [&instance](const QString& copy) { return instance->LockCopy(copy); });
        root = UserDir();
        PrepareUserFolders(root);
        PruneOldFiles(root + QStringLiteral("/Log"));
        PruneOldFiles(root + QStringLiteral("/Exception"));
    }

    QApplication app(argc, argv);
    // Idle threads of the global pool stay parked instead of ending 30 s
    // after their last task (the device list's search, the pictures Qt
    // converts on the pool): an ending thread wakes, and an idle program
    // should not. They are at most one a core, and are joined when the
    // application object goes.
    QThreadPool::globalInstance()->setExpiryTimeout(-1);
    // The exit sequence ends the event loop itself; closing a notice while
    // the main window sits in the tray must not end the program.
    app.setQuitOnLastWindowClosed(false);
    // One name however the program was started (the installed command is a
    // link with a name of its own): the autostart entry's and the window
    // class that the menu entry's StartupWMClass names. Every window carries
    // the logo, and the desktop file name ties the windows to the menu entry.
    QCoreApplication::setApplicationName(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    QGuiApplication::setDesktopFileName(DesktopId);
    QGuiApplication::setWindowIcon(ProgramIcon());

    if (!instance) {
        if (showSecondNotice)
            showSecondNotice();
        return 0;
    }

    const StartupWarmUp warmUp;
    QWidget* window = makeMainWindow();
    window->show();
    // The write probe makes and removes a file in each folder: it runs from
    // the event loop, once the window is built and shown, not before.
    QTimer::singleShot(0, window, [window, root] {
        if (!UserFolderWritable(root))
            ShowCannotSaveNotice(window);
    });
    const int result = app.exec();
    // Taken down while the application object still exists, so that the
    // device link is stopped and joined in order.
    delete window;
    return result;
}
