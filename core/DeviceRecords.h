// Records the whole program shares about devices: the configuration image
// (from the device library's layout) and the record of one found device.
#pragma once

#include "DeviceImage.h"

#include <QString>
#include <QVector>

// The record of one found device.
struct DeviceAllInfo {
    QString path;              // HID path as the library returned it
    QString vid = QStringLiteral("0");
    QString pid = QStringLiteral("0");
    uint8_t cid = 0;
    uint8_t mid = 0;
    uint8_t type = 0;          // 0 = 1 kHz, 4 = 2 kHz, 1 = 4 kHz, 5 = 8 kHz receiver; else the mouse
    int driveIndex = 0;        // model group "Drive" + (driveIndex + 1); DeviceTotal = not configured
    uint8_t online = 0;
    uint8_t directMouse = 0;   // the mouse itself is attached (type is no receiver kind)
    QString usbVersion;
    QString firmwareVersion;
    QVector<uint8_t> address;  // the three receiver address bytes
};

// 1 when the kind byte is none of the receiver kinds (IsReceiverKind).
uint8_t DirectMouseFromType(uint8_t type);

// "v" + major in decimal + "." + minor in lower-case hexadecimal, from a
// version whose high byte is the major and low byte the minor number.
QString VersionText(unsigned int version);

// "Device_CID" + CID + "_MID" + MID + ".bin", each id two upper-case hex digits.
QString DeviceFileName(uint8_t cid, uint8_t mid);
