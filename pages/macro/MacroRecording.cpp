// Recording from the keyboard, and the page's own key, mouse and
// language-change handling.
#include "Macro.h"
#include "ui_Macro.h"

#include "ExeIsRun.h"
#include "Globals.h"
#include "KeyNumberLimit.h"
#include "LinkSupport.h"
#include "MacroSettings.h"
#include "PostMsg.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>

void Macro::SetClock(std::function<qint64()> newClock)
{
    clock = std::move(newClock);
}

void Macro::on_StartRecord_clicked()
{
    if (recordingLook)
        return;
    if (SelectedMacro().isEmpty()) {
        ExeIsRun notice;
        notice.ShowTextA();
        Place(notice);
        notice.exec();
        return;
    }
    PostMsg::GetInstance()->PostStartRecord(0);
    eventsChanged = true;
    shownEdited = true;
    StartRecorder();
    ShowRecordingLook(true);
    RecordingMacro = true;
    ShowRows({});
}

void Macro::StartRecorder()
{
    hook.SetHook();
    hook.BindKeyHookCallback(this, &Macro::UpdateCapslockTip);
    recorder.Start(clock());
}

void Macro::StopRecorder()
{
    hook.UnHook();
    recorder.Stop();
}

void Macro::ShowRecordingLook(bool recording)
{
    recordingLook = recording;
    ui->StartRecord->setVisible(!recording);
    ui->StopRecord->setVisible(recording);
    ui->DelayTime->setVisible(!recording);
    ui->NumberEdit->setVisible(!recording);
    ui->listWidgetHong->setEnabled(!recording);
    ui->ChooseEvent->setEnabled(!recording);
}

void Macro::UpdateCapslockTip(int virtualKey, bool down, bool repeat)
{
    Q_UNUSED(repeat);  // the recorder knows the keys held down
    if (!RecordingMacro || !recorder.Active())
        return;
    std::optional<quint32> fixedDelay;
    if (!ui->AutoInsertDelay->isChecked())
        fixedDelay = quint32(ui->DelayTime->value());
    const MacroEdit::MacroRecorder::Step step = recorder.Event(virtualKey, down, clock(), fixedDelay);
    if (step.delay)
        AddDelayRow(*step.delay);
    if (step.key)
        AddKeyRow(*step.key);
    if (step.limitReached) {
        // The hook goes first; the notice runs once this call has returned.
        hook.UnHook();
        RecordingMacro = false;
        RunOnGuiThreadLater(this, [this] { ShowLimitNotice(); });
    }
}

void Macro::ShowLimitNotice()
{
    Tell<KeyNumberLimit>();
}

void Macro::EndRecording(bool saveReady)
{
    PostMsg::GetInstance()->PostStartRecord(1);
    StopRecorder();
    ShowRecordingLook(false);
    RecordingMacro = false;
    SetSaveReady(saveReady);
    // Macros that a device read brought while the lists were locked.
    AddMissingMacros();
}

void Macro::on_StopRecord_clicked()
{
    EndRecording(true);
}

void Macro::SlotSetMacroPage()
{
    // Leaving the pages ends a recording; its rows are not offered for saving.
    EndRecording(false);
}

void Macro::keyPressEvent(QKeyEvent* event)
{
    // Escape and F12 do nothing here (the main window would act on them);
    // a recording still sees them through its hook.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F12)
        return;
    QWidget::keyPressEvent(event);
}

void Macro::mousePressEvent(QMouseEvent* event)
{
    // A click beside the two value boxes ends their editing.
    const QPoint at = ui->MacroPage->mapFrom(this, event->pos());
    if (!ui->DelayTime->geometry().contains(at) && !ui->NumberEdit->geometry().contains(at)) {
        ui->DelayTime->clearFocus();
        ui->NumberEdit->clearFocus();
        setFocus(Qt::OtherFocusReason);
    }
}

void Macro::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        const int choice = ui->ChooseEvent->currentIndex();
        const int delay = ui->DelayTime->value();
        const int count = ui->NumberEdit->value();
        {
            const QSignalBlocker a(ui->ChooseEvent);
            const QSignalBlocker b(ui->DelayTime);
            const QSignalBlocker c(ui->NumberEdit);
            ui->retranslateUi(this);
            ui->ChooseEvent->setCurrentIndex(choice);
            ui->DelayTime->setValue(delay);
            ui->NumberEdit->setValue(count);
        }
        // The form's defaults are not the chosen language's texts.
        SlotChangeLanguage(StoredLanguageIndex());
    }
    QWidget::changeEvent(event);
}
