// Told when a change found the device offline (OfflineReason 0), the pages
// were not refilled in time (1) or the device did not take a change
// (WriteRefusedReason; RefusedUnkeptReason when the change cannot be kept
// past a restart either). Closes itself on PostMsg::SigCloseOffOnline().
// A notice on the frame of DialogFrame.h: built on the opener's stack, moved
// and run with exec(); OK, the close button and Escape end it.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class MouseOffLine;
}

class MouseOffLine : public FramelessDialog
{
    Q_OBJECT

public:
    explicit MouseOffLine(QWidget* parent = nullptr);
    ~MouseOffLine() override;

public slots:
    void on_CloseButton_clicked();
    void on_NewHong_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::MouseOffLine* ui;
};
