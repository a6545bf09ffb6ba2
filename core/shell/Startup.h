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
// is locked the same way.
class SingleInstance
{
public:
    SingleInstance(const QString& folder, const QString& key);
    ~SingleInstance();

    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    enum Result { First, AlreadyRunning };
    // AlreadyRunning only while another live process (or another
    // SingleInstance) holds the lock. First also when the lock cannot be
    // taken at all (no folder, no permission): the program then runs rather
    // than refusing to start. The lock is held until destruction.
    Result Acquire();
    QString LockPath() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
};

// Tells a second start that the program already runs (the ExeIsRun
// notice, modal, where the window system puts it).
void ShowAlreadyRunningNotice();

// The whole start-up: folders, pruning, the application object, the
// single-instance test and the event loop. makeMainWindow builds the main
// window of the first instance (meanwhile a helper thread loads the image
// format plugins and the font database, which its first paint needs); showSecondNotice tells a second start that
// the program already runs. Returns the process exit code.
int RunApplication(int& argc, char** argv, const std::function<QWidget*()>& makeMainWindow,
                   const std::function<void()>& showSecondNotice);
