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

// Bounding box of the pixels of exactly this colour.
QRect box(const QImage& image, const QColor& color)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == color.rgba())
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class TestFloatButton : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { before = testsupport::topLevelSnapshot(); }
    void cleanup() { QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>()); }

    void stateMachine_data();
    void stateMachine();
    void iconAndUnderline_data();
    void iconAndUnderline();
    void minimumSizes_data();
    void minimumSizes();
    void captionCentred_data();
    void captionCentred();

private:
    CFloatButton* makeButton(QWidget* parent);
    void act(CFloatButton* button, const QString& token);

    testsupport::TestTheme testTheme;
    QSet<QWidget*> before;
    int moveCount = 0;
};

void TestFloatButton::initTestCase()
{
    testTheme.image("img_tfb_bg", QSize(200, 60), backgroundColors)
        .image("img_tfb_icon", QSize(16, 16), iconColors)
        .image("img_tfb_tall", QSize(12, 20), Qt::blue, 4)
        .font("fnt_tfb", 14);
    for (int i = 0; i < 4; ++i)
        testTheme.color(textKeys.at(i), textColors.at(i));
    QVERIFY(testTheme.apply());
}

CFloatButton* TestFloatButton::makeButton(QWidget* parent)
{
    auto* button = new CFloatButton("img_tfb_bg", 42, 4, 4, 4, 4, parent);
    button->setTextInfo(textKeys.at(0), textKeys.at(1), textKeys.at(2), textKeys.at(3), "fnt_tfb");
    button->setText(QStringLiteral("Ab"));
    return button;
}

void TestFloatButton::act(CFloatButton* button, const QString& token)
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
    QTest::newRow("push: hover then leave") << 0 << "m l" << 0 << "2/0 7/0";
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
    CFloatButton* button = makeButton(&parent);
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

// Without a caption the block that is centred in the caption area is the icon, its spacing,
// and the underline's offset and width; the caption's place is an empty box at its end.
// Area 100 x 40 unless margins or width say otherwise; icon 16 x 16, spacing 4.
void TestFloatButton::iconAndUnderline_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("align");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<QPoint>("areaAt"); // left and top margins; right 6 and bottom 2
    QTest::addColumn<int>("width");
    QTest::addColumn<QPoint>("underline"); // pen width, offset
    QTest::addColumn<QRect>("icon");
    QTest::addColumn<QRect>("line"); // ink of the caption colour; empty: no line

    const QPoint none(0, 0);
    const QPoint plain(0, 0);
    QTest::newRow("before: (100 - 20) / 2")
        << 0 << 0 << true << none << 100 << plain << QRect(40, 12, 16, 16) << QRect();
    QTest::newRow("after: behind the spacing")
        << 0 << 1 << true << none << 100 << plain << QRect(44, 12, 16, 16) << QRect();
    QTest::newRow("odd width rounds toward zero")
        << 0 << 0 << true << none << 101 << plain << QRect(40, 12, 16, 16) << QRect();
    QTest::newRow("margins move the area")
        << 0 << 0 << true << QPoint(10, 4) << 100 << plain << QRect(50, 16, 16, 16) << QRect();
    QTest::newRow("unknown alignment: no icon")
        << 0 << 5 << true << none << 100 << plain << QRect() << QRect();
    QTest::newRow("down: underline under icon and spacing, block raised")
        << 2 << 0 << true << none << 100 << QPoint(2, 1) << QRect(40, 10, 16, 16)
        << QRect(39, 19, 20, 2);
    QTest::newRow("hover: no underline, block still raised")
        << 1 << 0 << true << none << 100 << QPoint(2, 1) << QRect(40, 10, 16, 16) << QRect();
    QTest::newRow("vertical before: centred across")
        << 0 << 0 << false << QPoint(10, 4) << 100 << plain << QRect(52, 14, 16, 16) << QRect();
    QTest::newRow("vertical after: below the spacing")
        << 0 << 1 << false << none << 100 << plain << QRect(42, 14, 16, 16) << QRect();
}

void TestFloatButton::iconAndUnderline()
{
    QFETCH(int, status);
    QFETCH(int, align);
    QFETCH(bool, horizontal);
    QFETCH(QPoint, areaAt);
    QFETCH(int, width);
    QFETCH(QPoint, underline);
    QFETCH(QRect, icon);
    QFETCH(QRect, line);
    RecordingParent parent;
    CFloatButton* button = makeButton(&parent);
    button->setText(QString());
    button->setHorizontalText(horizontal);
    button->setIcon("img_tfb_icon", EIconAlign(align), 4);
    button->setUnderlineInfo(underline.x(), underline.y());
    button->setButtonStatus(EFloatButtonStatus(status));
    button->resize(areaAt.x() + width + 6, areaAt.y() + 40 + 2);
    button->setTextMargin(areaAt.x(), areaAt.y(), 6, 2);
    const QImage image = render(button);
    QCOMPARE(box(image, iconColors.at(status)), icon);
    QCOMPARE(box(image, textColors.at(status)), line);
}

// An empty caption adds nothing, so the sizes are the icon's: horizontal, the spacing and
// the icon's width by its height; vertical, the icon's width twice by its height and spacing.
void TestFloatButton::minimumSizes_data()
{
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<QString>("icon"); // empty: none; "cleared": set, then cleared
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QSize>("hint");
    QTest::addColumn<int>("minWidth");
    QTest::newRow("horizontal, 12 x 20 icon, spacing 3")
        << true << "img_tfb_tall" << 3 << QSize(15, 20) << 15;
    QTest::newRow("horizontal, spacing 0 still counts the icon")
        << true << "img_tfb_tall" << 0 << QSize(12, 20) << 12;
    QTest::newRow("horizontal, cleared icon") << true << "cleared" << 3 << QSize(0, 0) << 0;
    QTest::newRow("vertical, 12 x 20 icon, spacing 3")
        << false << "img_tfb_tall" << 3 << QSize(24, 23) << 23;
    QTest::newRow("vertical, no icon") << false << "" << 3 << QSize(0, 0) << 0;
    QTest::newRow("horizontal, icon missing from the theme")
        << true << "img_tfb_missing" << 3 << QSize(3, 0) << 3;
    QTest::newRow("vertical, icon missing from the theme")
        << false << "img_tfb_missing" << 3 << QSize(0, 3) << 3;
}

void TestFloatButton::minimumSizes()
{
    QFETCH(bool, horizontal);
    QFETCH(QString, icon);
    QFETCH(int, spacing);
    QFETCH(QSize, hint);
    QFETCH(int, minWidth);
    RecordingParent parent;
    CFloatButton* button = makeButton(&parent);
    button->setText(QString());
    button->setHorizontalText(horizontal);
    if (!icon.isEmpty())
        button->setIcon(icon == "cleared" ? "img_tfb_tall" : icon, IconAlignBefore, spacing);
    if (icon == "cleared")
        button->clearIcon();
    QCOMPARE(button->minimumSizeHint(), hint);
    QCOMPARE(button->getMinWidth(), minWidth);
}

// An area 20 px wider and 20 px taller moves the caption 10 px right and 10 px down, on one
// line and stacked alike: it stays centred, whatever the font measures.
void TestFloatButton::captionCentred_data()
{
    QTest::addColumn<bool>("horizontal");
    QTest::newRow("one line") << true;
    QTest::newRow("stacked") << false;
}

void TestFloatButton::captionCentred()
{
    QFETCH(bool, horizontal);
    RecordingParent parent;
    CFloatButton* button = makeButton(&parent);
    button->setHorizontalText(horizontal);
    QList<QRect> ink;
    for (const QSize& size : {QSize(100, 70), QSize(120, 90)}) {
        button->resize(size);
        ink << box(render(button), textColors.at(FloatButtonNormal));
    }
    QVERIFY(!ink.at(0).isEmpty());
    QCOMPARE(ink.at(1), ink.at(0).translated(10, 10));
}

QTEST_MAIN(TestFloatButton)
#include "tst_floatbutton.moc"
