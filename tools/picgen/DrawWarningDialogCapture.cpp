// The check boxes of the key-combination dialog (Picture/WarningDialog/):
// "CheckBox.png" unticked, "CheckBoxCheck.png" ticked, for the modifier
// boxes Shift, Ctrl, Alt and Win on the dialog's dark background.
#include "ControlPictures.h"

namespace {

QImage captureCheckBox(bool checked)
{
    const int size = 14;
    QImage image = Theme::Blank(size, size);
    QPainter p(&image);
    Theme::Prepare(p);
    const QRectF box(0.5, 0.5, size - 1, size - 1);
    p.setPen(QPen(checked ? Theme::AccentDark : Theme::Border, 1));
    p.setBrush(checked ? Theme::Accent : Theme::PanelLight);
    p.drawRoundedRect(box, 3, 3);
    if (checked)
        Theme::DrawCheck(p, box.adjusted(2, 2, -2, -2), Theme::Text);
    return image;
}

void drawCaptureCheckBoxes(PicWriter& out)
{
    DrawCheckBoxPictures(out, QStringLiteral("WarningDialog"));
}

}  // namespace

void DrawCheckBoxPictures(PicWriter& out, const QString& folder)
{
    out.save(folder, QStringLiteral("CheckBox.png"), captureCheckBox(false));
    out.save(folder, QStringLiteral("CheckBoxCheck.png"), captureCheckBox(true));
}

PICGEN_FOLDER("WarningDialog", drawCaptureCheckBoxes);
