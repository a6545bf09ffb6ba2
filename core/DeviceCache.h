// The per-device image cache: one copy of each device's configuration image
// under "<user folder>/Device_Info/", so that the pages can be filled while
// the device is offline.
//
// File format (10432 bytes): a big-endian u32 length, always 10428
// (00 00 28 BC), then the image byte for byte; the byte-array form of
// QDataStream.
#pragma once

#include "DeviceImage.h"

#include <QByteArray>
#include <QString>

// "<user folder>/Device_Info".
QString DeviceInfoFolder();
// The full path of a cache file name inside that folder; empty for a name
// that is empty or would leave the folder (separators, "." and "..").
QString DeviceInfoFilePath(const QString& fileName);

// Pure codec of the file's content.
QByteArray EncodeDeviceInfo(const FlashDataMap& image);
// Zeroes image, then copies min(stored length, 10428) bytes. False unless
// the length and that many bytes are present.
bool DecodeDeviceInfo(const QByteArray& content, FlashDataMap& image);

// Writes the image under fileName (atomically: the old file stays on any
// error). Nothing is written for an empty or unsafe name, nor where a link
// or anything but a regular file is (WriteWholeFile). True when written.
[[nodiscard]] bool WriteDeviceInfoFile(const QString& fileName, const FlashDataMap& image);
// Fills image from the cache file fileName. The image is zeroed first;
// false when the file is missing, unreadable or too short.
bool ReadDeviceInfoFile(const QString& fileName, FlashDataMap& image);
