#include "Sensor.h"
#include "ui_Sensor.h"

#include "ConfigSettings.h"
#include "Globals.h"
#include "PageKit.h"
#include "PageStyle.h"
#include "PostMsg.h"
#include "ReportHandling.h"

#include <QEvent>

Sensor::Sensor(QWidget* parent) : QWidget(parent), ui(new Ui::Sensor)
{
    ui->setupUi(this);
    ui->SenSorPage->setStyleSheet(PageStyle::FrameSheet(QStringLiteral("SenSorPage")));
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
    m_sensorName = config->ModelValue(model, QStringLiteral("Sensor"));
    m_maxStages = config->ModelInt(model, QStringLiteral("DPIMaxGrade"));
    if (IsValidReportRateCode(image.reportRate))
        m_reportRate = image.reportRate;
    if (image.dpiStageCount >= 1 && image.dpiStageCount <= DpiStageCount)
        m_stageCount = image.dpiStageCount;
    if (image.dpiStage < m_stageCount)
        m_stage = image.dpiStage;
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
    if (stage < 0 || stage >= DpiStageCount)
        return;
    // Mirroring the device's own change must not write it back.
    const DeviceMirrorScope mirror;
    m_stage = stage;
}

void Sensor::SlotUpDataDPILed(FlashDataMap)
{
}

void Sensor::SlotFormReset()
{
    const PageFillScope fill(Page::Sensor);
    m_reportRate = 1;
    m_stage = 0;
    m_stageCount = 1;
}

void Sensor::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        return;
    }
    QWidget::changeEvent(event);
}
