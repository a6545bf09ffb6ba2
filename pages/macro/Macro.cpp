#include "Macro.h"
#include "ui_Macro.h"

#include "ExeIsRun.h"
#include "Globals.h"
#include "LanguageLoader.h"
#include "MacroSettings.h"
#include "PageStyle.h"
#include "PostMsg.h"

#include <QEvent>

Macro::Macro(QWidget* parent) : QWidget(parent), ui(new Ui::Macro)
{
    ui->setupUi(this);
    ui->MacroPage->setStyleSheet(PageStyle::FrameSheet(QStringLiteral("MacroPage")));
    PageStyle::StyleComboBox(ui->ChooseEvent, AppDir() + QStringLiteral("/Picture/Buttoninterface/"), 9);
    ShowRecordButtons();
    PostMsg* hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigChangeLanguage, this, &Macro::SlotChangeLanguage);
    connect(hub, &PostMsg::SigSetMacroPage, this, &Macro::SlotSetMacroPage);
    SlotChangeLanguage(StoredLanguageIndex());
}

Macro::~Macro()
{
    if (m_recording)
        RecordingMacro = false;
    delete ui;
}

void Macro::ShowRecordButtons()
{
    ui->StartRecord->setVisible(!m_recording);
    ui->StopRecord->setVisible(m_recording);
}

void Macro::on_StartRecord_clicked()
{
    if (!ui->listWidgetHong->currentItem()) {
        ExeIsRun notice;
        notice.ShowTextA();
        notice.MoveOver(this, 100, 50);
        notice.exec();
        return;
    }
    m_recording = true;
    RecordingMacro = true;
    ShowRecordButtons();
    PostMsg::GetInstance()->PostStartRecord(0);
}

void Macro::on_StopRecord_clicked()
{
    LeaveRecording();
}

void Macro::SlotSetMacroPage()
{
    LeaveRecording();
}

void Macro::LeaveRecording()
{
    m_recording = false;
    RecordingMacro = false;
    ShowRecordButtons();
    PostMsg::GetInstance()->PostStartRecord(1);
}

void Macro::SlotChangeLanguage(int index)
{
    ReadLanguageLabels(index);
}

void Macro::ReadLanguageLabels(int index)
{
    LanguageTexts texts;
    texts.label(QStringLiteral("label"), ui->label).label(QStringLiteral("label_2"), ui->label_2);
    texts.button(QStringLiteral("StartRecord"), ui->StartRecord).button(QStringLiteral("StopRecord"), ui->StopRecord);
    for (int i = 1; i <= 3; ++i)
        texts.on(QStringLiteral("ChooseEvent") + QString::number(i),
                 [this, i](const QString& t) { ui->ChooseEvent->setItemText(i, t); });
    // The mouse-button names of the key vocabulary follow this page's texts.
    QString* const mouseTexts[] = {&MouseLeftText, &MouseRightText, &MouseMiddleText, &MouseForwardText, &MouseBackText};
    for (int i = 4; i <= 8; ++i) {
        QString* target = mouseTexts[i - 4];
        texts.on(QStringLiteral("ChooseEvent") + QString::number(i), [this, i, target](const QString& t) {
            *target = t;
            ui->ChooseEvent->setItemText(i, t);
        });
    }
    LoadLanguageSection(index, QStringLiteral("Macro"), texts);
}

void Macro::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        return;
    }
    QWidget::changeEvent(event);
}
