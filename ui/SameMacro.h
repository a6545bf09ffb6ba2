// Told when a macro name is already taken.
// A notice on the frame of DialogFrame.h: built on the opener's stack, moved
// and run with exec(); OK, the close button and Escape end it.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class SameMacro;
}

class SameMacro : public FramelessDialog
{
    Q_OBJECT

public:
    explicit SameMacro(QWidget* parent = nullptr);
    ~SameMacro() override;

public slots:
    void on_CloseButton_clicked();
    void on_NewHong_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::SameMacro* ui;
};
