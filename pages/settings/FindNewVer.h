// The notice that new firmware was found, with a "do not show again" box
// whose state the notice keeps to itself. Nothing opens it yet; it shares
// its texts (section "NewVer") with the update warning.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class FindNewVer;
}

class FindNewVer : public FramelessDialog
{
    Q_OBJECT

public:
    explicit FindNewVer(QWidget* parent = nullptr);
    ~FindNewVer() override;

    QString Text() const;

public slots:
    void on_NewHong_clicked();
    void on_CloseButton_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::FindNewVer* ui;
};
