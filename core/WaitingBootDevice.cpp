#include "WaitingBootDevice.h"

#include "ConfigSettings.h"
#include "FirmwareFiles.h"
#include "Globals.h"
#include "Logging.h"
#include "OffGuiThread.h"

std::optional<UpdateFailRecord> FindWaitingBootDevice()
{
    struct Image {
        int type;
        int kind;
        QString key;
    };
    QList<Image> images{{FirmwareKindMouse, 0, QStringLiteral("MM")}};
    for (int kind : {1, 2, 4, 8})
        images.append({FirmwareKindReceiver, kind, ConfigSettings::ReceiverFirmwareKeyOfRate(kind)});

    ConfigSettings* config = ConfigSettings::GetInstance();
    const int cid = config->GetInt(QStringLiteral("Option"), QStringLiteral("CID"));
    const QString folder = FirmwareFolder();
    const int models = config->ModelTotal();
    for (int model = 0; model < models; ++model) {
        if (config->ModelValue(model, QStringLiteral("MID")).isEmpty())
            continue;
        const int mid = config->ModelInt(model, QStringLiteral("MID"));
        for (const Image& image : qAsConst(images)) {
            const QString name = config->ModelValue(model, image.key);
            if (name.isEmpty())
                continue;
            const std::optional<FirmwareFile> file =
                FindFirmwareFile(folder, quint8(image.type), QString(), name, quint8(cid), quint8(mid));
            if (!file)
                continue;
            const FirmwareLoadResult loaded = LoadFirmwareImage(file->path);
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
