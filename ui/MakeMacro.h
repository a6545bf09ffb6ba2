// Told when a key should run a macro while no macro exists.
// A notice on the frame of DialogFrame.h: built on the opener's stack, moved
// and run with exec(); OK, the close button and Escape end it.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class MakeMacro;
}

class MakeMacro : public FramelessDialog
{
    Q_OBJECT

public:
    explicit MakeMacro(QWidget* parent = nullptr);
    ~MakeMacro() override;

public slots:
    void on_CloseButton_clicked();
    void on_NewHong_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::MakeMacro* ui;
};
