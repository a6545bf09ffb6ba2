#include "PickedFile.h"

#include "Logging.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// Reads into buffer until room bytes are read or the file ends; the count
// read, or -1 on an error.
qint64 readInto(int fd, char* buffer, qint64 room)
{
    qint64 total = 0;
    while (total < room) {
        const ssize_t got = ::read(fd, buffer + total, size_t(room - total));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

// Which bytes of a checked file are read: all of them (a file that grew
// since fstat is refused rather than cut), its first count, or its last.
enum class Span { Whole, Head, Tail };

// The checked file's bytes by span; *cut (when given) tells whether a Tail
// read left bytes out before them.
PickedFileError readChecked(const QString& path, qint64 maxBytes, Span span, int count, QByteArray* data,
                            bool* cut = nullptr)
{
    data->clear();
    CheckedFile file;
    qint64 size = 0;
    const PickedFileError opened = OpenChecked(path, maxBytes, &file, &size);
    if (opened != PickedFileError::None)
        return opened;
    const bool whole = span == Span::Whole;
    const qint64 wanted = whole ? size : qMin<qint64>(size, qMax(0, count));
    if (span == Span::Tail && ::lseek(file.fd, size - wanted, SEEK_SET) < 0) {
        qCWarning(lcFiles) << "cannot read file" << path << ::strerror(errno);
        return PickedFileError::ReadFailed;
    }
    QByteArray content(int(wanted), Qt::Uninitialized);
    const qint64 total = readInto(file.fd, content.data(), content.size());
    // One byte more of a whole read tells a file that grew.
    char probe = 0;
    const qint64 more = (total < 0 || !whole) ? 0 : readInto(file.fd, &probe, 1);
    if (total < 0 || more < 0) {
        qCWarning(lcFiles) << "cannot read file" << path << ::strerror(errno);
        return PickedFileError::ReadFailed;
    }
    if (more > 0) {
        qCWarning(lcFiles) << "refused, grew past its size while read:" << path;
        return PickedFileError::TooLarge;
    }
    content.truncate(int(total));
    *data = content;
    if (cut)
        *cut = span == Span::Tail && wanted < size;
    return PickedFileError::None;
}

}  // namespace

PickedFileError ReadPickedFile(const QString& path, qint64 maxBytes, QByteArray* data)
{
    return readChecked(path, maxBytes, Span::Whole, 0, data);
}

PickedFileError ReadPickedFileHead(const QString& path, qint64 maxBytes, int headBytes, QByteArray* data)
{
    return readChecked(path, maxBytes, Span::Head, headBytes, data);
}

PickedFileError ReadPickedFileTail(const QString& path, qint64 maxBytes, int tailBytes, QByteArray* data, bool* cut)
{
    return readChecked(path, maxBytes, Span::Tail, tailBytes, data, cut);
}

std::optional<QString> ReadFirstLine(const QString& path, int maxChars)
{
    // UTF-8 takes at most four bytes a character, and the line end two.
    QByteArray head;
    if (ReadPickedFileHead(path, StartupFileMaxBytes, 4 * qMax(0, maxChars) + 2, &head) != PickedFileError::None)
        return std::nullopt;
    const int end = head.indexOf('\n');
    if (end >= 0)
        head.truncate(end);
    if (head.endsWith('\r'))
        head.chop(1);
    return QString::fromUtf8(head).left(maxChars);
}
