// Pictures of the small dialogs (Picture/WarningDialog/): the background of
// a 300 x 140 notice, the close button in three states and the action
// buttons ("Confirm" for ordinary answers, "ConFirm" for the offline
// notice's OK, drawn in the accent colour; "ok_nr" and "ok_enter", wider,
// for the firmware dialog).
#include "PicGen.h"

namespace {

// state 0 normal, 1 hover, 2 pressed
QImage closeButton(int state)
{
    const int size = 20;
    QImage image = Theme::Blank(size, size);
    QPainter p(&image);
    Theme::Prepare(p);
    if (state > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(state == 1 ? Theme::Danger : Theme::Danger.darker(130));
        p.drawRoundedRect(QRectF(1, 1, size - 2, size - 2), 4, 4);
    }
    Theme::DrawClose(p, QRectF(0, 0, size, size), state == 0 ? Theme::TextDim : Theme::Text);
    return image;
}

// An answer button: the plain face, or the accent face when primary.
QImage actionButton(bool primary, bool pressed, int w = 90)
{
    const int h = 24;
    if (!primary)
        return Theme::ButtonFace(w, h, pressed ? 2 : 0, 5);
    const QColor fill = pressed ? Theme::AccentDark : Theme::Accent;
    QImage image = Theme::RoundedPanel(w, h, fill, pressed ? Theme::AccentDark.darker(120) : Theme::AccentDark, 5);
    QPainter p(&image);
    Theme::Prepare(p);
    if (!pressed) {
        // A soft highlight on the upper half.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 28));
        p.drawRoundedRect(QRectF(1.5, 1.5, w - 3, h / 2.0 - 1), 4, 4);
    }
    return image;
}

void drawWarningDialog(PicWriter& out)
{
    const QString folder = QStringLiteral("WarningDialog");
    out.save(folder, QStringLiteral("BackGround.png"), Theme::DialogBackground(300, 140));
    out.save(folder, QStringLiteral("Close.png"), closeButton(0));
    out.save(folder, QStringLiteral("CloseHover.png"), closeButton(1));
    out.save(folder, QStringLiteral("CloseClick.png"), closeButton(2));
    out.save(folder, QStringLiteral("Confirm.png"), actionButton(false, false));
    out.save(folder, QStringLiteral("ConfirmClick.png"), actionButton(false, true));
    out.save(folder, QStringLiteral("ConFirm.png"), actionButton(true, false));
    out.save(folder, QStringLiteral("ConFirmClick.png"), actionButton(true, true));
    // The firmware dialog's wider buttons: normal and under the pointer.
    out.save(folder, QStringLiteral("ok_nr.png"), actionButton(false, false, 120));
    out.save(folder, QStringLiteral("ok_enter.png"), actionButton(true, false, 120));
}

}  // namespace

PICGEN_FOLDER("WarningDialog", drawWarningDialog);
