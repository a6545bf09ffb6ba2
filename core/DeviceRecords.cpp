#include "DeviceRecords.h"

#include "ModelRecords.h"

uint8_t DirectMouseFromType(uint8_t type)
{
    return IsReceiverKind(type) ? 0 : 1;
}

QString VersionText(unsigned int version)
{
    return QStringLiteral("v") + QString::number(version >> 8) + QStringLiteral(".")
           + QString::number(version & 0xFF, 16);
}

QString DeviceFileName(uint8_t cid, uint8_t mid)
{
    const auto hex2 = [](uint8_t v) {
        return QString::number(v, 16).rightJustified(2, QLatin1Char('0')).toUpper();
    };
    return QStringLiteral("Device_CID") + hex2(cid) + QStringLiteral("_MID") + hex2(mid)
           + QStringLiteral(".bin");
}
