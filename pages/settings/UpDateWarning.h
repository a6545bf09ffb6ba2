// A one-button notice whose message is set from outside (SetText); its
// language section ("NewVer") only names the button. Return presses OK.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class UpDateWarning;
}

class UpDateWarning : public FramelessDialog
{
    Q_OBJECT

public:
    explicit UpDateWarning(QWidget* parent = nullptr);
    ~UpDateWarning() override;

    void SetText(const QString& text);
    QString Text() const;

public slots:
    void on_CloseButton_clicked();
    void on_NewHong_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::UpDateWarning* ui;
};
