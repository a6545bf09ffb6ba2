#include "PickedFile.h"

#include "Logging.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes the descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Opens path without blocking and checks it is a regular file of at most
// maxBytes bytes; the descriptor and its size on success.
PickedFileError openChecked(const QString& path, qint64 maxBytes, Descriptor* file, qint64* size)
{
    const QByteArray native = QFile::encodeName(path);
    // O_NONBLOCK: opening a FIFO for reading waits for a writer otherwise.
    file->fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file->fd < 0) {
        qCWarning(lcFiles) << "cannot open picked file" << path << ::strerror(errno);
        return PickedFileError::Missing;
    }
    struct stat info {};
    if (::fstat(file->fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        qCWarning(lcFiles) << "picked file is not a regular file" << path;
        return PickedFileError::NotRegular;
    }
    if (info.st_size > maxBytes) {
        qCWarning(lcFiles) << "picked file too large" << path << info.st_size << "bytes";
        return PickedFileError::TooLarge;
    }
    *size = info.st_size;
    return PickedFileError::None;
}

}  // namespace

PickedFileError ReadPickedFile(const QString& path, qint64 maxBytes, QByteArray* data)
{
    data->clear();
    Descriptor file{-1};
    qint64 size = 0;
    const PickedFileError opened = openChecked(path, maxBytes, &file, &size);
    if (opened != PickedFileError::None)
        return opened;
    // Read up to one byte past the cap: a file that grew since fstat is
    // still refused rather than cut.
    QByteArray content(int(size), Qt::Uninitialized);
    qint64 total = 0;
    char probe = 0;
    for (;;) {
        char* into = total < content.size() ? content.data() + total : &probe;
        const size_t room = total < content.size() ? size_t(content.size() - total) : 1;
        const ssize_t got = ::read(file.fd, into, room);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            qCWarning(lcFiles) << "cannot read picked file" << path << ::strerror(errno);
            return PickedFileError::ReadFailed;
        }
        if (got == 0)
            break;
        if (into == &probe) {
            qCWarning(lcFiles) << "picked file grew past its size while read" << path;
            return PickedFileError::TooLarge;
        }
        total += got;
    }
    content.truncate(int(total));
    *data = content;
    return PickedFileError::None;
}

PickedFileError ReadPickedFileHead(const QString& path, qint64 maxBytes, int headBytes, QByteArray* data)
{
    data->clear();
    Descriptor file{-1};
    qint64 size = 0;
    const PickedFileError opened = openChecked(path, maxBytes, &file, &size);
    if (opened != PickedFileError::None)
        return opened;
    QByteArray head(int(qMin<qint64>(size, qMax(0, headBytes))), Qt::Uninitialized);
    int total = 0;
    while (total < head.size()) {
        const ssize_t got = ::read(file.fd, head.data() + total, size_t(head.size() - total));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            qCWarning(lcFiles) << "cannot read picked file" << path << ::strerror(errno);
            return PickedFileError::ReadFailed;
        }
        if (got == 0)
            break;
        total += int(got);
    }
    head.truncate(total);
    *data = head;
    return PickedFileError::None;
}
