// The frame of every small dialog: a frameless dialog whose surface is a
// background picture, a message label, action buttons and a small close
// button, styled from the pictures of "<appDir>/Picture/WarningDialog/" and
// the Option colours of Config.ini, with its texts from the language files.
//
// A dialog built on it (the notices, the question dialogs, and later the
// capture, pairing and firmware dialogs):
//
//     class MyNotice : public FramelessDialog {
//         Q_OBJECT
//     public:
//         explicit MyNotice(QWidget* parent = nullptr)
//             : FramelessDialog(QStringLiteral("MySection"), parent), ui(new Ui::MyNotice)
//         {
//             ui->setupUi(this);                 // connects on_<object>_<signal> slots
//             StyleFrame({ui->MyNoticeA, ui->label, ui->CloseButton, {ui->NewHong}});
//             ApplyStoredLanguage();             // last step: texts of the stored language
//         }
//     protected:
//         void FillLanguageTexts(LanguageTexts& t) override { t.label("label", ui->label); }
//     private slots:
//         void on_CloseButton_clicked() { close(); }
//     };
//
// The base connects PostMsg::SigChangeLanguage(int) to SlotChangeLanguage(int),
// sets the window flags (WindowFlags::Dialog) and the picture folder.
//
// Openers build the dialog on their stack with no parent, move it over
// themselves and run it modally; the answer is read from the dialog after
// exec() returns (the value of exec() is not used):
//
//     DeleteConfirm dialog;
//     dialog.MoveOver(this, 100, 50);
//     dialog.exec();
//     if (dialog.IsAccepted()) ...
#pragma once

#include <QDialog>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class LanguageTexts;
class QAbstractButton;
class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;

namespace DialogStyle {
// "<appDir>/Picture/WarningDialog/".
QString WarningPictureFolder();
// "QLabel{color: rgb(<LabelColor>;);}"
QString LabelSheet();
// An action button: text in ButtonColor, picture normal, pressed picture pressed.
QString ConfirmButtonSheet(const QString& folder, const QString& normal = QStringLiteral("Confirm.png"),
                           const QString& pressed = QStringLiteral("ConfirmClick.png"));
// The close button with its normal, hover and pressed pictures.
QString CloseButtonSheet(const QString& folder);
// The background frame selected by its object name, picture "BackGround.png".
QString BackgroundSheet(const QString& frameObjectName, const QString& folder,
                        const QString& picture = QStringLiteral("BackGround.png"));
// "QLineEdit{color: rgb(<LinEditColor>);...}" on a dark field
QString LineEditSheet();
// The value box of a dialog: the same text colour on the same dark field.
QString SpinBoxSheet();
// Top-left point of a dialog of size dialog centred over opener (global
// rectangle), shifted left by dx and up by dy (integer division).
QPoint CentredOver(const QRect& openerGlobal, const QSize& dialog, int dx, int dy);
}  // namespace DialogStyle

class FramelessDialog : public QDialog
{
    Q_OBJECT

public:
    // section: the element under "Total" that holds this dialog's texts.
    explicit FramelessDialog(const QString& section, QWidget* parent = nullptr);
    ~FramelessDialog() override;

    QString PictureFolder() const { return m_pictureFolder; }
    QString LanguageSection() const { return m_section; }

    // Moves the dialog centred over opener, shifted by (-dx, -dy). Without an
    // opener it stays where it is.
    void MoveOver(const QWidget* opener, int dx = 0, int dy = 0);

public slots:
    // Reads this dialog's section of the language file of index.
    void SlotChangeLanguage(int index);

protected:
    struct FrameParts {
        QFrame* background = nullptr;
        QLabel* label = nullptr;
        QToolButton* close = nullptr;
        QList<QAbstractButton*> actions;  // OK, Cancel, ...: the confirm-button style
        QString confirm = QStringLiteral("Confirm.png");
        QString confirmPressed = QStringLiteral("ConfirmClick.png");
    };

    // Another picture folder below "<appDir>/Picture/" (for dialogs with their
    // own pictures); call before StyleFrame.
    void SetPictureSubfolder(const QString& folder);
    // Sets the style sheets of the frame's parts (any of them may be null).
    void StyleFrame(const FrameParts& parts);
    // Last step of a constructor: applies the stored language.
    void ApplyStoredLanguage();

    // The elements of this dialog's section and what each sets.
    virtual void FillLanguageTexts(LanguageTexts& texts) = 0;

private:
    QString m_section;
    QString m_pictureFolder;
};
