// themegen: draws the dialog theme's bitmaps with QPainter so they can be
// regenerated (and re-coloured) instead of hand-edited in an image program.
//
//   themegen OUTDIR [light|dark]                      write the PNGs
//   themegen --contact-sheet FILE [light|dark] [N] [NAME]
//                          all images (or those whose file name contains NAME)
//                          enlarged N x (default 4) on a checkerboard, to look at
//
// Each written file is read back and checked (size, nine-grid bands, a few
// reference pixels); any mismatch makes the program exit non-zero.

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QVector>
#include <QtMath>

#include <cstdio>
#include <functional>

namespace {

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

Palette lightPalette()
{
    Palette p;
    p.name = QStringLiteral("light");
    p.body = QColor(0xffffff);
    p.title = QColor(0xeef2f7);
    p.border = QColor(0xc9d1dc);
    p.glyph = QColor(0x6b7785);
    p.glyphDisabled = QColor(0xc0c6ce);
    p.accent = QColor(0x1e6fd9);
    p.accentHover = QColor(0x3a85ea);
    p.accentDown = QColor(0x1559b3);
    p.accentDisabled = QColor(0xa9c4ea);
    p.red = QColor(0xe03c31);
    p.orange = QColor(0xf5a623);
    p.green = QColor(0x2fa84f);
    p.neutral[Normal] = {QColor(0xffffff), QColor(0xc9d1dc)};
    p.neutral[Hover] = {QColor(0xf3f6fa), QColor(0x1e6fd9)};
    p.neutral[Down] = {QColor(0xe6ebf2), QColor(0xc9d1dc)};
    p.neutral[Disabled] = {QColor(0xf5f5f5), QColor(0xe1e1e1)};
    p.floating[Normal] = {QColor(0xffffff), QColor(0xc9d1dc)};
    p.floating[Hover] = {QColor(0xf3f6fa), QColor(0x1e6fd9)};
    p.floating[Down] = {QColor(0x1e6fd9), QColor(0x1e6fd9)};
    p.floating[Disabled] = {QColor(0xf0f0f0), QColor(0xe1e1e1)};
    p.link[Normal] = Qt::transparent;
    p.link[Hover] = QColor(0xeef4fd);
    p.link[Down] = QColor(0xdbe7fb);
    p.link[Disabled] = Qt::transparent;
    // A checkbox is small, so its outline is a step darker than the frame border.
    p.checkbox[Normal] = {QColor(0xffffff), QColor(0xa9b4c2)};
    p.checkbox[Hover] = {QColor(0xffffff), QColor(0x1e6fd9)};
    p.checkbox[Down] = {QColor(0xe6ebf2), QColor(0x1559b3)};
    p.checkbox[Disabled] = {QColor(0xf5f5f5), QColor(0xe1e1e1)};
    p.floatIcon[Normal] = QColor(0x6b7785);
    p.floatIcon[Hover] = QColor(0x1e6fd9);
    p.floatIcon[Down] = QColor(0xffffff);
    p.floatIcon[Disabled] = QColor(0xc0c6ce);
    p.shadowAlpha = 50;
    return p;
}

Palette darkPalette()
{
    Palette p = lightPalette(); // accent, red and the status colours stay
    p.name = QStringLiteral("dark");
    p.body = QColor(0x2b2f36);
    p.title = QColor(0x1f2329);
    p.border = QColor(0x454c57);
    p.glyph = QColor(0xe6e6e6);
    p.glyphDisabled = QColor(0x5d6570);
    p.accentDisabled = QColor(0x2e4a70);
    p.neutral[Normal] = {QColor(0x353a42), QColor(0x4a515c)};
    p.neutral[Hover] = {QColor(0x3d434c), QColor(0x1e6fd9)};
    p.neutral[Down] = {QColor(0x2a2e35), QColor(0x4a515c)};
    p.neutral[Disabled] = {QColor(0x30343a), QColor(0x3a3f47)};
    p.floating[Normal] = {QColor(0x353a42), QColor(0x4a515c)};
    p.floating[Hover] = {QColor(0x3d434c), QColor(0x1e6fd9)};
    p.floating[Down] = {QColor(0x1e6fd9), QColor(0x1e6fd9)};
    p.floating[Disabled] = {QColor(0x30343a), QColor(0x3a3f47)};
    p.link[Hover] = QColor(0x323c4b);
    p.link[Down] = QColor(0x36496a);
    p.checkbox[Normal] = {QColor(0x1f2329), QColor(0x5d6570)};
    p.checkbox[Hover] = {QColor(0x1f2329), QColor(0x1e6fd9)};
    p.checkbox[Down] = {QColor(0x2a3240), QColor(0x3a85ea)};
    p.checkbox[Disabled] = {QColor(0x30343a), QColor(0x3a3f47)};
    p.floatIcon[Normal] = QColor(0xe6e6e6);
    p.floatIcon[Hover] = QColor(0x3a85ea);
    p.floatIcon[Down] = QColor(0xffffff);
    p.floatIcon[Disabled] = QColor(0x5d6570);
    p.shadowAlpha = 110;
    return p;
}

// --- drawing helpers --------------------------------------------------------

// A border is drawn as the outer shape in the border colour with the fill inset
// by 1 px on top: straight edges come out as exactly one solid pixel, and the
// anti-aliased rim of a corner never shows the fill colour through it.
void box(QPainter& p, const QRectF& r, qreal radius, const Look& look)
{
    p.setPen(Qt::NoPen);
    const bool bordered = look.border.isValid() && look.border.alpha() > 0;
    if (bordered) {
        p.setBrush(look.border);
        p.drawRoundedRect(r, radius, radius);
    }
    if (look.fill.alpha() > 0) {
        const QRectF inner = bordered ? r.adjusted(1, 1, -1, -1) : r;
        const qreal ir = bordered ? qMax<qreal>(0.0, radius - 1) : radius;
        p.setBrush(look.fill);
        p.drawRoundedRect(inner, ir, ir);
    }
}

QPen glyphPen(const QColor& c, qreal width)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void cross(QPainter& p, QPointF c, qreal half, const QPen& pen)
{
    p.setPen(pen);
    p.drawLine(QPointF(c.x() - half, c.y() - half), QPointF(c.x() + half, c.y() + half));
    p.drawLine(QPointF(c.x() + half, c.y() - half), QPointF(c.x() - half, c.y() + half));
}

void dot(QPainter& p, QPointF c, qreal r, const QColor& color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(c, r, r);
}

// --- the images -------------------------------------------------------------

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

void drawDialogBackground(QPainter& p, const Palette& pal)
{
    const QRectF frame(kShadow, kShadow, kBgSize - 2 * kShadow, kBgSize - 2 * kShadow);

    // Soft drop shadow: alpha from the distance of each pixel centre to the frame,
    // shifted down 1 px so it reads as light from above. Quadratic falloff keeps
    // the outermost ring transparent.
    const QPointF centre = frame.center() + QPointF(0, 1);
    const qreal hw = frame.width() / 2 - kFrameRadius, hh = frame.height() / 2 - kFrameRadius;
    // One step per device pixel, so the 2x picture gets a smooth shadow, not 2x2 blocks.
    const int ratio = qRound(p.device()->devicePixelRatioF());
    const qreal px = 1.0 / ratio;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int y = 0; y < kBgSize * ratio; ++y) {
        for (int x = 0; x < kBgSize * ratio; ++x) {
            const qreal qx = qMax<qreal>(0, qAbs((x + 0.5) * px - centre.x()) - hw);
            const qreal qy = qMax<qreal>(0, qAbs((y + 0.5) * px - centre.y()) - hh);
            const qreal d = qMax<qreal>(0, std::hypot(qx, qy) - kFrameRadius);
            if (d >= kShadow)
                continue;
            const qreal t = (kShadow - d) / kShadow;
            const int a = qRound(pal.shadowAlpha * t * t);
            if (a > 0)
                p.fillRect(QRectF(x * px, y * px, px, px), QColor(0, 0, 0, a));
        }
    }
    p.restore();

    // Border colour first, then the title band and the body inset by the 1-px border.
    p.setPen(Qt::NoPen);
    p.setBrush(pal.border);
    p.drawRoundedRect(frame, kFrameRadius, kFrameRadius);
    QPainterPath inside;
    inside.addRoundedRect(frame.adjusted(1, 1, -1, -1), kFrameRadius - 1, kFrameRadius - 1);
    // Split at the band edge instead of overpainting, so no body colour leaks
    // into the title band's anti-aliased corners.
    QPainterPath titleArea, bodyArea;
    titleArea.addRect(QRectF(0, 0, kBgSize, kTitleBottom + 1));
    bodyArea.addRect(QRectF(0, kTitleBottom + 1, kBgSize, kBgSize));
    p.fillPath(inside.intersected(titleArea), pal.title);
    p.fillPath(inside.intersected(bodyArea), pal.body);
}

void drawStar(QPainter& p, const QSizeF& s, const QColor& c)
{
    const QPointF centre(s.width() / 2, s.height() / 2 + 0.6);
    const qreal outer = 7.0, inner = 3.0;
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const qreal r = (i % 2) ? inner : outer;
        const qreal angle = qDegreesToRadians(-90.0 + 36.0 * i);
        const QPointF pt(centre.x() + r * std::cos(angle), centre.y() + r * std::sin(angle));
        if (i == 0)
            star.moveTo(pt);
        else
            star.lineTo(pt);
    }
    star.closeSubpath();
    p.setPen(QPen(c, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)); // softens the tips
    p.setBrush(c);
    p.drawPath(star);
}

void drawCheckbox(QPainter& p, State st, bool checked, const Palette& pal)
{
    const QRectF r(1, 1, 14, 14);
    if (!checked) {
        box(p, r, 3, pal.checkbox[st]);
        return;
    }
    const QColor fills[4] = {pal.accent, pal.accentHover, pal.accentDown, pal.accentDisabled};
    box(p, r, 3, Look{fills[st], QColor()});
    QPainterPath tick;
    tick.moveTo(4.6, 8.2);
    tick.lineTo(7.0, 10.6);
    tick.lineTo(11.4, 5.6);
    p.setBrush(Qt::NoBrush);
    p.setPen(glyphPen(st == Disabled && pal.name == QLatin1String("dark") ? QColor(0xa0a8b3)
                                                                          : QColor(Qt::white),
                      1.8));
    p.drawPath(tick);
}

QVector<Asset> assets(const Palette& pal)
{
    QVector<Asset> list;
    const QColor white(Qt::white);

    list.push_back({"img_custom_dialog_bg.png",
                    {kBgSize, kBgSize},
                    1,
                    [pal](QPainter& p, const QSizeF&, State) { drawDialogBackground(p, pal); }});

    list.push_back(
        {"img_sys_btn_exit.png", {30, 30}, 4, [pal](QPainter& p, const QSizeF& s, State st) {
             QColor glyph = pal.glyph;
             if (st == Hover || st == Down) {
                 p.fillRect(QRectF(QPointF(0, 0), s),
                            st == Hover ? QColor(0xe81123) : QColor(0xb50d1c));
                 glyph = Qt::white;
             } else if (st == Disabled) {
                 glyph = pal.glyphDisabled;
             }
             cross(p, QPointF(s.width() / 2, s.height() / 2), 5.0,
                   QPen(glyph, 1.5, Qt::SolidLine, Qt::FlatCap));
         }});

    const auto accentFill = [pal](State st) {
        const QColor c[4] = {pal.accent, pal.accentHover, pal.accentDown, pal.accentDisabled};
        return c[st];
    };
    const auto filled = [accentFill](qreal radius) {
        return [accentFill, radius](QPainter& p, const QSizeF& s, State st) {
            box(p, QRectF(QPointF(0, 0), s), radius, Look{accentFill(st), QColor()});
        };
    };
    const auto neutral = [pal](qreal radius) {
        return [pal, radius](QPainter& p, const QSizeF& s, State st) {
            box(p, QRectF(QPointF(0, 0), s), radius, pal.neutral[st]);
        };
    };

    list.push_back({"img_btn_positive.png", {72, 29}, 4, filled(2)});
    list.push_back({"img_btn_negative.png", {72, 29}, 4, neutral(2)});
    list.push_back({"img_btn_normal_medium.png", {80, 28}, 4, neutral(3)});
    list.push_back({"img_btn_normal_small.png", {60, 24}, 4, neutral(3)});
    // Same radius as its plain sibling so the two line up side by side.
    list.push_back({"img_btn_normal_small_emphasis.png", {60, 24}, 4, filled(3)});
    list.push_back(
        {"img_btn_no_normal_small.png", {30, 20}, 4, [pal](QPainter& p, const QSizeF& s, State st) {
             box(p, QRectF(QPointF(0, 0), s), 2, Look{pal.link[st], QColor()});
         }});

    // Message icons: a 30-px disc (or triangle) with a white glyph drawn as strokes.
    const auto disc = [](QPainter& p, const QColor& c) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(QRectF(1, 1, 30, 30));
    };
    list.push_back({"img_messagebox_information.png",
                    {32, 32},
                    1,
                    [pal, disc, white](QPainter& p, const QSizeF&, State) {
                        disc(p, pal.accent);
                        dot(p, QPointF(16, 9.6), 2.0, white);
                        p.setPen(glyphPen(white, 3.2));
                        p.drawLine(QPointF(16, 14.5), QPointF(16, 23.5));
                    }});
    list.push_back({"img_messagebox_warning.png",
                    {32, 32},
                    1,
                    [pal, white](QPainter& p, const QSizeF&, State) {
                        // A wide round-joined stroke around the triangle rounds its corners.
                        QPainterPath tri;
                        tri.moveTo(16, 4.5);
                        tri.lineTo(28.5, 27);
                        tri.lineTo(3.5, 27);
                        tri.closeSubpath();
                        p.setPen(QPen(pal.orange, 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                        p.setBrush(pal.orange);
                        p.drawPath(tri);
                        p.setPen(glyphPen(white, 3.0));
                        p.drawLine(QPointF(16, 12), QPointF(16, 19.5));
                        dot(p, QPointF(16, 24.2), 1.7, white);
                    }});
    list.push_back({"img_messagebox_critical.png",
                    {32, 32},
                    1,
                    [pal, disc, white](QPainter& p, const QSizeF&, State) {
                        disc(p, pal.red);
                        cross(p, QPointF(16, 16), 5.2, glyphPen(white, 3.0));
                    }});
    list.push_back({"img_messagebox_question.png",
                    {32, 32},
                    1,
                    [pal, disc, white](QPainter& p, const QSizeF&, State) {
                        disc(p, pal.accent);
                        QPainterPath hook;
                        const QRectF arc(11.5, 7.5, 9, 9); // centre (16, 12), r 4.5
                        hook.arcMoveTo(arc, 160);
                        hook.arcTo(arc, 160, -230); // over the top, round to lower right
                        hook.quadTo(QPointF(16, 17.5), QPointF(16, 19.2));
                        p.setBrush(Qt::NoBrush);
                        p.setPen(glyphPen(white, 3.0));
                        p.drawPath(hook);
                        dot(p, QPointF(16, 24.0), 1.8, white);
                    }});
    list.push_back({"img_messagebox_update.png",
                    {32, 32},
                    1,
                    [pal, disc, white](QPainter& p, const QSizeF&, State) {
                        disc(p, pal.green);
                        QPainterPath arrow;
                        arrow.moveTo(10.5, 15.5);
                        arrow.lineTo(16, 10);
                        arrow.lineTo(21.5, 15.5);
                        arrow.moveTo(16, 10.5);
                        arrow.lineTo(16, 23);
                        p.setBrush(Qt::NoBrush);
                        p.setPen(glyphPen(white, 3.0));
                        p.drawPath(arrow);
                    }});

    list.push_back(
        {"img_global_msg_loudspeaker.png", {20, 20}, 1, [pal](QPainter& p, const QSizeF&, State) {
             QPainterPath speaker;
             speaker.moveTo(2, 7.5);
             speaker.lineTo(5, 7.5);
             speaker.lineTo(9, 4);
             speaker.lineTo(9, 16);
             speaker.lineTo(5, 12.5);
             speaker.lineTo(2, 12.5);
             speaker.closeSubpath();
             p.setPen(QPen(pal.accent, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
             p.setBrush(pal.accent);
             p.drawPath(speaker);
             // Waves centred on the cone's mouth, with a clear gap to it.
             p.setBrush(Qt::NoBrush);
             p.setPen(glyphPen(pal.accent, 1.5));
             for (qreal r : {4.0, 7.5}) {
                 const QRectF arc(9 - r, 10 - r, 2 * r, 2 * r);
                 p.drawArc(arc, -50 * 16, 100 * 16);
             }
         }});

    list.push_back(
        {"img_float_button_bg.png", {100, 40}, 4, [pal](QPainter& p, const QSizeF& s, State st) {
             box(p, QRectF(QPointF(0, 0), s), 6, pal.floating[st]);
         }});
    list.push_back(
        {"img_float_button_icon.png", {16, 16}, 4, [pal](QPainter& p, const QSizeF& s, State st) {
             drawStar(p, s, pal.floatIcon[st]);
         }});
    list.push_back({"img_checkbox.png", {16, 16}, 4, [pal](QPainter& p, const QSizeF&, State st) {
                        drawCheckbox(p, st, false, pal);
                    }});
    list.push_back(
        {"img_checkbox_checked.png", {16, 16}, 4, [pal](QPainter& p, const QSizeF&, State st) {
             drawCheckbox(p, st, true, pal);
         }});
    return list;
}

// Ratio 2 draws the same picture on twice the pixels (the name@2x.png variant); the
// drawing code works in 1x units either way.
QImage render(const Asset& a, int ratio = 1)
{
    QImage img(a.frame.width() * a.frames * ratio, a.frame.height() * ratio,
               QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(ratio);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < a.frames; ++i) {
        p.save();
        p.translate(i * a.frame.width(), 0);
        p.setClipRect(QRect(QPoint(0, 0), a.frame));
        a.draw(p, QSizeF(a.frame), static_cast<State>(i));
        p.restore();
    }
    p.end();
    return img;
}

// --- checks on the written files --------------------------------------------

struct Checker
{
    QString file;
    int failures = 0;

    void fail(const QString& what)
    {
        std::fprintf(stderr, "themegen: %s: %s\n", qPrintable(file), qPrintable(what));
        ++failures;
    }
    void expectPixel(const QImage& img, int x, int y, const QColor& want)
    {
        const QRgb got = img.pixel(x, y);
        if (got != want.rgba())
            fail(QStringLiteral("pixel (%1,%2) is #%3, expected #%4")
                     .arg(x)
                     .arg(y)
                     .arg(got, 8, 16, QLatin1Char('0'))
                     .arg(want.rgba(), 8, 16, QLatin1Char('0')));
    }
};

// The dialog background is stretched as a nine-grid: every row of the middle
// band and every column of the middle band must be identical, or stretching
// smears whatever differs.
// r is the picture's ratio: 1 for name.png, 2 for name@2x.png (every 1x pixel is r x r).
void checkDialogBackground(Checker& c, const QImage& img, const Palette& pal, int r)
{
    const int midRight = (kBgSize - kGridRight) * r - 1,
              midBottom = (kBgSize - kGridBottom) * r - 1;
    for (int y = kGridTop * r + 1; y <= midBottom; ++y)
        for (int x = 0; x < kBgSize * r; ++x)
            if (img.pixel(x, y) != img.pixel(x, kGridTop * r)) {
                c.fail(QStringLiteral("row %1 differs from row %2 at x=%3")
                           .arg(y)
                           .arg(kGridTop * r)
                           .arg(x));
                return;
            }
    for (int x = kGridLeft * r + 1; x <= midRight; ++x)
        for (int y = 0; y < kBgSize * r; ++y)
            if (img.pixel(x, y) != img.pixel(kGridLeft * r, y)) {
                c.fail(QStringLiteral("column %1 differs from column %2 at y=%3")
                           .arg(x)
                           .arg(kGridLeft * r)
                           .arg(y));
                return;
            }
    // First and last device pixel of 1x pixel n.
    const auto first = [r](int n) { return n * r; };
    const auto lastOf = [r](int n) { return n * r + r - 1; };
    const int last = kBgSize - kShadow - 1, mid = 64 * r;
    c.expectPixel(img, mid, first(kShadow), pal.border);
    c.expectPixel(img, mid, lastOf(last), pal.border);
    c.expectPixel(img, first(kShadow), mid, pal.border);
    c.expectPixel(img, lastOf(last), mid, pal.border);
    c.expectPixel(img, mid, first(kShadow + 1), pal.title);
    c.expectPixel(img, mid, lastOf(kTitleBottom), pal.title);
    c.expectPixel(img, mid, first(kTitleBottom + 1), pal.body);
    c.expectPixel(img, mid, lastOf(last - 1), pal.body);
    for (int x = 0; x < kShadow * r; ++x)
        for (int y = 0; y < kBgSize * r; ++y)
            if (qRed(img.pixel(x, y)) || qGreen(img.pixel(x, y)) || qBlue(img.pixel(x, y))) {
                c.fail(QStringLiteral("shadow pixel (%1,%2) is not black").arg(x).arg(y));
                return;
            }
    if (qAlpha(img.pixel(0, mid)) != 0 || qAlpha(img.pixel(mid, 0)) != 0)
        c.fail(QStringLiteral("outer edge of the shadow is not transparent"));
    const int nearAlpha = qAlpha(img.pixel(kShadow * r - 1, mid));
    if (nearAlpha < pal.shadowAlpha * 3 / 4 || nearAlpha > pal.shadowAlpha)
        c.fail(QStringLiteral("shadow next to the frame has alpha %1").arg(nearAlpha));
    for (int x = 1; x < kShadow * r; ++x)
        if (qAlpha(img.pixel(x, mid)) < qAlpha(img.pixel(x - 1, mid)))
            c.fail(QStringLiteral("shadow alpha falls towards the frame at x=%1").arg(x));
}

// Frames of a strip must really differ, except where the design says they match.
void checkStrip(Checker& c, const QImage& img, const Asset& a)
{
    const int w = img.width() / a.frames;
    for (int i = 0; i < a.frames; ++i)
        for (int j = i + 1; j < a.frames; ++j) {
            const bool sameByDesign = a.file == QLatin1String("img_btn_no_normal_small.png") &&
                                      i == Normal && j == Disabled;
            const bool same =
                img.copy(i * w, 0, w, img.height()) == img.copy(j * w, 0, w, img.height());
            if (same != sameByDesign)
                c.fail(QStringLiteral("frames %1 and %2 %3")
                           .arg(i)
                           .arg(j)
                           .arg(same ? "are identical" : "differ"));
        }
}

// The skin loader slices strips by these sizes; kept apart from the drawing
// table so a slip in either one shows up as a mismatch.
struct ExpectedFile
{
    const char* file;
    int width, height;
};
constexpr ExpectedFile kExpected[] = {
    {"img_custom_dialog_bg.png", 128, 128},
    {"img_sys_btn_exit.png", 120, 30},
    {"img_btn_positive.png", 288, 29},
    {"img_btn_negative.png", 288, 29},
    {"img_btn_normal_medium.png", 320, 28},
    {"img_btn_normal_small.png", 240, 24},
    {"img_btn_normal_small_emphasis.png", 240, 24},
    {"img_btn_no_normal_small.png", 120, 20},
    {"img_messagebox_information.png", 32, 32},
    {"img_messagebox_warning.png", 32, 32},
    {"img_messagebox_critical.png", 32, 32},
    {"img_messagebox_question.png", 32, 32},
    {"img_messagebox_update.png", 32, 32},
    {"img_global_msg_loudspeaker.png", 20, 20},
    {"img_float_button_bg.png", 400, 40},
    {"img_float_button_icon.png", 64, 16},
    {"img_checkbox.png", 64, 16},
    {"img_checkbox_checked.png", 64, 16},
};

int writeAll(const QString& outDir, const Palette& pal)
{
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "themegen: cannot create %s\n", qPrintable(outDir));
        return 1;
    }
    int failures = 0;
    // Each image twice: name.png and name@2x.png for screens of device pixel ratio above 1.
    for (const Asset& a : assets(pal)) {
        for (const int ratio : {1, 2}) {
            const QString file = ratio == 1 ? a.file
                                            : QString(a.file).replace(QLatin1String(".png"),
                                                                      QLatin1String("@2x.png"));
            const QString path = QDir(outDir).filePath(file);
            if (!render(a, ratio).save(path, "PNG")) {
                std::fprintf(stderr, "themegen: cannot write %s\n", qPrintable(path));
                return 1;
            }
            Checker c{file};
            const QImage back = QImage(path).convertToFormat(QImage::Format_ARGB32);
            QSize want;
            for (const ExpectedFile& e : kExpected)
                if (a.file == QLatin1String(e.file))
                    want = QSize(e.width, e.height) * ratio;
            if (!want.isValid())
                c.fail(QStringLiteral("not a known theme image"));
            else if (back.size() != want)
                c.fail(QStringLiteral("size %1x%2").arg(back.width()).arg(back.height()));
            else if (a.file == QLatin1String("img_custom_dialog_bg.png"))
                checkDialogBackground(c, back, pal, ratio);
            else
                checkStrip(c, back, a);
            failures += c.failures;
            std::printf("%s\n", qPrintable(path));
        }
    }
    for (const ExpectedFile& e : kExpected)
        for (const char* suffix : {".png", "@2x.png"}) {
            const QString file =
                QString::fromLatin1(e.file).replace(QLatin1String(".png"), QLatin1String(suffix));
            if (!QFileInfo::exists(QDir(outDir).filePath(file))) {
                std::fprintf(stderr, "themegen: %s was not written\n", qPrintable(file));
                ++failures;
            }
        }
    return failures ? 1 : 0;
}

// --- contact sheet ----------------------------------------------------------

// Dark cells for the dark palette, or its light glyphs would vanish.
void checkerboard(QPainter& p, const QRect& r, bool dark)
{
    const int cell = 8;
    const QColor a = dark ? QColor(0x1a1a1a) : QColor(0xffffff);
    const QColor b = dark ? QColor(0x2c2c2c) : QColor(0xd8d8d8);
    for (int y = r.top(); y <= r.bottom(); y += cell)
        for (int x = r.left(); x <= r.right(); x += cell)
            p.fillRect(QRect(x, y, cell, cell).intersected(r),
                       ((x - r.left()) / cell + (y - r.top()) / cell) % 2 ? b : a);
}

// Stretches a nine-grid source the way a widget would, to preview the dialog frame.
void drawNineGrid(QPainter& p, const QRect& target, const QImage& src, int l, int t, int r, int b)
{
    const int sw = src.width(), sh = src.height();
    const int xs[4] = {0, l, sw - r, sw}, ys[4] = {0, t, sh - b, sh};
    const int xd[4] = {target.left(), target.left() + l, target.right() + 1 - r,
                       target.right() + 1};
    const int yd[4] = {target.top(), target.top() + t, target.bottom() + 1 - b,
                       target.bottom() + 1};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            p.drawImage(QRect(QPoint(xd[j], yd[i]), QPoint(xd[j + 1] - 1, yd[i + 1] - 1)), src,
                        QRect(QPoint(xs[j], ys[i]), QPoint(xs[j + 1] - 1, ys[i + 1] - 1)));
}

int contactSheet(const QString& file, const Palette& pal, int scale, const QString& only)
{
    const QVector<Asset> all = assets(pal);
    QVector<Asset> list;
    for (const Asset& a : all)
        if (a.file.contains(only))
            list.push_back(a);
    if (list.isEmpty()) {
        std::fprintf(stderr, "themegen: no image matches '%s'\n", qPrintable(only));
        return 1;
    }
    QFont font;
    font.setPixelSize(13);
    const QFontMetrics metrics(font);
    const int maxWidth = 1800, gap = 16, label = 18;
    QVector<QRect> places;
    int x = gap, y = gap, rowHeight = 0, sheetWidth = 0;
    for (const Asset& a : list) {
        const QSize s(a.frame.width() * a.frames * scale, a.frame.height() * scale + label);
        const int slot = qMax(s.width(), metrics.horizontalAdvance(a.file));
        if (x > gap && x + slot > maxWidth) {
            x = gap;
            y += rowHeight + gap;
            rowHeight = 0;
        }
        places.push_back(QRect(QPoint(x, y), s));
        x += slot + gap;
        rowHeight = qMax(rowHeight, s.height());
        sheetWidth = qMax(sheetWidth, x);
    }
    const QRect preview(gap, y + rowHeight + gap + label, 520, 300);
    QImage sheet(qMax(sheetWidth, preview.right() + gap), preview.bottom() + gap,
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0x808890));
    QPainter p(&sheet);
    p.setFont(font);
    const bool dark = pal.name == QLatin1String("dark");
    for (int i = 0; i < list.size(); ++i) {
        const QRect r = places[i];
        const QRect img(r.left(), r.top() + label, r.width(), r.height() - label);
        p.setPen(Qt::white);
        p.drawText(r.topLeft() + QPoint(0, 13), list[i].file);
        checkerboard(p, img, dark);
        p.drawImage(img, render(list[i])); // nearest-neighbour: individual pixels stay visible
    }
    // The dialog background at a realistic size, with a button pair on it.
    p.setPen(Qt::white);
    p.drawText(preview.topLeft() + QPoint(0, -5),
               QStringLiteral("nine-grid preview (%1)").arg(pal.name));
    checkerboard(p, preview, dark);
    drawNineGrid(p, preview, render(all[0]), kGridLeft, kGridTop, kGridRight, kGridBottom);
    for (const Asset& a : all)
        if (a.file == QLatin1String("img_btn_positive.png") ||
            a.file == QLatin1String("img_btn_negative.png")) {
            const bool positive = a.file.contains(QLatin1String("positive"));
            const QImage strip = render(a);
            const QPoint at(preview.right() - kShadow - 8 -
                                (positive ? 2 : 1) * (a.frame.width() + 8),
                            preview.bottom() - kShadow - 8 - a.frame.height());
            p.drawImage(at, strip, QRect(QPoint(0, 0), a.frame));
        } else if (a.file == QLatin1String("img_sys_btn_exit.png")) {
            p.drawImage(QPoint(preview.right() - kShadow - 30, preview.top() + kShadow + 1),
                        render(a), QRect(30, 0, 30, 29)); // hover frame, clear of the border
        } else if (a.file == QLatin1String("img_messagebox_information.png")) {
            p.drawImage(QPoint(preview.left() + kShadow + 20, preview.top() + kTitleBottom + 20),
                        render(a));
        }
    p.setPen(pal.glyph.name() == QLatin1String("#e6e6e6") ? pal.glyph : QColor(0x333333));
    p.drawText(QPoint(preview.left() + kShadow + 12, preview.top() + kShadow + 19),
               QStringLiteral("Dialog title"));
    p.end();
    if (!sheet.save(file, "PNG")) {
        std::fprintf(stderr, "themegen: cannot write %s\n", qPrintable(file));
        return 1;
    }
    std::printf("%s\n", qPrintable(file));
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: themegen OUTDIR [light|dark]\n"
                         "       themegen --contact-sheet FILE [light|dark] [SCALE] [NAME]\n");
    return 2;
}

bool pickPalette(const QString& name, Palette* out)
{
    if (name == QLatin1String("light"))
        *out = lightPalette();
    else if (name == QLatin1String("dark"))
        *out = darkPalette();
    else
        return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // Never needs a display: it only paints into images.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);

    const bool sheet = !args.isEmpty() && args.first() == QLatin1String("--contact-sheet");
    if (sheet)
        args.removeFirst();
    if (args.isEmpty() || args.size() > (sheet ? 4 : 2))
        return usage();

    Palette pal;
    if (!pickPalette(args.value(1, QStringLiteral("light")), &pal))
        return usage();
    if (!sheet)
        return writeAll(args[0], pal);

    bool ok = true;
    const int scale = args.size() > 2 ? args[2].toInt(&ok) : 4;
    if (!ok || scale < 1 || scale > 16)
        return usage();
    return contactSheet(args[0], pal, scale, args.value(3));
}
