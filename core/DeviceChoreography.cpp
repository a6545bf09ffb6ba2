#include "DeviceChoreography.h"

#include "DeviceDiscovery.h"
#include "FirmwareFiles.h"
#include "FirmwareUpdate.h"
#include "Globals.h"
#include "HIDUsb.h"
#include "Logging.h"
#include "ModelRecords.h"
#include "Worker.h"

#include <atomic>

namespace {

std::atomic<UsbChangeCallback> listCallback{nullptr};

// The pairing state report's answer byte.
constexpr int PairStateFailed = 2;
constexpr int PairStatePaired = 3;

}  // namespace

// ---- which USB-change callback is live ---------------------------------------

void SetListUsbCallback(UsbChangeCallback callback)
{
    listCallback = callback;
}

void FollowUsbChanges(UsbWatcher watcher)
{
    const UsbChangeCallback callback = watcher == UsbWatcher::Pages ? &Worker::OnUsbChanged : listCallback.load();
    if (!callback) {
        StopUsbChanged();
        return;
    }
    StartUsbChanged(callback, UsbChangeIntervalMs);
}

void StopFollowingUsbChanges()
{
    StopUsbChanged();
}

// ---- the device link ------------------------------------------------------------

namespace {

// Opens the device link to the current device again (the pairing had a link
// of its own); reports go to the link's handler. False when no such device
// is attached (the link is open all the same).
bool reopenDeviceLink()
{
    const QByteArray path = CurrentDevicePath();
    const bool attached = UsbServerC_Start(path.constData(), path.constData(), &Worker::OnProtocolData);
    if (!attached)
        qCInfo(lcLink) << "link opened again to a device that is not attached:" << path;
    return attached;
}

}  // namespace

void CloseDeviceLink()
{
    UsbServer_Exit();
}

void TellProgramInFront(bool inFront)
{
    if (!UsbServer_SetPCDriverStatus(inFront ? 1 : 0))
        qCDebug(lcLink) << "no link to tell whether the program is in front";
}

bool DeviceAnswers(const QString& path)
{
    return UsbFinderC_GetDeviceOnLine(path.toLocal8Bit().constData()) != 0;
}

// ---- a pairing run ----------------------------------------------------------------

void RunPairing(const std::function<void()>& runDialog, const DeviceAllInfo* clicked)
{
    if (clicked)
        SelectedDeviceInfo = *clicked;
    RePairFlag = clicked != nullptr;
    if (runDialog)
        runDialog();
    RePairFlag = false;
    // The pairing used a link of its own: the side shown now gets its
    // callback first, so that a change during the reopening is not missed.
    if (OnMainPage.load() == 1) {
        FollowUsbChanges(UsbWatcher::Pages);
        (void)reopenDeviceLink();  // a device that went away is logged and found by the USB callback
    } else {
        FollowUsbChanges(UsbWatcher::List);
    }
}

// ---- one pairing attempt ------------------------------------------------------------

bool OpenPairingLink(const QString& path, PairReportCallback callback)
{
    const QByteArray bytes = path.toLocal8Bit();
    return UsbServerC_Start(bytes.constData(), bytes.constData(), callback);
}

bool AskToPair(int cid)
{
    return UsbServer_EnterDonglePairOnlyCid(static_cast<unsigned char>(cid));
}

bool AskPairState()
{
    return UsbServer_ReadDonglePairStatus();
}

PairOutcome PairOutcomeOf(const unsigned char* header, int headerLength, const unsigned char* data,
                          unsigned int dataLength)
{
    const int type = header && headerLength >= 2 ? header[1] : 0;
    if (type != HidReportPairStatus || !data || dataLength < 1)
        return PairOutcome::None;
    if (data[0] == PairStatePaired)
        return PairOutcome::Paired;
    if (data[0] == PairStateFailed)
        return PairOutcome::Failed;
    return PairOutcome::None;
}

bool StillAttached(const DeviceAllInfo& device)
{
    return DeviceDiscovery::SearchPaths(device.vid, device.pid).contains(device.path);
}

// ---- which firmware differs -----------------------------------------------------------

FirmwareRelation FirmwareRelationOf(const DeviceAllInfo& receiver)
{
    const std::optional<ModelRecord> model = ModelRecordOf(receiver.driveIndex);
    const QString mouseVersion = model ? ReadMouseVersion(model->cidText, model->midText) : QString();
    if (mouseVersion.isEmpty())
        return FirmwareRelation::MouseUnknown;
    const auto cid = static_cast<quint8>(model->cid);
    const auto mid = static_cast<quint8>(model->mid);
    const QString folder = FirmwareFolder();
    const bool mouse =
        FindFirmwareFile(folder, FirmwareKindMouse, mouseVersion, model->mouseFirmware, cid, mid).has_value();
    const QString receiverName = model->ReceiverFirmwareOfType(receiver.type);
    // The receiver's own version may be unknown: then any image differs.
    const bool dongle = !receiverName.isEmpty()
                        && FindFirmwareFile(folder, FirmwareKindReceiver, receiver.usbVersion, receiverName, cid, mid)
                               .has_value();
    if (mouse && dongle)
        return FirmwareRelation::Both;
    if (mouse)
        return FirmwareRelation::Mouse;
    return dongle ? FirmwareRelation::Receiver : FirmwareRelation::Same;
}

// ---- cable pairing writes ---------------------------------------------------------------

bool WriteReceiverIdToMouse(const QString& path, QByteArray record)
{
    const bool written = UsbFinderC_SetDongleIDToMouse(path.toUtf8().constData(),
                                                       reinterpret_cast<unsigned char*>(record.data()));
    if (!written)
        qCWarning(lcLibrary) << "the receiver id was not written to the mouse at" << path;
    return written;
}

unsigned char ReadReceiverAddress(const QString& path, unsigned char (&reply)[10])
{
    return UsbFinderC_GetDeviceOnLineWithUsbAddress(path.toUtf8().constData(), reply);
}
