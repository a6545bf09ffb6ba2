#include "SettingsFile.h"

#include "DeviceCache.h"
#include "Globals.h"
#include "SafeFileName.h"

#include <QDataStream>

const QByteArray SettingsFileTag = QByteArrayLiteral("Durod");

namespace {

QByteArray textBlock(const QByteArray& text)
{
    QByteArray block = text.left(SettingsTextBlockBytes);
    block.append(QByteArray(SettingsTextBlockBytes - block.size(), '\0'));
    return block;
}

}  // namespace

QByteArray SettingsSensorBlock(const QString& sensorName)
{
    return textBlock(sensorName.toLocal8Bit());
}

QByteArray EncodeSettingsFile(const QString& sensorName, const FlashDataMap& image)
{
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream << textBlock(SettingsFileTag) << SettingsSensorBlock(sensorName)
           << QByteArray(reinterpret_cast<const char*>(FlashBytes(image)), int(FlashDataMapSize));
    return out;
}

SettingsFileBlocks SplitSettingsFile(const QByteArray& content)
{
    SettingsFileBlocks blocks;
    QDataStream stream(content);
    // A block that runs past the end reads as empty, and so does every block
    // after it (the stream stays failed).
    stream >> blocks.tag >> blocks.sensor >> blocks.image;
    return blocks;
}

QByteArray SettingsBlockText(const QByteArray& block)
{
    const int end = block.indexOf('\0');
    return end < 0 ? block : block.left(end);
}

bool SettingsSensorMatches(const QByteArray& sensorBlock, const QString& modelSensor)
{
    const QByteArray model = modelSensor.toLocal8Bit();
    const QByteArray stored = SettingsBlockText(sensorBlock);
    if (stored.size() == SettingsTextBlockBytes && sensorBlock.size() == SettingsTextBlockBytes)
        return model.left(SettingsTextBlockBytes) == stored;
    return stored == model;
}

bool WriteSettingsFile(const QString& path, const QString& sensorName, const FlashDataMap& image)
{
    // The user's chosen name too: a link there is refused, not followed.
    return WriteWholeFile(path, EncodeSettingsFile(sensorName, image), "settings export", FileFolder::MustExist);
}

std::optional<FlashDataMap> ImageToExport()
{
    if (ImageBelongsToDevice.load())
        return SnapshotFlashData();
    FlashDataMap cached{};
    if (ReadDeviceInfoFile(DeviceInfoFile, cached))
        return cached;
    return std::nullopt;
}
