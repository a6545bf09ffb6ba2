#include "LampLight.h"
#include "ui_LampLight.h"

#include "Globals.h"
#include "LanguageLoader.h"
#include "MacroSettings.h"
#include "PageStyle.h"
#include "PostMsg.h"

#include <QEvent>

LampLight::LampLight(QWidget* parent) : QWidget(parent), ui(new Ui::LampLight)
{
    ui->setupUi(this);
    ui->LightPage->setStyleSheet(PageStyle::FrameSheet(QStringLiteral("LightPage")));
    PageStyle::StyleComboBox(ui->LightMod, AppDir() + QStringLiteral("/Picture/Light/"), 7);
    PostMsg* hub = PostMsg::GetInstance();
    connect(hub, SIGNAL(SigChangeLanguage(int)), this, SLOT(SlotChangeLanguage(int)));
    connect(hub, SIGNAL(SigUpDataLightLight(FlashDataMap)), this, SLOT(SlotUpDataLightUILight(FlashDataMap)));
    connect(hub, SIGNAL(SigUpDataLightUIA(FlashDataMap)), this, SLOT(SlotUpDataLightUIA(FlashDataMap)));
    connect(hub, SIGNAL(SigFormReset()), this, SLOT(SlotFormResetLight()));
    SlotChangeLanguage(StoredLanguageIndex());
}

LampLight::~LampLight()
{
    delete ui;
}

void LampLight::Fill(const FlashDataMap& image)
{
    // Byte 8 counts tens of seconds; computed as int (240 x 10 = 2400).
    const int seconds = static_cast<int>(image.sleepTime) * 10;
    static const int table[] = {10, 30, 60, 300, 600, 900, 1200, 1500, 1800, 2100, 2400};
    for (int i = 0; i < 11; ++i) {
        if (table[i] == seconds) {
            ui->frameClose->SetIndex(i);
            break;
        }
    }
    // A mode byte the list does not hold shows no mode rather than another one.
    const QSignalBlocker block(ui->LightMod);
    const int mode = image.lightOn == 0 ? 0 : image.lightMode;
    ui->LightMod->setCurrentIndex(mode >= 0 && mode < ui->LightMod->count() ? mode : -1);
}

void LampLight::SlotUpDataLightUILight(FlashDataMap image)
{
    LightUiUpdated = false;
    LightUiLoading = true;
    Fill(image);
    LightUiLoading = false;
    LightUiUpdated = true;
}

void LampLight::SlotUpDataLightUIA(FlashDataMap image)
{
    LightUiLoading = true;
    Fill(image);
    LightUiLoading = false;
}

void LampLight::SlotFormResetLight()
{
    LightUiLoading = true;
    {
        const QSignalBlocker block(ui->LightMod);
        ui->LightMod->setCurrentIndex(0);
    }
    ui->frameClose->SetIndex(2);
    LightUiLoading = false;
}

void LampLight::SlotChangeLanguage(int index)
{
    ReadLanguageLabels(index);
}

void LampLight::ReadLanguageLabels(int index)
{
    LanguageTexts texts;
    texts.label(QStringLiteral("label"), ui->label).label(QStringLiteral("label_5"), ui->label_5);
    texts.on(QStringLiteral("LightMod"), [this](const QString& t) { ui->LightMod->setItemText(0, t); });
    for (int i = 1; i <= 6; ++i)
        texts.on(QStringLiteral("LightMod") + QString::number(i), [this, i](const QString& t) { ui->LightMod->setItemText(i, t); });
    texts.on(QStringLiteral("StopCloseTime"), [this](const QString& t) { ui->frameClose->SetItemText(0, t); });
    for (int i = 1; i <= 10; ++i)
        texts.on(QStringLiteral("StopCloseTime") + QString::number(i),
                 [this, i](const QString& t) { ui->frameClose->SetItemText(i, t); });
    LoadLanguageSection(index, QStringLiteral("Light"), texts);
}

void LampLight::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        const int mode = ui->LightMod->currentIndex();
        const QSignalBlocker block(ui->LightMod);
        ui->retranslateUi(this);
        ui->LightMod->setCurrentIndex(mode);
        return;
    }
    QWidget::changeEvent(event);
}
