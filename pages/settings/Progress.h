// A small progress dialog for a firmware update: a status line with the
// percentage, a progress bar, a confirm button and a close button. Nothing
// opens it yet (the repair dialog shows the live update); it is complete for
// an update flow that wants a window of its own. While an update check runs
// (CheckTimersRunning) its close button does nothing.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class Progress;
}

class Progress : public FramelessDialog
{
    Q_OBJECT

public:
    explicit Progress(QWidget* parent = nullptr);
    ~Progress() override;

    QString StatusText() const;
    int Value() const;
    bool ConfirmShown() const;

public slots:
    void SlotCloseProgress();
    // value to the bar; code 0 status line with value, 1 failure, 2 success
    // (bar at 100), 3 confirm hidden, 4 confirm hidden and back to 0.
    void SlotProgress(int value, int code);
    void on_CloseButton_clicked();
    void on_NewHong_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    void ShowPercent(int percent);
    void ShowResultButton();
    void Leave();
    // Closes, back at 0 % for the next update.
    void CloseAtZero();

    Ui::Progress* ui;
    QString m_updatingText;
    QString m_failText;
    QString m_successText;
};
