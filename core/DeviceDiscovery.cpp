#include "DeviceDiscovery.h"

#include "ConfigSettings.h"
#include "Globals.h"
#include "HIDUsb.h"
#include "Logging.h"

#include <QVector>

#include <algorithm>
#include <array>
#include <cstring>

namespace DeviceDiscovery {

namespace {

const QString Option = QStringLiteral("Option");

// Paths come from the library as UTF-8 text and go back the same way.
QByteArray pathBytes(const QString& path)
{
    return path.toUtf8();
}

bool pathListed(const QList<DeviceAllInfo>& list, const QString& path)
{
    for (const DeviceAllInfo& d : list) {
        if (d.path == path)
            return true;
    }
    return false;
}

}  // namespace

PidLists ReadPidLists()
{
    ConfigSettings* config = ConfigSettings::GetInstance();
    PidLists lists;
    lists.usb = config->GetValueList(Option, QStringLiteral("USB_PID"));
    lists.wireless1 = config->GetValueList(Option, QStringLiteral("Wireless_PID"));
    lists.wireless2 = config->GetValueList(Option, QStringLiteral("Wireless2_PID"));
    lists.wireless4 = config->GetValueList(Option, QStringLiteral("Wireless4_PID"));
    lists.wireless8 = config->GetValueList(Option, QStringLiteral("Wireless8_PID"));
    return lists;
}

PidLists CurrentPidLists()
{
    return PidLists{UsbPidList, WirelessPidList, Wireless2PidList, Wireless4PidList, Wireless8PidList};
}

void StorePidLists(const PidLists& lists)
{
    UsbPidList = lists.usb;
    WirelessPidList = lists.wireless1;
    Wireless2PidList = lists.wireless2;
    Wireless4PidList = lists.wireless4;
    Wireless8PidList = lists.wireless8;
}

QStringList SearchList(const PidLists& lists)
{
    QStringList out;
    for (const QStringList* list : {&lists.usb, &lists.wireless1, &lists.wireless2, &lists.wireless4, &lists.wireless8}) {
        for (const QString& pid : *list) {
            if (!pid.isEmpty())
                out.append(pid);
        }
    }
    return out;
}

int ModelTotal()
{
    return ConfigSettings::GetInstance()->ModelTotal();
}

QString UsbVersionOf(const QByteArray& path)
{
    unsigned char attribute[12];
    std::memset(attribute, 0, sizeof attribute);
    UsbFinderC_GetUsbDeviceAttribute(path.constData(), attribute);
    return VersionText(unsigned(attribute[8]) | (unsigned(attribute[9]) << 8));
}

bool ReadDeviceInfo(DeviceAllInfo& info)
{
    const QByteArray path = pathBytes(info.path);
    DeviceIdentity id{0, 0, 0};
    bool answered = false;
    for (int call = 1; call <= 10; ++call) {
        id = UsbFinderC_GetDeviceInfo(path.constData());
        // The tenth answer is not taken as an identity, whatever it says.
        if (call == 10)
            break;
        if (id.cid != 0 || id.mid != 0) {
            answered = true;
            break;
        }
    }

    const int total = ModelTotal();
    if (!answered) {
        info.directMouse = DirectMouseFromType(id.type);
        info.driveIndex = total;
        return true;
    }

    if (const std::optional<ModelRecord> model = ModelOfIdentity(id.cid, id.mid)) {
        info.directMouse = DirectMouseFromType(id.type);
        info.cid = id.cid;
        info.mid = id.mid;
        info.type = id.type;
        info.driveIndex = model->driveIndex;
        if (UsbFinderC_GetDeviceOnLine(path.constData()) != 0)
            info.online = 1;
        return true;
    }
    if (total < 1)
        return false;
    info.directMouse = DirectMouseFromType(id.type);
    info.driveIndex = total;
    return true;
}

void ReadIdentityOnce(DeviceAllInfo& info)
{
    const QByteArray path = pathBytes(info.path);
    const DeviceIdentity id = UsbFinderC_GetDeviceInfo(path.constData());
    info.cid = id.cid;
    info.mid = id.mid;
}

QStringList SearchPaths(const QString& vid, const QString& pid)
{
    int count = 5;
    char** found =
        UsbFinderC_FindHidDevicesByDefaultDeviceId(vid.toLatin1().constData(), pid.toLatin1().constData(), &count);
    // The library's storage lasts only until its next search: copy first.
    QStringList paths;
    for (int i = 0; found && i < count; ++i) {
        if (found[i])
            paths.append(QString::fromUtf8(found[i]));
    }
    return paths;
}

namespace {
// A library that can find nothing at all leaves the list at "connect your
// device" like an empty bus: the log says why.
void tellBenchProblem()
{
    static QString told;
    const QString problem = QString::fromLocal8Bit(UsbFinderC_GetBenchProblem());
    if (problem == told)
        return;
    told = problem;
    if (!problem.isEmpty())
        qCWarning(lcLibrary).noquote() << "no device can be found:" << problem;
}
}  // namespace

void FindDevices(const QString& vid, const QStringList& pids)
{
    for (const QString& pid : pids) {
        const QStringList paths = SearchPaths(vid, pid);
        for (const QString& path : paths) {
            // One device found under two lists of ids is still one device.
            if (pathListed(DeviceListB, path))
                continue;
            DeviceAllInfo info;
            info.path = path;
            info.vid = vid;
            info.pid = pid;
            info.usbVersion = UsbVersionOf(pathBytes(path));
            if (ReadDeviceInfo(info)) {
                DeviceList.append(info);
                DeviceListB.append(info);
            }
        }
    }
    // Asked after the search, which looked at the bench: the library does
    // not look again for it.
    tellBenchProblem();
}

void QueryLink(DeviceAllInfo& info)
{
    // A fresh buffer per query: nothing of another device's answer remains.
    unsigned char buffer[16];
    std::memset(buffer, 0, sizeof buffer);
    UsbFinderC_GetDeviceOnLineWithUsbAddress(pathBytes(info.path).constData(), buffer);
    info.online = buffer[6] == 1 ? 1 : 0;
    info.address = QVector<uint8_t>{buffer[7], buffer[8], buffer[9]};
}

bool ReplaceByPath(QList<DeviceAllInfo>& list, const DeviceAllInfo& info)
{
    for (DeviceAllInfo& d : list) {
        if (d.path == info.path) {
            d = info;
            return true;
        }
    }
    return false;
}

namespace {

// Rate class of a receiver's product id: 1, 2, 4, 8 for the first of the
// 1, 2, 4, 8 kHz lists that holds it (exact text), 0 for none.
int receiverRateOfPid(const QString& pid, const PidLists& lists)
{
    if (lists.wireless1.contains(pid))
        return 1;
    if (lists.wireless2.contains(pid))
        return 2;
    if (lists.wireless4.contains(pid))
        return 4;
    if (lists.wireless8.contains(pid))
        return 8;
    return 0;
}

// Devices per kind (0 cabled mouse, else the receiver's rate class 1, 2, 4,
// 8) and model column (0..total, total = unmatched).
using CountTable = QVector<std::array<int, 9>>;

CountTable countDevices(const QList<DeviceAllInfo>& devices, const PidLists& lists, int total)
{
    CountTable table(qMax(0, total) + 1, std::array<int, 9>{});
    for (const DeviceAllInfo& d : devices) {
        const int kind = d.directMouse ? 0 : receiverRateOfPid(d.pid, lists);
        if (!d.directMouse && kind == 0)
            continue;  // a receiver of no rate list is not counted
        if (d.driveIndex < 0 || d.driveIndex >= table.size())
            continue;
        ++table[d.driveIndex][size_t(kind)];
    }
    return table;
}

}  // namespace

bool HasDuplicates(const QList<DeviceAllInfo>& devices, const PidLists& lists, int total)
{
    const CountTable table = countDevices(devices, lists, total);
    for (const auto& column : table) {
        for (int cell : column) {
            if (cell > 1)
                return true;
        }
    }
    return false;
}

void DropReceiversBesideCabledMouse(QList<DeviceAllInfo>& devices, const PidLists& lists, int total)
{
    const CountTable table = countDevices(devices, lists, total);
    for (int model = 0; model < total && model < table.size(); ++model) {
        if (table[model][0] != 1)
            continue;
        for (int i = devices.size() - 1; i >= 0; --i) {
            if (!devices[i].directMouse && devices[i].driveIndex == model)
                devices.removeAt(i);
        }
    }
}

bool FollowsMouseBesideReceiver(const DeviceAllInfo& found, const DeviceAllInfo& current)
{
    const bool sameAddress =
        found.address.size() == 3 && current.address.size() == 3 && found.address == current.address;
    if (found.directMouse != 1 || found.online != 1 || current.directMouse != 0 || !sameAddress)
        return false;
    if (!current.path.isEmpty())
        return found.driveIndex == current.driveIndex;
    return current.online == 1;
}

bool CurrentDeviceGone(const QList<DeviceAllInfo>& found, const DeviceAllInfo& current)
{
    if (current.path.isEmpty())
        return false;
    return std::none_of(found.begin(), found.end(),
                        [&](const DeviceAllInfo& device) { return device.path == current.path; });
}

QString BadgePicture(const QString& pid, const PidLists& lists, bool lastPage)
{
    struct Rate {
        const QStringList* list;
        const char* picture;
    };
    const Rate full[] = {{&lists.wireless2, "2KHz.png"},
                         {&lists.wireless4, "4KHz.png"},
                         {&lists.wireless1, "1KHz.png"},
                         {&lists.wireless8, "8KHz.png"}};
    const Rate last[] = {{&lists.wireless2, "2KHz.png"},
                         {&lists.wireless4, "4KHz.png"},
                         {&lists.wireless8, "8KHz.png"},
                         {&lists.wireless1, "1KHz.png"}};
    for (const Rate& rate : lastPage ? last : full) {
        if (rate.list->contains(pid))
            return QString::fromLatin1(rate.picture);
    }
    return QString();
}

int PageCount(int count)
{
    return count <= 0 ? 0 : (count + 2) / 3;
}

bool OnShortLastPage(int index, int count)
{
    return count % 3 != 0 && index / 3 == count / 3;
}

QPoint ButtonPlace(int index, int count)
{
    if (!OnShortLastPage(index, count))
        return QPoint(300 * (index % 3), 0);
    if (count % 3 == 1)
        return QPoint(305, 0);
    return QPoint(index % 3 == 0 ? 135 : 445, 0);
}

}  // namespace DeviceDiscovery
