// Told when a settings import is refused (LastImportResult 1: not a settings
// file, 2: made for another device).
// A notice on the frame of DialogFrame.h: built on the opener's stack, moved
// and run with exec(); OK, the close button and Escape end it.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class InportFail;
}

class InportFail : public FramelessDialog
{
    Q_OBJECT

public:
    explicit InportFail(QWidget* parent = nullptr);
    ~InportFail() override;

public slots:
    void on_CloseButton_clicked();
    void on_NewHong_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::InportFail* ui;
};
