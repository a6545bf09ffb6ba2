#include "DeviceCache.h"

#include "Globals.h"
#include "Logging.h"
#include "PickedFile.h"
#include "SafeFileName.h"

#include <cstring>

QString DeviceInfoFolder()
{
    return UserDir() + QStringLiteral("/Device_Info");
}

QString DeviceInfoFilePath(const QString& fileName)
{
    if (fileName.isEmpty() || fileName == QLatin1String(".") || fileName == QLatin1String("..")
        || fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\'))
        || fileName.contains(QChar(0)))
        return QString();
    return DeviceInfoFolder() + QLatin1Char('/') + fileName;
}

QByteArray EncodeDeviceInfo(const FlashDataMap& image)
{
    QByteArray out;
    out.reserve(4 + int(FlashDataMapSize));
    const quint32 length = quint32(FlashDataMapSize);
    out.append(char((length >> 24) & 0xFF));
    out.append(char((length >> 16) & 0xFF));
    out.append(char((length >> 8) & 0xFF));
    out.append(char(length & 0xFF));
    out.append(reinterpret_cast<const char*>(FlashBytes(image)), int(FlashDataMapSize));
    return out;
}

bool DecodeDeviceInfo(const QByteArray& content, FlashDataMap& image)
{
    std::memset(&image, 0, sizeof image);
    if (content.size() < 4)
        return false;
    const auto* bytes = reinterpret_cast<const uchar*>(content.constData());
    const quint32 length = (quint32(bytes[0]) << 24) | (quint32(bytes[1]) << 16) | (quint32(bytes[2]) << 8)
                           | quint32(bytes[3]);
    const qint64 wanted = qMin<qint64>(length, qint64(FlashDataMapSize));
    if (content.size() - 4 < wanted)
        return false;
    std::memcpy(FlashBytes(image), bytes + 4, size_t(wanted));
    return true;
}

bool WriteDeviceInfoFile(const QString& fileName, const FlashDataMap& image)
{
    const QString path = DeviceInfoFilePath(fileName);
    if (path.isEmpty()) {
        // No name: no device was read yet, nothing to keep.
        if (!fileName.isEmpty())
            qCWarning(lcFiles) << "device image cache: unsafe file name, not written:" << fileName;
        return false;
    }
    return WriteWholeFile(path, EncodeDeviceInfo(image), "device image cache");
}

bool ReadDeviceInfoFile(const QString& fileName, FlashDataMap& image)
{
    std::memset(&image, 0, sizeof image);
    const QString path = DeviceInfoFilePath(fileName);
    if (path.isEmpty())
        return false;
    // The length and at most one image: a longer stored block still fills
    // exactly one image, and a huge file is never read whole. A refused file
    // (no regular file, over the cap) counts as missing.
    QByteArray content;
    if (ReadPickedFileHead(path, StartupFileMaxBytes, 4 + int(FlashDataMapSize), &content) != PickedFileError::None) {
        qCDebug(lcFiles) << "device image cache: no readable" << path;
        return false;
    }
    if (!DecodeDeviceInfo(content, image)) {
        qCWarning(lcFiles) << "device image cache: too short, not used:" << path;
        return false;
    }
    return true;
}
