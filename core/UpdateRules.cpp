#include "UpdateRules.h"

#include "ConfigSettings.h"
#include "ModelRecords.h"

namespace UpdateRules {

int ReceiverBesideMouse(const QList<DeviceAllInfo>& found, bool kindNeeded)
{
    if (found.size() != 2)
        return -1;
    for (int i = 0; i < found.size(); ++i) {
        const DeviceAllInfo& e = found.at(i);
        if (!e.address.isEmpty() && e.directMouse == 0 && (!kindNeeded || IsReceiverKind(e.type)))
            return i;
    }
    return -1;
}

int CheckKind(const DeviceAllInfo& current, const QList<DeviceAllInfo>& found)
{
    if (current.directMouse == 0)
        return ConfigSettings::RateClassOfType(current.type, 0);
    const int receiver = ReceiverBesideMouse(found, true);
    return receiver < 0 ? 0 : ConfigSettings::RateClassOfType(found.at(receiver).type, 0);
}

VersionTexts VersionTextsOf(const DeviceAllInfo& current, bool online, const QList<DeviceAllInfo>& found)
{
    VersionTexts texts;
    texts.kind = CheckKind(current, found);
    if (!online || current.directMouse == 0) {
        texts.receiver = current.usbVersion;
        if (online)
            texts.mouse = current.firmwareVersion;
        return texts;
    }
    texts.mouse = current.firmwareVersion;
    const int receiver = ReceiverBesideMouse(found, false);
    if (receiver >= 0)
        texts.receiver = found.at(receiver).usbVersion;
    return texts;
}

QStringList ReceiverPaths(const DeviceAllInfo& current, const QList<DeviceAllInfo>& found)
{
    QStringList paths;
    for (const DeviceAllInfo& e : found) {
        if (e.directMouse != 0)
            continue;
        if (current.directMouse != 0)
            paths.append(e.path);
        else if (e.path == current.path)
            paths.append(current.path);
    }
    return paths;
}

int CabledMice(const QList<DeviceAllInfo>& found)
{
    int n = 0;
    for (const DeviceAllInfo& e : found)
        n += e.directMouse != 0;
    return n;
}

ResumePlan PlanResume(const std::optional<UpdateFailRecord>& record, const QList<DeviceAllInfo>& found)
{
    ResumePlan plan;
    auto stop = [&plan](Message tip) {
        plan.path = ResumePlan::Stop;
        plan.tip = tip;
        return plan;
    };
    if (found.isEmpty())
        return stop(Message::Error);
    if (found.size() == 1) {
        const DeviceAllInfo& e = found.first();
        if (!record)
            return stop(e.directMouse != 0 ? Message::NoReceive : Message::NoUsb);
        if (record->type == FirmwareKindReceiver) {
            // The receiver waits in boot mode; its mouse is on the cable.
            if (e.directMouse == 0 || e.mid != record->mid)
                return stop(Message::NoUsb);
        } else if (record->type == FirmwareKindMouse) {
            plan.mouseBoot = true;
            if (e.directMouse != 0 || e.mid != record->mid)
                return stop(Message::NoReceive);
        } else {
            return stop(Message::Error);
        }
        if (IsReceiverRateClass(record->kind))
            plan.kind = record->kind;
        if (e.cid != record->cid)
            return stop(Message::Error);
        plan.path = ResumePlan::Resume;
        return plan;
    }
    if (found.size() == 2) {
        if (found.at(0).directMouse == 0 && found.at(1).directMouse == 0)
            return stop(Message::NoUsb);
        if (found.at(0).mid != found.at(1).mid)
            return stop(Message::NoReceive);
        for (int i = 0; i < 2; ++i) {
            const DeviceAllInfo& e = found.at(i);
            if (!e.address.isEmpty() && e.directMouse == 0 && IsReceiverKind(e.type)) {
                plan.kind = ConfigSettings::RateClassOfType(e.type, 0);
                plan.receiverIndex = i;
                plan.path = ResumePlan::Fresh;
                return plan;
            }
        }
        return stop(Message::NoReceive);
    }
    int receivers = 0;
    int mice = 0;
    for (const DeviceAllInfo& e : found)
        (e.directMouse != 0 ? mice : receivers) += 1;
    if (mice >= 2)
        return stop(Message::MultiMouse);
    return stop(receivers >= 2 ? Message::MultiDongle : Message::Error);
}

RepairPlan PlanRepair(const UpdateFailRecord& record, const QList<DeviceAllInfo>& list,
                      const QList<DeviceAllInfo>& listB, const DeviceDiscovery::PidLists& pids, bool partnerTest)
{
    RepairPlan plan;
    if (list.isEmpty()) {
        plan.tip = Message::NoDevice;
        return plan;
    }
    if (list.size() >= 2) {
        int mice = 0;
        int receivers = 0;
        const DeviceAllInfo* mouse = nullptr;
        const DeviceAllInfo* receiver = nullptr;
        for (const DeviceAllInfo& e : list) {
            if (e.directMouse != 0) {
                ++mice;
                mouse = &e;
            } else {
                ++receivers;
                receiver = &e;
            }
        }
        if (mice >= 2)
            plan.tip = Message::MultiMouse;
        else if (receivers >= 2)
            plan.tip = Message::MultiDongle;
        else if (record.type == FirmwareKindMouse && mouse && mouse->mid != record.mid)
            plan.tip = Message::MultiMouse;
        else if (record.type == FirmwareKindReceiver && receiver && receiver->mid != record.mid)
            plan.tip = Message::MultiDongle;
        if (plan.tip != Message::None)
            return plan;
    }
    if (record.type == FirmwareKindReceiver) {
        const QStringList all = pids.wireless1 + pids.wireless2 + pids.wireless4 + pids.wireless8;
        auto count = [&listB](const QStringList& ids) {
            int n = 0;
            for (const DeviceAllInfo& e : listB)
                n += ids.contains(e.pid);
            return n;
        };
        plan.receiversByPid = count(all);
        if (plan.receiversByPid == 1) {
            switch (record.kind) {
            case 1: plan.receiversByPid = count(pids.wireless1); break;
            case 2: plan.receiversByPid = count(pids.wireless2); break;
            case 4: plan.receiversByPid = count(pids.wireless4); break;
            case 8: plan.receiversByPid = count(pids.wireless8); break;
            default: plan.receiversByPid = 0; break;
            }
        }
    }
    if (partnerTest) {
        const DeviceAllInfo& first = list.first();
        if (record.type == FirmwareKindReceiver && (first.directMouse == 0 || first.mid != record.mid))
            plan.tip = Message::NoUsb;
        else if (record.type != FirmwareKindReceiver && (first.directMouse != 0 || first.mid != record.mid))
            plan.tip = Message::NoReceive;
    }
    return plan;
}

Message DecideRepair(bool imageFound, int devices)
{
    if (!imageFound)
        return Message::FileError;
    if (devices == 1)
        return Message::None;
    return devices == 0 ? Message::NoDevice : Message::SameDevice;
}

QByteArray ReceiverIdBytes(const unsigned char* reply)
{
    if (!reply)
        return QByteArray(3, '\0');
    QByteArray id;
    id.append(char(reply[9])).append(char(reply[8])).append(char(reply[7]));
    return id;
}

QByteArray ReceiverIdRecord(const QByteArray& idBytes, int kind)
{
    QByteArray record(5, '\0');
    for (int i = 0; i < 3 && i < idBytes.size(); ++i)
        record[i] = idBytes.at(i);
    record[4] = char(kind == 8 ? 4 : (kind == 2 || kind == 4) ? 1 : 0);
    return record;
}

}  // namespace UpdateRules
