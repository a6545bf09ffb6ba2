#include "FileRead.h"

#include "FileSpot.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CheckedFile::~CheckedFile()
{
    if (fd >= 0)
        ::close(fd);
}

FileReadError OpenChecked(const QString& path, qint64 maxBytes, CheckedFile* file, qint64* size)
{
    const QByteArray native = QFile::encodeName(path);
    // O_NONBLOCK: opening a FIFO for reading waits for a writer otherwise.
    file->fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file->fd < 0) {
        // An absent file is the normal case of many start-up files.
        if (errno == ENOENT)
            qCDebug(lcFiles) << "no file" << path;
        else
            qCWarning(lcFiles) << "cannot open file" << path << ::strerror(errno);
        return FileReadError::Missing;
    }
    struct stat info {};
    if (::fstat(file->fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        qCWarning(lcFiles) << "refused, not a regular file:" << path;
        return FileReadError::NotRegular;
    }
    if (info.st_size > maxBytes) {
        qCWarning(lcFiles) << "refused, too large:" << path << info.st_size << "bytes";
        return FileReadError::TooLarge;
    }
    *size = info.st_size;
    return FileReadError::None;
}

bool MayOpenByName(const QString& path, qint64 maxBytes)
{
    CheckedFile file;
    qint64 size = 0;
    const FileReadError checked = OpenChecked(path, maxBytes, &file, &size);
    return checked == FileReadError::None || checked == FileReadError::Missing;
}
