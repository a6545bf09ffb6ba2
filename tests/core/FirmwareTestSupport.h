// Shared pieces of the firmware update tests: the devices found on the bench
// as the list page and the device link find them, a field of a bench device,
// and the upgrades the library started.
#pragma once

#include "LinkTestSupport.h"

#include "DeviceDiscovery.h"
#include "Globals.h"

namespace firmwaretest {

using namespace linktest;

// A field of one device in the tool's list ("firmware", "boot", ...).
inline QString deviceField(const QString& id, const QString& key)
{
    for (const QString& line : bench({QStringLiteral("list")}).split(QLatin1Char('\n'))) {
        if (!line.contains(QStringLiteral(" id=") + id + QLatin1Char(' ')))
            continue;
        for (const QString& field : line.split(QLatin1Char(' '))) {
            if (field.startsWith(key + QLatin1Char('=')))
                return field.mid(key.size() + 1);
        }
    }
    return QString();
}

// The upgrades the library started, in order ("UsbUpgrade_Start <id> <image>").
inline QStringList upgradeStarts()
{
    QStringList starts;
    for (const QString& line : callsLog({QStringLiteral("UsbUpgrade_Start ")})) {
        if (!line.contains(QLatin1String("refused")))
            starts.append(line);
    }
    return starts;
}

// The devices those upgrades wrote, in order.
inline QStringList upgradedDevices()
{
    QStringList ids;
    for (const QString& line : upgradeStarts())
        ids.append(line.section(QLatin1Char(' '), 1, 1));
    return ids;
}

// The device lists as the list page and the device link build them; the
// cabled mouse2 is the current device, as after a click on its card.
inline void findDevices()
{
    DeviceList.clear();
    DeviceListB.clear();
    const DeviceDiscovery::PidLists lists = DeviceDiscovery::ReadPidLists();
    DeviceDiscovery::StorePidLists(lists);
    DeviceDiscovery::FindDevices(QStringLiteral("7A51"), DeviceDiscovery::SearchList(lists));
    for (QList<DeviceAllInfo>* list : {&DeviceList, &DeviceListB}) {
        for (DeviceAllInfo& e : *list)
            DeviceDiscovery::QueryLink(e);
    }
    FoundDevices = DeviceListB;
    DeviceDiscovery::DropReceiversBesideCabledMouse(DeviceList, lists, DeviceDiscovery::ModelTotal());
    for (const DeviceAllInfo& e : qAsConst(FoundDevices)) {
        if (e.path == QLatin1String("hidbench/mouse2")) {
            CurrentDeviceInfo = e;
            // As the mouse reports it when its link opens.
            CurrentDeviceInfo.firmwareVersion = deviceField(QStringLiteral("mouse2"), QStringLiteral("firmware"));
        }
    }
}

}  // namespace firmwaretest
