// themegen: draws the dialog theme's bitmaps with QPainter so they can be
// regenerated (and re-coloured) instead of hand-edited in an image program.
//
//   themegen OUTDIR [light|dark]                      write the PNGs
//   themegen --contact-sheet FILE [light|dark] [N] [NAME]
//                          all images (or those whose file name contains NAME)
//                          enlarged N x (default 4) on a checkerboard, to look at
//   themegen --compile THEME.json OUT.cpp [light|dark]
//                          the theme's table and the pictures it names as C++
//                          source (the library's build runs this)
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
#include <QString>
#include <QVector>

#include <cstdio>
#include <cstring>

#include "compiletheme.h"
#include "themedraw.h"

namespace {

using namespace themegen;

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
                         "       themegen --contact-sheet FILE [light|dark] [SCALE] [NAME]\n"
                         "       themegen --compile THEME.json OUT.cpp [light|dark]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // The library's build runs this: it paints into images only, which needs no platform
    // plugin, so none is loaded.
    if (argc > 1 && std::strcmp(argv[1], "--compile") == 0) {
        Palette pal;
        if ((argc != 4 && argc != 5) ||
            !pickPalette(QString::fromLatin1(argc == 5 ? argv[4] : "light"), &pal))
            return usage();
        return compileTheme(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), pal);
    }

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
