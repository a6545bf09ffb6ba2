#include "SensorDPIB.h"
#include "ui_SensorDPIB.h"

#include "ColorText.h"
#include "DeviceWriters.h"
#include "DialogFrame.h"
#include "Globals.h"
#include "PageKit.h"
#include "PageStyle.h"
#include "PanelStyle.h"
#include "SensorPanelKit.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QSignalBlocker>

using DpiPanelRules::ValidStage;

SensorDPIB::SensorDPIB(QWidget* parent) : QFrame(parent), ui(new Ui::SensorDPIB)
{
    ui->setupUi(this);
    m_picturePath = AppDir() + QStringLiteral("/Picture/Sensor/");
    m_checks = {ui->MA, ui->MB, ui->MC, ui->MD, ui->ME, ui->MF, ui->MG, ui->MH};
    m_colorButtons = {ui->BlueButtonA,  ui->BrightRedButtonA, ui->RedButtonA,       ui->YellowButtonA,
                      ui->GreenButtonA, ui->PurpleButtonA,    ui->LightBlueButtonA, ui->LightYellowButtonA};
    m_sliders = {ui->horizontalSliderA, ui->horizontalSliderB, ui->horizontalSliderC, ui->horizontalSliderD,
                 ui->horizontalSliderE, ui->horizontalSliderF, ui->horizontalSliderG, ui->horizontalSliderH};
    m_boxes = {ui->spinBoxA, ui->spinBoxB, ui->spinBoxC, ui->spinBoxD,
               ui->spinBoxE, ui->spinBoxF, ui->spinBoxG, ui->spinBoxH};
    m_levelColors = {QStringLiteral("#ff0000"), QStringLiteral("#ffff00"), QStringLiteral("#ffaa00"),
                     QStringLiteral("#00ff00"), QStringLiteral("#aaffff"), QStringLiteral("#aa55ff"),
                     QStringLiteral("#9f0000"), QStringLiteral("#00d4d4")};

    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    m_colorDialog = NewStageColorDialog(this);
    connect(m_colorDialog, &QColorDialog::colorSelected, this, &SensorDPIB::SetColor);
    ApplyStyles();
    for (QCheckBox* box : qAsConst(m_checks))
        m_group->addButton(box);
}

SensorDPIB::~SensorDPIB()
{
    delete ui;
}

void SensorDPIB::ApplyStyles()
{
    ui->label->setStyleSheet(DialogStyle::LabelSheet());
    PageStyle::StyleComboBox(ui->ChooseEvent, m_picturePath, 5);
    const QString slider = PanelStyle::SliderSheet(m_picturePath);
    const QString value = PanelStyle::ValueBoxSheet();
    const QString check = PanelStyle::CheckBoxSheet(m_picturePath);
    const QString red = ColorSheet(QStringLiteral("rgb(255, 0, 0)"));
    for (int i = 0; i < StageCount; ++i) {
        m_sliders[i]->setStyleSheet(slider);
        m_boxes[i]->setStyleSheet(value);
        m_colorButtons[i]->setStyleSheet(red);
        m_checks[i]->setStyleSheet(check);
    }
}

QString SensorDPIB::ColorSheet(const QString& colour) const
{
    return QStringLiteral("QToolButton{border:0px;border-radius:3px;background-position:center;"
                          "background-repeat:no-repeat;background-color:")
           + colour + QStringLiteral(";}");
}

bool SensorDPIB::MaySend() const
{
    return m_ownChanges == 0 && PageMaySend(Page::Sensor);
}

// ---- the host's fill ---------------------------------------------------------------

void SensorDPIB::SetSensor(const SensorDpi& sensor)
{
    m_sensor = sensor;
}

void SensorDPIB::ShowImage(const FlashDataMap& image, const SensorDpi& sensor, int maxGrade)
{
    const OwnChange own(&m_ownChanges);
    SetSensor(sensor);
    const int grade = qBound(0, maxGrade, StageCount);
    const int count = DpiPanelRules::ShownStageCount(image.dpiStageCount, maxGrade);

    ClearCombo();
    for (int i = 0; i < grade; ++i)
        InsertComboItem(i, QString::number(i + 1));
    // The range first: a value above the form's 10000 keeps its place.
    SetSliderMaximum(sensor.ranges.Maximum());
    SetSliderMinimum(sensor.ranges.Minimum());
    for (int i = 0; i < StageCount; ++i) {
        const DpiStage& s = image.dpiStages[i];
        if (const std::optional<int> dpi = sensor.Decode(s.xCode, s.flags))
            SetLevelValue(i, QString::number(*dpi));
        SetLevelColor(i, HexColorText(s.r, s.g, s.b));
    }
    RefreshAllLevelColorStyles();
    ShowLevels(count - 1);
    SetComboIndex(count - 1);
    SetLevelCount(count);
    const int current = DpiPanelRules::ShownStage(image.dpiStage, count);
    SetCurrentLevel(current);
    SelectLevel(current);
}

// ---- accessors ---------------------------------------------------------------------

void SensorDPIB::ClearCombo()
{
    const QSignalBlocker block(ui->ChooseEvent);
    ui->ChooseEvent->clear();
}

void SensorDPIB::InsertComboItem(int index, const QString& text)
{
    // The first item of an empty box would become current: never a count
    // for the device.
    const QSignalBlocker block(ui->ChooseEvent);
    ui->ChooseEvent->insertItem(index, text);
}

void SensorDPIB::SetComboIndex(int index)
{
    const QSignalBlocker block(ui->ChooseEvent);
    ui->ChooseEvent->setCurrentIndex(index);
}

void SensorDPIB::BlockSliderSignals(bool on)
{
    for (QSlider* slider : qAsConst(m_sliders))
        slider->blockSignals(on);
}

void SensorDPIB::SetSlidersEnabled(bool on)
{
    for (QSlider* slider : qAsConst(m_sliders))
        slider->setEnabled(on);
}

void SensorDPIB::SetSliderMinimum(int value)
{
    const OwnChange own(&m_ownChanges);
    for (QSlider* slider : qAsConst(m_sliders))
        slider->setMinimum(value);
}

void SensorDPIB::SetSliderMaximum(int value)
{
    const OwnChange own(&m_ownChanges);
    for (QSlider* slider : qAsConst(m_sliders))
        slider->setMaximum(value);
}

void SensorDPIB::RefreshLevelColorStyle(int stage)
{
    if (ValidStage(stage))
        m_colorButtons[stage]->setStyleSheet(ColorSheet(m_levelColors[stage]));
}

void SensorDPIB::RefreshAllLevelColorStyles()
{
    for (int i = 0; i < StageCount; ++i)
        RefreshLevelColorStyle(i);
}

void SensorDPIB::SetDefaultLevelColorStyles()
{
    static const char* const colours[StageCount] = {"#ff0000", "#00ffff", "#00ff00", "#ffffff",
                                                    "#00ffff", "#ff557d", "#ff00ff", "#00ffff"};
    for (int i = 0; i < StageCount; ++i)
        m_colorButtons[i]->setStyleSheet(ColorSheet(QLatin1String(colours[i])));
}

void SensorDPIB::SetLevelValue(int stage, const QString& text)
{
    if (!ValidStage(stage))
        return;
    const OwnChange own(&m_ownChanges);
    m_sliders[stage]->setValue(text.toInt());
    m_boxes[stage]->setValue(text.toInt());
}

void SensorDPIB::SetLevelColor(int stage, const QString& colour)
{
    if (ValidStage(stage))
        m_levelColors[stage] = colour;
}

void SensorDPIB::SetCurrentLevel(int stage)
{
    m_currentLevel = ValidStage(stage) ? stage : -1;
}

void SensorDPIB::SetLevelCount(int count)
{
    if (count >= 1 && count <= StageCount)
        m_levelCount = count;
}

void SensorDPIB::ShowLevels(int last)
{
    if (!ValidStage(last))
        return;
    for (int i = 0; i < StageCount; ++i) {
        const bool shown = i <= last;
        m_checks[i]->setVisible(shown);
        m_colorButtons[i]->setVisible(shown);
        m_sliders[i]->setVisible(shown);
        m_boxes[i]->setVisible(shown);
    }
}

void SensorDPIB::SelectLevel(int stage)
{
    const OwnChange own(&m_ownChanges);
    CheckOnly(m_group, ValidStage(stage) ? m_checks[stage] : nullptr);
}

void SensorDPIB::SetTitleText(const QString& text)
{
    ui->label->setText(text);
}

// ---- the user's actions ------------------------------------------------------------

void SensorDPIB::StageToggled(int stage, bool checked)
{
    if (!checked || !MaySend())
        return;
    if (WriteOrRevert([stage] { return SetDPILevel(uint8_t(stage)); },
                      [this](const FlashDataMap& stored) { ShowStoredStage(stored); }))
        m_currentLevel = stage;
}

void SensorDPIB::ShowStoredStage(const FlashDataMap& stored)
{
    const int stage = ValidStage(stored.dpiStage) ? stored.dpiStage : -1;
    SelectLevel(stage);
    m_currentLevel = stage;
}

void SensorDPIB::SliderChanged(int stage, int value)
{
    if (m_ownChanges > 0)
        return;
    const DpiSnap snap = SnapDpi(m_sensor.ranges, value);
    if (snap.pageStep > 0)
        m_sliders[stage]->setPageStep(snap.pageStep);
    m_boxes[stage]->setValue(snap.value);
    // An import or a reset of the device is running: shown, not sent.
    if (!MaySend() || SettingsBusy)
        return;
    WriteOrRevert([&] { return SetSensorDPI(stage, snap.value, m_sensor); },
                  [this, stage](const FlashDataMap& stored) { ShowStoredDpi(stage, stored); });
}

void SensorDPIB::ShowStoredDpi(int stage, const FlashDataMap& stored)
{
    const DpiStage& s = stored.dpiStages[stage];
    if (const std::optional<int> dpi = m_sensor.Decode(s.xCode, s.flags))
        SetLevelValue(stage, QString::number(*dpi));
}

void SensorDPIB::ColorClicked(int stage)
{
    m_colorStage = stage;
    m_colorDialog->setCurrentColor(QColor(m_levelColors[stage]));
    m_colorDialog->show();
    m_colorDialog->raise();
}

void SensorDPIB::SetColor(const QColor& color)
{
    const int stage = m_colorStage;
    if (!ValidStage(stage))
        return;
    m_levelColors[stage] = HexColorText(color.red(), color.green(), color.blue());
    if (MaySend())
        WriteOrRevert(
            [&] { return SetDPIColor(stage, uint8_t(color.red()), uint8_t(color.green()), uint8_t(color.blue())); },
            [this, stage](const FlashDataMap& stored) {
                const DpiStage& s = stored.dpiStages[stage];
                m_levelColors[stage] = HexColorText(s.r, s.g, s.b);
            });
    RefreshLevelColorStyle(stage);
}

void SensorDPIB::on_ChooseEvent_currentIndexChanged(int index)
{
    if (m_ownChanges > 0 || PageFilling(Page::Sensor) || !ValidStage(index))
        return;
    const int current = m_currentLevel;
    // Not while the page fills (returned above): whether the pages are shown.
    if (PageMaySend()) {
        const bool written = WriteOrRevert([&] { return WriteDpiStageCount(index, current); },
                                           [this](const FlashDataMap& stored) {
                                               const int count = stored.dpiStageCount;
                                               if (count >= 1 && count <= ui->ChooseEvent->count())
                                                   SetComboIndex(count - 1);
                                           });
        if (!written)
            return;
    }
    if (StageFallsOutside(current, index))
        ExchangeStages(current, index);
    m_levelCount = index + 1;
    ShowLevels(index);
}

void SensorDPIB::ExchangeStages(int current, int last)
{
    // The device has exchanged the two records: the rows follow.
    std::swap(m_levelColors[current], m_levelColors[last]);
    const int currentValue = m_boxes[current]->value();
    const int lastValue = m_boxes[last]->value();
    SetLevelValue(current, QString::number(lastValue));
    SetLevelValue(last, QString::number(currentValue));
    RefreshLevelColorStyle(current);
    RefreshLevelColorStyle(last);
    SelectLevel(last);
    m_currentLevel = last;
}

void SensorDPIB::on_horizontalSliderA_valueChanged(int value) { SliderChanged(0, value); }
void SensorDPIB::on_horizontalSliderB_valueChanged(int value) { SliderChanged(1, value); }
void SensorDPIB::on_horizontalSliderC_valueChanged(int value) { SliderChanged(2, value); }
void SensorDPIB::on_horizontalSliderD_valueChanged(int value) { SliderChanged(3, value); }
void SensorDPIB::on_horizontalSliderE_valueChanged(int value) { SliderChanged(4, value); }
void SensorDPIB::on_horizontalSliderF_valueChanged(int value) { SliderChanged(5, value); }
void SensorDPIB::on_horizontalSliderG_valueChanged(int value) { SliderChanged(6, value); }
void SensorDPIB::on_horizontalSliderH_valueChanged(int value) { SliderChanged(7, value); }
void SensorDPIB::on_MA_toggled(bool checked) { StageToggled(0, checked); }
void SensorDPIB::on_MB_toggled(bool checked) { StageToggled(1, checked); }
void SensorDPIB::on_MC_toggled(bool checked) { StageToggled(2, checked); }
void SensorDPIB::on_MD_toggled(bool checked) { StageToggled(3, checked); }
void SensorDPIB::on_ME_toggled(bool checked) { StageToggled(4, checked); }
void SensorDPIB::on_MF_toggled(bool checked) { StageToggled(5, checked); }
void SensorDPIB::on_MG_toggled(bool checked) { StageToggled(6, checked); }
void SensorDPIB::on_MH_toggled(bool checked) { StageToggled(7, checked); }
void SensorDPIB::on_BlueButtonA_clicked() { ColorClicked(0); }
void SensorDPIB::on_BrightRedButtonA_clicked() { ColorClicked(1); }
void SensorDPIB::on_RedButtonA_clicked() { ColorClicked(2); }
void SensorDPIB::on_YellowButtonA_clicked() { ColorClicked(3); }
void SensorDPIB::on_GreenButtonA_clicked() { ColorClicked(4); }
void SensorDPIB::on_PurpleButtonA_clicked() { ColorClicked(5); }
void SensorDPIB::on_LightBlueButtonA_clicked() { ColorClicked(6); }
void SensorDPIB::on_LightYellowButtonA_clicked() { ColorClicked(7); }
