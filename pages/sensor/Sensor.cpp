#include "Sensor.h"
#include "ui_Sensor.h"

#include "ConfigSettings.h"
#include "DeviceWriters.h"
#include "Globals.h"
#include "LanguageLoader.h"
#include "LinkSupport.h"
#include "Logging.h"
#include "MacroSettings.h"
#include "PageKit.h"
#include "PageStyle.h"
#include "PickedFile.h"
#include "PostMsg.h"
#include "SafeFileName.h"
#include "SensorDPI.h"
#include "SensorPanelKit.h"
#include "SensorRate.h"
#include "SensorRules.h"

#include <QAbstractButton>
#include <QDir>
#include <QEvent>
#include <QIcon>
#include <QPixmap>

namespace {

QString levelFile(const QString& pageFolder)
{
    return pageFolder + QStringLiteral("/Level.ini");
}

QString titleSheet(const QString& name, const QString& picturePath)
{
    return QLatin1Char('#') + name + QStringLiteral("{border-image: url(") + picturePath
           + QStringLiteral("Title.png);}");
}

}  // namespace

Sensor::Sensor(QWidget* parent) : QWidget(parent), ui(new Ui::Sensor)
{
    ui->setupUi(this);
    // The panels' own frames overlap a little: neither draws an outline.
    ui->SenSorPage->setStyleSheet(PageStyle::FrameSheet(QStringLiteral("SenSorPage"))
                                  + QStringLiteral("#frameDpi,#frameRate{border:none;background:transparent;}"));
    picturePath = AppDir() + QStringLiteral("/Picture/Sensor/");
    pageFolder = UserDir() + QStringLiteral("/usersetting/SensorPage");
    PostMsg* hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigChangeLanguage, this, &Sensor::SlotChangeLanguage);
    connect(hub, &PostMsg::SigHideModel, this, &Sensor::SlotHideModel);
    if (!QDir().mkpath(pageFolder))
        qCWarning(lcFiles) << "cannot create" << pageFolder;
    ui->frameDpi->SetLevelCount(LoadLevel());
    m_dpi.defines = ReadInstalledSensorDefines();
    ui->TitleButton->setStyleSheet(titleSheet(QStringLiteral("TitleButton"), picturePath));
    ui->TitleButton_2->setStyleSheet(titleSheet(QStringLiteral("TitleButton_2"), picturePath));
    SlotChangeLanguage(StoredLanguageIndex());

    connect(hub, &PostMsg::SigUpDataLightSensor, this, &Sensor::SlotUpDataSenSorUISensor);
    connect(hub, &PostMsg::SigFormReset, this, &Sensor::SlotFormReset);
    connect(hub, &PostMsg::SigUpDataReportRate, this, &Sensor::SlotUpDataReportRate);
    connect(hub, &PostMsg::SigUpDataDPI, this, &Sensor::SlotUpDataDPI);
    connect(hub, &PostMsg::SigUpDataDPILed, this, &Sensor::SlotUpDataDPILed);
    connect(hub, &PostMsg::SigUpDataSensorUIB, this, &Sensor::SlotUpDataSenSorUIB);
}

Sensor::~Sensor()
{
    delete ui;
}

// ---- fills --------------------------------------------------------------------

void Sensor::Fill(const FlashDataMap& image)
{
    ConfigSettings* config = ConfigSettings::GetInstance();
    const int model = CurrentDeviceInfo.driveIndex;
    // Read anew for every fill: nothing of an earlier model stays.
    m_dpi.sensorName = config->ModelValue(model, QStringLiteral("Sensor"));
    m_dpi.ranges = ParseDpiRanges(config->ModelValueList(model, QStringLiteral("DPIRange")),
                                  config->ModelValue(model, QStringLiteral("XIn1")));
    m_features = m_dpi.defines.SwitchesOf(m_dpi.sensorName);
    // The image holds eight stage records: no model offers more.
    m_maxStages = config->ModelStageLimit(model);

    // A rate that is no known code is not shown (nor an earlier device's).
    const int rate = SensorRules::ShownRateIndex(image.reportRate, CurrentDeviceSnapshot().directMouse != 0);
    if (rate >= 0)
        ui->frameRate->SetRate(rate);
    else
        ui->frameRate->ShowNoRate();
    ui->frameDpi->ShowImage(image, m_dpi, m_maxStages);
    ShowReceiverType();
}

void Sensor::ShowReceiverType()
{
    ui->frameRate->SetReceiverType(SensorRules::RateButtonsOfType(CurrentDeviceSnapshot().type));
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

void Sensor::SlotFormReset()
{
    // No image: the model's stages and the rate every receiver carries.
    const PageFillScope fill(Page::Sensor);
    ui->frameDpi->ShowDefaults();
    ShowReceiverType();
    ui->frameRate->SetRate(SensorRules::Rate1000Hz);
}

// ---- what the mouse reports ---------------------------------------------------

void Sensor::SlotUpDataReportRate(int code)
{
    // The link passes only rate codes; anything else keeps what is shown.
    const int rate = SensorRules::RateIndexOfCode(code);
    if (rate >= 0)
        ui->frameRate->SetRate(rate);
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

void Sensor::SlotHideModel(int)
{
}

// ---- what the page shows ------------------------------------------------------

int Sensor::ReportRate() const
{
    return SensorRules::RateCode(ui->frameRate->CheckedRate());
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

SensorRate* Sensor::RatePanel() const
{
    return ui->frameRate;
}

// ---- texts ----------------------------------------------------------------------

void Sensor::SlotChangeLanguage(int index)
{
    LanguageTexts texts;
    texts.on(QStringLiteral("label_2"), [this](const QString& t) { ui->frameDpi->SetTitleText(t); });
    texts.on(QStringLiteral("label_3"), [this](const QString& t) { ui->frameRate->SetLabelText(t); });
    LoadLanguageSection(index, QStringLiteral("Sensor"), texts);
}

void Sensor::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
}

// ---- the level file -------------------------------------------------------------

int Sensor::LoadLevel() const
{
    // A number; a refused file (a FIFO, a device, a huge file) counts as
    // missing.
    constexpr int MaxLevelLine = 256;
    return SensorRules::LevelFromLine(ReadFirstLine(levelFile(pageFolder), MaxLevelLine).value_or(QString()));
}

bool Sensor::SaveLevel(int v) const
{
    return WriteWholeFile(levelFile(pageFolder), QByteArray::number(v), "sensor level file");
}

void Sensor::SetButtonIcon(QAbstractButton* button, const QString& file)
{
    button->setIconSize(button->size());
    button->setIcon(QIcon(QPixmap(file)));
}

// ---- options without a widget --------------------------------------------------
// Nothing shows these values, so a refused write has nothing to put back (the
// results are dropped); the writers log it and ask for the offline notice
// themselves.

void Sensor::on_ModelChoose_currentIndexChanged(int index)
{
    if (PageMaySend(Page::Sensor) && index >= 0 && index != 2)
        (void)SetSensorMode(uint8_t(index));
}

void Sensor::on_MotionSync_clicked(bool checked)
{
    if (PageMaySend(Page::Sensor))
        (void)SetMotionSync(checked ? 1 : 0);
}

void Sensor::on_Performance_clicked(bool checked)
{
    if (PageMaySend(Page::Sensor))
        (void)SetPerformance(checked ? 1 : 0);
}

void Sensor::on_PerformanceOpen_currentIndexChanged(int index)
{
    static const uint8_t units[10] = {3, 6, 30, 60, 90, 120, 150, 180, 210, 240};
    if (PageMaySend(Page::Sensor) && index >= 0 && index < 10)
        (void)SetPerformanceOpen(units[index]);
}

void Sensor::on_RippeControl_clicked(bool checked)
{
    if (PageMaySend(Page::Sensor))
        (void)SetRippleControl(checked ? 1 : 0);
}

void Sensor::on_StraightLine_clicked(bool checked)
{
    if (PageMaySend(Page::Sensor))
        (void)SetStraightLine(checked ? 1 : 0);
}
