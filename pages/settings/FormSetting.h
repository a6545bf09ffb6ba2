// The settings page: language of the whole program, device information,
// pairing, autostart, the system's mouse settings, the receiver's long-range
// and light options, the company link, and the firmware lookups.
//
// Receiver state that the device link reports (light mode, long range, a
// factory reset) is shown with the controls' signals blocked: nothing goes
// back to the receiver. What the user changes goes through the receiver
// writers (DeviceWriters.h); a refused change puts the control back.
//
// The firmware update machine (the update checks with their timers, the
// resume decision and the start from the repair dialog) builds on this page,
// on its stored messages (Messages()), its update warning and the firmware
// data layer (FirmwareFiles.h, FirmwareUpdate.h).
#pragma once

#include "DeviceImage.h"
#include "FirmwareFiles.h"

#include <QPoint>
#include <QWidget>

#include <optional>

class QButtonGroup;
class QCheckBox;
class UpDateWarning;

namespace Ui {
class FormSetting;
}

class FormSetting : public QWidget
{
    Q_OBJECT

public:
    // The nine messages of the update check, from the language file.
    struct UpdateMessages {
        QString noDevice;     // NoDevice
        QString sameDevice;   // SameDevice
        QString verNew;       // VerNew
        QString receive;      // Receive
        QString noReceive;    // NoRecieve
        QString noUsb;        // NoUSB
        QString error;        // Error
        QString multiDongle;  // MultiDongle
        QString multiMouse;   // MultiMouse
    };

    explicit FormSetting(QWidget* parent = nullptr);
    ~FormSetting() override;

    Ui::FormSetting* Form() const { return ui; }
    const UpdateMessages& Messages() const { return m_messages; }
    UpDateWarning* UpdateWarningNotice() const { return m_updateWarning; }
    QString PictureDir() const { return m_pictureDir; }

    // Whether "<appDir>/bin" holds an image of kind (210 mouse, 211
    // receiver) for the current device's model whose version differs from
    // version; rateClass (1, 2, 4, 8) picks the receiver's image name.
    static bool CheckVersionAvailable(int kind, const QString& version, int rateClass);
    // The scan over the images beside the executable (headers only): an
    // image for kind, name, id and mid whose version differs from version
    // (an empty version: any). The file found is kept: UpdateFile().
    static bool FindFirmwareFile(quint8 kind, const QString& version, const QString& name, quint8 id, quint8 mid);
    // The same test without keeping anything; an empty version gives false.
    static bool FindFirmwareFileB(quint8 kind, const QString& version, const QString& name, quint8 id, quint8 mid);
    // The file found by the last FindFirmwareFile that found one (GUI thread).
    static std::optional<FirmwareFile> UpdateFile();

    bool LongRangeBlockShown() const;
    bool LedBlockShown() const;

public slots:
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
    void SlotScroolChange(int value);
    void SetVer(int state);
    void SlotForm();
    void SlotFormB();
    void SlotFormResetForm();
    void SlotCheckUpdate();
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
    void PlaceVersionWidgets(int index);
    void ReadNetFile();
    // The model's "Adveanced" list: item 0 long range, item 1 receiver
    // light; a missing item or "-1" means the model has no such feature.
    bool ModelHas(int item) const;
    void LightModeChosen(int mode, bool checked);
    void CheckLightBox(int mode);
    void ShowNotice(const QString& text);

    Ui::FormSetting* ui;
    QString m_pictureDir;
    UpdateMessages m_messages;
    QString m_autostartFailText;
    UpDateWarning* m_updateWarning = nullptr;
    QPoint m_labelHome;
    QButtonGroup* m_lightGroup = nullptr;
    QString m_buttonColor;
    const int m_extraHeight = 0;
    bool m_ledShown = false;
    // The receiver of the current device reported a light mode.
    bool m_lightReported = false;
};
