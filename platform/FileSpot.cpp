#include "FileSpot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

#include <cerrno>
#include <sys/stat.h>

Q_LOGGING_CATEGORY(lcFiles, "dizadi.files", QtInfoMsg)

namespace {
bool failed(QString* error, const char* what, const QString& path, const QString& why)
{
    qCWarning(lcFiles) << what << "- not written:" << path << why;
    if (error)
        *error = why;
    return false;
}

QString refusedText()
{
    return QStringLiteral("a link or no regular file is in its place");
}
}  // namespace

FileSpot SpotAt(const QString& path)
{
    if (path.isEmpty())
        return FileSpot::Other;
    // lstat, not stat: a link is judged as the link, so a dangling one is
    // seen too (QFileInfo::exists follows it and says nothing is there).
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return (errno == ENOENT || errno == ENOTDIR) ? FileSpot::Free : FileSpot::Other;
    return S_ISREG(st.st_mode) ? FileSpot::File : FileSpot::Other;
}

bool MayWriteFileAt(const QString& path)
{
    return SpotAt(path) != FileSpot::Other;
}

bool MayWriteFileAt(const QString& path, const char* what)
{
    return MayWriteFileAt(path) || failed(nullptr, what, path, refusedText());
}

bool MaySettingsStoreWrite(const QString& path, const char* what)
{
    if (!MayWriteFileAt(path, what))
        return false;
    const QString lock = path + QStringLiteral(".lock");
    const FileSpot lockSpot = SpotAt(lock);
    if (lockSpot == FileSpot::Other || !MayWriteFileAt(lock + QStringLiteral(".rmlock")))
        return failed(nullptr, what, path, QStringLiteral("a link or no regular file stands at its lock file ") + lock);
    if (lockSpot == FileSpot::Free)
        return true;
    // A lock file is there: free when its holder has ended (QLockFile takes
    // it over at once then), or it is older than QLockFile's stale time.
    QLockFile probe(lock);
    if (!probe.tryLock(SettingsLockWaitMs))
        return failed(nullptr, what, path, QStringLiteral("its lock file is held: ") + lock);
    probe.unlock();
    return true;
}

bool WriteWholeFile(const QString& path, const QByteArray& content, const char* what, FileFolder folder,
                    QString* error)
{
    // QSaveFile resolves a link and renames its new file over the target (a
    // dangling link's too): the place is looked at first, as the link itself.
    if (!MayWriteFileAt(path))
        return failed(error, what, path, refusedText());
    const QString parent = QFileInfo(path).absolutePath();
    if (folder == FileFolder::Make && !QDir().mkpath(parent))
        return failed(error, what, path, QStringLiteral("cannot create the folder ") + parent);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(error, what, path, file.errorString());
    // A failed write or commit discards the new file: the old one stays.
    if (file.write(content) != content.size() || !file.commit())
        return failed(error, what, path, file.errorString());
    return true;
}
