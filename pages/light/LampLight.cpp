#include "LampLight.h"
#include "ui_LampLight.h"

#include "ColorText.h"
#include "DeviceWriters.h"
#include "Globals.h"
#include "LanguageLoader.h"
#include "MacroSettings.h"
#include "PageKit.h"
#include "PageStyle.h"
#include "PanelStyle.h"
#include "PostMsg.h"

#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QSignalBlocker>

using LightRules::Rgb;

namespace {

// A picture on a button or label: no frame, centred, drawn once. The page
// frame's button look (background, padding, rounded corners) is cleared.
QString pictureSheet(const QString& selector, const QString& picture)
{
    return selector
           + QStringLiteral("{border:0px;padding:0px;border-radius:0px;background-color:transparent;background-image: url(")
           + picture + QStringLiteral(");background-position:center;background-repeat:no-repeat;}");
}

uint8_t sliderByte(int value)
{
    return uint8_t(qBound(LightRules::SliderMin, value, LightRules::SliderMax) - 1);
}

}  // namespace

LampLight::LampLight(QWidget* parent) : QWidget(parent), ui(new Ui::LampLight)
{
    ui->setupUi(this);
    connect(PostMsg::GetInstance(), &PostMsg::SigChangeLanguage, this, &LampLight::SlotChangeLanguage);
    pictureDir = AppDir() + QStringLiteral("/Picture/Light/");

    // Mode 0 until the first fill: no colour, no sliders, the flat lines.
    ShowMode(ui->LightMod->currentIndex());

    // The texts come before the styles: a restyled list measures its items,
    // and the form's own captions would load the large CJK font for a
    // session in another language.
    SlotChangeLanguage(StoredLanguageIndex());
    ApplyStyles();

    // The sleep-time panel writes the time itself, and shows the stored time
    // again when the device does not take it.

    PostMsg* hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigUpDataLightLight, this, &LampLight::SlotUpDataLightUILight);
    connect(hub, &PostMsg::SigUpDataLightUIA, this, &LampLight::SlotUpDataLightUIA);
    connect(hub, &PostMsg::SigFormReset, this, &LampLight::SlotFormResetLight);
}

LampLight::~LampLight()
{
    delete ui;
}

void LampLight::ApplyStyles()
{
    ui->LightPage->setStyleSheet(PageStyle::FrameSheet(QStringLiteral("LightPage")));
    PageStyle::StyleComboBox(ui->LightMod, pictureDir, 5);
    // The sleep-time panel's frame stays invisible: only its list shows.
    ui->frameClose->setStyleSheet(QStringLiteral("#frameClose{border:0px;background:transparent;}"));

    const QString labelSheet =
        QStringLiteral("QLabel{color: rgb(") + OptionColorText(QStringLiteral("LabelColor")) + QStringLiteral(";);}");
    for (QLabel* label : {ui->label, ui->label_2, ui->label_3, ui->label_4, ui->label_5, ui->label_6, ui->label_8,
                          ui->label_13})
        label->setStyleSheet(labelSheet);

    const QString valueSheet = QStringLiteral("QSpinBox{color: rgb(") + OptionColorText(QStringLiteral("LabelColor"))
                               + QStringLiteral(";);background-color: transparent;border: 0px;}");
    ui->SpeedSpinBox_2->setStyleSheet(valueSheet);
    ui->LightSpinBox_2->setStyleSheet(valueSheet);

    const QString field = OptionColorText(QStringLiteral("LinEditColorSecond"));
    const QString colourSheet = QStringLiteral("QSpinBox{background-color: rgb(0,0,0);color: rgb(") + field
                                + QStringLiteral(";);border: 1px  solid gray;}QSpinBox:hover{background-color: "
                                                 "transparent;color: rgb(")
                                + field + QStringLiteral(";);border: 1px  solid gray;}");
    for (QSpinBox* box : {ui->RSpinBox, ui->GSpinBox, ui->BSpinBox})
        box->setStyleSheet(colourSheet);

    const QString sliderSheet = PanelStyle::SliderSheet(pictureDir);
    ui->horizontalLight->setStyleSheet(sliderSheet);
    ui->horizontalSpeed->setStyleSheet(sliderSheet);

    ui->RippeControl->setStyleSheet(
        QStringLiteral("QToolButton{color: rgb(255,255,255);border:0px;padding:0px;border-radius:0px;"
                       "background-color:transparent;background-image: url(")
        + pictureDir + QStringLiteral("Close.png);background-position:center;background-repeat:no-repeat;}"
                                      "QToolButton:checked{background-image: url(")
        + pictureDir + QStringLiteral("Open.png);}"));
    ui->label_7->setStyleSheet(pictureSheet(QStringLiteral("QLabel"), pictureDir + QStringLiteral("ColorBoard.png")));
    for (QToolButton* button : {ui->ReduceR, ui->ReduceG, ui->ReduceB})
        button->setStyleSheet(pictureSheet(QStringLiteral("QToolButton"), pictureDir + QStringLiteral("Reduce.png")));
    for (QToolButton* button : {ui->AddR, ui->AddG, ui->AddB})
        button->setStyleSheet(pictureSheet(QStringLiteral("QToolButton"), pictureDir + QStringLiteral("Add.png")));
    ui->labelPreView->setStyleSheet(
        pictureSheet(QStringLiteral("QLabel"), pictureDir + QStringLiteral("PreviewColor.png")));
    for (int i = 0; i < LightRules::PresetCount; ++i) {
        if (auto* button = findChild<QToolButton*>(LightRules::PresetButtonName(i)))
            button->setStyleSheet(pictureSheet(QStringLiteral("QToolButton"),
                                               pictureDir + LightRules::PresetPictureName(i)));
    }
}

// ---- filling -------------------------------------------------------------

void LampLight::Fill(const FlashDataMap& image)
{
    {
        const QSignalBlocker light(ui->horizontalLight);
        const QSignalBlocker speed(ui->horizontalSpeed);
        ui->horizontalLight->setValue(int(image.lightBrightness) + 1);
        ui->LightSpinBox_2->setValue(int(image.lightBrightness) + 1);
        ui->horizontalSpeed->setValue(int(image.lightSpeed) + 1);
        ui->SpeedSpinBox_2->setValue(int(image.lightSpeed) + 1);
    }
    SetSpinBoxes(Rgb{image.lightR, image.lightG, image.lightB});
    ShowPreview();

    // A mode byte the list does not hold shows no mode (and mode 0's
    // controls) rather than another mode.
    const int mode = LightRules::ModeIndexOf(image);
    if (mode < 0) {
        const QSignalBlocker block(ui->LightMod);
        ui->LightMod->setCurrentIndex(-1);
    } else {
        // The mode handler runs with LightUiLoading set: nothing is sent.
        ui->LightMod->setCurrentIndex(mode);
    }
    ShowMode(ui->LightMod->currentIndex());

    ui->RippeControl->setChecked(image.moveLightOff != 0);
    // A time none of the entries shows leaves the panel as it is.
    ui->frameClose->SetIndex(StopCloseTime::IndexForSeconds(int(image.sleepTime) * 10));
}

void LampLight::SlotUpDataLightUILight(FlashDataMap image)
{
    ui->horizontalLight->setEnabled(true);
    ui->horizontalSpeed->setEnabled(true);
    const PageFillScope fill(Page::Light, PageFillScope::ReportsUpdated);
    Fill(image);
}

void LampLight::SlotUpDataLightUIA(FlashDataMap image)
{
    // Imported or cached values: the sliders wait for the device's own.
    ui->horizontalLight->setEnabled(false);
    ui->horizontalSpeed->setEnabled(false);
    const PageFillScope fill(Page::Light);
    Fill(image);
}

void LampLight::SlotFormResetLight()
{
    const PageFillScope fill(Page::Light);
    ui->LightMod->setCurrentIndex(1);
    ShowMode(ui->LightMod->currentIndex());
    ui->horizontalLight->setValue(10);
    ui->horizontalSpeed->setValue(8);
    ui->LightSpinBox_2->setValue(10);
    ui->SpeedSpinBox_2->setValue(8);
    ui->RippeControl->setChecked(false);
    ui->frameClose->SetIndex(2);
}

// ---- mode ----------------------------------------------------------------

void LampLight::ShowMode(int mode)
{
    const LightRules::Visibility v = LightRules::VisibilityOf(mode);
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui->label_6, ui->label_7, ui->label_8, ui->labelPreView, ui->label_10, ui->label_11, ui->label_12,
             ui->label_13, ui->RSpinBox, ui->GSpinBox, ui->BSpinBox, ui->AddR, ui->AddG, ui->AddB, ui->ReduceR,
             ui->ReduceG, ui->ReduceB})
        w->setVisible(v.colour);
    for (int i = 0; i < LightRules::PresetCount; ++i) {
        if (auto* button = findChild<QToolButton*>(LightRules::PresetButtonName(i)))
            button->setVisible(v.colour);
    }
    ui->horizontalLight->setVisible(v.brightness);
    ui->LightSpinBox_2->setVisible(v.brightness);
    ui->line->setVisible(!v.brightness);
    ui->horizontalSpeed->setVisible(v.speed);
    ui->SpeedSpinBox_2->setVisible(v.speed);
    ui->line_2->setVisible(!v.speed);
}

void LampLight::on_LightMod_currentIndexChanged(int index)
{
    if (index >= 0 && index < LightRules::ModeCount && PageMaySend(Page::Light)
        && !WriteOrRevert([index] { return SetLightMode(index); },
                          [this](const FlashDataMap& stored) { ShowStoredMode(stored); }))
        return;
    ShowMode(index);
}

void LampLight::ShowStoredMode(const FlashDataMap& stored)
{
    const int mode = LightRules::ModeIndexOf(stored);
    {
        const QSignalBlocker block(ui->LightMod);
        ui->LightMod->setCurrentIndex(mode);
    }
    ShowMode(mode);
}

// ---- brightness, speed, switch, sleep time ---------------------------------

void LampLight::SliderChanged(bool brightness, int value)
{
    QSlider* slider = brightness ? ui->horizontalLight : ui->horizontalSpeed;
    QSpinBox* box = brightness ? ui->LightSpinBox_2 : ui->SpeedSpinBox_2;
    box->setValue(value);
    if (!PageMaySend(Page::Light))
        return;
    const uint8_t byte = sliderByte(value);
    WriteOrRevert([brightness, byte] { return brightness ? SetLightBrightness(byte) : SetLightSpeed(byte); },
                  [=](const FlashDataMap& stored) {
                      {
                          const QSignalBlocker block(slider);
                          slider->setValue(int(brightness ? stored.lightBrightness : stored.lightSpeed) + 1);
                      }
                      box->setValue(slider->value());
                  });
}

void LampLight::on_horizontalLight_valueChanged(int value)
{
    SliderChanged(true, value);
}

void LampLight::on_horizontalSpeed_valueChanged(int value)
{
    SliderChanged(false, value);
}

void LampLight::on_horizontalLight_sliderMoved(int value)
{
    ui->LightSpinBox_2->setValue(value);
}

void LampLight::on_horizontalSpeed_sliderMoved(int value)
{
    ui->SpeedSpinBox_2->setValue(value);
}

void LampLight::on_RippeControl_clicked(bool checked)
{
    if (!PageMaySend(Page::Light))
        return;
    WriteOrRevert([checked] { return SetMoveLightOff(checked ? 1 : 0); }, [this](const FlashDataMap& stored) {
        const QSignalBlocker block(ui->RippeControl);
        ui->RippeControl->setChecked(stored.moveLightOff != 0);
    });
}

// ---- colour ----------------------------------------------------------------

Rgb LampLight::ShownColor() const
{
    return Rgb{uint8_t(ui->RSpinBox->value()), uint8_t(ui->GSpinBox->value()), uint8_t(ui->BSpinBox->value())};
}

void LampLight::ShowPreview()
{
    const Rgb c = ShownColor();
    ui->labelPreView->setStyleSheet(LightRules::PreviewSheet(c.r, c.g, c.b));
}

void LampLight::SetSpinBoxes(const Rgb& color)
{
    const QSignalBlocker r(ui->RSpinBox);
    const QSignalBlocker g(ui->GSpinBox);
    const QSignalBlocker b(ui->BSpinBox);
    ui->RSpinBox->setValue(color.r);
    ui->GSpinBox->setValue(color.g);
    ui->BSpinBox->setValue(color.b);
}

void LampLight::SendShownColor()
{
    if (!PageMaySend(Page::Light))
        return;
    const Rgb c = ShownColor();
    WriteOrRevert([c] { return SetLightColor(c.r, c.g, c.b); }, [this](const FlashDataMap& stored) {
        SetSpinBoxes(Rgb{stored.lightR, stored.lightG, stored.lightB});
    });
}

void LampLight::ComponentChanged()
{
    SendShownColor();
    ShowPreview();
}

void LampLight::on_RSpinBox_valueChanged(int)
{
    ComponentChanged();
}

void LampLight::on_GSpinBox_valueChanged(int)
{
    ComponentChanged();
}

void LampLight::on_BSpinBox_valueChanged(int)
{
    ComponentChanged();
}

bool LampLight::MayChangeColor() const
{
    // Before the pages are shown or while the page is being filled, the
    // change goes on (and is not sent).
    if (!PageMaySend(Page::Light))
        return true;
    // Asks for the offline notice when the device does not answer.
    return IsDeviceOnline();
}

void LampLight::StepComponent(QSpinBox* box, int delta)
{
    if (!MayChangeColor())
        return;
    // At 0 or 255 the value stays and its handler does not run.
    box->setValue(box->value() + delta);
}

void LampLight::on_AddR_clicked()
{
    StepComponent(ui->RSpinBox, 1);
}

void LampLight::on_AddG_clicked()
{
    StepComponent(ui->GSpinBox, 1);
}

void LampLight::on_AddB_clicked()
{
    StepComponent(ui->BSpinBox, 1);
}

void LampLight::on_ReduceR_clicked()
{
    StepComponent(ui->RSpinBox, -1);
}

void LampLight::on_ReduceG_clicked()
{
    StepComponent(ui->GSpinBox, -1);
}

void LampLight::on_ReduceB_clicked()
{
    StepComponent(ui->BSpinBox, -1);
}

void LampLight::ChooseColor(const Rgb& color)
{
    // All three components at once, then one write of the whole colour.
    if (color == ShownColor())
        return;
    SetSpinBoxes(color);
    SendShownColor();
    ShowPreview();
}

void LampLight::ChoosePreset(int index)
{
    if (!MayChangeColor())
        return;
    ChooseColor(LightRules::Preset(index));
}

void LampLight::on_toolButtonColorA_clicked() { ChoosePreset(0); }
void LampLight::on_toolButtonColorB_clicked() { ChoosePreset(1); }
void LampLight::on_toolButtonColorC_clicked() { ChoosePreset(2); }
void LampLight::on_toolButtonColorD_clicked() { ChoosePreset(3); }
void LampLight::on_toolButtonColorE_clicked() { ChoosePreset(4); }
void LampLight::on_toolButtonColorF_clicked() { ChoosePreset(5); }
void LampLight::on_toolButtonColorG_clicked() { ChoosePreset(6); }
void LampLight::on_toolButtonColorH_clicked() { ChoosePreset(7); }
void LampLight::on_toolButtonColorI_clicked() { ChoosePreset(8); }
void LampLight::on_toolButtonColorJ_clicked() { ChoosePreset(9); }
void LampLight::on_toolButtonColorK_clicked() { ChoosePreset(10); }
void LampLight::on_toolButtonColorL_clicked() { ChoosePreset(11); }
void LampLight::on_toolButtonColorM_clicked() { ChoosePreset(12); }
void LampLight::on_toolButtonColorN_clicked() { ChoosePreset(13); }

std::optional<QColor> LampLight::ColorUnder(const QPoint& pagePos, const QPoint& globalPos) const
{
    // The board's own rendering: exactly the colours its picture shows,
    // whatever the window system lets us read of the screen.
    QLabel* board = ui->label_7;
    const QPoint local = board->mapFrom(this, pagePos);
    if (!board->rect().contains(local))
        return std::nullopt;
    const qreal ratio = board->devicePixelRatioF();
    QImage rendering(board->size() * ratio, QImage::Format_ARGB32);
    rendering.setDevicePixelRatio(ratio);
    rendering.fill(Qt::transparent);
    board->render(&rendering, QPoint(), QRegion(), QWidget::RenderFlags(QWidget::DrawChildren));
    if (const std::optional<QRgb> pixel = LightRules::OpaquePixelAt(rendering, local))
        return QColor(*pixel);

    // Where the board has no picture: the screen under the pointer. A window
    // system that does not let us read it gives nothing.
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    const QPixmap grab = screen->grabWindow(0, globalPos.x(), globalPos.y(), 1, 1);
    if (grab.isNull())
        return std::nullopt;
    const QImage image = grab.toImage();
    if (image.isNull() || !image.valid(0, 0))
        return std::nullopt;
    return QColor(image.pixel(0, 0));
}

void LampLight::mousePressEvent(QMouseEvent* event)
{
    const QPoint inFrame = ui->LightPage->mapFrom(this, event->pos());
    // A press beside a value box ends its editing.
    for (QSpinBox* box : {ui->RSpinBox, ui->GSpinBox, ui->BSpinBox, ui->LightSpinBox_2, ui->SpeedSpinBox_2}) {
        if (box->hasFocus() && !box->geometry().contains(inFrame))
            setFocus(Qt::MouseFocusReason);
    }
    // The board picks only where it is shown (modes with a colour).
    if (ui->label_7->isVisibleTo(this) && ui->label_7->geometry().contains(inFrame)) {
        if (MayChangeColor()) {
            if (const std::optional<QColor> color = ColorUnder(event->pos(), event->globalPos()))
                ChooseColor(Rgb{uint8_t(color->red()), uint8_t(color->green()), uint8_t(color->blue())});
        }
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

// ---- texts -----------------------------------------------------------------

void LampLight::SlotChangeLanguage(int index)
{
    LanguageTexts texts;
    for (QLabel* label : {ui->label, ui->label_2, ui->label_3, ui->label_4, ui->label_5, ui->label_6, ui->label_8,
                          ui->label_10, ui->label_11, ui->label_12, ui->label_13})
        texts.label(label->objectName(), label);
    // Item texts change in place: the selected mode stays.
    texts.on(QStringLiteral("LightMod"), [this](const QString& t) { ui->LightMod->setItemText(0, t); });
    for (int i = 1; i < LightRules::ModeCount; ++i)
        texts.on(QStringLiteral("LightMod") + QString::number(i),
                 [this, i](const QString& t) { ui->LightMod->setItemText(i, t); });
    texts.on(QStringLiteral("StopCloseTime"), [this](const QString& t) { ui->frameClose->SetItemText(0, t); });
    for (int i = 1; i < StopCloseTime::EntryCount; ++i)
        texts.on(QStringLiteral("StopCloseTime") + QString::number(i),
                 [this, i](const QString& t) { ui->frameClose->SetItemText(i, t); });
    LoadLanguageSection(index, QStringLiteral("Light"), texts);
}

void LampLight::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
}
