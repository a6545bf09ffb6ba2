// A link to a file of the test's own (live or dangling), a folder or a FIFO
// in a writer's place: making one, telling what is at a path and what became
// of the link's target, and running a reader or writer of it under a time
// limit; and the tests' writer of a plain file. Header only (Qt Core).
#pragma once

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QThread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <memory>

namespace testsupport {

inline const QStringList PlaceForms{"link to a file", "dangling link", "folder", "fifo"};

inline QString GoneTarget(const QString& target) { return target + ".gone"; }

// Writes content as the file at path (its folder made when missing), dated
// modified when that is given. True when all of it was written.
inline bool WriteFile(const QString& path, const QByteArray& content, const QDateTime& modified = QDateTime())
{
    QFile file(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(content) != content.size() || !file.flush())
        return false;
    // Dated after the flush: a write on close would set the time again.
    return !modified.isValid() || file.setFileTime(modified, QFileDevice::FileModificationTime);
}

// "nothing", "file", "folder", "fifo" or "link to <target>".
inline QString PlaceAt(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return "nothing";
    if (S_ISLNK(st.st_mode))
        return "link to " + QFile::symLinkTarget(path);
    return S_ISDIR(st.st_mode) ? "folder" : S_ISFIFO(st.st_mode) ? "fifo" : "file";
}

// Writes "keep" into target, clears path of what an earlier row left and
// makes form there ("nothing" leaves it clear, "file" is a regular file): a
// link to target, or one to GoneTarget(target), which an earlier writer may
// have made and is removed.
inline bool PutInPlace(const QString& form, const QString& path, const QString& target)
{
    if (!WriteFile(target, "keep"))
        return false;
    QFile::remove(GoneTarget(target));
    (void)(PlaceAt(path) == "folder" ? QDir(path).removeRecursively() : QFile::remove(path));  // nothing there is fine
    if (form == "nothing")
        return true;
    if (form == "file")
        return WriteFile(path, "keep");
    if (form == "folder")
        return QDir().mkpath(path);
    if (form == "fifo")
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    return QFile::link(form == "dangling link" ? GoneTarget(target) : target, path);
}

// What became of target after PutInPlace: "keep" while no write went
// through a link to it, and no file was made at GoneTarget(target).
inline QByteArray TargetAfter(const QString& target)
{
    QFile keep(target);
    if (PlaceAt(GoneTarget(target)) != "nothing")
        return "a file made through the dangling link";
    return keep.open(QIODevice::ReadOnly) ? keep.readAll() : QByteArray("(missing)");
}

// Runs run on a helper thread: one stuck on the FIFO at path gives "waited
// on the file" instead of hanging the test, let go by the FIFO's other ends
// (a writer that comes and goes, a reader that stays until it is done).
inline QString Within(const QString& path, const std::function<QString()>& run)
{
    QString result;
    std::unique_ptr<QThread> thread(QThread::create([&] { result = run(); }));
    thread->start();
    if (thread->wait(5000))
        return result;
    const QByteArray name = QFile::encodeName(path);
    const int reader = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
    ::close(::open(name.constData(), O_WRONLY | O_NONBLOCK));
    thread->wait();
    ::close(reader);
    return "waited on the file";
}

}  // namespace testsupport
