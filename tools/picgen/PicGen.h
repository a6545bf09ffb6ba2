// The picture generator: every folder of install/Picture has one drawing
// function, registered with PICGEN_FOLDER, that saves its images through
// the writer. Shared colours and shapes live here so all pages look alike.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>

#include "WindowBackground.h"

#include <functional>
#include <vector>

class PicWriter
{
public:
    explicit PicWriter(const QString& root) : m_root(root) {}
    // Saves image as <root>/<folder>/<name>; returns false on failure.
    bool save(const QString& folder, const QString& name, const QImage& image);
    int saved() const { return m_saved; }
    int failed() const { return m_failed; }

private:
    QString m_root;
    int m_saved = 0;
    int m_failed = 0;
};

struct PictureFolder {
    const char* name;
    std::function<void(PicWriter&)> draw;
};

std::vector<PictureFolder>& PictureFolders();

struct PictureFolderRegistrar {
    PictureFolderRegistrar(const char* name, std::function<void(PicWriter&)> draw)
    {
        PictureFolders().push_back({name, std::move(draw)});
    }
};

#define PICGEN_CONCAT2(a, b) a##b
#define PICGEN_CONCAT(a, b) PICGEN_CONCAT2(a, b)
#define PICGEN_FOLDER(folder, function) \
    static PictureFolderRegistrar PICGEN_CONCAT(picgenRegistrar, __LINE__)(folder, function)

// The program's logo ("Dialog/Logo.png" at 64 pixels), the same drawing at
// size x size pixels: the window and menu icons are made from it.
QImage DrawLogo(int size);

// The dark theme.
namespace Theme {
const QColor Background(24, 26, 32);
const QColor Panel(34, 36, 43);
const QColor PanelLight(46, 49, 58);
const QColor Border(70, 74, 86);
const QColor Text(225, 228, 235);
const QColor TextDim(140, 146, 160);
const QColor Accent(255, 128, 0);
const QColor AccentDark(190, 90, 0);
const QColor Danger(220, 60, 60);
const QColor Good(70, 200, 110);

QImage Blank(int w, int h, const QColor& fill = Qt::transparent);
// A rounded panel with a 1-pixel border.
QImage RoundedPanel(int w, int h, const QColor& fill, const QColor& border, int radius = 6);
// The panel of a small dialog: a shaded ground, the window edge, an accent
// line along the top and a faint rule above the buttons.
QImage DialogBackground(int w, int h);
// A button face in one of three states: 0 normal, 1 hover, 2 pressed/checked.
QImage ButtonFace(int w, int h, int state, int radius = 6);
// A full-window background as it is stored for a border image in bands
// (WindowBackground.h): the top and bottom bands of full as they are, the
// middle band in bands.middle rows. A repeated band must be one row over and
// over; a stretched band must come back within two levels of every channel
// when it is stretched again (smoothly). Otherwise the picture could not look
// as drawn: a message says why and the result is a null image.
QImage WindowBands(const QImage& full, const WindowBackground::Bands& bands);
// Antialiased painter on an image.
void Prepare(QPainter& p);
// Simple glyphs drawn in a w x h box in the given colour.
void DrawClose(QPainter& p, const QRectF& box, const QColor& c);
void DrawMinimise(QPainter& p, const QRectF& box, const QColor& c);
void DrawArrow(QPainter& p, const QRectF& box, const QColor& c, int direction);  // 0 left 1 right 2 up 3 down
void DrawCheck(QPainter& p, const QRectF& box, const QColor& c);
void DrawWarning(QPainter& p, const QRectF& box, const QColor& c);
void DrawMouse(QPainter& p, const QRectF& box, const QColor& body, const QColor& line);
void DrawReceiver(QPainter& p, const QRectF& box, const QColor& body, const QColor& line);
}  // namespace Theme
