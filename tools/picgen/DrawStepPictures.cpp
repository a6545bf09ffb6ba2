#include "ControlPictures.h"

namespace {

QImage plus()
{
    QImage image = Theme::Blank(14, 14);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::PanelLight);
    p.drawRoundedRect(QRectF(0, 0, 14, 14), 3, 3);
    p.setPen(QPen(Theme::Text, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 3.5), QPointF(7, 10.5));
    p.drawLine(QPointF(3.5, 7), QPointF(10.5, 7));
    return image;
}

QImage minus()
{
    // The step-down button is only 4 pixels high: the bar is the button.
    QImage image = Theme::Blank(14, 4);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::Text);
    p.drawRoundedRect(QRectF(0.5, 0.5, 13, 3), 1.5, 1.5);
    return image;
}

// The slider handle, stretched by the style sheet to 5 x 42.
QImage handle()
{
    QImage image = Theme::Blank(10, 42);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::Accent);
    p.drawRoundedRect(QRectF(1, 11, 8, 20), 3, 3);
    p.setBrush(Theme::Text);
    p.drawRoundedRect(QRectF(3, 14, 4, 14), 2, 2);
    return image;
}

QImage toggle(bool on)
{
    QImage image = Theme::Blank(36, 18);
    QPainter p(&image);
    Theme::Prepare(p);
    p.setPen(QPen(on ? Theme::AccentDark : Theme::Border, 1));
    p.setBrush(on ? Theme::Accent : Theme::PanelLight);
    p.drawRoundedRect(QRectF(0.5, 0.5, 35, 17), 8.5, 8.5);
    p.setPen(Qt::NoPen);
    p.setBrush(on ? QColor(Qt::white) : Theme::TextDim);
    const qreal x = on ? 20.5 : 2.5;
    p.drawEllipse(QRectF(x, 2.5, 13, 13));
    return image;
}

}  // namespace

void DrawStepPictures(PicWriter& out, const QString& folder)
{
    out.save(folder, QStringLiteral("Add.png"), plus());
    out.save(folder, QStringLiteral("Reduce.png"), minus());
    out.save(folder, QStringLiteral("HuaKuai.png"), handle());
}

void DrawSwitchPictures(PicWriter& out, const QString& folder)
{
    out.save(folder, QStringLiteral("Open.png"), toggle(true));
    out.save(folder, QStringLiteral("Close.png"), toggle(false));
}
