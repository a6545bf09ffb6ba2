#include "SensorEffect.h"
#include "ui_SensorEffect.h"
#include "ui_SensorEffectB.h"

#include "DeviceWriters.h"
#include "DialogFrame.h"
#include "Globals.h"
#include "SensorPanelKit.h"
#include "PageKit.h"
#include "PageStyle.h"
#include "PanelStyle.h"
#include "SensorRules.h"

#include <QSignalBlocker>

using namespace SensorRules;

// ---- EffectPanel -----------------------------------------------------------------

EffectPanel::EffectPanel(QWidget* parent) : QFrame(parent)
{
    picturePath = AppDir() + QStringLiteral("/Picture/Sensor/");
}

void EffectPanel::ApplyStyles()
{
    const QString label = DialogStyle::LabelSheet();
    for (QLabel* l : {m_label, m_speedText, m_lightText})
        l->setStyleSheet(label);
    const QString slider = PanelStyle::SliderSheet(picturePath);
    m_speed->setStyleSheet(slider);
    m_light->setStyleSheet(slider);
    m_speedBox->setStyleSheet(PanelStyle::NumberBoxSheet());
    m_lightBox->setStyleSheet(PanelStyle::NumberBoxSheet());
}

void EffectPanel::SetSlidersEnabled(bool on)
{
    m_speed->setEnabled(on);
    m_light->setEnabled(on);
}

void EffectPanel::SetLabelText(const QString& text)
{
    m_label->setText(text);
}

void EffectPanel::SetSpeedText(const QString& text)
{
    m_speedText->setText(text);
}

void EffectPanel::SetBrightnessText(const QString& text)
{
    m_lightText->setText(text);
}

void EffectPanel::ShowRows(int mode)
{
    if (!ValidEffectMode(mode))
        return;
    const EffectRows rows = RowsOfMode(mode);
    m_speed->setVisible(rows.speed);
    m_speedBox->setVisible(rows.speed);
    m_speedLine->setVisible(!rows.speed);
    m_light->setVisible(rows.brightness);
    m_lightBox->setVisible(rows.brightness);
    m_lightLine->setVisible(!rows.brightness);
}

void EffectPanel::SendMode(int mode)
{
    if (!ValidEffectMode(mode) || !PageMaySend(Page::Sensor))
        return;
    WriteOrRevert([mode] { return SetDPILightMode(mode); },
                  [this](const FlashDataMap& stored) {
                      ShowStoredMode(EffectModeOf(stored.dpiLightOn, stored.dpiLightMode));
                  });
}

void EffectPanel::on_SpeedH_sliderMoved(int value)
{
    m_speedBox->setValue(value);
}

void EffectPanel::on_SpeedH_valueChanged(int value)
{
    m_speedBox->setValue(value);
    if (!ValidSpeed(value) || !PageMaySend(Page::Sensor))
        return;
    WriteOrRevert([value] { return SetDPILightSpeed(uint8_t(value)); },
                  [this](const FlashDataMap& stored) {
                      if (!ValidSpeed(stored.dpiLightSpeed))
                          return;
                      const QSignalBlocker block(m_speed);
                      m_speed->setValue(stored.dpiLightSpeed);
                      m_speedBox->setValue(stored.dpiLightSpeed);
                  });
}

void EffectPanel::on_LightH_sliderMoved(int value)
{
    m_lightBox->setValue(value);
}

void EffectPanel::on_LightH_valueChanged(int value)
{
    m_lightBox->setValue(value);
    const int byte = BrightnessByte(value);
    if (byte < 0 || !PageMaySend(Page::Sensor))
        return;
    WriteOrRevert([byte] { return SetDPILightBrightness(uint8_t(byte)); },
                  [this](const FlashDataMap& stored) {
                      const int step = BrightnessStepOfByte(stored.dpiLightBrightness);
                      if (step < 0)
                          return;
                      const QSignalBlocker block(m_light);
                      m_light->setValue(step);
                      m_lightBox->setValue(step);
                  });
}

// ---- SensorEffect ---------------------------------------------------------------

SensorEffect::SensorEffect(QWidget* parent) : EffectPanel(parent), ui(new Ui::SensorEffect)
{
    ui->setupUi(this);
    TakeForm(ui);
    PageStyle::StyleComboBox(ui->Model, picturePath);
}

SensorEffect::~SensorEffect()
{
    delete ui;
}

void SensorEffect::SetMode(int mode)
{
    if (!ValidEffectMode(mode))
        return;
    // A changed index runs the user's path: rows and a guarded send.
    ui->Model->setCurrentIndex(mode);
    const QSignalBlocker blockSpeed(ui->SpeedH);
    const QSignalBlocker blockLight(ui->LightH);
    ShowRows(mode);
}

void SensorEffect::SetItemText(int mode, const QString& text)
{
    if (ValidEffectMode(mode))
        ui->Model->setItemText(mode, text);
}

void SensorEffect::on_Model_currentIndexChanged(int index)
{
    ShowRows(index);
    SendMode(index);
}

void SensorEffect::ShowStoredMode(int mode)
{
    const QSignalBlocker block(ui->Model);
    ui->Model->setCurrentIndex(mode);
    ShowRows(mode);
}

// ---- SensorEffectB --------------------------------------------------------------

SensorEffectB::SensorEffectB(QWidget* parent) : EffectPanel(parent), ui(new Ui::SensorEffectB)
{
    ui->setupUi(this);
    buttonGroup = new QButtonGroup(this);
    buttonGroup->setExclusive(true);
    buttonGroup->addButton(ui->MM1);
    buttonGroup->addButton(ui->MM2);
    buttonGroup->addButton(ui->MM3);
    TakeForm(ui);
    const QString boxes = PanelStyle::CheckBoxSheet(picturePath);
    for (QCheckBox* box : {ui->MM1, ui->MM2, ui->MM3})
        box->setStyleSheet(boxes);
}

SensorEffectB::~SensorEffectB()
{
    delete ui;
}

void SensorEffectB::SetMode(int mode)
{
    if (!ValidEffectMode(mode))
        return;
    const QSignalBlocker blockSpeed(ui->SpeedH);
    const QSignalBlocker blockLight(ui->LightH);
    ShowStoredMode(mode);
}

void SensorEffectB::SetItemText(int mode, const QString& text)
{
    QCheckBox* const boxes[EffectModeCount] = {ui->MM3, ui->MM1, ui->MM2};
    if (ValidEffectMode(mode))
        boxes[mode]->setText(text);
}

void SensorEffectB::ShowStoredMode(int mode)
{
    QCheckBox* const boxes[EffectModeCount] = {ui->MM3, ui->MM1, ui->MM2};
    CheckOnly(buttonGroup, ValidEffectMode(mode) ? boxes[mode] : nullptr);
    ShowRows(mode);
}

void SensorEffectB::BoxClicked(int mode, bool checked)
{
    if (!checked)
        return;
    ShowRows(mode);
    SendMode(mode);
}

void SensorEffectB::on_MM1_clicked(bool checked) { BoxClicked(1, checked); }
void SensorEffectB::on_MM2_clicked(bool checked) { BoxClicked(2, checked); }
void SensorEffectB::on_MM3_clicked(bool checked) { BoxClicked(0, checked); }
