#include "Dialog.h"
#include "ui_Dialog.h"

#include "Buttoninterface.h"
#include "DeviceCache.h"
#include "DeviceChoreography.h"
#include "FormSetting.h"
#include "Globals.h"
#include "LampLight.h"
#include "Logging.h"
#include "Macro.h"
#include "OpenViews.h"
#include "PostMsg.h"
#include "PumpedWait.h"
#include "Sensor.h"
#include "UpDataParam.h"
#include "WindowBackground.h"

#include <QButtonGroup>
#include <QKeyEvent>

Dialog::Dialog(QWidget* parent) : QWidget(parent), ui(new Ui::Dialog)
{
    ui->setupUi(this);
    m_pictureDir = AppDir() + QStringLiteral("/Picture/Dialog/");

    m_buttons = new Buttoninterface(this);
    m_light = new LampLight(this);
    m_macro = new Macro(this);
    m_sensor = new Sensor(this);
    m_settings = new FormSetting(this);
    ui->stackedWidgetDialog->addWidget(m_buttons);
    ui->stackedWidgetDialog->addWidget(m_sensor);
    ui->stackedWidgetDialog->addWidget(m_macro);
    ui->stackedWidgetDialog->addWidget(m_light);
    ui->stackedWidgetDialog->addWidget(m_settings);

    m_apply = new UpDataParam(nullptr);
    qCDebug(lcPages) << "page container built";

    ApplyStyleSheets();
    ui->label->hide();
    ui->SetButton->hide();

    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    m_group->addButton(ui->ButtonMain);
    m_group->addButton(ui->MacroButton);
    m_group->addButton(ui->LightsButton);
    m_group->addButton(ui->SensorButton);
    m_group->addButton(ui->FormSetting);

    connect(ui->MinButton, &QAbstractButton::clicked, this, &Dialog::WindowMin);
    ui->ButtonMain->setChecked(true);
    setFixedSize(size());

    m_crashDump.Install(UserDir() + QStringLiteral("/Exception"));

    ui->stackedWidgetDialog->setCurrentWidget(m_buttons);

    PostMsg* hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigSecondPageChange, this, &Dialog::SlotSecondDialog);
    connect(hub, &PostMsg::SigUpDataParam, this, &Dialog::SlotUpDataParam);
    connect(hub, &PostMsg::SigStartRecord, this, &Dialog::SlotStartRecord);
    connect(hub, &PostMsg::SigMouseIndex, this, &Dialog::SlotMouseIndex);
    connect(hub, &PostMsg::SigBattery, this, &Dialog::SlotBattery);

    ui->label_3->hide();
    ui->label_2->hide();
}

Dialog::~Dialog()
{
    // The button page first: its destructor stops and joins the device link
    // while the other pages can still take what the link delivers.
    delete m_buttons;
    m_buttons = nullptr;
    delete m_light;
    m_light = nullptr;
    delete m_macro;
    m_macro = nullptr;
    delete m_sensor;
    m_sensor = nullptr;
    delete m_settings;
    m_settings = nullptr;
    delete m_apply;
    delete ui;
}

QString Dialog::ToolButtonSheet(const QString& normal, const QString& hover, const QString& third, bool checked) const
{
    return QStringLiteral("QToolButton{border:0px;background-image: url(") + m_pictureDir + normal
           + QStringLiteral(");background-position:center;background-repeat:no-repeat;}QToolButton:hover{background-image: url(")
           + m_pictureDir + hover + QStringLiteral(");}QToolButton:") + (checked ? QStringLiteral("checked") : QStringLiteral("pressed"))
           + QStringLiteral("{background-image: url(") + m_pictureDir + third + QStringLiteral(");}");
}

void Dialog::ApplyStyleSheets()
{
    ui->frame_2->setStyleSheet(QStringLiteral("#frame_2{")
                               + WindowBackground::BorderImageSheet(m_pictureDir + QStringLiteral("BackGround.png"),
                                                                    WindowBackground::Pages)
                               + QStringLiteral("}#frame,#frame_3,#frame_4{border:none;background:transparent;}"));
    ui->BatteryButtonC->setStyleSheet(QStringLiteral("QLabel{border:0px;background-image: url(") + m_pictureDir
                                      + QStringLiteral("Battery.png);background-position:center;background-repeat:no-repeat;}"));
    ui->label->setStyleSheet(QStringLiteral("QLabel{border-image: url(") + m_pictureDir + QStringLiteral("Charg.png);}"));

    struct Sheet {
        QToolButton* button;
        const char* normal;
        const char* hover;
        const char* third;
        bool checked;
    };
    const Sheet sheets[] = {
        {ui->ButtonMain, "Home.png", "HomeHover.png", "HomeChecked.png", true},
        {ui->SensorButton, "Sensor.png", "SensorHover.png", "SensorChecked.png", true},
        {ui->MacroButton, "Macro.png", "MacroHover.png", "MacroChecked.png", true},
        {ui->LightsButton, "Light.png", "LightHover.png", "LightChecked.png", true},
        {ui->FormSetting, "Setting.png", "SettingHover.png", "SettingClick.png", true},
        {ui->SetButton, "Setting.png", "SettingHover.png", "SettingClick.png", false},
        {ui->MinButton, "Min.png", "MinHover.png", "MinClick.png", false},
        {ui->CloseButton, "Close.png", "CloseHover.png", "CloseClick.png", false},
        {ui->UpArrow, "PageChange.png", "PageChangeHover.png", "PageChangeClick.png", false},
    };
    for (const Sheet& s : sheets)
        s.button->setStyleSheet(ToolButtonSheet(QString::fromLatin1(s.normal), QString::fromLatin1(s.hover),
                                                QString::fromLatin1(s.third), s.checked));
}

void Dialog::on_ButtonMain_clicked()
{
    ui->stackedWidgetDialog->setCurrentWidget(m_buttons);
    PostMsg::GetInstance()->PostAddMacroButton();
}

void Dialog::on_SensorButton_clicked()
{
    ui->stackedWidgetDialog->setCurrentWidget(m_sensor);
}

void Dialog::on_MacroButton_clicked()
{
    ui->stackedWidgetDialog->setCurrentWidget(m_macro);
}

void Dialog::on_LightsButton_clicked()
{
    ui->stackedWidgetDialog->setCurrentWidget(m_light);
}

void Dialog::on_FormSetting_clicked()
{
    ui->stackedWidgetDialog->setCurrentWidget(m_settings);
}

void Dialog::on_SetButton_clicked()
{
}

void Dialog::SlotMouseIndex(int)
{
}

void Dialog::SlotSecondDialog()
{
    // The pages are left for the list (back, the device gone): what they
    // show open for that device closes, or the next device's pages would
    // come up with it, and a choice in it would go to that device.
    m_buttons->CloseFunctionMenu();
    CloseOpenViews(this);
    ui->ButtonMain->setChecked(true);
    ui->stackedWidgetDialog->setCurrentWidget(m_buttons);
}

void Dialog::SlotStartRecord(int state)
{
    if (state != 0 && state != 1)
        return;
    const bool enabled = state == 1;
    for (QToolButton* button : {ui->ButtonMain, ui->SensorButton, ui->LightsButton, ui->MacroButton, ui->FormSetting})
        button->setEnabled(enabled);
}

QString Dialog::BatterySheet(int level)
{
    return level <= 15 ? QStringLiteral("#progressBar{border: none;background-color: transparent;}#progressBar::chunk {background-color: rgb(152, 43, 34);}")
                       : QStringLiteral("#progressBar{border: none;background-color: transparent;}#progressBar::chunk {background-color: rgb(0, 255, 153);}");
}

QString Dialog::BatteryText(int level, bool showPercent)
{
    return QString::number(level) + (showPercent ? QStringLiteral("%") : QString());
}

void Dialog::SlotBattery(bool charging, int level, bool showPercent)
{
    ui->label->setVisible(charging);
    ui->progressBar->setValue(level);  // out of 0..100: the bar keeps its value
    ui->label_2->setText(BatteryText(level, showPercent));
    ui->progressBar->setStyleSheet(BatterySheet(level));
}

void Dialog::SlotUpDataParam(int mode)
{
    // One showing at a time: a pass that asks again while the dialog waits
    // leaves the running wait alone.
    if (m_apply->isVisible())
        return;
    m_apply->StartTimer();
    // Each request says how to wait: a plain request after a waiting one
    // waits plainly (and consumes the pages' flags).
    m_apply->waitMode = mode == 1;
    const QPoint topLeft = mapToGlobal(QPoint(0, 0));
    m_apply->move(topLeft.x() + (width() - m_apply->width()) / 2,
                  topLeft.y() + (height() - m_apply->height()) / 2 - 20);
    m_apply->exec();
}

void Dialog::SaveImage()
{
    if (!WriteDeviceInfoFile(CurrentConfigPath, SnapshotFlashData()))
        qCWarning(lcFiles) << "the cache keeps its older image, if any; unplugged, the pages show that";
}

void Dialog::WindowMin()
{
    PostMsg::GetInstance()->PostChangeSize(0);
}

void Dialog::on_CloseButton_clicked()
{
    SaveImage();
    PostMsg::GetInstance()->PostChangeSize(1);
}

void Dialog::WindowClosed()
{
    on_CloseButton_clicked();
}

void Dialog::on_UpArrow_clicked()
{
    TellProgramInFront(false);
    SaveImage();
    ui->ButtonMain->setChecked(true);
    PumpEventsFor(100);
    CloseDeviceLink();
    PostMsg::GetInstance()->PostChangeMainDialog(0);
    PostMsg::GetInstance()->PostSetMacroPage();
}

void Dialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F12) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Dialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        return;
    }
    QWidget::changeEvent(event);
}
