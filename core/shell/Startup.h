// Start-up of the program: the per-user folder tree and pruning of old log
// and dump files (UserFolders), the single-instance rule and the run of the
// main window.
#pragma once

#include "UserFolders.h"

#include <QLockFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

// The single-instance rule. A lock file in the per-user folder, named after
// the key, decides: its holder is the running instance. A lock left behind
// by a killed process is recognised as stale and taken over.
class SingleInstance
{
public:
    SingleInstance(const QString& folder, const QString& key);

    enum Result { First, AlreadyRunning };
    // First also when the lock cannot be made at all (no folder, no
    // permission): the program then runs rather than refusing to start.
    Result Acquire();
    QString LockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

// Tells a second start that the program already runs (the ExeIsRun
// notice, modal, where the window system puts it).
void ShowAlreadyRunningNotice();

// The whole start-up: folders, pruning, the application object, the
// single-instance test and the event loop. makeMainWindow builds the main
// window of the first instance; showSecondNotice tells a second start that
// the program already runs. Returns the process exit code.
int RunApplication(int& argc, char** argv, const std::function<QWidget*()>& makeMainWindow,
                   const std::function<void()>& showSecondNotice);
