// The debounce panel family: DebounceTime (the one the button page embeds)
// and the variants DebouncetimeB and DebouncetimeC.
#include "DebounceTime.h"
#include "DebouncetimeB.h"
#include "DebouncetimeC.h"

#include "DeviceWriters.h"
#include "Globals.h"
#include "PageKit.h"
#include "PageStyle.h"
#include "PanelStyle.h"

#include "ui_DebounceTime.h"
#include "ui_DebouncetimeB.h"
#include "ui_DebouncetimeC.h"

#include <QSignalBlocker>

// ---- DebounceTime -----------------------------------------------------------

DebounceTime::DebounceTime(QWidget* parent) : QFrame(parent), ui(new Ui::DebounceTime)
{
    ui->setupUi(this);
    m_pictureFolder = AppDir() + QStringLiteral("/Picture/Buttoninterface/");
    PageStyle::StyleComboBox(ui->Debunce, m_pictureFolder, 5);
}

DebounceTime::~DebounceTime()
{
    delete ui;
}

void DebounceTime::SetIndex(int index)
{
    if (index < 0 || index >= ui->Debunce->count())
        return;
    const QSignalBlocker block(ui->Debunce);
    ui->Debunce->setCurrentIndex(index);
}

void DebounceTime::SetItemText(int index, const QString& suffix)
{
    if (index < 0 || index >= ui->Debunce->count())
        return;
    ui->Debunce->setItemText(index, QString::number(index) + suffix);
}

int DebounceTime::CurrentIndex() const
{
    return ui->Debunce->currentIndex();
}

void DebounceTime::on_Debunce_currentIndexChanged(int index)
{
    // -1 comes when the list is emptied: never a value for the device.
    if (index < 0 || index >= EntryCount || !PageMaySend(Page::Buttons))
        return;
    WriteOrRevert([index] { return SetDebounceTime(uint8_t(index)); },
                  [this](const FlashDataMap& stored) { SetIndex(stored.debounce); });
}

// ---- DebouncetimeB ----------------------------------------------------------

DebouncetimeB::DebouncetimeB(QWidget* parent) : QFrame(parent), ui(new Ui::DebouncetimeB)
{
    ui->setupUi(this);
    m_pictureFolder = AppDir() + QStringLiteral("/Picture/Sensor/");
    ui->Debunce->setStyleSheet(PanelStyle::SliderSheet(m_pictureFolder));
    ui->spinBoxA->setStyleSheet(PanelStyle::ValueBoxSheet());
}

DebouncetimeB::~DebouncetimeB()
{
    delete ui;
}

void DebouncetimeB::SetIndex(int value)
{
    const QSignalBlocker blockSlider(ui->Debunce);
    const QSignalBlocker blockBox(ui->spinBoxA);
    ui->Debunce->setValue(value);
    ui->spinBoxA->setValue(ui->Debunce->value());
}

void DebouncetimeB::SetSuffix(const QString& suffix)
{
    ui->spinBoxA->setSuffix(suffix);
}

int DebouncetimeB::Value() const
{
    return ui->spinBoxA->value();
}

void DebouncetimeB::on_Debunce_valueChanged(int value)
{
    ui->spinBoxA->setValue(value);
}

void DebouncetimeB::on_spinBoxA_valueChanged(int value)
{
    if (PageMaySend(Page::Buttons))
        WriteOrRevert([value] { return SetDebounceTime(uint8_t(value)); },
                      [this](const FlashDataMap& stored) { SetIndex(stored.debounce); });
}

// ---- DebouncetimeC ----------------------------------------------------------

DebouncetimeC::DebouncetimeC(QWidget* parent) : QFrame(parent), ui(new Ui::DebouncetimeC)
{
    ui->setupUi(this);
    m_pictureFolder = AppDir() + QStringLiteral("/Picture/Sensor/");
    ui->spinBoxA->setStyleSheet(PanelStyle::ValueBoxSheet());
    ui->ReduceLevelA->setStyleSheet(
        PanelStyle::PictureButtonSheet(QStringLiteral("ReduceLevelA"), m_pictureFolder, QStringLiteral("Reduce.png")));
    ui->AddLevelA->setStyleSheet(
        PanelStyle::PictureButtonSheet(QStringLiteral("AddLevelA"), m_pictureFolder, QStringLiteral("Add.png")));
}

DebouncetimeC::~DebouncetimeC()
{
    delete ui;
}

void DebouncetimeC::SetIndex(int value)
{
    const QSignalBlocker block(ui->spinBoxA);
    ui->spinBoxA->setValue(value);
}

int DebouncetimeC::Value() const
{
    return ui->spinBoxA->value();
}

void DebouncetimeC::on_AddLevelA_clicked()
{
    if (ui->spinBoxA->value() < 20)
        Step(1);
}

void DebouncetimeC::on_ReduceLevelA_clicked()
{
    if (ui->spinBoxA->value() > 1)
        Step(-1);
}

void DebouncetimeC::Step(int delta)
{
    ui->spinBoxA->setValue(ui->spinBoxA->value() + delta);
    const int value = ui->spinBoxA->value();
    if (PageMaySend(Page::Buttons))
        WriteOrRevert([value] { return SetDebounceTime(uint8_t(value)); },
                      [this](const FlashDataMap& stored) { SetIndex(stored.debounce); });
}
