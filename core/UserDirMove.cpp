#include "UserDirMove.h"

#include "Globals.h"
#include "Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int error = errno)
{
    return QString::fromLocal8Bit(::strerror(error));
}

// A hidden name beside path, for a folder on its way in or out.
QString hiddenBeside(const QString& path, const QString& suffix)
{
    const QFileInfo info(path);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + suffix;
}

// Removes such a hidden folder; a link found at its name is removed, not
// what it points at.
void removeRest(const QString& path)
{
    if (QFileInfo(path).isSymLink())
        (void)QFile::remove(path);  // a rest that stays fails the later use of its name, which says so
    else
        (void)QDir(path).removeRecursively();  // the same
}

bool copyTree(const QString& from, const QString& to, QString* why);

// Copies one entry of the tree (see copyTree).
bool copyEntry(const QString& from, const QString& to, QString* why)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    struct stat info = {};
    if (::lstat(source.constData(), &info) != 0) {
        *why = QStringLiteral("cannot read ") + from + QStringLiteral(": ") + systemError();
        return false;
    }
    if (S_ISDIR(info.st_mode))
        return copyTree(from, to, why);
    if (S_ISLNK(info.st_mode)) {
        char text[PATH_MAX];
        const ssize_t size = ::readlink(source.constData(), text, sizeof text);
        if (size < 0 || size == ssize_t(sizeof text)
            || ::symlink(QByteArray(text, int(size)).constData(), target.constData()) != 0) {
            *why = QStringLiteral("cannot copy the link ") + from + QStringLiteral(": ") + systemError();
            return false;
        }
    } else if (S_ISREG(info.st_mode)) {
        QFile file(from);
        if (!file.copy(to)) {
            *why = QStringLiteral("cannot copy ") + from + QStringLiteral(": ") + file.errorString();
            return false;
        }
        // The copy is dated now: it takes the original's times, so that an
        // old log or dump keeps its age for the pruning. Without them the
        // data is still whole: only logged.
        const struct timespec times[2] = {info.st_atim, info.st_mtim};
        if (::utimensat(AT_FDCWD, target.constData(), times, 0) != 0)
            qCWarning(lcFiles) << "the copy of" << from << "keeps no date of its own:" << systemError();
    }
    return true;
}

// Copies the folder from to to (which must not exist): folders, files, and
// links as links with their target text as it is, so a relative one still
// leads where it led inside the tree. Special files hold no data and are
// left out. Anything that cannot be listed or read fails the copy: a walk
// that passed over it would leave the user's files behind unseen.
bool copyTree(const QString& from, const QString& to, QString* why)
{
    DIR* const dir = ::opendir(QFile::encodeName(from).constData());
    if (dir == nullptr) {
        *why = QStringLiteral("cannot list ") + from + QStringLiteral(": ") + systemError();
        return false;
    }
    const auto closeDir = qScopeGuard([dir] { ::closedir(dir); });
    if (::mkdir(QFile::encodeName(to).constData(), 0777) != 0) {
        *why = QStringLiteral("cannot create ") + to + QStringLiteral(": ") + systemError();
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            if (errno == 0)
                return true;
            *why = QStringLiteral("cannot list ") + from + QStringLiteral(": ") + systemError();
            return false;
        }
        const QString name = QFile::decodeName(entry->d_name);
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        if (!copyEntry(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name, why))
            return false;
    }
}

// The move across file systems: the copy is made beside newDir and renamed
// into place only when whole, so newDir never holds half a tree.
bool copyAcross(const QString& oldDir, const QString& newDir, const BeforePlacing& beforePlacing, QString* why)
{
    const QString staging = hiddenBeside(newDir, QStringLiteral(".moving"));
    removeRest(staging);  // left by a start killed while copying
    bool placed = copyTree(oldDir, staging, why);
    if (placed && beforePlacing && !beforePlacing(staging)) {
        *why = QStringLiteral("the copy could not be locked against a second start");
        placed = false;
    }
    if (placed && ::rename(QFile::encodeName(staging).constData(), QFile::encodeName(newDir).constData()) != 0) {
        *why = systemError();
        placed = false;
    }
    if (!placed) {
        removeRest(staging);
        return false;
    }
    // The copy is in use from now on. The old folder leaves its place at
    // once, so that no start takes a lock or makes a file in it while it is
    // being removed; the next start clears a rest left by a kill.
    const QString rest = hiddenBeside(oldDir, QStringLiteral(".moved"));
    removeRest(rest);
    const bool away = ::rename(QFile::encodeName(oldDir).constData(), QFile::encodeName(rest).constData()) == 0;
    if (!QDir(away ? rest : oldDir).removeRecursively())
        qCWarning(lcFiles) << "the per-user folder was copied to" << newDir << "but" << oldDir
                           << "could not be removed wholly; what is left there is no longer used";
    return true;
}

// The move of MoveUserDir once UserDirBeforeMove gave oldDir.
QString moveFolder(const QString& oldDir, const QString& newDir, const BeforePlacing& beforePlacing)
{
    const QFileInfo source(oldDir), target(newDir);
    if (source.isSymLink()) {
        // A link here was placed by the user, maybe to keep the data on
        // another disk. Moving what it points at would take the data off
        // that disk (and delete it there after a copy); moving the link
        // itself breaks a relative one. So it stays and is used where it
        // is, also while it leads nowhere (a disk not mounted): a fresh
        // folder at newDir would from then on hide the data behind it.
        qCWarning(lcFiles) << "the per-user folder" << oldDir << "is a link to" << source.symLinkTarget()
                           << "; it is not moved to" << newDir << "and is used where it is";
        return oldDir;
    }
    QString why;
    if (!QDir().mkpath(target.absolutePath())) {
        why = QStringLiteral("cannot create ") + target.absolutePath();
    } else {
        const QByteArray from = QFile::encodeName(oldDir);
        const QByteArray to = QFile::encodeName(newDir);
        const int error = ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
        if (error == 0 || (error == EXDEV && copyAcross(oldDir, newDir, beforePlacing, &why)))
            return newDir;
        if (why.isEmpty())
            why = systemError(error);
    }
    // Another start moved it meanwhile (where no single-instance lock could
    // be had): the data is at newDir.
    if (!QFileInfo::exists(oldDir) && !QFileInfo(oldDir).isSymLink() && QFileInfo(newDir).isDir())
        return newDir;
    qCWarning(lcFiles) << "the per-user folder" << oldDir << "could not be moved to" << newDir << ":" << why
                       << "; it stays where it is and is used for this run";
    return oldDir;
}

}  // namespace

QString OldUserDir()
{
    return QDir::homePath() + QStringLiteral("/AppData/Local/") + AppDataName;
}

QString UserDirBeforeMove(const QString& oldDir, const QString& newDir)
{
    const QFileInfo source(oldDir), target(newDir);
    if (target.exists() || target.isSymLink())
        return newDir;
    const bool danglingLink = source.isSymLink() && !source.exists();
    return source.isDir() || danglingLink ? oldDir : newDir;
}

QString MoveUserDir(const QString& oldDir, const QString& newDir, const BeforePlacing& beforePlacing)
{
    return UserDirBeforeMove(oldDir, newDir) == newDir ? newDir : moveFolder(oldDir, newDir, beforePlacing);
}

void MoveOldUserDir(const QString& before, const BeforePlacing& beforePlacing)
{
    const QString oldDir = OldUserDir(), newDir = DataHomeUserDir();
    const QString rest = hiddenBeside(oldDir, QStringLiteral(".moved"));
    const bool hadOld = QFileInfo(oldDir).isDir() || QFileInfo(rest).isDir();
    const QString seen = before.isEmpty() ? UserDirBeforeMove(oldDir, newDir) : before;
    if (seen != newDir && moveFolder(oldDir, newDir, beforePlacing) == oldDir) {
        SetUserDirOverride(oldDir);
        return;
    }
    if (hadOld && !QFileInfo::exists(oldDir)) {
        removeRest(rest);  // left by a start killed while removing the old folder
        // rmdir removes a folder only when it is empty.
        const QDir home(QDir::homePath());
        (void)home.rmdir(QStringLiteral("AppData/Local"));  // not empty: it holds more than ours
        (void)home.rmdir(QStringLiteral("AppData"));
    }
}
