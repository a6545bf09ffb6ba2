// The sensor and DPI page.
//
// Built so far: the page frame, the DPI stage panel (frameDpi) and what the
// device link delivers to them: the fill from a device image (with its
// loading and updated flags), the report rate, the current DPI stage and the
// reset to defaults. The page holds the model's DPI settings (sensor, its
// definitions, the ranges) as one value and hands them to the panel with
// every fill. The report-rate panel and the sensor panels are completed with
// the page; they show the values kept here.
#pragma once

#include "DeviceImage.h"
#include "DpiModel.h"

#include <QWidget>

class SensorDPI;

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
    int ReportRate() const { return m_reportRate; }
    int CurrentStage() const;  // -1: none
    int StageCount() const;
    QString SensorName() const { return m_dpi.sensorName; }
    int MaxStages() const { return m_maxStages; }
    const SensorDpi& DpiSettings() const { return m_dpi; }
    SensorDPI* DpiPanel() const;

public slots:
    void SlotUpDataSenSorUISensor(FlashDataMap image);
    void SlotUpDataSenSorUIB(FlashDataMap image);
    void SlotUpDataReportRate(int code);
    void SlotUpDataDPI(int stage);
    void SlotUpDataDPILed(FlashDataMap image);
    void SlotFormReset();

protected:
    void changeEvent(QEvent* event) override;

private:
    void Fill(const FlashDataMap& image);

    Ui::Sensor* ui;
    int m_reportRate = 1;
    int m_maxStages = 0;
    // The sensor of the device's model, the definition file (read once) and
    // the model's DPI ranges (read with every fill).
    SensorDpi m_dpi;
};
