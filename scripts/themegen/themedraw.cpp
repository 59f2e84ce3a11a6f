#include "themedraw.h"

#include <QPainterPath>
#include <QtMath>

namespace themegen {

namespace {

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
} // namespace

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

QImage render(const Asset& a, int ratio)
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

} // namespace themegen
