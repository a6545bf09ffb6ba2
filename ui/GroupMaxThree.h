// Told when a key combination has more than three keys.
// A notice on the frame of DialogFrame.h: built on the opener's stack, moved
// and run with exec(); OK, the close button and Escape end it.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class GroupMaxThree;
}

class GroupMaxThree : public FramelessDialog
{
    Q_OBJECT

public:
    explicit GroupMaxThree(QWidget* parent = nullptr);
    ~GroupMaxThree() override;

public slots:
    void on_CloseButton_clicked();
    void on_NewHong_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::GroupMaxThree* ui;
};
