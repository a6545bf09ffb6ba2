#include "FirmwareFiles.h"

#include "ConfigSettings.h"
#include "DeviceRecords.h"
#include "Globals.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

bool ParseFirmwareHeader(const QByteArray& data, FirmwareHeader* header)
{
    if (data.size() < FirmwareHeaderSize)
        return false;
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    header->version = qFromLittleEndian<quint32>(bytes + 16);
    header->kind = bytes[20];
    header->id = bytes[21];
    header->mid = bytes[22];
    const QByteArray rawName = data.mid(87, 64);
    const int end = rawName.indexOf('\0');
    header->name = QString::fromLocal8Bit(end < 0 ? rawName : rawName.left(end));
    return true;
}

QString FirmwareFolder()
{
    return AppDir() + QStringLiteral("/bin");
}

bool FindFirmwareImage(const QString& folder, quint8 kind, const QString& version, const QString& name,
                       quint8 id, quint8 mid, QByteArray* image)
{
    QDir dir(folder);
    if (!dir.exists())
        return false;
    const QString current = QString(version).remove(QLatin1Char('v'));
    const QStringList files = dir.entryList({QStringLiteral("*.bin")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& fileName : files) {
        QFile file(dir.filePath(fileName));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray data = file.readAll();
        FirmwareHeader header;
        if (!ParseFirmwareHeader(data, &header))
            continue;
        if (header.kind != kind || header.id != id || header.mid != mid || header.name != name)
            continue;
        const QString fileVersion = VersionText(header.version).remove(QLatin1Char('v'));
        if (!version.isEmpty() && fileVersion == current)
            continue;
        if (image)
            *image = data;
        return true;
    }
    return false;
}

bool FirmwareUpdateAvailable(int kind, const QString& version, int rateClass)
{
    const QString key =
        kind == FirmwareKindMouse ? QStringLiteral("MM") : ConfigSettings::ReceiverFirmwareKeyOfRate(rateClass);
    if (key.isEmpty())
        return false;
    ConfigSettings* config = ConfigSettings::GetInstance();
    const int model = CurrentDeviceInfo.driveIndex;
    const QString name = config->ModelValue(model, key);
    if (name.isEmpty())
        return false;
    const int cid = config->GetInt(QStringLiteral("Option"), QStringLiteral("CID"));
    const int mid = config->ModelInt(model, QStringLiteral("MID"));
    return FindFirmwareImage(FirmwareFolder(), static_cast<quint8>(kind), version, name, static_cast<quint8>(cid),
                             static_cast<quint8>(mid));
}
