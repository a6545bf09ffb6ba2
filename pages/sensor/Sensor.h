// The sensor and DPI page.
//
// Built so far: the page frame and what the device link delivers to it:
// the fill from a device image (with its loading and updated flags), the
// report rate, the current DPI stage and the reset to defaults. The DPI
// stage panel, the report-rate panel and the sensor panels are completed
// with the page; they show the values kept here.
#pragma once

#include "DeviceImage.h"

#include <QWidget>

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
    int CurrentStage() const { return m_stage; }
    int StageCount() const { return m_stageCount; }
    QString SensorName() const { return m_sensorName; }
    int MaxStages() const { return m_maxStages; }

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
    int m_stage = 0;
    int m_stageCount = 1;
    int m_maxStages = 0;
    QString m_sensorName;
};
