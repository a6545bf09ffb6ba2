// The settings page: language of the whole program, device information,
// the receiver's long-range and light options, and the firmware lookups.
//
// Built so far: the language choice, the sleep-time panel that follows the
// device (hidden, as designed), the version texts, the layout by model
// (long-range and receiver-light blocks), the language texts with Net.xml,
// the firmware lookups and the one repair dialog. Autostart, pairing, the
// receiver writes and the update sequence are completed with the page.
#pragma once

#include "DeviceImage.h"

#include <QWidget>

namespace Ui {
class FormSetting;
}

class FormSetting : public QWidget
{
    Q_OBJECT

public:
    explicit FormSetting(QWidget* parent = nullptr);
    ~FormSetting() override;

    Ui::FormSetting* Form() const { return ui; }

    // Whether "<appDir>/bin" holds an image of kind (210 mouse, 211
    // receiver) for the current device's model whose version differs from
    // version; rateClass (1, 2, 4, 8) picks the receiver's image name.
    static bool CheckVersionAvailable(int kind, const QString& version, int rateClass);
    // The lookup over the images beside the executable (see UpDateRepair).
    static bool FindFirmwareFile(quint8 kind, const QString& version, const QString& name, quint8 cid, quint8 mid);
    // Index of the sleep-time panel for seconds; -1 for any other value.
    static int SleepIndexForSeconds(int seconds);

    bool LongRangeBlockShown() const;
    bool LedBlockShown() const;

public slots:
    void SetVer(int state);
    void SlotLabelTextB(QString version, QString waiting);
    void SlotCheckUpdate();
    void SlotForm();
    void SlotFormB();
    void SlotRGBValue(DongleRGB* rgb);
    void SlotLongRangeMode(bool on);
    void SlotFormResetForm();
    void SlotLanguageSameB(int index);
    void on_comboBox_activated(int index);
    void SlotLightToFrom(int seconds);
    void SlotChangeLanguage(int index);
    void on_pushButton_clicked();
    void on_pushButton_3_clicked();

private:
    void ShowLongRangeBlock(bool shown);
    void ShowLedBlock(bool shown);
    void ApplyLayout();
    void ReadNetFile();
    // The model's "Adveanced" list: long range, receiver light.
    QStringList AdvancedOptions() const;

    Ui::FormSetting* ui;
    bool m_ledShown = false;
    QString m_receiveText;
};
