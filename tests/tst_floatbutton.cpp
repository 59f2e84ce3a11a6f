#include "testsupport.h"

#include "uibase/dialog/cfloatbutton.h"

#include <QPainter>
#include <QtTest>

using namespace Omra;

namespace {

const QList<QColor> backgroundColors = {"#204060", "#206040", "#602040", "#505050"};
const QList<QColor> iconColors = {"#ff8000", "#00ff80", "#8000ff", "#808000"};
const QList<QColor> textColors = {"#ffffff", "#ffff00", "#00ffff", "#c0c0c0"};
const QStringList textKeys = {"clr_tfb_t0", "clr_tfb_t1", "clr_tfb_t2", "clr_tfb_t3"};
const int captionFlags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine;

// The button's parent: records "type/param" of every UI event, flagging a wrong sender.
class RecordingParent : public QWidget, public CEventDeliverer
{
public:
    bool handleEvent(int type, int id, int param, QString, void* data) override
    {
        events << QString("%1/%2").arg(type).arg(param) + (id == 42 && data == sender ? "" : "!");
        return true;
    }
    QStringList events;
    void* sender = nullptr;
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

QImage solid(const QSize& size, const QColor& color)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

QImage render(QWidget* widget)
{
    QImage image = solid(widget->size(), Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// Bounding box of the pixels of exactly this colour (a valid colour), or that differ from b.
QRect box(const QImage& a, const QColor& color, const QImage& b = QImage())
{
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (b.isNull() ? a.pixel(x, y) == color.rgba() : a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

void drawCaption(QImage* image, const QString& text, const QRect& rect, const QColor* color,
                 bool emphasis)
{
    QPainter painter(image);
    CSimpleText(text, color, utils::CSingletonT<CUiResource>::instance()->getFont("fnt_tfb"))
        .drawText(&painter, rect, captionFlags, false, emphasis);
}

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
    void horizontalPainting_data();
    void horizontalPainting();
    void verticalLayout_data();
    void verticalLayout();

private:
    ProbeButton* makeButton(QWidget* parent);
    void act(ProbeButton* button, const QString& token);

    testsupport::TestTheme testTheme;
    QSet<QWidget*> before;
    int moveCount = 0;
};

void TestFloatButton::initTestCase()
{
    testTheme.image("img_tfb_bg", QSize(200, 60), backgroundColors)
        .image("img_tfb_icon", QSize(16, 16), iconColors)
        .font("fnt_tfb", 14);
    for (int i = 0; i < 4; ++i)
        testTheme.color(textKeys.at(i), textColors.at(i));
    QVERIFY(testTheme.apply());
}

ProbeButton* TestFloatButton::makeButton(QWidget* parent)
{
    auto* button = new ProbeButton("img_tfb_bg", 42, 4, 4, 4, 4, parent);
    button->setTextInfo(textKeys.at(0), textKeys.at(1), textKeys.at(2), textKeys.at(3), "fnt_tfb");
    button->setText(QStringLiteral("Ab"));
    return button;
}

void TestFloatButton::act(ProbeButton* button, const QString& token)
{
    const QPoint center = button->rect().center();
    const QPoint edge(button->width() - 1, button->height() - 1); // still inside
    if (token == "p" || token == "pr")
        QTest::mousePress(button, token == "p" ? Qt::LeftButton : Qt::RightButton, Qt::NoModifier,
                          center);
    else if (token == "ri" || token == "re" || token == "ro")
        QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier,
                            token == "ri"   ? center
                            : token == "re" ? edge
                                            : QPoint(button->width(), center.y()));
    else if (token == "m") // a new position every time, or the cursor would not move
        QTest::mouseMove(button, QPoint(10 + (moveCount++ % 40), center.y()));
    else if (token == "l") {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, &leave);
    } else if (token == "off" || token == "on")
        button->setEnabled(token == "on");
    else if (token.startsWith("s"))
        button->setButtonStatus(EFloatButtonStatus(token.mid(1).toInt()));
    else
        button->setAutoDown(EFloatButtonDownStyle(token.mid(1).toInt()));
}

void TestFloatButton::stateMachine_data()
{
    QTest::addColumn<int>("downStyle"); // 0 push, 1 toggle, 2 sticky, 5 unknown
    QTest::addColumn<QString>("actions");
    QTest::addColumn<int>("finalStatus"); // 0 normal, 1 hover, 2 down, 3 disabled
    QTest::addColumn<QString>("events");  // "type/param" in order

    QTest::newRow("push: hover then click") << 0 << "m p ri" << 1 << "2/0 1/0 5/1";
    QTest::newRow("push: release on the edge is inside") << 0 << "p re" << 1 << "1/0 5/1";
    QTest::newRow("push: release outside") << 0 << "p ro" << 0 << "1/0";
    QTest::newRow("toggle: second click releases") << 1 << "p ri p ri" << 1 << "1/0 5/2 1/0 5/1";
    QTest::newRow("toggle: drag out from down") << 1 << "p ri p ro" << 2 << "1/0 5/2 1/0";
    QTest::newRow("sticky: press while down ignored") << 2 << "p ri p ri" << 2 << "1/0 5/2 5/2";
    QTest::newRow("sticky: set status brings it up") << 2 << "p ri s0 m" << 1 << "1/0 5/2 2/0";
    QTest::newRow("sticky: enabled change brings it up") << 2 << "p ri off on" << 0 << "1/0 5/2";
    QTest::newRow("changing the style keeps down") << 0 << "s2 a1" << 2 << "";
    QTest::newRow("unknown style keeps down") << 5 << "p ro" << 2 << "1/0";
    QTest::newRow("disabled: no events") << 0 << "off p ri m l" << 3 << "";
    QTest::newRow("down on a disabled button ends normal") << 0 << "s3 s2" << 0 << "";
    QTest::newRow("out-of-range statuses are ignored") << 0 << "s2 s7 s-1" << 2 << "";
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
    parent.sender = button;
    button->setAutoDown(EFloatButtonDownStyle(downStyle));
    button->move(150, 150);
    button->show();
    QVERIFY(QTest::qWaitForWindowExposed(button));
    // QTest remembers buttons a previous row left pressed; release them.
    for (Qt::MouseButton held : {Qt::LeftButton, Qt::RightButton})
        if (QGuiApplication::mouseButtons() & held)
            QTest::mouseRelease(button, held, Qt::NoModifier, QPoint(-10, -10));
    QApplication::processEvents();
    parent.events.clear();

    for (const QString& token : actions.split(' ', Qt::SkipEmptyParts))
        act(button, token);

    QCOMPARE(parent.events.join(' '), events);
    QCOMPARE(int(button->getButtonStatus()), finalStatus);
    QCOMPARE(button->isEnabled(), finalStatus != FloatButtonDisabled);
    QCOMPARE(render(button).pixelColor(1, 1), backgroundColors.at(finalStatus));
}

void TestFloatButton::horizontalPainting_data()
{
    QTest::addColumn<PaintRow>("row");
    const QPoint o(0, 0);
    QTest::newRow("icon after, odd difference")
        << PaintRow{0, o, 59, 24, 1, 0, 0, false, false, 19, 23};
    QTest::newRow("margins move the area")
        << PaintRow{0, QPoint(7, 5), 60, 24, 0, 0, 0, false, false, 40, 20};
    // Each state paints its own frames and caption colour; only down is underlined.
    QTest::newRow("down: width 4, zero dashes")
        << PaintRow{2, o, 60, 21, -1, 4, 0, true, true, 30, -100};
    QTest::newRow("down: spans icon before") << PaintRow{2, o, 80, 21, 0, 2, 1, true, true, 50, 30};
    QTest::newRow("hover: bold, no line") << PaintRow{1, o, 80, 21, 0, 2, 1, true, false, 50, 30};
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
    QCOMPARE(box(image, icon), iconRect);
    QPainter(&expected).fillRect(iconRect, icon);
    const QColor& ink = textColors.at(row.status);
    drawCaption(&expected, "Ab", text, &ink, row.emphasis);
    QVERIFY2(!box(expected, QColor(), plain).isEmpty(), "the caption leaves ink");
    if (row.line) { // dashed, spanning the caption and the icon
        const int y = text.bottom() + 1 + row.width / 2 + row.offset;
        const int lineStart = row.align == 0 ? iconX : text.left();
        QPainter painter(&expected);
        QPen pen(ink);
        pen.setDashPattern({qreal(3 / row.width), 3.0});
        pen.setWidth(row.width);
        painter.setPen(pen);
        painter.drawLine(lineStart, y, lineStart + caption.width() + (row.align >= 0 ? 20 : 0), y);
    }
    QCOMPARE(box(image, QColor(), expected), QRect()); // where the painting differs
}

void TestFloatButton::verticalLayout_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("margin"); // left and top
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("textY"); // relative to the area
    QTest::addColumn<int>("iconY"); // -100 not drawn; after the caption: from its end

    // The area is 28 wider than the widest character and 32 taller than the stack.
    QTest::newRow("icon before, margins") << "iW" << 7 << 0 << 26 << 6;
    QTest::newRow("icon after") << "iW" << 0 << 1 << 6 << 10;
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
    for (int i = 0; i < text.size(); ++i)
        stack = QSize(qMax(stack.width(), button->characterSize(i).width()),
                      stack.height() + button->characterSize(i).height());
    const QRect area(margin, margin, stack.width() + 28, stack.height() + 32);
    button->resize(area.right() + 1 + 2, area.bottom() + 1 + 5);
    button->setTextMargin(margin, margin, 2, 5);

    const QImage image = render(button);
    QImage expected = solid(button->size(), backgroundColors.at(2));
    const QRect iconRect = iconY == -100
                               ? QRect()
                               : QRect(area.left() + (area.width() - 16) / 2,
                                       margin + iconY + (align == 1 ? stack.height() : 0), 16, 16);
    QCOMPARE(box(image, iconColors.at(2)), iconRect);
    QPainter(&expected).fillRect(iconRect, iconColors.at(2));
    for (int i = 0, y = margin + textY; i < text.size(); y += button->characterSize(i++).height()) {
        const QSize size = button->characterSize(i);
        drawCaption(&expected, text.mid(i, 1),
                    QRect(QPoint(area.left() + (area.width() - size.width()) / 2, y), size),
                    &textColors.at(2), false);
    }
    QCOMPARE(box(image, QColor(), expected), QRect()); // where the painting differs
}

QTEST_MAIN(TestFloatButton)
#include "tst_floatbutton.moc"
