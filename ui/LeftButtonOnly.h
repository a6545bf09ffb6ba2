// Told when the user clicks the only key that still gives a left click (no OK
// button).
// A notice on the frame of DialogFrame.h: built on the opener's stack, moved
// and run with exec(); OK, the close button and Escape end it.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class LeftButtonOnly;
}

class LeftButtonOnly : public FramelessDialog
{
    Q_OBJECT

public:
    explicit LeftButtonOnly(QWidget* parent = nullptr);
    ~LeftButtonOnly() override;

public slots:
    void on_CloseButton_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::LeftButtonOnly* ui;
};
