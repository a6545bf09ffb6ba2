// The firmware update and repair dialog.
//
// It serves two runs:
//  - the settings page's update (the page drives its views: ResetView,
//    ShowReadyState, ShowIdleState with SetTipText, ShowUpdatingState, and
//    the progress codes of PostMsg::SigProgress);
//  - its own repair of an update that failed: CheckRepair reads the
//    failed-update record, checks the listed devices and finds the images,
//    StartUpgrade writes the receiver image first and then, from the end of
//    that stage, the mouse image. The list's repair button runs the check
//    (PostMsg::SigRepairCheckUpdate); the main window's firmware shortcut
//    runs StartAutoRepair on an instance of its own, which updates the one
//    listed receiver.
//
// The repair run is shared by every instance (one upgrade at a time): its
// progress and end reach all of them through PostMsg. Images are read whole
// off the GUI thread before the library sees them; the library's events come
// on its threads, and everything but the progress value is handled on the
// GUI thread.
//
// While an upgrade runs (the updating view, or any upgrade of the firmware
// layer) the close button, Cancel and Escape do nothing.
#pragma once

#include "DialogFrame.h"
#include "FirmwareFiles.h"
#include "UpdateRules.h"

#include <functional>
#include <optional>

namespace Ui {
class UpDateRepair;
}

// The end of a repair stage whose image the load refused (PostMsg::SigAutoRepair).
constexpr int RepairImageDamaged = 2;

class UpDateRepair : public FramelessDialog
{
    Q_OBJECT

public:
    explicit UpDateRepair(QWidget* parent = nullptr);
    ~UpDateRepair() override;

    Ui::UpDateRepair* Form() const { return ui; }

    // True when a "*.bin" image beside the executable is for kind (210
    // mouse, 211 receiver), cid, mid and name and its version differs from
    // version (an empty version differs from all). The file found is kept:
    // RepairFile(). GUI thread.
    static bool FindFirmwareFile(quint8 kind, const QString& version, const QString& name, quint8 cid, quint8 mid);
    static std::optional<FirmwareFile> RepairFile();

    // ---- views ----
    void ResetView();
    void ShowReadyState();
    void ShowIdleState();
    void ShowUpdatingState();
    void SetTipText(const QString& text);
    void HideUpgradeControls();
    QString TipText() const;
    // The text of a check's message in this dialog's language.
    QString MessageText(UpdateRules::Message message) const;

    // The resume check of the failed update: answer(true) when the dialog
    // may offer the upgrade; otherwise the reason is shown with the idle
    // view (nothing changes without a valid record). The answer comes on the
    // GUI thread, once the image of the failed device has been read.
    void CheckRepair(std::function<void(bool)> answer = {});
    // Starts the repair the last check allowed.
    void StartUpgrade();
    // Updates the one listed receiver at once (the main window's shortcut):
    // a full check for that receiver, then the upgrade when it allows.
    void StartAutoRepair(int mode);

    bool AutoRepair() const { return autoRepair; }
    bool Ready() const { return ready; }
    // An upgrade runs, or the dialog waits for the end of one.
    bool UpgradeBusy() const;
    // The dialog shows how an upgrade ended (until it is closed or reset):
    // a new check after a device change does not replace that.
    bool ShowsResult() const;

public slots:
    void on_CloseButton_clicked();
    void on_NewHong_clicked();
    // The end of a repair: 0 success, 1 failed, RepairImageDamaged none
    // written because its image is damaged.
    void SlotAutoRepair(int result);
    void SlotAutoRepairProgress(int percent);
    void SlotProgress(int value, int code);
    void on_NewHong_2_clicked();
    void SlotRepairCheckUpdate();

    // Escape: the same guard as the close button.
    void reject() override;

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;
    // Keep RepairDialogShown for the settings page's instance.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void SetShortcuts();
    void ShowButtons(bool confirm);
    void ShowTip(UpdateRules::Message message);
    void ShowEnd(const QString& tip);
    void CloseAfterRun();
    std::optional<UpdateFailRecord> CheckTarget(bool* fromRecord) const;

    Ui::UpDateRepair* ui;
    bool autoRepair = false;
    bool ready = false;
    bool m_updating = false;
    bool m_confirm = false;  // NewHong_2 shows Confirm: it only closes
    int m_driveIndex = -1;   // the model of the record (-1 none)
    int deviceType = 0;
    // What the last check found: the images of the two stages, and the
    // image it read whole of the file the repair is for.
    std::optional<FirmwareFile> m_receiverFile;
    std::optional<FirmwareFile> m_mouseFile;
    FirmwareImageHandle m_checkedImage;
    QString m_checkedFile;

    QString m_readyText;
    QString m_startText;
    QString m_updatingText;
    QString m_successText;
    QString m_failText;
    QString m_cancelText;
    QString m_confirmText;
    QString m_noDeviceText;
    QString m_sameDeviceText;
    QString m_noReceiveText;
    QString m_noUsbText;
    QString m_errorText;
    QString m_error2Text;
    QString m_fileErrorText;
    QString m_multiDongleText;
    QString m_multiMouseText;
};

// The settings page's instance; the device list asks whether it is visible
// (the device link asks RepairDialogShown). Null before the settings page
// exists.
extern UpDateRepair* UpdateRepairDialog;

// Cable pairing: writes the receiver id record (idBytes, the receiver kind)
// to every mouse on its cable among devices.
void WriteReceiverIdToCabledMice(const QByteArray& idBytes, int kind, const QList<DeviceAllInfo>& devices);
// The same for the listed receivers and mice (DeviceListB) with the kind of
// the last repair check. Nothing calls them.
unsigned char SetDongleIDToMouseByCable();
void WriteDongleIDToMouse();
