// What a writer may find in its file's place instead of a file: a link to a
// file of the test's own (live or dangling), a folder or a FIFO; making one,
// telling what is at a path, and running a reader or writer of the place
// under a time limit. Header only (Qt Core).
#pragma once

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QThread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <memory>

namespace testsupport {

inline QStringList PlaceForms()
{
    return {QStringLiteral("link to a file"), QStringLiteral("dangling link"), QStringLiteral("folder"),
            QStringLiteral("fifo")};
}

// The file a dangling link of PutInPlace points at: never made.
inline QString GoneTarget(const QString& target)
{
    return target + QStringLiteral(".gone");
}

// Makes form at path; a link points at target (which the caller made) or,
// dangling, at GoneTarget(target), which is removed should an earlier writer
// have made it. False when it could not be made.
inline bool PutInPlace(const QString& form, const QString& path, const QString& target)
{
    QFile::remove(GoneTarget(target));
    if (form == QLatin1String("link to a file"))
        return QFile::link(target, path);
    if (form == QLatin1String("dangling link"))
        return QFile::link(GoneTarget(target), path);
    if (form == QLatin1String("folder"))
        return QDir().mkpath(path);
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

// What is at a path, a link seen as itself: "nothing", "file", "folder",
// "fifo" or "link to <target>".
inline QString PlaceAt(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("nothing");
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("link to ") + QFile::symLinkTarget(path);
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("folder");
    return S_ISFIFO(st.st_mode) ? QStringLiteral("fifo") : QStringLiteral("file");
}

// Removes what PutInPlace made (a folder with what is in it).
inline bool ClearPlace(const QString& path)
{
    return PlaceAt(path) == QLatin1String("folder") ? QDir(path).removeRecursively() : QFile::remove(path);
}

// Runs a reader or writer of path on a helper thread: one stuck on a FIFO
// gives "waited on the file" instead of hanging the test. It is let go by
// the FIFO's other ends: a writer that comes and goes (a reader sees the
// end) and a reader that stays until it is done (a writer's few bytes find
// room, and no broken pipe).
inline QString Within(const QString& path, const std::function<QString()>& run, int ms = 5000)
{
    QString result;
    std::unique_ptr<QThread> thread(QThread::create([&] { result = run(); }));
    thread->start();
    if (thread->wait(ms))
        return result;
    const QByteArray name = QFile::encodeName(path);
    const int reader = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0)
        ::close(writer);
    thread->wait();
    if (reader >= 0)
        ::close(reader);
    return QStringLiteral("waited on the file");
}

}  // namespace testsupport
