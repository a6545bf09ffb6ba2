// The macro page.
//
// Built so far: the macro and event lists of the form, the event choice
// with the mouse-button names (language section "Macro"), and the recording
// state that the rest of the program follows (RecordingMacro,
// SigStartRecord): start, stop and leaving the page. Macro files, editing,
// the keyboard recorder, export and import are completed with the page, on
// the widget-free macro layer keys/MacroRows.h (rows, records, files, export).
#pragma once

#include "DeviceImage.h"

#include <QWidget>

namespace Ui {
class Macro;
}

class Macro : public QWidget
{
    Q_OBJECT

public:
    explicit Macro(QWidget* parent = nullptr);
    ~Macro() override;

    Ui::Macro* Form() const { return ui; }
    bool Recording() const { return m_recording; }

public slots:
    void on_StartRecord_clicked();
    void on_StopRecord_clicked();
    void SlotSetMacroPage();
    void SlotChangeLanguage(int index);

protected:
    void changeEvent(QEvent* event) override;

private:
    void ReadLanguageLabels(int index);
    void LeaveRecording();
    void ShowRecordButtons();

    Ui::Macro* ui;
    bool m_recording = false;
};
