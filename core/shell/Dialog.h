// The page container (stack page 1 of the main window): the title bar with
// the five page buttons, back, minimise, close and the battery display, and
// the stack of the five configuration pages. It builds the pages (the button
// page creates the device link), the apply-and-wait dialog and installs the
// crash dump handler. When the pages are left for the device list
// (SigSecondPageChange: back, or the device gone), it closes what the pages
// show open for that device: the button page's function menu, and the
// popups and non-modal dialogs of every page (CloseOpenViews).
#pragma once

#include "CrashDump.h"

#include <QWidget>

class Buttoninterface;
class FormSetting;
class LampLight;
class Macro;
class QButtonGroup;
class Sensor;
class UpDataParam;

namespace Ui {
class Dialog;
}

class Dialog : public QWidget
{
    Q_OBJECT

public:
    explicit Dialog(QWidget* parent = nullptr);
    ~Dialog() override;

    Buttoninterface* ButtonPage() const { return m_buttons; }
    Sensor* SensorPage() const { return m_sensor; }
    Macro* MacroPage() const { return m_macro; }
    LampLight* LightPage() const { return m_light; }
    FormSetting* SettingsPage() const { return m_settings; }
    UpDataParam* ApplyDialog() const { return m_apply; }
    Ui::Dialog* Form() const { return ui; }

    // The style sheet of the battery bar for a level (red at 15 % or less).
    static QString BatterySheet(int level);
    // The battery number text: the level, with "%" when asked for.
    static QString BatteryText(int level, bool showPercent);

public slots:
    void WindowClosed();
    void WindowMin();
    void on_ButtonMain_clicked();
    void on_SensorButton_clicked();
    void on_MacroButton_clicked();
    void on_LightsButton_clicked();
    void on_UpArrow_clicked();
    void on_SetButton_clicked();
    void SlotSecondDialog();
    void SlotUpDataParam(int mode);
    void SlotStartRecord(int state);
    void SlotBattery(bool charging, int level, bool showPercent);
    void SlotMouseIndex(int index);
    void on_CloseButton_clicked();
    void on_FormSetting_clicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ApplyStyleSheets();
    QString ToolButtonSheet(const QString& normal, const QString& hover, const QString& third, bool checked) const;
    void SaveImage();

    Ui::Dialog* ui;
    QButtonGroup* m_group = nullptr;
    Buttoninterface* m_buttons = nullptr;
    LampLight* m_light = nullptr;
    Macro* m_macro = nullptr;
    Sensor* m_sensor = nullptr;
    FormSetting* m_settings = nullptr;
    UpDataParam* m_apply = nullptr;
    CrashDumpHandler m_crashDump;
    QString m_pictureDir;
};
