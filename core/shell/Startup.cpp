#include "Startup.h"

#include "ExeIsRun.h"
#include "Globals.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>
#include <QWidget>

SingleInstance::SingleInstance(const QString& folder, const QString& key)
    : m_path(folder + QLatin1Char('/') + key + QStringLiteral(".lock"))
{
}

SingleInstance::Result SingleInstance::Acquire()
{
    if (m_lock && m_lock->isLocked())
        return First;
    m_lock.reset(new QLockFile(m_path));
    // Never treat a lock as stale by its age: a running instance may run
    // for weeks. A lock whose holder process is gone is stale at once.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return First;
    if (m_lock->error() == QLockFile::LockFailedError)
        return AlreadyRunning;
    // No folder, no permission, ...: run rather than lock the user out.
    return First;
}

void ShowAlreadyRunningNotice()
{
    ExeIsRun notice;
    notice.exec();
}

int RunApplication(int& argc, char** argv, const std::function<QWidget*()>& makeMainWindow,
                   const std::function<void()>& showSecondNotice)
{
    // File names such as "1-简体中文.xml" must open under LANG=C too.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));

    // Folders and pruning come before the single-instance test, so a
    // second start also repairs the tree and removes old files.
    const QString root = UserDir();
    PrepareUserFolders(root);
    PruneOldFiles(root + QStringLiteral("/Log"));
    PruneOldFiles(root + QStringLiteral("/Exception"));

    QApplication app(argc, argv);
    // The exit sequence ends the event loop itself; closing a notice while
    // the main window sits in the tray must not end the program.
    app.setQuitOnLastWindowClosed(false);

    SingleInstance instance(root, AppName);
    if (instance.Acquire() == SingleInstance::AlreadyRunning) {
        if (showSecondNotice)
            showSecondNotice();
        return 0;
    }

    QWidget* window = makeMainWindow();
    window->show();
    const int result = app.exec();
    // Taken down while the application object still exists, so that the
    // device link is stopped and joined in order.
    delete window;
    return result;
}
