// The key-combination dialog: the user presses up to three keys on the
// keyboard, caught through the keyboard hook whichever widget has the focus,
// and ticks the modifiers Shift, Ctrl, Alt and Win. OK gives the combination,
// modifiers first ("Ctrl+Alt+A"); the button page turns it into a key event
// record with GroupKeyToRecord.
//
// Openers (built on the stack with no parent, run with exec()):
//
//     GroupKey dialog;
//     dialog.MoveOver(this);
//     dialog.exec();
//     if (dialog.IsAccepted())
//         use(dialog.ResultText());   // never empty when accepted
//
// OK with nothing ticked and nothing captured ends the dialog like Cancel.
// OK with more than three keys and modifiers shows the GroupMaxThree notice
// and clears the line; OK on a line holding text that is no key name (pasted
// or dropped) clears the line; in both cases the dialog stays open. The
// hook's installation is removed on every way the dialog ends (OK, Cancel,
// the close button, closing the window, destruction).
#pragma once

#include "DialogFrame.h"
#include "KeyGroupCapture.h"
#include "KeyboardHook.h"

namespace Ui {
class GroupKey;
}

class GroupKey : public FramelessDialog
{
    Q_OBJECT

public:
    explicit GroupKey(QWidget* parent = nullptr);
    ~GroupKey() override;

    bool IsAccepted() const { return m_accepted; }
    QString ResultText() const { return m_result; }
    // The clock of the 2000 ms group window (tests drive their own).
    void SetClock(keys::MonotonicClock clock);

    // Every way the dialog ends passes here: the installation goes.
    void done(int result) override;

public slots:
    // Called by the hook for each key event.
    void UpdateCapslockTip(int virtualKey, bool down, bool repeated);
    void on_NewHong_clicked();
    void on_NewHong_2_clicked();
    void on_CloseButton_clicked();
    void on_lineEdit_textEdited(const QString& text);

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void EndWithout();
    void StartOver();

    Ui::GroupKey* ui;
    KeyboardHook m_hook{KeyboardHook::GroupKey};
    keys::KeyGroupCapture m_capture;
    keys::MonotonicClock m_clock;
    bool m_accepted = false;
    QString m_result;
};
