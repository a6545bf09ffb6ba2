// The button page's three buttons for the whole configuration: export to a
// settings file, import of such a file and the factory reset. Import and
// reset leave the applying and the waiting to the apply-and-wait dialog.
#include "Buttoninterface.h"

#include "ConfigSettings.h"
#include "ContainReset.h"
#include "DeviceWriters.h"
#include "FileDialogs.h"
#include "Globals.h"
#include "InportFail.h"
#include "Logging.h"
#include "PageKit.h"
#include "SettingsFile.h"
#include "UpDataParam.h"
#include "Worker.h"

#include <QDir>
#include <QFileDialog>
#include <QTimer>

namespace {

// The files of settings export and import: the import lists these only.
const QString SettingsSuffix = QStringLiteral("bin");

}  // namespace

void Buttoninterface::ShowSettingsNotice(void (InportFail::*message)())
{
    InportFail notice;
    (notice.*message)();
    notice.move(DialogPosition(&notice));
    notice.exec();
}

void Buttoninterface::on_OutputData_clicked()
{
    // Said before a name is asked for: with nothing to write, no file.
    if (!ImageToExport()) {
        ShowSettingsNotice(&InportFail::ShowNothingToExport);
        return;
    }
    const QString fileName = AskSaveFileName(this, SettingsSuffix);
    if (fileName.isEmpty())
        return;
    // The settings as they are now, after the dialog.
    const std::optional<FlashDataMap> image = ImageToExport();
    if (!image)
        ShowSettingsNotice(&InportFail::ShowNothingToExport);
    else if (!WriteExportFile(fileName, *image))
        ShowSettingsNotice(&InportFail::ShowWriteFailed);
}

bool Buttoninterface::WriteExportFile(const QString& fileName, FlashDataMap image)
{
    const QString sensor = ConfigSettings::GetInstance()->ModelValue(CurrentDeviceInfo.driveIndex, QStringLiteral("Sensor"));
    return WriteSettingsFile(fileName, sensor, image);
}

void Buttoninterface::on_ImportData_clicked()
{
    // It needs the device; offline the offline notice says so.
    if (!IsDeviceOnline())
        return;
    SettingsBusy = true;
    const QString fileName = QFileDialog::getOpenFileName(this, QStringLiteral("SelectFile"), QDir::homePath(),
                                                          FileDialogFilter(SettingsSuffix));
    if (!fileName.isEmpty()) {
        // Before the dialog is built: it picks its import message by it.
        ImportRunning = 1;
        UpDataParam dialog;
        dialog.StartTimer();
        dialog.importMode = true;
        dialog.path = fileName;
        dialog.move(DialogPosition(&dialog));
        dialog.exec();
        ImportRunning = 0;
    }
    SettingsBusy = false;
}

void Buttoninterface::on_Reset_clicked()
{
    // It needs the device; offline the offline notice says so.
    if (!IsDeviceOnline())
        return;
    {
        ContainReset question;
        question.move(DialogPosition(&question));
        question.exec();
        if (!question.IsAccepted())
            return;
    }
    SettingsBusy = true;
    if (CheckTimer)
        CheckTimer->stop();
    // Only an image read from this device goes back to it.
    // A refused send is logged by SendImage; the factory reset below
    // replaces the device's image either way, so the reset goes on.
    if (ImageBelongsToDevice) {
        const FlashDataMap image = SnapshotFlashData();
        (void)SendImage(image);
    }
    // Only refills from what the device holds after the reset count.
    ClearPagesUpdated();
    if (ResetDeviceSettings()) {
        UpDataParam dialog;
        dialog.StartTimer();
        dialog.waitMode = true;
        // The pages refill from the device's defaults, read anew.
        if (WorkerThread)
            WorkerThread->ReadDeviceAgain();
        dialog.move(DialogPosition(&dialog));
        dialog.exec();
    } else {
        ShowSettingsNotice(&InportFail::ShowNotTaken);
    }
    SettingsBusy = false;
    if (CheckTimer)
        CheckTimer->start();
}
