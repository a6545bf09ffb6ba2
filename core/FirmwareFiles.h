// Firmware images beside the executable ("<appDir>/bin/*.bin"): each starts
// with a 728-byte header that names the device it is for and its version.
// Pure functions over the header, one folder search, and the availability
// check the device link, the device list and the settings page share.
#pragma once

#include <QByteArray>
#include <QString>

constexpr int FirmwareHeaderSize = 728;
constexpr quint8 FirmwareKindMouse = 210;
constexpr quint8 FirmwareKindReceiver = 211;

struct FirmwareHeader {
    quint32 version = 0;  // bits 8..31 major, bits 0..7 minor
    quint8 kind = 0;      // 210 mouse, 211 receiver
    quint8 id = 0;        // low byte of the maker id (Option/CID)
    quint8 mid = 0;       // model id (Drive<N>/MID)
    QString name;         // model firmware name, up to 64 bytes
};

// False for data shorter than the header.
bool ParseFirmwareHeader(const QByteArray& data, FirmwareHeader* header);

// "<appDir>/bin".
QString FirmwareFolder();

// True when a "*.bin" image in folder is for kind, id, mid and name (exact)
// and its version text differs from version ("v1.5"; every "v" is ignored;
// an empty version differs from every image). The first such image, in name
// order, goes to image when one is asked for.
bool FindFirmwareImage(const QString& folder, quint8 kind, const QString& version, const QString& name,
                       quint8 id, quint8 mid, QByteArray* image = nullptr);

// Whether FirmwareFolder() holds an image of kind (210 mouse, 211 receiver)
// for the model of CurrentDeviceInfo (Option/CID, its MID, its firmware
// name: MM for the mouse, the receiver's key by rateClass 1, 2, 4, 8) whose
// version differs from version. Any other rate class gives false for a
// receiver. GUI thread (CurrentDeviceInfo).
bool FirmwareUpdateAvailable(int kind, const QString& version, int rateClass);
