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

}  // namespace

PickedFileError ReadPickedFile(const QString& path, qint64 maxBytes, QByteArray* data)
{
    data->clear();
    const QByteArray native = QFile::encodeName(path);
    // O_NONBLOCK: opening a FIFO for reading waits for a writer otherwise.
    Descriptor file{::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) {
        qCWarning(lcFiles) << "cannot open picked file" << path << ::strerror(errno);
        return PickedFileError::Missing;
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        qCWarning(lcFiles) << "picked file is not a regular file" << path;
        return PickedFileError::NotRegular;
    }
    if (info.st_size > maxBytes) {
        qCWarning(lcFiles) << "picked file too large" << path << info.st_size << "bytes";
        return PickedFileError::TooLarge;
    }
    // Read up to one byte past the cap: a file that grew since fstat is
    // still refused rather than cut.
    QByteArray content(int(info.st_size), Qt::Uninitialized);
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
