#include "DialogFrame.h"

#include "ColorText.h"
#include "Globals.h"
#include "LanguageLoader.h"
#include "MacroSettings.h"
#include "PostMsg.h"
#include "WindowFlags.h"

#include <QAbstractButton>
#include <QFrame>
#include <QLabel>
#include <QToolButton>

namespace DialogStyle {

QString WarningPictureFolder()
{
    return AppDir() + QStringLiteral("/Picture/WarningDialog/");
}

QString LabelSheet()
{
    return QStringLiteral("QLabel{color: rgb(") + OptionColorText(QStringLiteral("LabelColor")) + QStringLiteral(";);}");
}

QString ConfirmButtonSheet(const QString& folder, const QString& normal, const QString& pressed)
{
    return QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(")
           + OptionColorText(QStringLiteral("ButtonColor")) + QStringLiteral(";);border-image: url(") + folder + normal
           + QStringLiteral(");}QToolButton:pressed{border-image: url(") + folder + pressed + QStringLiteral("); }");
}

QString CloseButtonSheet(const QString& folder)
{
    return QStringLiteral("QToolButton{border:0px;background-image: url(") + folder
           + QStringLiteral("Close.png);background-position:center;background-repeat:no-repeat;}"
                            "QToolButton:hover{background-image: url(")
           + folder + QStringLiteral("CloseHover.png);}QToolButton:pressed{background-image: url(") + folder
           + QStringLiteral("CloseClick.png);}");
}

QString BackgroundSheet(const QString& frameObjectName, const QString& folder, const QString& picture)
{
    return QLatin1Char('#') + frameObjectName
           + QStringLiteral("{border:0px;background-position:center;background-repeat:no-repeat;background-image: url(")
           + folder + picture + QStringLiteral(");}");
}

namespace {
// The light text colour needs the dark field of the dialogs under it.
QString fieldSheet(const QString& widgetClass)
{
    return widgetClass + QStringLiteral("{color: rgb(") + OptionColorText(QStringLiteral("LinEditColor"))
           + QStringLiteral(");background-color: rgb(46,49,58);border:1px solid rgb(70,74,86);}");
}
}  // namespace

QString LineEditSheet()
{
    return fieldSheet(QStringLiteral("QLineEdit"));
}

QString SpinBoxSheet()
{
    return fieldSheet(QStringLiteral("QSpinBox"));
}

QPoint CentredOver(const QRect& openerGlobal, const QSize& dialog, int dx, int dy)
{
    return QPoint(openerGlobal.x() + (openerGlobal.width() - dialog.width()) / 2 - dx,
                  openerGlobal.y() + (openerGlobal.height() - dialog.height()) / 2 - dy);
}

}  // namespace DialogStyle

FramelessDialog::FramelessDialog(const QString& section, QWidget* parent)
    : QDialog(parent), m_section(section), m_pictureFolder(DialogStyle::WarningPictureFolder())
{
    connect(PostMsg::GetInstance(), &PostMsg::SigChangeLanguage, this, &FramelessDialog::SlotChangeLanguage);
    setWindowFlags(WindowFlags::Dialog);
    // The background picture covers the dialog; where a frame is smaller than
    // its dialog, the dialog shows the picture's panel colour, not the
    // desktop theme's.
    QPalette dark = palette();
    dark.setColor(QPalette::Window, QColor(30, 32, 38));
    setPalette(dark);
    setAutoFillBackground(true);
}

FramelessDialog::~FramelessDialog() = default;

void FramelessDialog::MoveOver(const QWidget* opener, int dx, int dy)
{
    if (!opener)
        return;
    const QRect global(opener->mapToGlobal(QPoint(0, 0)), opener->size());
    move(DialogStyle::CentredOver(global, size(), dx, dy));
}

void FramelessDialog::SlotChangeLanguage(int index)
{
    LanguageTexts texts;
    FillLanguageTexts(texts);
    LoadLanguageSection(index, m_section, texts);
}

void FramelessDialog::SetPictureSubfolder(const QString& folder)
{
    m_pictureFolder = AppDir() + QStringLiteral("/Picture/") + folder + QLatin1Char('/');
}

void FramelessDialog::StyleFrame(const FrameParts& parts)
{
    if (parts.label)
        parts.label->setStyleSheet(DialogStyle::LabelSheet());
    const QString confirm = DialogStyle::ConfirmButtonSheet(m_pictureFolder, parts.confirm, parts.confirmPressed);
    for (QAbstractButton* button : parts.actions) {
        if (button)
            button->setStyleSheet(confirm);
    }
    if (parts.close)
        parts.close->setStyleSheet(DialogStyle::CloseButtonSheet(m_pictureFolder));
    if (parts.background)
        parts.background->setStyleSheet(DialogStyle::BackgroundSheet(parts.background->objectName(), m_pictureFolder));
}

void FramelessDialog::ApplyStoredLanguage()
{
    SlotChangeLanguage(StoredLanguageIndex());
}
