// The apply-and-wait dialog: "Please wait, we are updating the setting".
// Shown while the device's configuration is applied or read again; its one
// timer slot fires 2500 ms after StartTimer and, by mode,
//  - wait mode: waits until the three pages were refilled from the device;
//  - import mode: applies a settings file (ReadParamFile) to the device,
//    only when it answers at that moment and only once it took it;
//  - plain mode: after a link pass, waits for the refill (device online;
//    the image is kept as the device's cache only after it) or fills the
//    pages from the cached image (device offline);
// then closes itself. Wait mode wins over import mode.
#pragma once

#include "DeviceImage.h"
#include "DialogFrame.h"
#include "ImageCheck.h"

class QTimer;

namespace Ui {
class UpDataParam;
}

class UpDataParam : public FramelessDialog
{
    Q_OBJECT

public:
    // Results of an import (LastImportResult): reading the settings file
    // (0 .. 2), then applying it to the device (3, 4).
    enum ImportResult {
        ImportAccepted = 0,
        ImportBadFile = 1,
        ImportWrongDevice = 2,
        ImportNotTaken = 3,       // the device did not take the image
        ImportDeviceOffline = 4,  // the device did not answer when it was to be applied
    };

    explicit UpDataParam(QWidget* parent = nullptr);
    ~UpDataParam() override;

    // The modes, set by the opener before exec().
    QString path;
    bool importMode = false;
    bool waitMode = false;

    // Starts the 2500 ms single shot; call before exec().
    void StartTimer();
    // Reads a settings export file (SettingsFile.h: tag "Durod", the sensor
    // name, the image) for the current device's model into *image: a sensor
    // name cut to 12 bytes matches the model's name that starts with them,
    // so the program takes back its own export. Only a regular file
    // of at most SettingsFileMaxBytes is read (a FIFO or a device file is a
    // bad file).
    // ImportWrongDevice also for an image that breaks a rule of ImageCheck.h
    // (CheckImage with the model's limits); *image is changed only when the
    // result is ImportAccepted.
    static int ReadParamFile(const QString& fileName, FlashDataMap* image);
    // The same on the file's bytes, for a model's sensor name and limits:
    // bytes past SettingsFileMaxBytes are a bad file here too.
    static int ParseParamFile(const QByteArray& content, const QString& sensorName, const ImageLimits& limits,
                              FlashDataMap* image);

    QString LabelText() const;
    QTimer* Timer() const { return timer; }

    // Waits of the timer slot (ms); tests shorten them.
    int pollInterval = 500;
    int settleDelay = 2000;

public slots:
    void onTimeupDestroy();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    bool PollPagesUpdated(bool clearOnSuccess);
    // Sends an accepted image to the device and, once the device took it,
    // makes it the image in memory; the result says which happened.
    int ApplyImport(const FlashDataMap& image);
    void EmitPageFills(const FlashDataMap& image);

    Ui::UpDataParam* ui;
    QTimer* timer = nullptr;
    bool running = false;  // inside onTimeupDestroy
};
