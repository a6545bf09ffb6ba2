// Asks whether the receiver should be paired again. After exec() the opener
// reads IsAccepted(): true only after OK; false after Cancel, the close
// button or Escape.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class RePair;
}

class RePair : public FramelessDialog
{
    Q_OBJECT

public:
    explicit RePair(QWidget* parent = nullptr);
    ~RePair() override;

    bool IsAccepted() const { return result; }

public slots:
    void on_CloseButton_clicked();
    void on_OK_clicked();
    void on_Cancel_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    bool result = false;
    Ui::RePair* ui;
};
