#include "Sensor.h"
#include "ui_Sensor.h"

#include "ConfigSettings.h"
#include "Globals.h"
#include "PageStyle.h"
#include "PostMsg.h"

#include <QEvent>

namespace {
bool validRateCode(int code)
{
    return code == 1 || code == 2 || code == 4 || code == 8 || code == 16 || code == 32 || code == 64;
}
}  // namespace

Sensor::Sensor(QWidget* parent) : QWidget(parent), ui(new Ui::Sensor)
{
    ui->setupUi(this);
    ui->SenSorPage->setStyleSheet(PageStyle::FrameSheet(QStringLiteral("SenSorPage")));
    PostMsg* hub = PostMsg::GetInstance();
    connect(hub, SIGNAL(SigUpDataLightSensor(FlashDataMap)), this, SLOT(SlotUpDataSenSorUISensor(FlashDataMap)));
    connect(hub, SIGNAL(SigUpDataSensorUIB(FlashDataMap)), this, SLOT(SlotUpDataSenSorUIB(FlashDataMap)));
    connect(hub, SIGNAL(SigUpDataReportRate(int)), this, SLOT(SlotUpDataReportRate(int)));
    connect(hub, SIGNAL(SigUpDataDPI(int)), this, SLOT(SlotUpDataDPI(int)));
    connect(hub, SIGNAL(SigUpDataDPILed(FlashDataMap)), this, SLOT(SlotUpDataDPILed(FlashDataMap)));
    connect(hub, SIGNAL(SigFormReset()), this, SLOT(SlotFormReset()));
}

Sensor::~Sensor()
{
    delete ui;
}

void Sensor::Fill(const FlashDataMap& image)
{
    ConfigSettings* config = ConfigSettings::GetInstance();
    const QString group = QStringLiteral("Drive") + QString::number(CurrentDeviceInfo.driveIndex + 1);
    m_sensorName = config->GetValue(group, QStringLiteral("Sensor"));
    m_maxStages = config->GetInt(group, QStringLiteral("DPIMaxGrade"));
    if (validRateCode(image.reportRate))
        m_reportRate = image.reportRate;
    if (image.dpiStageCount >= 1 && image.dpiStageCount <= DpiStageCount)
        m_stageCount = image.dpiStageCount;
    if (image.dpiStage < m_stageCount)
        m_stage = image.dpiStage;
}

void Sensor::SlotUpDataSenSorUISensor(FlashDataMap image)
{
    SensorUiUpdated = false;
    SensorUiLoading = true;
    Fill(image);
    SensorUiUpdated = true;
    SensorUiLoading = false;
}

void Sensor::SlotUpDataSenSorUIB(FlashDataMap image)
{
    SensorUiLoading = true;
    Fill(image);
    SensorUiLoading = false;
}

void Sensor::SlotUpDataReportRate(int code)
{
    if (validRateCode(code))
        m_reportRate = code;
}

void Sensor::SlotUpDataDPI(int stage)
{
    if (stage < 0 || stage >= DpiStageCount)
        return;
    // Mirroring the device's own change must not write it back.
    UiReady = false;
    m_stage = stage;
    UiReady = true;
}

void Sensor::SlotUpDataDPILed(FlashDataMap)
{
}

void Sensor::SlotFormReset()
{
    SensorUiLoading = true;
    m_reportRate = 1;
    m_stage = 0;
    m_stageCount = 1;
    SensorUiLoading = false;
}

void Sensor::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        return;
    }
    QWidget::changeEvent(event);
}
