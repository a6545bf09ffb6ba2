#include "Sensor.h"
#include "ui_Sensor.h"

#include "ConfigSettings.h"
#include "Globals.h"
#include "PageKit.h"
#include "PageStyle.h"
#include "PostMsg.h"
#include "ReportHandling.h"
#include "SensorDPI.h"

#include <QEvent>

Sensor::Sensor(QWidget* parent) : QWidget(parent), ui(new Ui::Sensor)
{
    ui->setupUi(this);
    ui->SenSorPage->setStyleSheet(PageStyle::FrameSheet(QStringLiteral("SenSorPage")));
    m_dpi.defines = ReadInstalledSensorDefines();
    PostMsg* hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigUpDataLightSensor, this, &Sensor::SlotUpDataSenSorUISensor);
    connect(hub, &PostMsg::SigUpDataSensorUIB, this, &Sensor::SlotUpDataSenSorUIB);
    connect(hub, &PostMsg::SigUpDataReportRate, this, &Sensor::SlotUpDataReportRate);
    connect(hub, &PostMsg::SigUpDataDPI, this, &Sensor::SlotUpDataDPI);
    connect(hub, &PostMsg::SigUpDataDPILed, this, &Sensor::SlotUpDataDPILed);
    connect(hub, &PostMsg::SigFormReset, this, &Sensor::SlotFormReset);
}

Sensor::~Sensor()
{
    delete ui;
}

void Sensor::Fill(const FlashDataMap& image)
{
    ConfigSettings* config = ConfigSettings::GetInstance();
    const int model = CurrentDeviceInfo.driveIndex;
    m_dpi.sensorName = config->ModelValue(model, QStringLiteral("Sensor"));
    m_dpi.ranges = ParseDpiRanges(config->ModelValueList(model, QStringLiteral("DPIRange")),
                                  config->ModelValue(model, QStringLiteral("XIn1")));
    // The image holds eight stage records: no model offers more.
    m_maxStages = qBound(0, config->ModelInt(model, QStringLiteral("DPIMaxGrade")), int(DpiStageCount));
    if (IsValidReportRateCode(image.reportRate))
        m_reportRate = image.reportRate;
    ui->frameDpi->ShowImage(image, m_dpi, m_maxStages);
}

int Sensor::CurrentStage() const
{
    return ui->frameDpi->CurrentLevel();
}

int Sensor::StageCount() const
{
    return ui->frameDpi->LevelCount();
}

SensorDPI* Sensor::DpiPanel() const
{
    return ui->frameDpi;
}

void Sensor::SlotUpDataSenSorUISensor(FlashDataMap image)
{
    const PageFillScope fill(Page::Sensor, PageFillScope::ReportsUpdated);
    Fill(image);
}

void Sensor::SlotUpDataSenSorUIB(FlashDataMap image)
{
    const PageFillScope fill(Page::Sensor);
    Fill(image);
}

void Sensor::SlotUpDataReportRate(int code)
{
    if (IsValidReportRateCode(code))
        m_reportRate = code;
}

void Sensor::SlotUpDataDPI(int stage)
{
    // Mirroring the device's own change must not write it back.
    const DeviceMirrorScope mirror;
    ui->frameDpi->ShowReportedStage(stage);
}

void Sensor::SlotUpDataDPILed(FlashDataMap)
{
}

void Sensor::SlotFormReset()
{
    const PageFillScope fill(Page::Sensor);
    m_reportRate = 1;
    ui->frameDpi->ShowDefaults();
}

void Sensor::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        return;
    }
    QWidget::changeEvent(event);
}
