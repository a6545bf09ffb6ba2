// Pictures of the settings page (Picture/FormSetting/) and of the pairing
// dialog (Picture/Setting/): section markers, the pair and update buttons,
// the check boxes, the warning badge, and the pairing dialog's background,
// close button and its button in the idle, failed and paired looks.
#include "ComboPictures.h"

namespace {

// An accent bar that marks a section title (16 x 10).
QImage titleMark()
{
    QImage image = Theme::Blank(16, 10);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::Accent);
    p.drawRoundedRect(QRectF(0, 1, 4, 8), 1.5, 1.5);
    p.setBrush(Theme::AccentDark);
    p.drawRoundedRect(QRectF(6, 3, 10, 4), 1.5, 1.5);
    return image;
}

// A square check box indicator (16 x 16), ticked or not.
QImage squareBox(bool checked)
{
    QImage image = Theme::RoundedPanel(16, 16, checked ? Theme::Accent : Theme::PanelLight,
                                       checked ? Theme::AccentDark : Theme::Border, 3);
    if (checked) {
        QPainter p(&image);
        Theme::Prepare(p);
        Theme::DrawCheck(p, QRectF(0, 0, 16, 16), Theme::Background);
    }
    return image;
}

// A round choice indicator (16 x 16), chosen or not.
QImage roundBox(bool chosen)
{
    QImage image = Theme::Blank(16, 16);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(QPen(chosen ? Theme::Accent : Theme::Border, 1.5));
    p.setBrush(Theme::PanelLight);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    if (chosen) {
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::Accent);
        p.drawEllipse(QRectF(4.5, 4.5, 7, 7));
    }
    return image;
}

// A wide button face with a tint: 0 plain, 1 accent, 2 failure, 3 success.
QImage wideButton(int w, int h, int tint, bool hover = false)
{
    QColor fill = Theme::PanelLight;
    QColor border = Theme::Border;
    if (tint == 1) {
        fill = hover ? Theme::Accent.lighter(112) : Theme::Accent;
        border = Theme::AccentDark;
    } else if (tint == 2) {
        fill = Theme::Danger.darker(150);
        border = Theme::Danger;
    } else if (tint == 3) {
        fill = Theme::Good.darker(170);
        border = Theme::Good;
    }
    QImage image = Theme::RoundedPanel(w, h, fill, border, 5);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 22));
    p.drawRoundedRect(QRectF(1.5, 1.5, w - 3, h / 2.0 - 1), 4, 4);
    return image;
}

QImage glyph(int w, int h, int kind)
{
    QImage image = Theme::Blank(w, h);
    QPainter p(&image);
    Theme::Prepare(p);
    if (kind == 0)
        Theme::DrawMouse(p, QRectF(0, 0, w, h), Theme::PanelLight, Theme::TextDim);
    else
        Theme::DrawWarning(p, QRectF(0, 0, w, h), Theme::Accent);
    return image;
}

void drawFormSetting(PicWriter& out)
{
    const QString folder = QStringLiteral("FormSetting");
    DrawComboPictures(out, folder);
    out.save(folder, QStringLiteral("Title.png"), titleMark());
    out.save(folder, QStringLiteral("PariButton.png"), wideButton(112, 26, 0));
    out.save(folder, QStringLiteral("Mouse.png"), glyph(14, 20, 0));
    out.save(folder, QStringLiteral("CheckBox.png"), squareBox(false));
    out.save(folder, QStringLiteral("CheckBoxChecked.png"), squareBox(true));
    out.save(folder, QStringLiteral("CheckBox2.png"), roundBox(false));
    out.save(folder, QStringLiteral("CheckBoxCheck.png"), roundBox(true));
    out.save(folder, QStringLiteral("Picture.png"), glyph(14, 14, 1));
    out.save(folder, QStringLiteral("Confirm.png"), wideButton(128, 26, 0));
    out.save(folder, QStringLiteral("WaitUpdate.png"), wideButton(128, 26, 1));
    out.save(folder, QStringLiteral("WaitUpdateHover.png"), wideButton(128, 26, 1, true));
}

// The pairing dialog's panel (458 x 242) with a receiver and a mouse.
QImage pairBackground()
{
    QImage image = Theme::DialogBackground(458, 242);
    QPainter p(&image);
    Theme::Prepare(p);
    Theme::DrawReceiver(p, QRectF(22, 60, 56, 56), Theme::PanelLight, Theme::TextDim);
    Theme::DrawMouse(p, QRectF(18, 120, 64, 64), Theme::PanelLight, Theme::TextDim);
    return image;
}

QImage smallClose(int state)
{
    QImage image = Theme::Blank(14, 14);
    QPainter p(&image);
    Theme::Prepare(p);
    if (state > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(state == 1 ? Theme::Danger : Theme::Danger.darker(130));
        p.drawRoundedRect(QRectF(0, 0, 14, 14), 3, 3);
    }
    Theme::DrawClose(p, QRectF(0, 0, 14, 14), state == 0 ? Theme::TextDim : Theme::Text);
    return image;
}

void drawSetting(PicWriter& out)
{
    const QString folder = QStringLiteral("Setting");
    out.save(folder, QStringLiteral("BackSecondPage.png"), pairBackground());
    out.save(folder, QStringLiteral("CloseSecondPage.png"), smallClose(0));
    out.save(folder, QStringLiteral("CloseSecondPageHover.png"), smallClose(1));
    out.save(folder, QStringLiteral("CloseSecondPageClick.png"), smallClose(2));
    out.save(folder, QStringLiteral("Pair.png"), wideButton(154, 32, 1));
    out.save(folder, QStringLiteral("PairFail.png"), wideButton(154, 32, 2));
    out.save(folder, QStringLiteral("PairSuccess.png"), wideButton(154, 32, 3));
    out.save(folder, QStringLiteral("Picture.png"), glyph(14, 14, 1));
}

}  // namespace

PICGEN_FOLDER("FormSetting", drawFormSetting);
PICGEN_FOLDER("Setting", drawSetting);
