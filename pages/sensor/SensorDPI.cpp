// The DPI stage panel: construction, the page's steps and accessors, stage
// selection, colours and the stage count. The slider, the -/+ buttons and
// the marker drag are in SensorDPISlider.cpp.
#include "SensorDPI.h"
#include "ui_SensorDPI.h"

#include "ColorText.h"
#include "ConfigSettings.h"
#include "DeviceWriters.h"
#include "PageKit.h"
#include "PageStyle.h"
#include "PanelStyle.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QSignalBlocker>

using DpiPanelRules::ValidStage;

namespace {

const QString MinStage = QStringLiteral("MinA.png");
const QString MaxStage = QStringLiteral("MaxA.png");
const QString MinChip = QStringLiteral("MinB.png");
const QString MaxChip = QStringLiteral("MaxB.png");

// The chip of the last stage always wears the large picture (also small).
QString plainChipPicture(int stage)
{
    return stage == DpiPanelRules::StageCount - 1 ? MaxChip : MinChip;
}

}  // namespace

SensorDPI::SensorDPI(QWidget* parent) : QFrame(parent), ui(new Ui::SensorDPI)
{
    ui->setupUi(this);
    picturePath = AppDir() + QStringLiteral("/Picture/Sensor/");
    m_stages = {ui->BlueButton,  ui->BrightRedButton, ui->RedButton,       ui->YellowButton,
                ui->GreenButton, ui->PurpleButton,    ui->LightBlueButton, ui->LightYellowButton};
    m_chips = {ui->BlueButtonA,  ui->BrightRedButtonA, ui->RedButtonA,       ui->YellowButtonA,
               ui->GreenButtonA, ui->PurpleButtonA,    ui->LightBlueButtonA, ui->LightYellowButtonA};
    for (int i = 0; i < StageCount; ++i)
        levelColors.append(DpiPanelRules::DefaultColor(i));

    stageGroup = new QButtonGroup(this);
    chipGroup = new QButtonGroup(this);
    stageGroup->setExclusive(true);
    chipGroup->setExclusive(true);
    colorDialog = NewStageColorDialog(this);
    connect(colorDialog, &QColorDialog::colorSelected, this, &SensorDPI::SetColor);
    connect(ui->horizontalSliderC, &QSlider::sliderReleased, this, &SensorDPI::SliderReleased);

    ApplyStyles();

    // Hidden stages and controls keep their place: the others do not move.
    QList<QWidget*> kept{ui->horizontalSliderC, ui->spinBoxA, ui->ReduceLevelA, ui->AddLevelA};
    for (QToolButton* button : qAsConst(m_stages))
        kept.append(button);
    for (QWidget* w : qAsConst(kept)) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    for (int i = 0; i < StageCount; ++i) {
        stageRects.append(m_stages[i]->geometry());
        chipRects.append(m_chips[i]->geometry());
        stageGroup->addButton(m_stages[i]);
        chipGroup->addButton(m_chips[i]);
    }
    m_countIndex = ui->ChooseEvent->currentIndex();
    m_titleWidth = ui->label->width();
    m_titleGap = ui->ChooseEvent->x() - ui->label->x() - m_titleWidth;
}

SensorDPI::~SensorDPI()
{
    delete ui;
}

void SensorDPI::ApplyStyles()
{
    buttonColor = OptionColorText(QStringLiteral("ButtonColor"));
    ui->label->setStyleSheet(QStringLiteral("QLabel{color: rgb(") + OptionColorText(QStringLiteral("LabelColor"))
                             + QStringLiteral(";);}"));
    PageStyle::StyleComboBox(ui->ChooseEvent, picturePath, 5);
    ui->horizontalSliderC->setStyleSheet(PanelStyle::SliderSheet(picturePath));
    ui->spinBoxA->setStyleSheet(PanelStyle::ValueBoxSheet());
    ui->ReduceLevelA->setStyleSheet(
        PanelStyle::PictureButtonSheet(QStringLiteral("ReduceLevelA"), picturePath, QStringLiteral("Reduce.png")));
    ui->AddLevelA->setStyleSheet(
        PanelStyle::PictureButtonSheet(QStringLiteral("AddLevelA"), picturePath, QStringLiteral("Add.png")));
    const QString marker = QStringLiteral("{border:0px;background-position:center;background-repeat:no-repeat;"
                                          "background-image: url(");
    ui->label_8->setStyleSheet(QStringLiteral("#label_8") + marker + picturePath + QStringLiteral("Level.png);}")
                               + QStringLiteral("#label_8:hover") + marker + picturePath
                               + QStringLiteral("LevelHover.png);}"));
    for (int i = 0; i < StageCount; ++i) {
        m_stages[i]->setStyleSheet(QStringLiteral("QToolButton{border:0px;background-position:center;"
                                                  "background-repeat:no-repeat;color: rgb(")
                                   + buttonColor + QStringLiteral(";);background-image: url(") + picturePath
                                   + MinStage + QStringLiteral(");}"));
        // Every chip red until the device or the model gives its colour.
        m_chips[i]->setStyleSheet(QLatin1Char('#') + m_chips[i]->objectName()
                                  + QStringLiteral("{border:0px;border-radius:3px;background-position:center;"
                                                   "background-repeat:no-repeat;background-color: rgb(255, 0, 0);"
                                                   "background-image: url(")
                                  + picturePath + MinChip + QStringLiteral(");}"));
    }
}

QString SensorDPI::StageSheet(bool large) const
{
    return QStringLiteral("QToolButton{border:0px;border-radius:3px;background-position:center;"
                          "background-repeat:no-repeat;color: rgb(")
           + buttonColor + QStringLiteral(";);background-image: url(") + picturePath
           + (large ? MaxStage : MinStage) + QStringLiteral(");}");
}

QString SensorDPI::ChipSheet(int stage, const QString& picture) const
{
    return QStringLiteral("QToolButton{border:0px;border-radius:3px;background-position:center;"
                          "background-repeat:no-repeat;background-color:rgb(")
           + levelColors.value(stage) + QStringLiteral(");background-image: url(") + picturePath + picture
           + QStringLiteral(");}");
}

// ---- the page's steps -----------------------------------------------------------

void SensorDPI::SetSensor(const SensorDpi& sensor)
{
    m_sensor = sensor;
}

void SensorDPI::ShowImage(const FlashDataMap& image, const SensorDpi& sensor, int maxGrade)
{
    const OwnChange own(&m_ownChanges);
    SetSensor(sensor);
    // The image holds eight stage records: no more stages than that, and
    // none the model does not offer.
    const int grade = qBound(0, maxGrade, StageCount);
    const int count = DpiPanelRules::ShownStageCount(image.dpiStageCount, maxGrade);

    ClearCombo();
    BlockSliderSignals(true);
    SetSliderEnabled(true);
    SetLevelCount(count);
    const int current = DpiPanelRules::ShownStage(image.dpiStage, count);
    SetCurrentLevel(current);

    BlockComboSignals(true);
    for (int i = 0; i < grade; ++i) {
        const DpiStage& s = image.dpiStages[i];
        SetLevelColor(i, HexColorText(s.r, s.g, s.b));
        InsertComboItem(i, QString::number(i + 1));
    }
    BlockComboSignals(false);
    HighlightLevelColor(current);

    SetSliderMaximum(sensor.ranges.Maximum());
    SetSliderMinimum(sensor.ranges.Minimum());
    for (int i = 0; i < grade; ++i) {
        const DpiStage& s = image.dpiStages[i];
        const std::optional<int> dpi = sensor.Decode(s.xCode, s.flags);
        // A code the sensor does not define shows no value (not a DPI of 0).
        SetLevelText(i, dpi ? QString::number(*dpi) : QString());
        if (i == current && dpi)
            ShowDpi(*dpi);
    }
    ShowLevels(count - 1);
    SetComboIndex(count - 1);
    MoveLevelMark(current + 1);
    SetLevelChecked(current);
    BlockSliderSignals(false);
}

void SensorDPI::ShowDefaults()
{
    const OwnChange own(&m_ownChanges);
    BlockSliderSignals(true);
    SetSliderMaximum(10000);
    SetSliderMinimum(200);
    CheckStage(-1);  // the second stage is then selected afresh
    LoadDPIConfig();
    ClearCombo();
    for (int i = 0; i < 6; ++i)
        InsertComboItem(i, QString::number(i + 1));
    BlockComboSignals(false);
    ShowLevels(5);
    SetComboIndex(5);
    // What the panel shows is also what it goes by (marker drag, count change).
    SetLevelCount(6);
    SetCurrentLevel(1);
    MoveLevelMark(2);
    SetLevelChecked(1);
    const int dpi = StageDpi(1).value_or(1600);
    ShowDpi(dpi);
    BlockSliderSignals(false);
}

void SensorDPI::ShowReportedStage(int stage)
{
    const OwnChange own(&m_ownChanges);
    // The mouse's own word: any stage 0..7, even one the count does not show.
    const int shown = ValidStage(stage) ? stage : -1;
    MoveLevelMark(shown + 1);
    SetLevelChecked(shown);
    SetCurrentLevel(shown);
}

// ---- accessors ------------------------------------------------------------------

void SensorDPI::BlockComboSignals(bool on)
{
    ui->ChooseEvent->blockSignals(on);
}

void SensorDPI::ClearCombo()
{
    {
        const QSignalBlocker block(ui->ChooseEvent);
        ui->ChooseEvent->clear();
    }
    m_countIndex = -1;
}

void SensorDPI::InsertComboItem(int position, const QString& text)
{
    ui->ChooseEvent->insertItem(position, text);
}

void SensorDPI::SetComboIndex(int index)
{
    const OwnChange own(&m_ownChanges);
    ui->ChooseEvent->setCurrentIndex(index);
    m_countIndex = ui->ChooseEvent->currentIndex();
}

void SensorDPI::ShowCountIndex(int index)
{
    const QSignalBlocker block(ui->ChooseEvent);
    ui->ChooseEvent->setCurrentIndex(index);
    m_countIndex = ui->ChooseEvent->currentIndex();
}

void SensorDPI::ShowLevels(int last)
{
    if (!ValidStage(last))
        return;
    for (int i = 0; i < StageCount; ++i) {
        m_stages[i]->setVisible(i <= last);
        m_chips[i]->setVisible(i <= last);
    }
}

void SensorDPI::SetLevelCount(int count)
{
    if (count >= 1 && count <= StageCount)
        levelCount = count;
}

void SensorDPI::SetCurrentLevel(int stage)
{
    currentLevel = ValidStage(stage) ? stage : -1;
}

void SensorDPI::SetLevelChecked(int stage)
{
    CheckStage(ValidStage(stage) ? stage : -1);
}

void SensorDPI::CheckStage(int stage)
{
    const OwnChange own(&m_ownChanges);
    if (ValidStage(stage)) {
        m_stages[stage]->setChecked(true);
        return;
    }
    // No stage: neither a stage nor a chip stays checked.
    CheckOnly(stageGroup, nullptr);
    CheckOnly(chipGroup, nullptr);
}

void SensorDPI::PlaceMarker(int stage)
{
    if (!ValidStage(stage)) {
        ui->label_8->hide();
        return;
    }
    ui->label_8->move(DpiPanelRules::MarkerPosition(stage));
    ui->label_8->show();
}

void SensorDPI::MoveLevelMark(int n)
{
    PlaceMarker(n - 1);
}

void SensorDPI::SetLevelText(int stage, const QString& text)
{
    if (ValidStage(stage))
        m_stages[stage]->setText(text);
}

void SensorDPI::SetLevelColor(int stage, const QString& hex)
{
    const QString rgb = DecimalColorText(hex);
    if (ValidStage(stage) && !rgb.isEmpty())
        levelColors[stage] = rgb;
}

void SensorDPI::HighlightLevelColor(int stage)
{
    for (int i = 0; i < StageCount; ++i) {
        if (i == stage)
            continue;
        m_chips[i]->setGeometry(chipRects[i]);
        m_chips[i]->setStyleSheet(ChipSheet(i, plainChipPicture(i)));
    }
    if (ValidStage(stage))
        m_chips[stage]->setStyleSheet(ChipSheet(stage, MaxChip));
}

void SensorDPI::RefreshLevelColorStyle(int stage)
{
    if (ValidStage(stage))
        m_chips[stage]->setStyleSheet(ChipSheet(stage, m_chips[stage]->isChecked() ? MaxChip : MinChip));
}

void SensorDPI::SetSliderMinimum(int value)
{
    const OwnChange own(&m_ownChanges);
    ui->horizontalSliderC->setMinimum(value);
}

void SensorDPI::SetSliderMaximum(int value)
{
    const OwnChange own(&m_ownChanges);
    ui->horizontalSliderC->setMaximum(value);
}

void SensorDPI::SetSliderValue(int value)
{
    const OwnChange own(&m_ownChanges);
    ui->horizontalSliderC->setValue(value);
}

void SensorDPI::ShowDpi(int dpi)
{
    SetSliderValue(dpi);
    SetSpinValue(dpi);
}

void SensorDPI::BlockSliderSignals(bool on)
{
    ui->horizontalSliderC->blockSignals(on);
}

void SensorDPI::SetSliderEnabled(bool on)
{
    ui->horizontalSliderC->setEnabled(on);
}

void SensorDPI::SetSpinValue(int value)
{
    ui->spinBoxA->setValue(value);
}

void SensorDPI::SetTitleText(const QString& text)
{
    // A title longer than the form's place pushes the stage count to the
    // right instead of being cut.
    ui->label->setText(text);
    const int width = qMax(m_titleWidth, ui->label->sizeHint().width());
    ui->label->resize(width, ui->label->height());
    ui->ChooseEvent->move(ui->label->x() + width + m_titleGap, ui->ChooseEvent->y());
}

void SensorDPI::LoadDPIConfig()
{
    ConfigSettings* config = ConfigSettings::GetInstance();
    const int model = CurrentDeviceInfo.driveIndex;
    const QVector<QString> colors =
        DpiPanelRules::ModelStageColors(config->ModelValueList(model, QStringLiteral("DPIColor")));
    for (int i = 0; i < StageCount; ++i) {
        if (!colors[i].isEmpty())
            levelColors[i] = colors[i];
    }
    const QVector<QString> texts =
        DpiPanelRules::ModelStageTexts(config->ModelValueList(model, QStringLiteral("DPIGrade")));
    if (texts.isEmpty())
        return;
    HighlightLevelColor(-1);  // every chip plain, in its colour
    for (int i = 0; i < StageCount; ++i) {
        if (!texts[i].isEmpty())
            m_stages[i]->setText(texts[i]);
    }
}

void SensorDPI::SelectLevel(int stage)
{
    if (ValidStage(stage))
        CheckStage(stage);
}

QString SensorDPI::LevelColor(int stage) const
{
    return levelColors.value(stage);
}

QToolButton* SensorDPI::StageButton(int stage) const
{
    return m_stages.value(stage);
}

QToolButton* SensorDPI::StageChip(int stage) const
{
    return m_chips.value(stage);
}

std::optional<int> SensorDPI::StageDpi(int stage) const
{
    if (!ValidStage(stage))
        return std::nullopt;
    bool ok = false;
    const int dpi = m_stages[stage]->text().toInt(&ok, 10);
    return ok && dpi > 0 ? std::optional<int>(dpi) : std::nullopt;
}

int SensorDPI::CheckedStage() const
{
    for (int i = 0; i < StageCount; ++i) {
        if (m_stages[i]->isChecked())
            return i;
    }
    return -1;
}

// ---- selecting a stage ------------------------------------------------------------

void SensorDPI::StageToggled(int stage, bool on)
{
    QToolButton* button = m_stages[stage];
    if (!on) {
        button->setGeometry(stageRects[stage]);
        button->setStyleSheet(StageSheet(false));
        return;
    }
    button->setGeometry(QRect(stageRects[stage].topLeft() - QPoint(7, 7), QSize(68, 70)));
    button->setStyleSheet(StageSheet(true));
    m_chips[stage]->setChecked(true);
    if (OwnChanging() || !PageMaySend(Page::Sensor) || !button->isChecked())
        return;
    if (!WriteOrRevert([stage] { return SetDPILevel(uint8_t(stage)); },
                       [this](const FlashDataMap& stored) { ShowStoredStage(stored); }))
        return;
    currentLevel = stage;
    PlaceMarker(stage);
}

void SensorDPI::ShowStoredStage(const FlashDataMap& stored)
{
    const OwnChange own(&m_ownChanges);
    const int stage = DpiPanelRules::ShownStage(stored.dpiStage, levelCount);
    CheckStage(stage);
    currentLevel = stage;
    PlaceMarker(stage);
}

void SensorDPI::StageClicked(int stage)
{
    // A click on the selected stage puts its DPI back on the slider; nothing
    // is sent (a stage without a DPI leaves the slider as it is).
    const std::optional<int> dpi = StageDpi(stage);
    if (!m_stages[stage]->isChecked() || !dpi)
        return;
    ShowDpi(*dpi);
}

void SensorDPI::ChipToggled(int stage, bool on)
{
    QToolButton* chip = m_chips[stage];
    if (!on) {
        chip->setGeometry(chipRects[stage]);
        chip->setStyleSheet(ChipSheet(stage, MinChip));
        return;
    }
    chip->setGeometry(QRect(chipRects[stage].topLeft() + QPoint(-8, 6), QSize(66, 14)));
    m_stages[stage]->setChecked(true);
    if (!chip->isChecked())
        return;  // the device kept its stage: another one is selected again
    chip->setStyleSheet(ChipSheet(stage, MaxChip));
    // The selected stage's DPI on the slider is the panel's own change.
    if (const std::optional<int> dpi = StageDpi(stage))
        ShowDpi(*dpi);
}

void SensorDPI::ChipClicked(int stage)
{
    if (!m_chips[stage]->isChecked())
        return;
    // The colour goes to this stage, whichever is selected when it is chosen.
    m_colorStage = stage;
    const QStringList rgb = levelColors[stage].split(QLatin1Char(','));
    if (rgb.size() == 3)
        colorDialog->setCurrentColor(QColor(rgb[0].toInt(), rgb[1].toInt(), rgb[2].toInt()));
    colorDialog->show();
    colorDialog->raise();
}

void SensorDPI::SetColor(const QColor& color)
{
    const int stage = m_colorStage;
    if (!ValidStage(stage))
        return;
    SetLevelColor(stage, HexColorText(color.red(), color.green(), color.blue()));
    if (PageMaySend(Page::Sensor))
        WriteOrRevert(
            [&] { return SetDPIColor(stage, uint8_t(color.red()), uint8_t(color.green()), uint8_t(color.blue())); },
            [this, stage](const FlashDataMap& stored) {
                const DpiStage& s = stored.dpiStages[stage];
                SetLevelColor(stage, HexColorText(s.r, s.g, s.b));
            });
    RefreshLevelColorStyle(stage);
}

void SensorDPI::on_BlueButton_toggled(bool on) { StageToggled(0, on); }
void SensorDPI::on_BrightRedButton_toggled(bool on) { StageToggled(1, on); }
void SensorDPI::on_RedButton_toggled(bool on) { StageToggled(2, on); }
void SensorDPI::on_YellowButton_toggled(bool on) { StageToggled(3, on); }
void SensorDPI::on_GreenButton_toggled(bool on) { StageToggled(4, on); }
void SensorDPI::on_PurpleButton_toggled(bool on) { StageToggled(5, on); }
void SensorDPI::on_LightBlueButton_toggled(bool on) { StageToggled(6, on); }
void SensorDPI::on_LightYellowButton_toggled(bool on) { StageToggled(7, on); }
void SensorDPI::on_BlueButton_clicked() { StageClicked(0); }
void SensorDPI::on_BrightRedButton_clicked() { StageClicked(1); }
void SensorDPI::on_RedButton_clicked() { StageClicked(2); }
void SensorDPI::on_YellowButton_clicked() { StageClicked(3); }
void SensorDPI::on_GreenButton_clicked() { StageClicked(4); }
void SensorDPI::on_PurpleButton_clicked() { StageClicked(5); }
void SensorDPI::on_LightBlueButton_clicked() { StageClicked(6); }
void SensorDPI::on_LightYellowButton_clicked() { StageClicked(7); }
void SensorDPI::on_BlueButtonA_toggled(bool on) { ChipToggled(0, on); }
void SensorDPI::on_BrightRedButtonA_toggled(bool on) { ChipToggled(1, on); }
void SensorDPI::on_RedButtonA_toggled(bool on) { ChipToggled(2, on); }
void SensorDPI::on_YellowButtonA_toggled(bool on) { ChipToggled(3, on); }
void SensorDPI::on_GreenButtonA_toggled(bool on) { ChipToggled(4, on); }
void SensorDPI::on_PurpleButtonA_toggled(bool on) { ChipToggled(5, on); }
void SensorDPI::on_LightBlueButtonA_toggled(bool on) { ChipToggled(6, on); }
void SensorDPI::on_LightYellowButtonA_toggled(bool on) { ChipToggled(7, on); }
void SensorDPI::on_BlueButtonA_clicked() { ChipClicked(0); }
void SensorDPI::on_BrightRedButtonA_clicked() { ChipClicked(1); }
void SensorDPI::on_RedButtonA_clicked() { ChipClicked(2); }
void SensorDPI::on_YellowButtonA_clicked() { ChipClicked(3); }
void SensorDPI::on_GreenButtonA_clicked() { ChipClicked(4); }
void SensorDPI::on_PurpleButtonA_clicked() { ChipClicked(5); }
void SensorDPI::on_LightBlueButtonA_clicked() { ChipClicked(6); }
void SensorDPI::on_LightYellowButtonA_clicked() { ChipClicked(7); }

// ---- the stage count ----------------------------------------------------------------

void SensorDPI::on_ChooseEvent_currentIndexChanged(int index)
{
    if (OwnChanging() || PageFilling(Page::Sensor) || !ValidStage(index))
        return;
    const int current = currentLevel;
    // The current stage would fall outside the new count: it changes places
    // with the new last stage, which becomes current. One image says it all.
    const bool exchange = StageFallsOutside(current, index);
    // Not while the page fills (returned above): whether the pages are shown.
    if (PageMaySend()) {
        const auto showStored = [this](const FlashDataMap& stored) {
            const int count = stored.dpiStageCount;
            ShowCountIndex(count >= 1 && count <= ui->ChooseEvent->count() ? count - 1 : m_countIndex);
        };
        const bool written = WriteOrRevert([&] { return WriteDpiStageCount(index, current); }, showStored);
        if (!written)
            return;
    }
    const OwnChange own(&m_ownChanges);
    if (exchange)
        ExchangeStages(current, index);
    levelCount = index + 1;
    m_countIndex = index;
    ShowLevels(index);
}

void SensorDPI::ExchangeStages(int current, int last)
{
    std::swap(levelColors[current], levelColors[last]);
    const QString text = m_stages[current]->text();
    m_stages[current]->setText(m_stages[last]->text());
    m_stages[last]->setText(text);
    RefreshLevelColorStyle(current);
    RefreshLevelColorStyle(last);
    PlaceMarker(last);
    CheckStage(last);
    currentLevel = last;
}
