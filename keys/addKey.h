// The single-key dialog: the user presses one key, caught through the
// keyboard hook, and the dialog shows its name; OK gives it. The macro page
// uses it to change the key of a key row and to insert key rows.
//
// The name is always that of the last key event (press or release), so after
// overlapping keys it is the key released last. Keys without a name (Space,
// the right Alt key, unlisted keys) empty the line; OK then ends the dialog
// like Cancel, since a row without a key would do nothing.
//
// Openers:
//
//     addKey dialog;
//     dialog.MoveOver(this);
//     if (dialog.exec() == QDialog::Accepted && dialog.IsAccepted())
//         use(dialog.ResultText());   // never empty when accepted
//
// The hook's installation is removed on every way the dialog ends.
#pragma once

#include "DialogFrame.h"
#include "KeyboardHook.h"

namespace Ui {
class addKey;
}

class addKey : public FramelessDialog
{
    Q_OBJECT

public:
    explicit addKey(QWidget* parent = nullptr);
    ~addKey() override;

    bool IsAccepted() const { return m_accepted; }
    QString ResultText() const { return m_result; }

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
    Ui::addKey* ui;
    KeyboardHook m_hook{KeyboardHook::AddKey};
    bool m_accepted = false;
    QString m_result;
};
