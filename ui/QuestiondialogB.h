// Told when two identical devices are attached (no OK button).
// A notice on the frame of DialogFrame.h: built on the opener's stack, moved
// and run with exec(); OK, the close button and Escape end it.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class QuestiondialogB;
}

class QuestiondialogB : public FramelessDialog
{
    Q_OBJECT

public:
    explicit QuestiondialogB(QWidget* parent = nullptr);
    ~QuestiondialogB() override;

public slots:
    void on_CloseButton_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::QuestiondialogB* ui;
};
