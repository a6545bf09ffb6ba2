#include "UserDirMove.h"

#include "Globals.h"
#include "Logging.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Copies the tree below from into to (which must not exist): folders,
// files and links as links. Special files hold no data and are left out.
bool copyTree(const QString& from, const QString& to, QString* why)
{
    if (!QDir().mkdir(to)) {
        *why = QStringLiteral("cannot create ") + to;
        return false;
    }
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QFileInfo entry = it.fileInfo();
        const QString target = to + source.mid(from.size());
        (void)QDir().mkpath(QFileInfo(target).absolutePath());  // a failure shows in the copy below
        bool copied = true;
        if (entry.isSymLink())
            copied = QFile::link(entry.symLinkTarget(), target);
        else if (entry.isDir())
            copied = QDir().mkpath(target);
        else if (entry.isFile())
            copied = QFile::copy(source, target);
        if (!copied) {
            *why = QStringLiteral("cannot copy ") + source;
            return false;
        }
    }
    return true;
}

// The move across file systems: the copy is made beside newDir and renamed
// into place only when whole, so newDir never holds half a tree.
bool copyAcross(const QString& oldDir, const QString& newDir, QString* why)
{
    const QFileInfo target(newDir);
    const QString staging = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".moving");
    (void)QDir(staging).removeRecursively();  // left by a start killed while copying; a rest fails the copy
    const QByteArray from = QFile::encodeName(staging);
    const QByteArray to = QFile::encodeName(newDir);
    if (!copyTree(oldDir, staging, why) || ::rename(from.constData(), to.constData()) != 0) {
        if (why->isEmpty())
            *why = QString::fromLocal8Bit(::strerror(errno));
        (void)QDir(staging).removeRecursively();  // a hidden rest; the next start clears it
        return false;
    }
    // The copy is in use from now on; a link is removed, not what it points at.
    const bool removed = QFileInfo(oldDir).isSymLink() ? QFile::remove(oldDir) : QDir(oldDir).removeRecursively();
    if (!removed)
        qCWarning(lcFiles) << "the per-user folder was copied to" << newDir << "but" << oldDir
                           << "could not be removed wholly; what is left there is no longer used";
    return true;
}

}  // namespace

QString OldUserDir()
{
    return QDir::homePath() + QStringLiteral("/AppData/Local/") + AppDataName;
}

QString MoveUserDir(const QString& oldDir, const QString& newDir)
{
    const QFileInfo target(newDir);
    if (!QFileInfo(oldDir).isDir() || target.exists() || target.isSymLink())
        return newDir;
    QString why;
    if (!QDir().mkpath(target.absolutePath())) {
        why = QStringLiteral("cannot create ") + target.absolutePath();
    } else {
        const QByteArray from = QFile::encodeName(oldDir);
        const QByteArray to = QFile::encodeName(newDir);
        const int error = ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
        if (error == 0 || (error == EXDEV && copyAcross(oldDir, newDir, &why)))
            return newDir;
        if (why.isEmpty())
            why = QString::fromLocal8Bit(::strerror(error));
    }
    qCWarning(lcFiles) << "the per-user folder" << oldDir << "could not be moved to" << newDir << ":" << why
                       << "; it stays where it is and is used for this run";
    return oldDir;
}

void MoveOldUserDir()
{
    const QString oldDir = OldUserDir();
    const bool hadOld = QFileInfo(oldDir).isDir();
    if (MoveUserDir(oldDir, DataHomeUserDir()) == oldDir) {
        SetUserDirOverride(oldDir);
        return;
    }
    if (hadOld && !QFileInfo::exists(oldDir)) {
        // rmdir removes a folder only when it is empty.
        const QDir home(QDir::homePath());
        (void)home.rmdir(QStringLiteral("AppData/Local"));  // not empty: it holds more than ours
        (void)home.rmdir(QStringLiteral("AppData"));
    }
}
