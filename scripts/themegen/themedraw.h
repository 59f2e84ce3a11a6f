#pragma once

// The pictures of the dialog theme, drawn with QPainter: the PNG files of the shipped themes
// and the pixels compiled into the library both come from here.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSize>
#include <QString>
#include <QVector>

#include <functional>

namespace themegen {

enum State { Normal = 0, Hover = 1, Down = 2, Disabled = 3 };

struct Look
{
    QColor fill;
    QColor border; // invalid = no border
};

struct Palette
{
    QString name;
    QColor body, title, border;
    QColor glyph, glyphDisabled;
    QColor accent, accentHover, accentDown, accentDisabled;
    QColor red, orange, green;
    Look neutral[4];  // plain buttons, per State
    Look floating[4]; // float button background, per State
    QColor link[4];   // link-style button background, per State
    Look checkbox[4]; // unchecked box, per State
    QColor floatIcon[4];
    int shadowAlpha;
};

Palette lightPalette();
Palette darkPalette();
// "light" or "dark"; false for any other name.
bool pickPalette(const QString& name, Palette* out);

struct Asset
{
    QString file;
    QSize frame;
    int frames;
    std::function<void(QPainter&, const QSizeF&, State)> draw;
};

// Dialog background nine-grid geometry (margins left/top/right/bottom).
constexpr int kBgSize = 128;
constexpr int kShadow = 12;      // frame spans kShadow .. kBgSize-kShadow-1
constexpr int kTitleBottom = 40; // last row of the title band
constexpr int kGridLeft = 16, kGridTop = 41, kGridRight = 43, kGridBottom = 47;
constexpr qreal kFrameRadius = 3.0;

// Every picture of a theme, in the order the files are written.
QVector<Asset> assets(const Palette& pal);

// Ratio 2 draws the same picture on twice the pixels (the name@2x.png variant); the
// drawing code works in 1x units either way.
QImage render(const Asset& a, int ratio = 1);

} // namespace themegen
