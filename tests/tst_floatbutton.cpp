#include "testsupport.h"

#include "uibase/dialog/cfloatbutton.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QtTest>

#include <memory>

using namespace Omra;

namespace {

const QList<QColor> backgroundColors = {QColor("#204060"), QColor("#206040"), QColor("#602040"),
                                        QColor("#505050")};
const QList<QColor> otherBackgroundColors = {QColor("#112233"), QColor("#223311"),
                                             QColor("#331122"), QColor("#222222")};
const QList<QColor> iconColors = {QColor("#ff8000"), QColor("#00ff80"), QColor("#8000ff"),
                                  QColor("#808000")};
const QStringList textKeys = {"clr_tfb_text_normal", "clr_tfb_text_hover", "clr_tfb_text_down",
                              "clr_tfb_text_disabled"};
const QList<QColor> textColors = {QColor("#ffffff"), QColor("#ffff00"), QColor("#00ffff"),
                                  QColor("#c0c0c0")};
const QStringList shadowKeys = {"clr_tfb_shadow_normal", "clr_tfb_shadow_hover",
                                "clr_tfb_shadow_down", "clr_tfb_shadow_disabled"};
const QList<QColor> shadowColors = {QColor("#000000"), QColor("#101010"), QColor("#202020"),
                                    QColor("#303030")};
const int buttonId = 42;
const int captionFlags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine;

CUiResource* theme()
{
    return utils::CSingletonT<CUiResource>::instance();
}

// The float button's parent window: records "type/param" of every UI event, and its sender.
class RecordingParent : public QWidget, public CEventDeliverer
{
public:
    bool handleEvent(int type, int id, int param, QString, void* data) override
    {
        events << QString("%1/%2").arg(type).arg(param);
        senders << qMakePair(id, data);
        return true;
    }
    QStringList events;
    QList<QPair<int, void*>> senders;
};

// Opens the protected layout data so the tests measure exactly as the button does.
class ProbeButton : public CFloatButton
{
public:
    using CFloatButton::CFloatButton;

    QSize captionSize(bool emphasis) const { return caption.getSize(emphasis); }
    QSize characterSize(int index) const
    {
        return CSimpleText(caption.text.mid(index, 1), caption.color, caption.font).getSize(false);
    }
};

QImage render(QWidget* widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// Bounding box of the pixels of exactly this colour.
QRect colorBox(const QImage& image, const QColor& color)
{
    const QRgb wanted = color.rgba();
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == wanted)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Bounding box of the pixels that differ between two images.
QRect differenceBox(const QImage& a, const QImage& b)
{
    QRect box;
    for (int y = 0; y < qMin(a.height(), b.height()); ++y)
        for (int x = 0; x < qMin(a.width(), b.width()); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

QImage solid(const QSize& size, const QColor& color)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

void drawCaption(QImage* image, const QString& text, const QRect& rect, const QColor* color,
                 bool emphasis)
{
    QPainter painter(image);
    CSimpleText(text, color, theme()->getFont("fnt_tfb"))
        .drawText(&painter, rect, captionFlags, false, emphasis);
}

// Minimum sizes: width = max(caption width, wAtLeast) + wPlus, the same for the height; the
// minimum width counts the caption width (stacked false) or the stacked heights, plus minPlus.
struct SizeRow
{
    bool horizontal;
    int spacing; // -100: no icon
    bool clearIcon;
    QString text;
    bool emphasis;
    int wAtLeast, wPlus, hAtLeast, hPlus;
    bool stacked;
    int minPlus;
};

// Horizontal painting: the area at `at` is the caption plus extraW, and the caption plus the
// underline's width and offset plus extraH. textX and iconX are relative to the area (iconX
// from the caption's end when the icon comes after it; -100: no icon drawn).
struct PaintRow
{
    int status;
    QPoint at;
    int extraW, extraH, align; // align -1: no icon
    int width, offset;         // underline
    bool emphasis, line;
    int textX, iconX;
};

} // namespace

Q_DECLARE_METATYPE(SizeRow)
Q_DECLARE_METATYPE(PaintRow)

class TestFloatButton : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { before = testsupport::topLevelSnapshot(); }
    void cleanup() { QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>()); }

    void stateMachine_data();
    void stateMachine();
    void backgroundSetters();
    void minimumSizes_data();
    void minimumSizes();
    void horizontalPainting_data();
    void horizontalPainting();
    void shadowFollowsCaption_data();
    void shadowFollowsCaption();
    void verticalLayout_data();
    void verticalLayout();

private:
    ProbeButton* makeButton(QWidget* parent = nullptr);
    void act(ProbeButton* button, const QString& token);

    std::unique_ptr<testsupport::TestTheme> testTheme;
    QSet<QWidget*> before;
    int moveCount = 0;
};

void TestFloatButton::initTestCase()
{
    testTheme.reset(new testsupport::TestTheme);
    testTheme->image("img_tfb_bg", QSize(200, 60), backgroundColors)
        .image("img_tfb_plain", QSize(90, 36), otherBackgroundColors)
        .image("img_tfb_small", QSize(80, 30), backgroundColors)
        .image("img_tfb_icon", QSize(16, 16), iconColors)
        .image("img_tfb_icon_tall", QSize(16, 20), iconColors)
        .font("fnt_tfb", 14)
        .color("clr_tfb_clear", QColor(0, 0, 0, 0));
    for (int i = 0; i < 4; ++i)
        testTheme->color(textKeys.at(i), textColors.at(i))
            .color(shadowKeys.at(i), shadowColors.at(i));
    QVERIFY(testTheme->apply());
}

ProbeButton* TestFloatButton::makeButton(QWidget* parent)
{
    auto* button = new ProbeButton("img_tfb_bg", buttonId, 4, 4, 4, 4, parent);
    button->setTextInfo(textKeys.at(0), textKeys.at(1), textKeys.at(2), textKeys.at(3), "fnt_tfb");
    button->setText(QStringLiteral("Ab"));
    return button;
}

void TestFloatButton::act(ProbeButton* button, const QString& token)
{
    const QPoint center = button->rect().center();
    if (token == "p") {
        QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, center);
    } else if (token == "pr") {
        QTest::mousePress(button, Qt::RightButton, Qt::NoModifier, center);
    } else if (token == "ri") {
        QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, center);
    } else if (token == "re") {
        // The bottom-right pixel still counts as inside.
        QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier,
                            QPoint(button->width() - 1, button->height() - 1));
    } else if (token == "ro") {
        QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier,
                            QPoint(button->width(), center.y()));
    } else if (token == "m") {
        // A new position every time, or the cursor would not move at all.
        QTest::mouseMove(button, QPoint(10 + (moveCount++ % 40), center.y()));
    } else if (token == "l") {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, &leave);
    } else if (token == "off") {
        button->setEnabled(false);
    } else if (token == "on") {
        button->setEnabled(true);
    } else if (token.startsWith("s")) {
        button->setButtonStatus(EFloatButtonStatus(token.mid(1).toInt()));
    } else if (token.startsWith("a")) {
        button->setAutoDown(EFloatButtonDownStyle(token.mid(1).toInt()));
    } else {
        QFAIL(qPrintable("unknown action " + token));
    }
}

void TestFloatButton::stateMachine_data()
{
    QTest::addColumn<int>("downStyle");
    QTest::addColumn<QString>("actions");
    QTest::addColumn<int>("finalStatus");
    QTest::addColumn<QString>("events"); // "type/param" in order

    const int none = FloatButtonDownNone, toggle = FloatButtonDownToggle,
              sticky = FloatButtonDownSticky;
    const int normal = FloatButtonNormal, hover = FloatButtonHover, down = FloatButtonDown,
              disabled = FloatButtonDisabled;

    QTest::newRow("push: hover then click") << none << "m p ri" << hover << "2/0 1/0 5/1";
    QTest::newRow("push: any mouse button presses") << none << "pr" << down << "1/0";
    QTest::newRow("push: release on the edge is inside") << none << "p re" << hover << "1/0 5/1";
    QTest::newRow("push: release outside") << none << "p ro" << normal << "1/0";
    QTest::newRow("push: moves repeat, leave ends hover")
        << none << "m m l" << normal << "2/0 2/0 7/0";
    QTest::newRow("push: down ignores move and leave") << none << "p m l" << down << "1/0";
    QTest::newRow("push: press again while down") << none << "p p ri" << hover << "1/0 1/0 5/1";
    QTest::newRow("push: release without press") << none << "s2 ri" << hover << "5/1";

    QTest::newRow("toggle: second click releases")
        << toggle << "p ri p ri" << hover << "1/0 5/2 1/0 5/1";
    QTest::newRow("toggle: drag out from up") << toggle << "p ro" << normal << "1/0";
    QTest::newRow("toggle: drag out from down") << toggle << "p ri p ro" << down << "1/0 5/2 1/0";
    QTest::newRow("toggle: latched ignores move and leave")
        << toggle << "p ri m l" << down << "1/0 5/2";

    QTest::newRow("sticky: press while down is ignored, release still clicks")
        << sticky << "p ri p ri" << down << "1/0 5/2 5/2";
    QTest::newRow("sticky: drag out while down") << sticky << "p ri p ro" << down << "1/0 5/2";
    QTest::newRow("sticky: set status brings it up")
        << sticky << "p ri s0 m" << hover << "1/0 5/2 2/0";
    QTest::newRow("sticky: enabled change brings it up")
        << sticky << "p ri off on" << normal << "1/0 5/2";

    QTest::newRow("changing the style keeps down") << none << "s2 a1" << down << "";
    QTest::newRow("unknown style: release outside keeps down") << 5 << "p ro" << down << "1/0";
    QTest::newRow("unknown style: release inside keeps down") << 5 << "p ri" << down << "1/0 5/2";

    QTest::newRow("disabled: no events") << none << "off p ri m l" << disabled << "";
    QTest::newRow("set disabled: no events") << toggle << "s3 p ri m l" << disabled << "";
    QTest::newRow("re-enabled: events again") << none << "s3 s0 m" << hover << "2/0";
    QTest::newRow("down on a disabled button ends normal") << none << "s3 s2" << normal << "";
    QTest::newRow("hover on a disabled button ends normal") << none << "s3 s1" << normal << "";
    QTest::newRow("disable while hovered") << none << "s1 off" << disabled << "";
    QTest::newRow("out-of-range statuses are ignored") << none << "s2 s7 s-1" << down << "";
}

void TestFloatButton::stateMachine()
{
    QFETCH(int, downStyle);
    QFETCH(QString, actions);
    QFETCH(int, finalStatus);
    QFETCH(QString, events);

    // The parent stays hidden, and the cursor starts away from every window.
    RecordingParent parent;
    QCursor::setPos(QPoint(5, 5));
    ProbeButton* button = makeButton(&parent);
    button->setAutoDown(EFloatButtonDownStyle(downStyle));
    button->move(150, 150);
    button->show();
    QVERIFY(QTest::qWaitForWindowExposed(button));
    // QTest remembers buttons a previous row left pressed; release them.
    for (Qt::MouseButton held : {Qt::LeftButton, Qt::RightButton})
        if (QGuiApplication::mouseButtons() & held)
            QTest::mouseRelease(button, held, Qt::NoModifier, QPoint(-10, -10));
    QApplication::processEvents();
    QCOMPARE(button->getButtonStatus(), FloatButtonNormal);
    parent.events.clear();
    parent.senders.clear();

    for (const QString& token : actions.split(' ', Qt::SkipEmptyParts)) {
        act(button, token);
        if (QTest::currentTestFailed())
            return;
    }

    QCOMPARE(parent.events.join(' '), events);
    for (const auto& sender : parent.senders)
        QCOMPARE(sender, qMakePair(buttonId, static_cast<void*>(button)));
    QCOMPARE(int(button->getButtonStatus()), finalStatus);
    QCOMPARE(button->isEnabled(), finalStatus != FloatButtonDisabled);
    QCOMPARE(render(button).pixelColor(1, 1), backgroundColors.at(finalStatus));
}

// A new image resizes the button, a swapped nine-grid picture keeps its size; with neither
// caption nor icon only the background of the state is painted, in either layout.
void TestFloatButton::backgroundSetters()
{
    RecordingParent parent;
    ProbeButton* button = makeButton(&parent);
    button->setIcon("img_tfb_icon", IconAlignAfter, 4);
    button->clearIcon();
    button->setText(QString());
    button->setShadowInfo(1, 1, shadowKeys.at(0), shadowKeys.at(1), shadowKeys.at(2),
                          shadowKeys.at(3));
    button->setButtonStatus(FloatButtonDown);
    const auto paints = [button](const QSize& size, const QColor& color) {
        QCOMPARE(button->size(), size);
        for (bool horizontal : {true, false}) {
            button->setHorizontalText(horizontal);
            QCOMPARE(colorBox(render(button), color), QRect(QPoint(0, 0), size));
        }
    };
    paints(QSize(200, 60), backgroundColors.at(2));
    button->setImage("img_tfb_plain");
    paints(QSize(90, 36), otherBackgroundColors.at(2));
    button->setJiuGongImage("img_tfb_bg");
    paints(QSize(90, 36), backgroundColors.at(2));
    button->setJiuGongImage("img_tfb_small", 2, 2, 2, 2);
    paints(QSize(80, 30), backgroundColors.at(2));
}

void TestFloatButton::minimumSizes_data()
{
    QTest::addColumn<SizeRow>("row");
    QTest::newRow("horizontal caption")
        << SizeRow{true, -100, false, "Ab", false, 0, 0, 0, 0, false, 0};
    QTest::newRow("horizontal with icon")
        << SizeRow{true, 4, false, "Ab", false, 0, 20, 20, 0, false, 20};
    QTest::newRow("vertical caption")
        << SizeRow{false, -100, false, "Ab", false, 0, 0, 0, 0, true, 0};
    QTest::newRow("vertical with icon")
        << SizeRow{false, 4, false, "Ab", false, 16, 16, 0, 24, true, 24};
    QTest::newRow("cleared icon") << SizeRow{true, 4, true, "Ab", false, 0, 0, 0, 0, false, 0};
    QTest::newRow("negative spacing leaves the icon out of the hint")
        << SizeRow{true, -2, false, "Ab", false, 0, 0, 0, 0, false, 14};
    QTest::newRow("hover with underline measures bold")
        << SizeRow{true, -100, false, "Ab", true, 0, 0, 0, 0, false, 0};
    QTest::newRow("empty caption with icon")
        << SizeRow{true, 4, false, "", false, 0, 20, 20, 0, false, 20};
}

void TestFloatButton::minimumSizes()
{
    QFETCH(SizeRow, row);
    const QString& text = row.text;
    const bool emphasis = row.emphasis;
    RecordingParent parent;
    ProbeButton* button = makeButton(&parent);
    button->setText(text);
    button->setHorizontalText(row.horizontal);
    button->setTextMargin(9, 9, 9, 9); // never counted
    if (row.spacing != -100) {
        // The second icon replaces the first: only the tall one is measured.
        button->setIcon("img_tfb_icon", IconAlignAfter, 9);
        button->setIcon("img_tfb_icon_tall", IconAlignBefore, row.spacing);
    }
    if (row.clearIcon)
        button->clearIcon();
    if (emphasis) {
        button->setUnderlineInfo(1, 0);
        button->setButtonStatus(FloatButtonHover);
    }

    const QSize caption = button->captionSize(emphasis);
    const QSize hint = button->minimumSizeHint();
    QCOMPARE(hint.width(), qMax(caption.width(), row.wAtLeast) + row.wPlus);
    QCOMPARE(hint.height(), qMax(caption.height(), row.hAtLeast) + row.hPlus);
    int stacked = 0;
    for (int i = 0; i < text.size(); ++i)
        stacked += button->characterSize(i).height();
    const int plain = button->captionSize(false).width();
    QCOMPARE(button->getMinWidth(), (row.stacked ? stacked : plain) + row.minPlus);
    if (emphasis)
        QVERIFY2(caption.width() > plain, "bold measures wider");
}

void TestFloatButton::horizontalPainting_data()
{
    QTest::addColumn<PaintRow>("row");
    const QPoint o(0, 0);
    QTest::newRow("caption centred") << PaintRow{0, o, 60, 24, -1, 0, 0, false, false, 30, -100};
    QTest::newRow("odd difference rounds toward zero")
        << PaintRow{0, o, 59, 23, -1, 0, 0, false, false, 29, -100};
    QTest::newRow("icon before") << PaintRow{0, o, 60, 24, 0, 0, 0, false, false, 40, 20};
    QTest::newRow("icon after, odd difference")
        << PaintRow{0, o, 59, 24, 1, 0, 0, false, false, 19, 23};
    QTest::newRow("unknown alignment draws no icon")
        << PaintRow{0, o, 60, 24, 7, 0, 0, false, false, 30, -100};
    QTest::newRow("icon starting left of the window is left out")
        << PaintRow{0, o, 10, 24, 0, 0, 0, false, false, 15, -100};
    QTest::newRow("margins move the area")
        << PaintRow{0, QPoint(7, 5), 60, 24, 0, 0, 0, false, false, 40, 20};
    QTest::newRow("area narrower than the caption")
        << PaintRow{0, QPoint(3, 0), -6, 24, -1, 0, 0, false, false, -3, -100};
    // Each state paints its own frames and caption colour; only down is underlined.
    QTest::newRow("down: width 1") << PaintRow{2, o, 60, 21, -1, 1, 0, true, true, 30, -100};
    QTest::newRow("down: width 4, zero dashes")
        << PaintRow{2, o, 60, 21, -1, 4, 0, true, true, 30, -100};
    QTest::newRow("down: spans icon before") << PaintRow{2, o, 80, 21, 0, 2, 1, true, true, 50, 30};
    QTest::newRow("down: spans icon after") << PaintRow{2, o, 80, 21, 1, 1, 1, true, true, 30, 34};
    QTest::newRow("hover: bold, no line") << PaintRow{1, o, 80, 21, 0, 2, 1, true, false, 50, 30};
    QTest::newRow("normal: plain, no line")
        << PaintRow{0, o, 80, 21, 1, 2, 1, false, false, 30, 34};
    QTest::newRow("disabled: plain, no line")
        << PaintRow{3, o, 80, 21, 0, 2, 1, false, false, 50, 30};
    QTest::newRow("down without underline: plain")
        << PaintRow{2, o, 60, 21, -1, 0, 3, false, false, 30, -100};
}

void TestFloatButton::horizontalPainting()
{
    QFETCH(PaintRow, row);
    RecordingParent parent;
    ProbeButton* button = makeButton(&parent);
    if (row.align >= 0)
        button->setIcon("img_tfb_icon", EIconAlign(row.align), 4);
    if (row.width || row.offset)
        button->setUnderlineInfo(row.width, row.offset);
    button->setButtonStatus(EFloatButtonStatus(row.status));
    const QSize caption = button->captionSize(row.emphasis);
    const QRect area(row.at, caption + QSize(row.extraW, row.width + row.offset + row.extraH));
    button->resize(area.right() + 1 + 3, area.bottom() + 1 + 2);
    button->setTextMargin(row.at.x(), row.at.y(), 3, 2);

    const QImage image = render(button);
    const QImage plain = solid(button->size(), backgroundColors.at(row.status));
    const QRect text(area.topLeft() + QPoint(row.textX, row.extraH / 2), caption);
    QImage expected = plain;
    const QColor& icon = iconColors.at(row.status);
    const int iconX = area.left() + row.iconX + (row.align == 1 ? caption.width() : 0);
    const QRect iconRect = row.iconX == -100
                               ? QRect()
                               : QRect(iconX, text.top() + (caption.height() - 16) / 2, 16, 16);
    QCOMPARE(colorBox(image, icon), iconRect);
    QPainter(&expected).fillRect(iconRect, icon);
    const QColor& ink = textColors.at(row.status);
    drawCaption(&expected, "Ab", text, &ink, row.emphasis);
    QVERIFY2(!differenceBox(expected, plain).isEmpty(), "the caption leaves ink");

    const int y = text.bottom() + 1 + row.width / 2 + row.offset;
    const int lineStart = row.align == 0 ? iconX : text.left();
    const int lineEnd = lineStart + caption.width() + (row.align >= 0 ? 20 : 0);
    if (row.line) {
        QPainter painter(&expected);
        QPen pen(ink);
        pen.setDashPattern({qreal(3 / row.width), 3.0});
        pen.setWidth(row.width);
        painter.setPen(pen);
        painter.drawLine(lineStart, y, lineEnd, y);
    }
    QCOMPARE(differenceBox(image, expected), QRect()); // where the painting differs

    // Below the caption only the underline is drawn: in the line's rows, within its span.
    const int below = text.bottom() + 1;
    const QRect lineBox = colorBox(image.copy(0, below, image.width(), image.height() - below), ink)
                              .translated(0, below);
    if (!row.line || 3 / row.width == 0) { // empty dashes leave nothing visible
        QVERIFY(lineBox.isNull());
        return;
    }
    QCOMPARE(lineBox.height(), row.width);
    QVERIFY(lineBox.top() <= y && y <= lineBox.bottom());
    QVERIFY(lineBox.left() >= lineStart - row.width && lineBox.left() <= lineStart);
    QVERIFY(lineBox.right() <= lineEnd + row.width);
}

void TestFloatButton::shadowFollowsCaption_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");

    QTest::newRow("horizontal, hover") << 1 << true << -1 << 2;
    QTest::newRow("horizontal, disabled") << 3 << true << 3 << 3;
    QTest::newRow("vertical, down") << 2 << false << -2 << 1;
}

void TestFloatButton::shadowFollowsCaption()
{
    QFETCH(int, status);
    QFETCH(bool, horizontal);
    QFETCH(int, dx);
    QFETCH(int, dy);

    RecordingParent parent;
    ProbeButton* button = makeButton(&parent);
    button->resize(120, 80);
    button->setHorizontalText(horizontal);
    button->setButtonStatus(EFloatButtonStatus(status));
    const QImage captionOnly = render(button);
    const QImage plain = solid(button->size(), backgroundColors.at(status));
    const QRect captionInk = differenceBox(captionOnly, plain);
    QVERIFY(!captionInk.isNull());

    // With a transparent caption and the shadow in the caption's colours, the shadow is the
    // caption's picture moved by the offset, pixel for pixel.
    button->setTextInfo("clr_tfb_clear", "clr_tfb_clear", "clr_tfb_clear", "clr_tfb_clear",
                        "fnt_tfb");
    button->setShadowInfo(dx, dy, textKeys.at(0), textKeys.at(1), textKeys.at(2), textKeys.at(3));
    const QImage moved = render(button);
    QCOMPARE(differenceBox(moved, plain), captionInk.translated(dx, dy));
    for (int y = captionInk.top(); y <= captionInk.bottom(); ++y)
        for (int x = captionInk.left(); x <= captionInk.right(); ++x)
            QCOMPARE(moved.pixel(x + dx, y + dy), captionOnly.pixel(x, y));

    // In the shadow colours of the state.
    button->setShadowInfo(dx, dy, shadowKeys.at(0), shadowKeys.at(1), shadowKeys.at(2),
                          shadowKeys.at(3));
    const QImage shadowOnly = render(button);
    QCOMPARE(differenceBox(shadowOnly, plain), captionInk.translated(dx, dy));
    QVERIFY(!colorBox(shadowOnly, shadowColors.at(status)).isNull());
    QVERIFY(colorBox(shadowOnly, textColors.at(status)).isNull());

    // With both, the caption is drawn over its shadow.
    button->setTextInfo(textKeys.at(0), textKeys.at(1), textKeys.at(2), textKeys.at(3), "fnt_tfb");
    const QImage both = render(button);
    for (int y = captionInk.top(); y <= captionInk.bottom(); ++y)
        for (int x = captionInk.left(); x <= captionInk.right(); ++x)
            if (captionOnly.pixel(x, y) == textColors.at(status).rgba())
                QCOMPARE(both.pixel(x, y), textColors.at(status).rgba());
}

void TestFloatButton::verticalLayout_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("margin"); // left and top
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("textY"); // relative to the area
    QTest::addColumn<int>("iconY"); // -100 not drawn; after the caption: from its end

    // The area is 28 wider than the widest character and 32 taller than the stack.
    QTest::newRow("stacked Chinese") << QString::fromUtf8("浮动按钮") << 0 << -1 << 16 << -100;
    QTest::newRow("icon before, margins") << "iW" << 7 << 0 << 26 << 6;
    QTest::newRow("icon after") << "iW" << 0 << 1 << 6 << 10;
    QTest::newRow("unknown alignment") << "iW" << 0 << 4 << 16 << -100;
}

void TestFloatButton::verticalLayout()
{
    QFETCH(QString, text);
    QFETCH(int, margin);
    QFETCH(int, align);
    QFETCH(int, textY);
    QFETCH(int, iconY);

    RecordingParent parent;
    ProbeButton* button = makeButton(&parent);
    button->setText(text);
    button->setHorizontalText(false);
    // Emphasis and underline never apply to the vertical layout.
    button->setUnderlineInfo(2, 1);
    button->setButtonStatus(FloatButtonDown);
    if (align >= 0)
        button->setIcon("img_tfb_icon", EIconAlign(align), 4);
    QSize stack(0, 0);
    QList<QSize> sizes;
    for (int i = 0; i < text.size(); ++i) {
        sizes << button->characterSize(i);
        stack = QSize(qMax(stack.width(), sizes.last().width()),
                      stack.height() + sizes.last().height());
    }
    const QRect area(margin, margin, stack.width() + 28, stack.height() + 32);
    button->resize(area.right() + 1 + 2, area.bottom() + 1 + 5);
    button->setTextMargin(margin, margin, 2, 5);

    const QImage image = render(button);
    QImage expected = solid(button->size(), backgroundColors.at(2));
    const QRect iconRect = iconY == -100
                               ? QRect()
                               : QRect(area.left() + (area.width() - 16) / 2,
                                       margin + iconY + (align == 1 ? stack.height() : 0), 16, 16);
    QCOMPARE(colorBox(image, iconColors.at(2)), iconRect);
    QPainter(&expected).fillRect(iconRect, iconColors.at(2));
    int y = margin + textY;
    for (int i = 0; i < text.size(); ++i) {
        const QRect rect(area.left() + (area.width() - sizes.at(i).width()) / 2, y,
                         sizes.at(i).width(), sizes.at(i).height());
        drawCaption(&expected, text.mid(i, 1), rect, &textColors.at(2), false);
        y += sizes.at(i).height();
    }
    QCOMPARE(differenceBox(image, expected), QRect()); // where the painting differs
}

QTEST_MAIN(TestFloatButton)
#include "tst_floatbutton.moc"
