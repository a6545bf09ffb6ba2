#include "SensorRate.h"
#include "ui_SensorRate.h"
#include "ui_SensorRateB.h"

#include "ColorText.h"
#include "DeviceWriters.h"
#include "DialogFrame.h"
#include "SensorPanelKit.h"
#include "Globals.h"
#include "PageKit.h"
#include "PanelStyle.h"
#include "PostMsg.h"
#include "SensorRules.h"

#include <QButtonGroup>

using SensorRules::RateCount;

// ---- RatePanel -------------------------------------------------------------------

RatePanel::RatePanel(QWidget* parent) : QFrame(parent)
{
    picturePath = AppDir() + QStringLiteral("/Picture/Sensor/");
}

void RatePanel::TakeButtons(QLabel* label, const QVector<QAbstractButton*>& buttons, int grouped)
{
    m_label = label;
    m_buttons = buttons;
    buttonGroup = new QButtonGroup(this);
    buttonGroup->setExclusive(true);
    for (int i = 0; i < grouped && i < m_buttons.size(); ++i)
        buttonGroup->addButton(m_buttons[i]);
    m_label->setStyleSheet(DialogStyle::LabelSheet());
}

void RatePanel::SetReceiverType(int receiverClass)
{
    if (receiverClass < 0 || receiverClass >= SensorRules::ReceiverClassCount)
        return;
    for (int i = SensorRules::Rate1000Hz + 1; i < RateCount; ++i)
        m_buttons[i]->setVisible(SensorRules::RateShown(receiverClass, i));
}

void RatePanel::SetLabelText(const QString& text)
{
    m_label->setText(text);
}

int RatePanel::CheckedRate() const
{
    for (int i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i]->isChecked())
            return i;
    }
    return -1;
}

void RatePanel::ShowRate(int index)
{
    // The 8000 Hz box of the B layout is outside the group.
    for (QAbstractButton* button : qAsConst(m_buttons)) {
        if (!buttonGroup->buttons().contains(button))
            button->setChecked(false);
    }
    CheckOnly(buttonGroup, m_buttons.value(index));
}

void RatePanel::RateClicked(int index, bool checked)
{
    if (!checked || !PageMaySend(Page::Sensor))
        return;
    const bool written = WriteOrRevert(
        [index] { return SetReportRate(uint8_t(SensorRules::RateCode(index))); },
        [this](const FlashDataMap& stored) { ShowRate(SensorRules::RateIndexOfCode(stored.reportRate)); });
    if (written)
        PostMsg::GetInstance()->PostHideModel(SensorRules::RateHubValue(index));
}

void RatePanel::on_Button125HZ_clicked(bool checked) { RateClicked(0, checked); }
void RatePanel::on_Button250HZ_clicked(bool checked) { RateClicked(1, checked); }
void RatePanel::on_Button500HZ_clicked(bool checked) { RateClicked(2, checked); }
void RatePanel::on_Button1000HZ_clicked(bool checked) { RateClicked(3, checked); }
void RatePanel::on_Button2000HZ_clicked(bool checked) { RateClicked(4, checked); }
void RatePanel::on_Button4000HZ_clicked(bool checked) { RateClicked(5, checked); }
void RatePanel::on_Button8000HZ_clicked(bool checked) { RateClicked(6, checked); }

// ---- SensorRate -----------------------------------------------------------------

SensorRate::SensorRate(QWidget* parent) : RatePanel(parent), ui(new Ui::SensorRate)
{
    ui->setupUi(this);
    TakeButtons(ui->label,
                {ui->Button125HZ, ui->Button250HZ, ui->Button500HZ, ui->Button1000HZ, ui->Button2000HZ,
                 ui->Button4000HZ, ui->Button8000HZ},
                RateCount);
    const QString sheet =
        QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(")
        + OptionColorText(QStringLiteral("ButtonColor")) + QStringLiteral(";);padding-left:0px;background-image: url(")
        + picturePath + QStringLiteral("ReportRate.png);}QToolButton:checked{padding-left:0px;background-image: url(")
        + picturePath + QStringLiteral("ReportRateClick.png); }");
    for (int i = 0; i < RateCount; ++i)
        RateButton(i)->setStyleSheet(sheet);
}

SensorRate::~SensorRate()
{
    delete ui;
}

void SensorRate::SetRate(int index)
{
    if (index >= 0 && index < RateCount)
        RateButton(index)->setChecked(true);
}

void SensorRate::ShowNoRate()
{
    ShowRate(-1);
}

// ---- SensorRateB ----------------------------------------------------------------

SensorRateB::SensorRateB(QWidget* parent) : RatePanel(parent), ui(new Ui::SensorRateB)
{
    ui->setupUi(this);
    TakeButtons(ui->label,
                {ui->Button125HZ, ui->Button250HZ, ui->Button500HZ, ui->Button1000HZ, ui->Button2000HZ,
                 ui->Button4000HZ, ui->Button8000HZ},
                RateCount - 1);
    const QString sheet = PanelStyle::CheckBoxSheet(picturePath);
    for (int i = 0; i < RateCount; ++i)
        RateButton(i)->setStyleSheet(sheet);
}

SensorRateB::~SensorRateB()
{
    delete ui;
}
