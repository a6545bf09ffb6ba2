#include "WaitingBootDevice.h"

#include "FirmwareFiles.h"
#include "Globals.h"
#include "Logging.h"
#include "ModelRecords.h"
#include "OffGuiThread.h"

std::optional<UpdateFailRecord> FindWaitingBootDevice()
{
    struct Image {
        int type;
        int kind;  // the receiver's rate class, 0 for the mouse
    };
    QList<Image> images{{FirmwareKindMouse, 0}};
    for (int kind : {1, 2, 4, 8})
        images.append({FirmwareKindReceiver, kind});

    const QString folder = FirmwareFolder();
    for (const ModelRecord& model : ModelRecords()) {
        if (model.midText.isEmpty())
            continue;
        const int cid = model.cid;
        const int mid = model.mid;
        for (const Image& image : qAsConst(images)) {
            const QString name =
                image.type == FirmwareKindMouse ? model.mouseFirmware : model.ReceiverFirmwareOfRate(image.kind);
            if (name.isEmpty())
                continue;
            const std::optional<FirmwareFile> file =
                FindFirmwareFile(folder, quint8(image.type), QString(), name, quint8(cid), quint8(mid));
            if (!file)
                continue;
            const FirmwareLoadResult loaded = LoadFirmwareFile(*file);
            if (FirmwareBootDeviceCount(loaded.image) > 0) {
                qCInfo(lcLibrary) << "a device waits in boot mode for" << file->path;
                return UpdateFailRecord{image.type, image.kind, cid, mid};
            }
        }
    }
    return std::nullopt;
}

void RecordWaitingBootDevice(QObject* context, std::function<void(bool recorded)> done)
{
    RunOffGuiThread(context, &FindWaitingBootDevice, [done](const std::optional<UpdateFailRecord>& found) {
        // A write under way puts its device in boot mode with a record of its own.
        const bool busy = FirmwareUpgradeRunning() || RepairUpgradeRunning.load();
        done(found && !busy && !ReadUpdateFailInfo() && WriteUpdateFailInfo(*found));
    });
}
