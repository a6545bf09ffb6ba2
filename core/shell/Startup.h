// Start-up of the program: the per-user folder tree and pruning of old log
// and dump files (UserFolders), the single-instance rule and the run of the
// main window.
#pragma once

#include "UserFolders.h"

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The single-instance rule. The running instance holds a lock on a file in
// the per-user folder, named after the key: an advisory lock of the kernel
// (flock), which ends with the process however it ends. So only a live
// holder blocks a second start; what the file holds (nothing, garbage, a
// note of another host) does not matter, and a folder standing at its name
// is locked the same way. Where that lock cannot be had (a read-only or
// missing folder, an unreadable lock file, a link at its name: links are
// never followed), a lock of the same name in the fallback folder
// (XDG_RUNTIME_DIR unless told otherwise) keeps the rule.
class SingleInstance
{
public:
    SingleInstance(const QString& folder, const QString& key, const QString& fallbackFolder = RuntimeFolder());
    ~SingleInstance();

    // $XDG_RUNTIME_DIR when it names an absolute folder, else empty (no
    // fallback lock).
    static QString RuntimeFolder();

    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    enum Result { First, AlreadyRunning };
    // AlreadyRunning only while another live process (or another
    // SingleInstance) holds the lock. First also when neither lock can be
    // taken at all: the program then runs rather than refusing to start.
    // The lock is held until destruction.
    Result Acquire();
    // For a copy of the per-user folder about to take the folder's place:
    // locks the copy's lock file as well (until destruction), so the copy
    // is never in place unlocked, whichever lock this instance holds (a
    // later start looks in the copy first, and takes the fallback lock only
    // where it cannot lock there). True also when this instance holds no
    // lock at all.
    bool LockCopy(const QString& copyFolder);
    // The lock file held, where it was taken; the one in the per-user
    // folder before Acquire.
    QString LockPath() const { return m_path; }

private:
    QString m_path;
    QString m_fallbackPath;
    int m_fd = -1;
    int m_copyFd = -1;
};

// Tells a second start that the program already runs (the ExeIsRun
// notice, modal, where the window system puts it).
void ShowAlreadyRunningNotice();
// Tells the user once at start that settings cannot be saved (the user
// folder cannot be written), over the main window.
void ShowCannotSaveNotice(QWidget* window);

// The whole start-up: the single-instance test, then, for the first
// instance only, the one-time move of the older folder, the folders and
// pruning; the application object and the event loop. A second start
// touches no folder. makeMainWindow builds the main window of the first
// instance (meanwhile a helper thread loads the image format plugins and
// the font database, which its first paint needs); showSecondNotice tells a
// second start that the program already runs. Returns the process exit
// code.
int RunApplication(int& argc, char** argv, const std::function<QWidget*()>& makeMainWindow,
                   const std::function<void()>& showSecondNotice);
