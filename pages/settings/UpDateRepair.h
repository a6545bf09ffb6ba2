// The firmware update and repair dialog.
//
// Built so far: the frame and its texts (section "AutoRepair"), the image
// lookup FindFirmwareFile (the header scan of FirmwareFiles.h), and the
// automatic repair that the main window's firmware shortcut starts
// (StartAutoRepair: the image found last is loaded off the GUI thread and
// written through StartFirmwareUpgrade, progress and result shown in the
// dialog). The check of the attached devices and the two-stage repair run
// are to be built on the firmware data layer (FirmwareUpdate.h).
#pragma once

#include "DialogFrame.h"
#include "FirmwareFiles.h"

#include <optional>

namespace Ui {
class UpDateRepair;
}

class UpDateRepair : public FramelessDialog
{
    Q_OBJECT

public:
    explicit UpDateRepair(QWidget* parent = nullptr);
    ~UpDateRepair() override;

    // True when a "*.bin" image beside the executable is for kind (210
    // mouse, 211 receiver), cid, mid and name and its version differs from
    // version (an empty version differs from all). The file found is kept
    // for the repair (its header only: the repair loads it). GUI thread.
    static bool FindFirmwareFile(quint8 kind, const QString& version, const QString& name, quint8 cid, quint8 mid);
    // The file found by the last successful lookup.
    static std::optional<FirmwareFile> RepairFile();

    void StartAutoRepair(int mode);
    void ResetView();
    bool AutoRepair() const { return m_autoRepair; }
    QString TipText() const;

public slots:
    void on_CloseButton_clicked();
    void on_Start_clicked();
    void SlotAutoRepair(int failed);
    void SlotAutoRepairProgress(int percent);

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;
    // Keep RepairDialogShown for the settings page's instance.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void StartUpgrade();
    // The load of the repair image has ended: write it, or show why not.
    void WriteLoadedImage(const FirmwareLoadResult& loaded);
    void EndWithoutUpgrade();

    Ui::UpDateRepair* ui;
    bool m_autoRepair = false;
    bool m_ready = false;
    bool m_loading = false;  // the repair image is being read
    QString m_defaultText;
    QString m_successText;
    QString m_failText;
    QString m_progressText;
};

// The settings page's instance; the device list asks whether it is visible
// (the device link asks RepairDialogShown). Null before the settings page
// exists.
extern UpDateRepair* UpdateRepairDialog;
