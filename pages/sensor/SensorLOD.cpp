#include "SensorLOD.h"
#include "ui_SensorLOD.h"
#include "ui_SensorLODB.h"

#include "DeviceWriters.h"
#include "DialogFrame.h"
#include "Globals.h"
#include "SensorPanelKit.h"
#include "PageKit.h"
#include "PageStyle.h"
#include "PanelStyle.h"
#include "SensorRules.h"

#include <QButtonGroup>
#include <QSignalBlocker>

// ---- SensorLOD ------------------------------------------------------------------

SensorLOD::SensorLOD(QWidget* parent) : QFrame(parent), ui(new Ui::SensorLOD)
{
    ui->setupUi(this);
    picturePath = AppDir() + QStringLiteral("/Picture/Sensor/");
    ui->label->setStyleSheet(DialogStyle::LabelSheet());
    PageStyle::StyleComboBox(ui->LOD, picturePath);
    ui->LOD->setStyleSheet(ui->LOD->styleSheet() + QStringLiteral("QComboBox:disabled{color: rgb(0, 0, 0);}"));
}

SensorLOD::~SensorLOD()
{
    delete ui;
}

void SensorLOD::AddLOD07()
{
    if (ui->LOD->count() != 2)
        return;
    // The shown distance stays the same item: nothing to send.
    const QSignalBlocker block(ui->LOD);
    ui->LOD->insertItem(0, QStringLiteral("0.7mm"));
}

void SensorLOD::RemoveLOD07()
{
    if (ui->LOD->count() != 3)
        return;
    const QSignalBlocker block(ui->LOD);
    ui->LOD->removeItem(0);
}

void SensorLOD::SetIndex(int v)
{
    const int index = SensorRules::LodIndexOfValue(v, ui->LOD->count());
    if (index >= 0)
        ui->LOD->setCurrentIndex(index);
}

void SensorLOD::SetLabelText(const QString& text)
{
    ui->label->setText(text);
}

void SensorLOD::SetLabelToolTip(const QString& text)
{
    ui->label->setToolTip(text);
}

void SensorLOD::on_LOD_currentIndexChanged(int index)
{
    const int code = SensorRules::LodCodeOfIndex(index, ui->LOD->count());
    if (code < 0 || !PageMaySend(Page::Sensor))
        return;
    WriteOrRevert([code] { return SetLOD(uint8_t(code)); },
                  [this](const FlashDataMap& stored) {
                      const QSignalBlocker block(ui->LOD);
                      ui->LOD->setCurrentIndex(SensorRules::LodIndexOfValue(stored.liftOff - 1, ui->LOD->count()));
                  });
}

// ---- SensorLODB -----------------------------------------------------------------

SensorLODB::SensorLODB(QWidget* parent) : QFrame(parent), ui(new Ui::SensorLODB)
{
    ui->setupUi(this);
    buttonGroup = new QButtonGroup(this);
    buttonGroup->setExclusive(true);
    buttonGroup->addButton(ui->MM0);
    buttonGroup->addButton(ui->MM1);
    buttonGroup->addButton(ui->MM2);
    picturePath = AppDir() + QStringLiteral("/Picture/Sensor/");
    ui->label->setStyleSheet(DialogStyle::LabelSheet());
    // The 0.7 mm box looks like the others (unstyled it would be dark on dark).
    for (QCheckBox* box : {ui->MM0, ui->MM1, ui->MM2})
        box->setStyleSheet(PanelStyle::CheckBoxSheet(picturePath));
    ui->MM0->hide();
}

SensorLODB::~SensorLODB()
{
    delete ui;
}

void SensorLODB::ShowLOD07()
{
    ui->MM0->show();
    ui->MM0->move(80, 0);
    ui->MM1->move(165, 0);
    ui->MM2->move(250, 0);
}

void SensorLODB::HideLOD07()
{
    ui->MM0->hide();
    ui->MM1->move(80, 0);
    ui->MM2->move(165, 0);
}

void SensorLODB::SetButtonsEnabled(bool on)
{
    ui->MM1->setEnabled(on);
    ui->MM2->setEnabled(on);
}

void SensorLODB::SetLabelText(const QString& text)
{
    ui->label->setText(text);
}

void SensorLODB::SetLabelToolTip(const QString& text)
{
    ui->label->setToolTip(text);
}

void SensorLODB::BoxClicked(int box)
{
    if (!PageMaySend(Page::Sensor))
        return;
    WriteOrRevert([box] { return SetLOD(uint8_t(SensorRules::LodCodeOfBox(box))); },
                  [this](const FlashDataMap& stored) {
                      QCheckBox* const boxes[3] = {ui->MM0, ui->MM1, ui->MM2};
                      QCheckBox* shown = nullptr;
                      for (int i = 0; i < 3; ++i) {
                          if (SensorRules::LodCodeOfBox(i) == stored.liftOff)
                              shown = boxes[i];
                      }
                      CheckOnly(buttonGroup, shown);
                  });
}

void SensorLODB::on_MM0_clicked(bool) { BoxClicked(0); }
void SensorLODB::on_MM1_clicked(bool) { BoxClicked(1); }
void SensorLODB::on_MM2_clicked(bool) { BoxClicked(2); }
