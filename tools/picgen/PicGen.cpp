#include "PicGen.h"

#include <QLinearGradient>

#include <QDir>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

bool fullyOpaque(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return true;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) != 255)
                return false;
        }
    }
    return true;
}

}  // namespace

bool PicWriter::save(const QString& folder, const QString& name, const QImage& image)
{
    const QString dir = m_root + QLatin1Char('/') + folder;
    QDir().mkpath(dir);
    // A picture without a see-through pixel is written without alpha: the
    // same pixels, a quarter less to inflate and no alpha pass when the
    // program loads it (the full-window backgrounds are read at start).
    const QImage out = fullyOpaque(image) ? image.convertToFormat(QImage::Format_RGB32) : image;
    const bool ok = out.save(dir + QLatin1Char('/') + name, "PNG");
    ok ? ++m_saved : ++m_failed;
    return ok;
}

std::vector<PictureFolder>& PictureFolders()
{
    static std::vector<PictureFolder> folders;
    return folders;
}

namespace Theme {

QImage Blank(int w, int h, const QColor& fill)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void Prepare(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QImage RoundedPanel(int w, int h, const QColor& fill, const QColor& border, int radius)
{
    QImage image = Blank(w, h);
    QPainter p(&image);
    Prepare(p);
    p.setPen(QPen(border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), radius, radius);
    return image;
}

QImage DialogBackground(int w, int h)
{
    QImage image = Blank(w, h, Panel);
    QPainter p(&image);
    Prepare(p);
    QLinearGradient shade(0, 0, 0, h);
    shade.setColorAt(0, PanelLight);
    shade.setColorAt(0.35, Panel);
    shade.setColorAt(1, Panel.darker(112));
    p.fillRect(QRectF(0, 0, w, h), shade);
    // The window edge and an accent line along the top.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Border);
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, w - 1, h - 1);
    p.fillRect(QRect(1, 1, w - 2, 2), Accent);
    // A faint rule above the buttons.
    p.setPen(QColor(Border.red(), Border.green(), Border.blue(), 120));
    p.drawLine(16, h - 40, w - 17, h - 40);
    return image;
}

QImage ButtonFace(int w, int h, int state, int radius)
{
    const QColor fill = state == 0 ? PanelLight : state == 1 ? PanelLight.lighter(125) : AccentDark;
    const QColor border = state == 0 ? Border : Accent;
    return RoundedPanel(w, h, fill, border, radius);
}

QImage WindowBands(const QImage& full, const WindowBackground::Bands& bands)
{
    const QImage in = full.convertToFormat(QImage::Format_RGB32);
    const int width = in.width();
    const int shown = bands.shownMiddle();
    if (in.height() != bands.windowHeight || bands.middle < 1 || shown < bands.middle) {
        std::fprintf(stderr, "picgen: a %d-row background does not fit its bands\n", in.height());
        return QImage();
    }
    QImage out(width, bands.pictureHeight(), QImage::Format_RGB32);
    auto copyRows = [&](int from, int to, int count) {
        for (int i = 0; i < count; ++i)
            std::memcpy(out.scanLine(to + i), in.constScanLine(from + i), size_t(in.bytesPerLine()));
    };
    copyRows(0, 0, bands.top);
    copyRows(bands.windowHeight - bands.bottom, bands.top + bands.middle, bands.bottom);
    // A row between two stored rows (y counts from the band's first row).
    auto mix = [](const QImage& image, int first, double y, int rows, int x) {
        y = qBound(0.0, y, double(rows - 1));
        const int y0 = int(std::floor(y));
        const int y1 = qMin(y0 + 1, rows - 1);
        const double f = y - y0;
        const QRgb a = reinterpret_cast<const QRgb*>(image.constScanLine(first + y0))[x];
        const QRgb b = reinterpret_cast<const QRgb*>(image.constScanLine(first + y1))[x];
        return qRgb(qRound(qRed(a) * (1 - f) + qRed(b) * f), qRound(qGreen(a) * (1 - f) + qGreen(b) * f),
                    qRound(qBlue(a) * (1 - f) + qBlue(b) * f));
    };
    if (bands.repeat) {
        for (int y = bands.top + 1; y < bands.top + shown; ++y) {
            if (std::memcmp(in.constScanLine(y), in.constScanLine(bands.top), size_t(in.bytesPerLine())) != 0) {
                std::fprintf(stderr, "picgen: row %d of a repeated band differs from the band's first row\n", y);
                return QImage();
            }
        }
        for (int i = 0; i < bands.middle; ++i)
            copyRows(bands.top, bands.top + i, 1);
        return out;
    }
    // Stored row i is the drawing where a smooth stretch puts row i's centre.
    const double scale = double(shown) / bands.middle;
    for (int i = 0; i < bands.middle; ++i) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(bands.top + i));
        for (int x = 0; x < width; ++x)
            line[x] = mix(in, bands.top, (i + 0.5) * scale - 0.5, shown, x);
    }
    int worst = 0;
    for (int y = 0; y < shown; ++y) {
        const QRgb* drawn = reinterpret_cast<const QRgb*>(in.constScanLine(bands.top + y));
        for (int x = 0; x < width; ++x) {
            const QRgb back = mix(out, bands.top, (y + 0.5) / scale - 0.5, bands.middle, x);
            worst = qMax(worst, qMax(qAbs(qRed(back) - qRed(drawn[x])),
                                     qMax(qAbs(qGreen(back) - qGreen(drawn[x])), qAbs(qBlue(back) - qBlue(drawn[x])))));
        }
    }
    if (worst > 2) {
        std::fprintf(stderr, "picgen: a stretched band is %d levels off its drawing (at most 2)\n", worst);
        return QImage();
    }
    return out;
}

void DrawClose(QPainter& p, const QRectF& box, const QColor& c)
{
    p.setPen(QPen(c, qMax(1.5, box.width() / 10), Qt::SolidLine, Qt::RoundCap));
    const QRectF r = box.adjusted(box.width() * 0.3, box.height() * 0.3, -box.width() * 0.3, -box.height() * 0.3);
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

void DrawMinimise(QPainter& p, const QRectF& box, const QColor& c)
{
    p.setPen(QPen(c, qMax(1.5, box.width() / 10), Qt::SolidLine, Qt::RoundCap));
    const qreal y = box.center().y();
    p.drawLine(QPointF(box.left() + box.width() * 0.3, y), QPointF(box.right() - box.width() * 0.3, y));
}

void DrawArrow(QPainter& p, const QRectF& box, const QColor& c, int direction)
{
    p.setPen(QPen(c, qMax(1.5, box.width() / 9), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const QRectF r = box.adjusted(box.width() * 0.32, box.height() * 0.28, -box.width() * 0.32, -box.height() * 0.28);
    QPolygonF line;
    switch (direction) {
    case 0: line << r.topRight() << QPointF(r.left(), r.center().y()) << r.bottomRight(); break;
    case 1: line << r.topLeft() << QPointF(r.right(), r.center().y()) << r.bottomLeft(); break;
    case 2: line << r.bottomLeft() << QPointF(r.center().x(), r.top()) << r.bottomRight(); break;
    default: line << r.topLeft() << QPointF(r.center().x(), r.bottom()) << r.topRight(); break;
    }
    p.drawPolyline(line);
}

void DrawCheck(QPainter& p, const QRectF& box, const QColor& c)
{
    p.setPen(QPen(c, qMax(1.5, box.width() / 8), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPolygonF line;
    line << QPointF(box.left() + box.width() * 0.22, box.top() + box.height() * 0.52)
         << QPointF(box.left() + box.width() * 0.42, box.top() + box.height() * 0.72)
         << QPointF(box.left() + box.width() * 0.78, box.top() + box.height() * 0.30);
    p.drawPolyline(line);
}

void DrawWarning(QPainter& p, const QRectF& box, const QColor& c)
{
    QPainterPath tri;
    tri.moveTo(box.center().x(), box.top() + 2);
    tri.lineTo(box.right() - 2, box.bottom() - 2);
    tri.lineTo(box.left() + 2, box.bottom() - 2);
    tri.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(tri);
    p.setPen(QPen(Background, qMax(1.5, box.width() / 10), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(box.center().x(), box.top() + box.height() * 0.38),
               QPointF(box.center().x(), box.top() + box.height() * 0.66));
    p.drawPoint(QPointF(box.center().x(), box.top() + box.height() * 0.80));
}

void DrawMouse(QPainter& p, const QRectF& box, const QColor& body, const QColor& line)
{
    const QRectF r = box.adjusted(box.width() * 0.22, box.height() * 0.08, -box.width() * 0.22, -box.height() * 0.08);
    p.setPen(QPen(line, qMax(1.0, box.width() / 40)));
    p.setBrush(body);
    p.drawRoundedRect(r, r.width() * 0.48, r.width() * 0.48);
    p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.top() + r.height() * 0.38));
    p.drawLine(QPointF(r.left(), r.top() + r.height() * 0.38), QPointF(r.right(), r.top() + r.height() * 0.38));
    p.setBrush(Accent);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(r.center().x() - r.width() * 0.05, r.top() + r.height() * 0.12, r.width() * 0.1,
                             r.height() * 0.16),
                      r.width() * 0.05, r.width() * 0.05);
}

void DrawReceiver(QPainter& p, const QRectF& box, const QColor& body, const QColor& line)
{
    const QRectF plug(box.center().x() - box.width() * 0.14, box.top() + box.height() * 0.12, box.width() * 0.28,
                      box.height() * 0.3);
    const QRectF head(box.center().x() - box.width() * 0.2, plug.bottom(), box.width() * 0.4, box.height() * 0.48);
    p.setPen(QPen(line, qMax(1.0, box.width() / 40)));
    p.setBrush(Panel);
    p.drawRect(plug);
    p.setBrush(body);
    p.drawRoundedRect(head, head.width() * 0.18, head.width() * 0.18);
    p.setBrush(Accent);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(head.center().x(), head.top() + head.height() * 0.7), head.width() * 0.08,
                  head.width() * 0.08);
}

}  // namespace Theme
