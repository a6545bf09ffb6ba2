#include "SensorSwitches.h"
#include "ui_MotionSync.h"
#include "ui_MotionSyncB.h"
#include "ui_RippeControl.h"
#include "ui_RippeControlB.h"
#include "ui_StraightLine.h"
#include "ui_StraightLineB.h"

#include "DeviceWriters.h"
#include "DialogFrame.h"
#include "Globals.h"
#include "PageKit.h"
#include "PanelStyle.h"

#include <QSignalBlocker>

SwitchPanel::SwitchPanel(QWidget* parent, Writer writer, uint8_t FlashDataMap::*field)
    : QFrame(parent), m_writer(writer), m_field(field)
{
}

void SwitchPanel::TakeWidgets(QToolButton* button, QLabel* label)
{
    m_button = button;
    m_label = label;
    m_button->setStyleSheet(
        PanelStyle::SwitchSheet(m_button->objectName(), AppDir() + QStringLiteral("/Picture/Sensor/")));
    m_label->setStyleSheet(DialogStyle::LabelSheet());
}

void SwitchPanel::SetLabelText(const QString& text)
{
    m_label->setText(text);
}

void SwitchPanel::SetLabelToolTip(const QString& text)
{
    m_label->setToolTip(text);
}

void SwitchPanel::Clicked(bool checked)
{
    if (!PageMaySend(Page::Sensor))
        return;
    WriteOrRevert([&] { return m_writer(checked ? 1 : 0); },
                  [this](const FlashDataMap& stored) {
                      const QSignalBlocker block(m_button);
                      m_button->setChecked(stored.*m_field != 0);
                  });
}

// Each layout: its form on the shared behaviour.
#define SENSOR_SWITCH_PANEL(Class, ButtonName, Writer, Field)                                         \
    Class::Class(QWidget* parent) : SwitchPanel(parent, &Writer, &FlashDataMap::Field), ui(new Ui::Class) \
    {                                                                                                   \
        ui->setupUi(this);                                                                              \
        TakeWidgets(ui->ButtonName, ui->label);                                                         \
    }                                                                                                   \
    Class::~Class() { delete ui; }

SENSOR_SWITCH_PANEL(RippeControl, RippeControl_2, SetRippleControl, rippleControl)
SENSOR_SWITCH_PANEL(RippeControlB, RippeControl_2, SetRippleControl, rippleControl)
SENSOR_SWITCH_PANEL(StraightLine, StraightLine_2, SetStraightLine, straightLine)
SENSOR_SWITCH_PANEL(StraightLineB, StraightLine_2, SetStraightLine, straightLine)
SENSOR_SWITCH_PANEL(MotionSync, MotionSync_2, SetMotionSync, motionSync)
SENSOR_SWITCH_PANEL(MotionSyncB, MotionSync_2, SetMotionSync, motionSync)
