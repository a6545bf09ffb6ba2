// The settings export file: the whole configuration image of a device, with
// a tag and the sensor name of the device's model, so that it is imported
// only into a device of that model.
//
// Format: three byte blocks of a QDataStream (u32 big-endian length, then
// the bytes); a file this program writes is 10464 bytes long:
//   offset  0   00 00 00 0C  the tag "Durod", then zero bytes up to 12
//   offset 16   00 00 00 0C  the sensor name (key Sensor of the model's group
//                            in Config.ini) in 8-bit text: a name of up to 11
//                            bytes is followed by zero bytes, a longer one is
//                            cut to its first 12 bytes and has no zero byte
//   offset 32   00 00 28 BC  the 10428 bytes of the image, in memory order
// A text block is read up to its first zero byte, or whole when it has none.
//
// Pure codec plus the atomic writer and the choice of the image to export;
// no widgets.
#pragma once

#include "DeviceImage.h"

#include <QByteArray>
#include <QString>

#include <optional>

constexpr int SettingsTextBlockBytes = 12;
constexpr int SettingsFileBytes = 3 * 4 + 2 * SettingsTextBlockBytes + int(FlashDataMapSize);  // 10464
extern const QByteArray SettingsFileTag;  // "Durod"
// A settings file is about 10 KB; anything far larger is not one.
constexpr qint64 SettingsFileMaxBytes = 1 << 20;

// The 12 bytes of the sensor-name block.
QByteArray SettingsSensorBlock(const QString& sensorName);
// The whole file.
QByteArray EncodeSettingsFile(const QString& sensorName, const FlashDataMap& image);

// The three blocks as read; a block the file does not hold whole is empty,
// and so is every block after it.
struct SettingsFileBlocks {
    QByteArray tag;
    QByteArray sensor;
    QByteArray image;
};
SettingsFileBlocks SplitSettingsFile(const QByteArray& content);

// The text of a block: up to its first zero byte, all of it without one.
QByteArray SettingsBlockText(const QByteArray& block);
// Whether a sensor-name block names the model's sensor. A block of 12 bytes
// without a zero byte is a name that was cut when it was written: it matches
// a model whose name starts with those 12 bytes (the program takes back its
// own export).
bool SettingsSensorMatches(const QByteArray& sensorBlock, const QString& modelSensor);

// Writes the file whole or not at all: on any failure the file that was
// there stays as it was and the result is false. A link or anything but a
// regular file at path is refused, not written through (WriteWholeFile).
[[nodiscard]] bool WriteSettingsFile(const QString& path, const QString& sensorName, const FlashDataMap& image);

// The image an export writes: the one in memory when it was read from the
// device; otherwise the one the pages show of it while it is offline (its
// cache file); nothing when neither exists.
std::optional<FlashDataMap> ImageToExport();
