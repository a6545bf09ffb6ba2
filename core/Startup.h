// Start-up of the program: the per-user folder tree, pruning of old log and
// dump files, the single-instance rule and the run of the main window.
#pragma once

#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

// The folders below the per-user root, in the order they are made.
QStringList UserFolderNames();

// Creates every missing folder of the tree below root and an empty
// "Macro.ini" when there is none (an existing one is left as it is).
// Failures are ignored: the users of each folder cope with a missing one.
void PrepareUserFolders(const QString& root);

// Removes every plain file of folder whose age in whole days exceeds 7.
// Hidden files, subfolders and files dated in the future stay.
void PruneOldFiles(const QString& folder);
void PruneOldFiles(const QString& folder, const QDateTime& now);

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
