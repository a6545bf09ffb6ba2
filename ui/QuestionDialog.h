// Asks for a macro name in a one-line field and hands it back. The macro
// page opens it to name a new macro (SetLabelText(0)) and to rename one
// (SetLabelText(1)); after exec() it reads ResultText(): the typed name after
// OK, the empty text after Close, Cancel or Escape (and after OK on a name
// that cannot be used: empty, "." or "..").
//
// Every edit by the user runs the name rule of NameRule.h (no spaces when
// the name ends in one, no path separators or control characters, at most
// 30 bytes of UTF-8, cut at a character boundary), keeping the cursor where
// it was.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class QuestionDialog;
}

class QuestionDialog : public FramelessDialog
{
    Q_OBJECT

public:
    explicit QuestionDialog(QWidget* parent = nullptr);
    ~QuestionDialog() override;

    // The label shows the first prompt (which == 0) or the second one.
    void SetLabelText(int which);
    QString ResultText() const { return m_result; }

public slots:
    void on_lineEdit_textEdited(const QString& text);
    void on_NewHong_clicked();
    void on_CloseButton_clicked();
    void WindowClosedLan();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::QuestionDialog* ui;
    QString m_result;
    QString m_firstPrompt;
    QString m_secondPrompt;
};
