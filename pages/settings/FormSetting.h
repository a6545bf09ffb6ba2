// The settings page: language of the whole program, device information,
// pairing, autostart, the system's mouse settings, the receiver's long-range
// and light options, the company link, and the firmware lookups.
//
// Receiver state that the device link reports (light mode, long range, a
// factory reset) is shown with the controls' signals blocked: nothing goes
// back to the receiver. What the user changes goes through the receiver
// writers (DeviceWriters.h); a refused change puts the control back.
//
// The firmware update check (core/FirmwareCheck) runs on the page's two step
// timers and shows through the page (FormSettingUpdate.cpp): the version
// labels, the badges beside them and the update button. The repair dialog is
// the way in (Receive_2, then its start button reaches on_Start through
// PostMsg::SigUpdateStart).
#pragma once

#include "DeviceImage.h"
#include "FirmwareCheck.h"
#include "FirmwareFiles.h"
#include "UpdateRules.h"

#include <QWidget>

#include <functional>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QTimer;
class UpDateWarning;

namespace Ui {
class FormSetting;
}

class FormSetting : public QWidget, private FirmwareCheckView
{
    Q_OBJECT

public:
    // The nine messages of the update check, from the language file.
    struct UpdateMessages {
        QString noDeviceText;     // NoDevice
        QString sameDeviceText;   // SameDevice
        QString verNewText;       // VerNew
        QString receiveText;      // Receive
        QString noReceiveText;    // NoRecieve
        QString noUsbText;        // NoUSB
        QString errorText;        // Error
        QString multiDongleText;  // MultiDongle
        QString multiMouseText;   // MultiMouse
    };

    explicit FormSetting(QWidget* parent = nullptr);
    ~FormSetting() override;

    Ui::FormSetting* Form() const { return ui; }
    const UpdateMessages& Messages() const { return m_messages; }
    // The notice of the last message shown (null before the first).
    UpDateWarning* UpdateWarningNotice() const { return updateWarning; }

    // Whether "<appDir>/bin" holds an image of kind (210 mouse, 211
    // receiver) for the current device's model whose version differs from
    // version; rateClass (1, 2, 4, 8) picks the receiver's image name.
    static bool CheckVersionAvailable(int kind, const QString& version, int rateClass);
    // The scan over the images beside the executable (headers only): an
    // image for kind, name, id and mid whose version differs from version
    // (an empty version: any). The file found is kept: UpdateFile().
    // onlyDamaged: nothing found because every match is damaged.
    static bool FindFirmwareFile(quint8 kind, const QString& version, const QString& name, quint8 id, quint8 mid,
                                 bool* onlyDamaged = nullptr);
    // The same test without keeping anything; an empty version gives false.
    static bool FindFirmwareFileB(quint8 kind, const QString& version, const QString& name, quint8 id, quint8 mid);
    // The file found by the last FindFirmwareFile that found one (GUI thread).
    static std::optional<FirmwareFile> UpdateFile();

    bool LongRangeBlockShown() const;
    bool LedBlockShown() const;

    // ---- the update machine ----
    // State of the last check of a device (210 mouse, 211 receiver): 0 idle,
    // 1 upgrade running, 2 done, 3 failed, 4 nothing to do.
    static int UpdateState(int type);
    // The check timers' interval: 1000 ms; tests shorten it.
    void SetCheckInterval(int ms);
    static bool IsDongleUpdating();
    static bool IsMouseUpdating();
    static bool IsUpdating();
    // Starts the receiver's or the mouse's check.
    void on_Receive_clicked();
    void on_Mouse_clicked();
    // Starts the update the repair dialog asked for (PostMsg::SigUpdateStart).
    void on_Start();
    // The resume decision: answer(true) when an update can start; otherwise
    // the reason is in the repair dialog with its idle view. The answer comes
    // on the GUI thread once the images it needs have been read.
    void ChechIsUpDate(std::function<void(bool)> answer);
    // Cable pairing: hands the receiver's id to the mice on their cable
    // (FoundDevices). Nothing calls them.
    bool SetDongleIDToMouse();
    void WriteDongleIDToMouse();

public slots:
    // Starts the desktop's own mouse settings; when none can be started, the
    // notice says so (MouseSettingsMissing).
    void on_pushButton_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_2_clicked();
    void SetVerText();
    void on_comboBox_activated(int index);
    void SlotChangeLanguage(int index);
    void SlotLanguageSameB(int index);
    void SlotRGBValue(DongleRGB* rgb);
    void SlotLightToFrom(int seconds);
    void SlotLongRangeMode(bool on);
    void SlotLabelText(int which, QString text);
    void SlotLabelTextB(QString version, QString waiting);
    void SetVer(int state);
    void SlotForm();
    void SlotFormB();
    void SlotFormResetForm();
    void SlotCheckUpdate();
    void SlotContinue(int);
    void onDongleCheckTimer();
    void onMouseCheckTimer();
    void on_Receive_2_clicked();
    void on_checkBox_clicked(bool checked);
    void on_checkBox_2_toggled(bool on);
    void on_ReUntil_toggled(bool checked);
    void on_ReUntil_2_toggled(bool checked);
    void on_ReUntil_3_toggled(bool checked);

protected:
    // A press on the page stays here (not passed to the windows behind it).
    void mousePressEvent(QMouseEvent* event) override;

private:
    void StyleWidgets();
    void ShowLongRangeBlock(bool shown);
    void ShowLedBlock(bool shown);
    // Compact, or expanded while the receiver-light block is shown.
    void ApplyLayout();
    void PlaceVersionWidgets();
    void ReadNetFile();
    // The model's "Adveanced" list: item 0 long range, item 1 receiver
    // light; a missing item or "-1" means the model has no such feature.
    bool ModelHas(int item) const;
    // The current device may show the receiver-light block (a 4 kHz
    // receiver of a model with the light) or the long-range block.
    bool LightAllowed() const;
    bool LongRangeAllowed() const;
    void LightModeChosen(int mode, bool checked);
    void CheckLightBox(int mode);
    void ShowNotice(const QString& text);

    // ---- the update check (FormSettingUpdate.cpp) ----
    void SetupUpdateMachine();
    void FinishDialogSession();
    QString MessageText(UpdateRules::Message message) const;
    // The update button's looks: an image with another version waits, or
    // the confirm look.
    QString WaitUpdateStyle() const;
    QString ConfirmStyle() const;
    void SetReceiveStyle(bool waiting);
    // FirmwareCheckView
    QString CheckVersionText(int type) const override;
    void RunStepTimer(int type) override;
    void StopStepTimers() override;
    void ShowCheckBadge(int type, bool shown) override;
    void ShowUpToDate() override;
    void ShowUpdateWaiting(bool waiting) override;
    void ShowCheckNotice(UpdateRules::Message message) override;
    void CheckEnded() override;

    Ui::FormSetting* ui;
    QString pictureDir;
    UpdateMessages m_messages;
    QString m_autostartFailText;
    QString m_mouseSettingsMissingText;
    UpDateWarning* updateWarning = nullptr;
    QButtonGroup* lightGroup = nullptr;
    QString buttonColor;
    const int extraHeight = 0;
    bool m_ledShown = false;
    // The receiver of the current device reported a light mode.
    bool m_lightReported = false;

    // ---- update-check state ----
    QTimer* DongleCheckTimer = nullptr;
    QTimer* MouseCheckTimer = nullptr;
    int TransitionMode = 0;
    FirmwareCheck m_check{static_cast<FirmwareCheckView&>(*this)};
    // A check the repair dialog started: it ends in one of the dialog's end
    // views (a result, or the reason nothing was written).
    bool m_dialogSession = false;
    bool m_dialogEndShown = false;
    // Cable pairing: the receiver id read for the mice on their cable.
    bool m_receiverIdRead = false;
    QByteArray m_receiverIdBytes;
};
