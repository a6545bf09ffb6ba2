// The sensor and DPI page (page stack index 1): the DPI stage panel
// (frameDpi) and the report-rate panel (frameRate), each behind a small
// title marker. The panels send the user's changes themselves; the page
// sends nothing. It
//   - fills both panels from a device image (a full read, an import, the
//     cached image), inside its fill scope: the model's DPI settings
//     (sensor, definitions, ranges) as one value read anew at every fill,
//     the stages, the rate, and the rate buttons the receiver carries;
//   - mirrors a stage or rate the mouse reports, without writing it back;
//   - returns to the model's defaults when the device is offline with no
//     cached image (six stages, the second current, 1000 Hz);
//   - gives the panels their texts (language section "Sensor").
// At construction it reads driver_sensor.h once and the stage count of
// usersetting/SensorPage/Level.ini.
#pragma once

#include "DeviceImage.h"
#include "DpiModel.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class QAbstractButton;
class SensorDPI;
class SensorRate;

namespace Ui {
class Sensor;
}

class Sensor : public QWidget
{
    Q_OBJECT

public:
    explicit Sensor(QWidget* parent = nullptr);
    ~Sensor() override;

    // What the page shows.
    int ReportRate() const;  // the shown rate's code; 0 when none is shown
    int CurrentStage() const;  // -1: none
    int StageCount() const;
    QString SensorName() const { return m_dpi.sensorName; }
    int MaxStages() const { return m_maxStages; }
    const SensorDpi& DpiSettings() const { return m_dpi; }
    // The feature switches of driver_sensor.h (SUPPORT_...) that name the
    // sensor of the last fill's model.
    QStringList SupportedFeatures() const { return m_features; }
    SensorDPI* DpiPanel() const;
    SensorRate* RatePanel() const;
    Ui::Sensor* Form() const { return ui; }

    // The level file's first line (usersetting/SensorPage/Level.ini): 1 when
    // there is none or it is empty, 0 when it is no number.
    int LoadLevel() const;
    // Writes v as the level file's only content (decimal, no line end), all
    // or nothing; false when it could not be written or a link or anything
    // but a regular file is in its place (WriteWholeFile).
    bool SaveLevel(int v) const;
    // An icon from a picture file, as large as the button.
    static void SetButtonIcon(QAbstractButton* button, const QString& file);

    // Sensor options no widget of the page shows: each writes its byte while
    // PageMaySend(Page::Sensor) (a click comes only between fills anyway).
    void on_ModelChoose_currentIndexChanged(int index);     // byte 14, not mode 2
    void on_MotionSync_clicked(bool checked);               // byte 7
    void on_Performance_clicked(bool checked);              // byte 12
    void on_PerformanceOpen_currentIndexChanged(int index); // byte 13: 3, 6, 30, ... 240
    void on_RippeControl_clicked(bool checked);             // byte 10
    void on_StraightLine_clicked(bool checked);             // byte 9

public slots:
    void SlotUpDataSenSorUISensor(FlashDataMap image);
    void SlotUpDataSenSorUIB(FlashDataMap image);
    void SlotUpDataReportRate(int code);
    void SlotUpDataDPI(int stage);
    void SlotUpDataDPILed(FlashDataMap image);
    void SlotFormReset();
    void SlotChangeLanguage(int index);
    // The rate panel's word whether the rate is above 1000 Hz. The page has
    // no sensor-mode list whose entries it would limit: nothing to do.
    void SlotHideModel(int model);

protected:
    void changeEvent(QEvent* event) override;

private:
    void Fill(const FlashDataMap& image);
    void ShowReceiverType();

    Ui::Sensor* ui;
    QString pageFolder;
    QString picturePath;
    int m_maxStages = 0;
    // The sensor of the device's model, the definition file (read once) and
    // the model's DPI ranges (read with every fill).
    SensorDpi m_dpi;
    QStringList m_features;
};
