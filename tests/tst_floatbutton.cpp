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

struct Delivered
{
    int type;
    int id;
    int param;
    QString text;
    void* data;
};

// The float button's parent window: records every UI event that reaches it.
class RecordingParent : public QWidget, public CEventDeliverer
{
public:
    bool handleEvent(int type, int id, int param, QString text, void* data) override
    {
        events << Delivered{type, id, param, text, data};
        return true;
    }

    QList<Delivered> events;
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
    QSize expectedSize() const { return getExpectedSize(); }
    QString colorKey() const { return getColorKey(); }
    QString shadowColorKey() const { return getShadowColorKey(); }
    const QColor* shadowColor() const { return shadowCaption.color; }
    const QColor* captionColor() const { return caption.color; }
    const QFont* shadowFont() const { return shadowCaption.font; }
    bool underlined() const { return showUnderline(); }
    void drawHorizontal(QPainter* painter) { drawIconAndTextHorizontal(painter); }
    void drawVertical(QPainter* painter) { drawIconAndTextVertical(painter); }
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

enum Action { Press, ReleaseInside, ReleaseEdge, ReleaseOutside, Move, Leave };

} // namespace

class TestFloatButton : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void constructionDefaults();
    void stateMachine_data();
    void stateMachine();
    void setButtonStatusAndEnabled_data();
    void setButtonStatusAndEnabled();
    void colorsFollowTheState();
    void backgroundSetters_data();
    void backgroundSetters();
    void minimumSizes_data();
    void minimumSizes();
    void paintsStateFrames_data();
    void paintsStateFrames();
    void horizontalLayout_data();
    void horizontalLayout();
    void emphasisAndUnderline_data();
    void emphasisAndUnderline();
    void shadowFollowsCaption_data();
    void shadowFollowsCaption();
    void verticalLayout_data();
    void verticalLayout();
    void nullPainterIsIgnored();

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
        .image("img_tfb_other", QSize(200, 60), otherBackgroundColors)
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

void TestFloatButton::init()
{
    before = testsupport::topLevelSnapshot();
}

void TestFloatButton::cleanup()
{
    const QList<QWidget*> leaked = testsupport::leakedTopLevels(before);
    QVERIFY2(leaked.isEmpty(), "a window outlived the test");
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

void TestFloatButton::constructionDefaults()
{
    RecordingParent parent;
    ProbeButton button("img_tfb_bg", 7, 4, 4, 4, 4, &parent);
    QCOMPARE(button.getID(), 7);
    QCOMPARE(button.getButtonStatus(), FloatButtonNormal);
    QCOMPARE(button.getText(), QString());
    QCOMPARE(button.size(), QSize(200, 60));
    QCOMPARE(button.expectedSize(), QSize(200, 60));
    QVERIFY(button.isWindow());
    QCOMPARE(button.parentWidget(), &parent);
    QVERIFY(button.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(button.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(button.hasMouseTracking());
    QCOMPARE(button.focusPolicy(), Qt::StrongFocus);
    QCOMPARE(button.cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(button.getFrameMargin(), 0);
    QCOMPARE(button.getTitleBarHeight(), 0);
    QCOMPARE(button.getBackgroundKey(), QString("img_tfb_bg"));
    QVERIFY(!button.underlined());
    button.setUnderlineInfo(1, 0);
    QVERIFY(button.underlined());

    // Replacing the icon and the background drops the old ones (the sanitizer run checks
    // that nothing leaks); the new ones are the ones measured.
    button.setText(QStringLiteral("Ab"));
    const int captionWidth = button.getMinWidth();
    button.setIcon("img_tfb_icon", IconAlignBefore, 4);
    button.setIcon("img_tfb_icon_tall", IconAlignAfter, 2);
    QCOMPARE(button.getMinWidth(), captionWidth + 16 + 2);
    QCOMPARE(button.minimumSizeHint().height(), qMax(20, button.captionSize(false).height()));
    button.setImage("img_tfb_plain");
    button.setJiuGongImage("img_tfb_small", 1, 1, 1, 1);
    QCOMPARE(button.size(), QSize(80, 30));
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

    QTest::newRow("push: click") << none << "p ri" << hover << "1/0 5/1";
    QTest::newRow("push: hover then click") << none << "m p ri" << hover << "2/0 1/0 5/1";
    QTest::newRow("push: any mouse button presses") << none << "pr" << down << "1/0";
    QTest::newRow("push: release on the edge is inside") << none << "p re" << hover << "1/0 5/1";
    QTest::newRow("push: release outside") << none << "p ro" << normal << "1/0";
    QTest::newRow("push: moves repeat, leave ends hover")
        << none << "m m l" << normal << "2/0 2/0 7/0";
    QTest::newRow("push: down ignores move and leave") << none << "p m l" << down << "1/0";
    QTest::newRow("push: press again while down") << none << "p p ri" << hover << "1/0 1/0 5/1";
    QTest::newRow("push: hover after click, then leave")
        << none << "p ri m l" << normal << "1/0 5/1 2/0 7/0";
    QTest::newRow("push: release without press") << none << "s2 ri" << hover << "5/1";

    QTest::newRow("toggle: first click latches") << toggle << "p ri" << down << "1/0 5/2";
    QTest::newRow("toggle: second click releases")
        << toggle << "p ri p ri" << hover << "1/0 5/2 1/0 5/1";
    QTest::newRow("toggle: drag out from up") << toggle << "p ro" << normal << "1/0";
    QTest::newRow("toggle: drag out from down") << toggle << "p ri p ro" << down << "1/0 5/2 1/0";
    QTest::newRow("toggle: latched ignores move and leave")
        << toggle << "p ri m l" << down << "1/0 5/2";
    QTest::newRow("toggle: hover then click") << toggle << "m p re" << down << "2/0 1/0 5/2";

    QTest::newRow("sticky: click latches") << sticky << "p ri" << down << "1/0 5/2";
    QTest::newRow("sticky: press while down is ignored, release still clicks")
        << sticky << "p ri p ri" << down << "1/0 5/2 5/2";
    QTest::newRow("sticky: drag out while down") << sticky << "p ri p ro" << down << "1/0 5/2";
    QTest::newRow("sticky: drag out from up") << sticky << "p ro" << normal << "1/0";
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
}

void TestFloatButton::stateMachine()
{
    QFETCH(int, downStyle);
    QFETCH(QString, actions);
    QFETCH(int, finalStatus);
    QFETCH(QString, events);

    // The parent stays hidden: the offscreen cursor would find its window first.
    RecordingParent parent;
    // Start with the cursor away from every window.
    QCursor::setPos(QPoint(5, 5));
    ProbeButton* button = makeButton(&parent);
    button->setAutoDown(EFloatButtonDownStyle(downStyle));
    button->move(150, 150);
    button->show();
    QVERIFY(QTest::qWaitForWindowExposed(button));
    // QTest remembers buttons a previous row left pressed; a held button would make the
    // cursor's moves go to the grabbing window instead.
    for (Qt::MouseButton held : {Qt::LeftButton, Qt::RightButton})
        if (QGuiApplication::mouseButtons() & held)
            QTest::mouseRelease(button, held, Qt::NoModifier, QPoint(-10, -10));
    QApplication::processEvents();
    QCOMPARE(button->getButtonStatus(), FloatButtonNormal);
    parent.events.clear();

    for (const QString& token : actions.split(' ', Qt::SkipEmptyParts)) {
        act(button, token);
        if (QTest::currentTestFailed())
            return;
    }

    QStringList got;
    for (const Delivered& event : parent.events) {
        got << QString("%1/%2").arg(event.type).arg(event.param);
        QCOMPARE(event.id, buttonId);
        QCOMPARE(event.text, QString());
        QCOMPARE(event.data, static_cast<void*>(button));
    }
    QCOMPARE(got.join(' '), events);
    QCOMPARE(int(button->getButtonStatus()), finalStatus);
    QCOMPARE(button->isEnabled(), finalStatus != FloatButtonDisabled);
    // The painted frame follows the status.
    QCOMPARE(render(button).pixelColor(1, 1), backgroundColors.at(finalStatus));
}

void TestFloatButton::setButtonStatusAndEnabled_data()
{
    QTest::addColumn<QString>("actions");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("hover") << "s1" << int(FloatButtonHover) << true;
    QTest::newRow("down") << "s2" << int(FloatButtonDown) << true;
    QTest::newRow("disabled disables") << "s3" << int(FloatButtonDisabled) << false;
    QTest::newRow("down on a disabled button ends normal")
        << "s3 s2" << int(FloatButtonNormal) << true;
    QTest::newRow("hover on a disabled button ends normal")
        << "s3 s1" << int(FloatButtonNormal) << true;
    QTest::newRow("disable then enable") << "s2 off on" << int(FloatButtonNormal) << true;
    QTest::newRow("disable directly") << "s1 off" << int(FloatButtonDisabled) << false;
    QTest::newRow("values out of range are ignored") << "s2 s7 s-1" << int(FloatButtonDown) << true;
}

void TestFloatButton::setButtonStatusAndEnabled()
{
    QFETCH(QString, actions);
    QFETCH(int, status);
    QFETCH(bool, enabled);

    RecordingParent parent;
    ProbeButton* button = makeButton(&parent);
    for (const QString& token : actions.split(' ', Qt::SkipEmptyParts))
        act(button, token);
    QCOMPARE(int(button->getButtonStatus()), status);
    QCOMPARE(button->isEnabled(), enabled);
    QCOMPARE(button->colorKey(), textKeys.at(status));
    QVERIFY(parent.events.isEmpty());
}

void TestFloatButton::colorsFollowTheState()
{
    RecordingParent parent;
    ProbeButton* button = makeButton(&parent);
    QCOMPARE(button->captionColor(), theme()->getColor(textKeys.at(0)));
    button->setShadowInfo(2, 1, shadowKeys.at(0), shadowKeys.at(1), shadowKeys.at(2),
                          shadowKeys.at(3));
    const QFont* font = theme()->getFont("fnt_tfb");
    QCOMPARE(button->shadowFont(), font);
    for (int status : {1, 2, 3, 0}) {
        button->setButtonStatus(EFloatButtonStatus(status));
        QCOMPARE(button->colorKey(), textKeys.at(status));
        QCOMPARE(button->shadowColorKey(), shadowKeys.at(status));
        QCOMPARE(*button->captionColor(), textColors.at(status));
        QCOMPARE(*button->shadowColor(), shadowColors.at(status));
        QCOMPARE(button->shadowFont(), font);
    }
}

void TestFloatButton::backgroundSetters_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("downColor");

    QTest::newRow("constructed") << "" << QSize(200, 60) << backgroundColors.at(2);
    QTest::newRow("plain image resizes")
        << "image img_tfb_plain" << QSize(90, 36) << otherBackgroundColors.at(2);
    QTest::newRow("nine-grid image resizes")
        << "grid img_tfb_small" << QSize(80, 30) << backgroundColors.at(2);
    QTest::newRow("swapping the picture keeps the size")
        << "swap img_tfb_other" << QSize(200, 60) << otherBackgroundColors.at(2);
    QTest::newRow("swap after a plain image")
        << "image img_tfb_plain;swap img_tfb_bg" << QSize(90, 36) << backgroundColors.at(2);
}

void TestFloatButton::backgroundSetters()
{
    QFETCH(QString, operation);
    QFETCH(QSize, size);
    QFETCH(QColor, downColor);

    RecordingParent parent;
    ProbeButton* button = makeButton(&parent);
    for (const QString& step : operation.split(';', Qt::SkipEmptyParts)) {
        const QStringList parts = step.split(' ');
        if (parts.at(0) == "image")
            button->setImage(parts.at(1));
        else if (parts.at(0) == "grid")
            button->setJiuGongImage(parts.at(1), 2, 2, 2, 2);
        else
            button->setJiuGongImage(parts.at(1));
    }
    QCOMPARE(button->size(), size);
    button->setButtonStatus(FloatButtonDown);
    button->setText(QString());
    const QImage image = render(button);
    QCOMPARE(image.pixelColor(0, 0), downColor);
    QCOMPARE(image.pixelColor(size.width() - 1, size.height() - 1), downColor);
}

void TestFloatButton::minimumSizes_data()
{
    // Expected width = max(caption width if counted, atLeast) + plus, the same for the
    // height; the minimum width counts the caption width (1) or the stacked heights (2).
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<QString>("iconKey");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<bool>("clearIcon");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("emphasis");
    QTest::addColumn<int>("wAtLeast");
    QTest::addColumn<int>("wPlus");
    QTest::addColumn<int>("hAtLeast");
    QTest::addColumn<int>("hPlus");
    QTest::addColumn<int>("minKind");
    QTest::addColumn<int>("minPlus");

    const QString tall = "img_tfb_icon_tall";
    QTest::newRow("horizontal caption")
        << true << "" << 0 << false << "Ab" << false << 0 << 0 << 0 << 0 << 1 << 0;
    QTest::newRow("horizontal with icon")
        << true << tall << 4 << false << "Ab" << false << 0 << 20 << 20 << 0 << 1 << 20;
    QTest::newRow("vertical caption")
        << false << "" << 0 << false << "Ab" << false << 0 << 0 << 0 << 0 << 2 << 0;
    QTest::newRow("vertical with icon")
        << false << tall << 4 << false << "Ab" << false << 16 << 16 << 0 << 24 << 2 << 24;
    QTest::newRow("cleared icon") << true << tall << 4 << true << "Ab" << false << 0 << 0 << 0 << 0
                                  << 1 << 0;
    QTest::newRow("cleared icon, vertical")
        << false << tall << 4 << true << "Ab" << false << 0 << 0 << 0 << 0 << 2 << 0;
    QTest::newRow("negative spacing leaves the icon out of the hint")
        << true << tall << -2 << false << "Ab" << false << 0 << 0 << 0 << 0 << 1 << 14;
    QTest::newRow("hover with underline measures bold")
        << true << "" << 0 << false << "Ab" << true << 0 << 0 << 0 << 0 << 1 << 0;
    QTest::newRow("empty caption with icon")
        << true << tall << 4 << false << "" << false << 0 << 20 << 20 << 0 << 1 << 20;
    QTest::newRow("wide caption") << true << tall << 4 << false << "Wide caption text" << false << 0
                                  << 20 << 20 << 0 << 1 << 20;
}

void TestFloatButton::minimumSizes()
{
    QFETCH(bool, horizontal);
    QFETCH(QString, iconKey);
    QFETCH(int, spacing);
    QFETCH(bool, clearIcon);
    QFETCH(QString, text);
    QFETCH(bool, emphasis);
    QFETCH(int, wAtLeast);
    QFETCH(int, wPlus);
    QFETCH(int, hAtLeast);
    QFETCH(int, hPlus);
    QFETCH(int, minKind);
    QFETCH(int, minPlus);

    RecordingParent parent;
    ProbeButton* button = makeButton(&parent);
    button->setText(text);
    button->setHorizontalText(horizontal);
    button->setTextMargin(9, 9, 9, 9); // never counted
    if (!iconKey.isEmpty())
        button->setIcon(iconKey, IconAlignBefore, spacing);
    if (clearIcon)
        button->clearIcon();
    if (emphasis) {
        button->setUnderlineInfo(1, 0);
        button->setButtonStatus(FloatButtonHover);
    }

    const QSize caption = button->captionSize(emphasis);
    const QSize hint = button->minimumSizeHint();
    QCOMPARE(hint.width(), qMax(caption.width(), wAtLeast) + wPlus);
    QCOMPARE(hint.height(), qMax(caption.height(), hAtLeast) + hPlus);

    int stacked = 0;
    for (int i = 0; i < text.size(); ++i)
        stacked += button->characterSize(i).height();
    const int plain = button->captionSize(false).width();
    QCOMPARE(button->getMinWidth(), (minKind == 1 ? plain : stacked) + minPlus);
    if (emphasis)
        QVERIFY2(caption.width() > plain, "bold measures wider");
}

void TestFloatButton::paintsStateFrames_data()
{
    QTest::addColumn<int>("status");
    for (int status = 0; status < 4; ++status)
        QTest::newRow(qPrintable(QString("status %1").arg(status))) << status;
}

void TestFloatButton::paintsStateFrames()
{
    QFETCH(int, status);
    RecordingParent parent;
    ProbeButton* button = makeButton(&parent);
    button->setIcon("img_tfb_icon", IconAlignBefore, 4);
    button->setButtonStatus(EFloatButtonStatus(status));
    const QImage image = render(button);
    QCOMPARE(image.pixelColor(0, 0), backgroundColors.at(status));
    QCOMPARE(image.pixelColor(199, 59), backgroundColors.at(status));
    QCOMPARE(colorBox(image, iconColors.at(status)).size(), QSize(16, 16));
    for (int other = 0; other < 4; ++other) {
        if (other != status)
            QVERIFY(colorBox(image, iconColors.at(other)).isEmpty());
    }
}

void TestFloatButton::horizontalLayout_data()
{
    // The caption area is sized from the measured caption: areaExtraW and areaExtraH are
    // what it has beyond the caption. Expected positions are relative to the area.
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("areaExtraW");
    QTest::addColumn<int>("areaExtraH");
    QTest::addColumn<int>("align"); // -1 no icon
    QTest::addColumn<bool>("clearedBefore");
    QTest::addColumn<int>("textX");
    QTest::addColumn<int>("iconX");             // -100 not drawn
    QTest::addColumn<bool>("iconAfterCaption"); // iconX is counted from the caption's end
    QTest::addColumn<int>("textY");

    QTest::newRow("caption centred")
        << 0 << 0 << 60 << 24 << -1 << false << 30 << -100 << false << 12;
    QTest::newRow("odd difference rounds toward zero")
        << 0 << 0 << 59 << 23 << -1 << false << 29 << -100 << false << 11;
    QTest::newRow("icon before") << 0 << 0 << 60 << 24 << 0 << false << 40 << 20 << false << 12;
    QTest::newRow("icon after") << 0 << 0 << 60 << 24 << 1 << false << 20 << 24 << true << 12;
    QTest::newRow("icon before, odd difference")
        << 0 << 0 << 61 << 24 << 0 << false << 40 << 20 << false << 12;
    QTest::newRow("icon after, odd difference")
        << 0 << 0 << 59 << 24 << 1 << false << 19 << 23 << true << 12;
    QTest::newRow("icon after, set again after clearing")
        << 0 << 0 << 60 << 24 << 1 << true << 20 << 24 << true << 12;
    QTest::newRow("unknown alignment draws no icon")
        << 0 << 0 << 60 << 24 << 7 << false << 30 << -100 << false << 12;
    QTest::newRow("icon starting left of the window is left out")
        << 0 << 0 << 10 << 24 << 0 << false << 15 << -100 << false << 12;
    QTest::newRow("margins move the area")
        << 7 << 5 << 60 << 24 << 0 << false << 40 << 20 << false << 12;
    QTest::newRow("area narrower than the caption")
        << 3 << 0 << -6 << 24 << -1 << false << -3 << -100 << false << 12;
}

void TestFloatButton::horizontalLayout()
{
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, areaExtraW);
    QFETCH(int, areaExtraH);
    QFETCH(int, align);
    QFETCH(bool, clearedBefore);
    QFETCH(int, textX);
    QFETCH(int, iconX);
    QFETCH(bool, iconAfterCaption);
    QFETCH(int, textY);

    RecordingParent parent;
    ProbeButton* button = makeButton(&parent);
    if (clearedBefore) {
        button->setIcon("img_tfb_icon", IconAlignBefore, 9);
        button->clearIcon();
    }
    if (align >= 0)
        button->setIcon("img_tfb_icon", EIconAlign(align), 4);
    const QSize caption = button->captionSize(false);
    const QRect area(left, top, caption.width() + areaExtraW, caption.height() + areaExtraH);
    button->resize(area.right() + 1 + 3, area.bottom() + 1 + 2);
    button->setTextMargin(left, top, 3, 2);

    const QImage image = render(button);

    const QRect expectedText(left + textX, top + textY, caption.width(), caption.height());
    QImage expected = solid(button->size(), backgroundColors.at(0));
    if (iconX != -100) {
        const int x = left + iconX + (iconAfterCaption ? caption.width() : 0);
        const QRect iconRect(x, expectedText.top() + (caption.height() - 16) / 2, 16, 16);
        QCOMPARE(colorBox(image, iconColors.at(0)), iconRect);
        QPainter(&expected).fillRect(iconRect, iconColors.at(0));
    } else {
        QVERIFY(colorBox(image, iconColors.at(0)).isEmpty());
    }
    drawCaption(&expected, "Ab", expectedText, &textColors.at(0), false);
    QVERIFY2(!differenceBox(expected, solid(button->size(), backgroundColors.at(0))).isEmpty(),
             "the caption leaves ink");
    const QRect off = differenceBox(image, expected);
    QVERIFY2(off.isNull(), qPrintable(QString("painting differs in (%1, %2, %3 x %4)")
                                          .arg(off.x())
                                          .arg(off.y())
                                          .arg(off.width())
                                          .arg(off.height())));
}

void TestFloatButton::emphasisAndUnderline_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("align"); // -1 no icon
    QTest::addColumn<bool>("emphasis");
    QTest::addColumn<bool>("line");

    QTest::newRow("down: width 2, offset 1") << 2 << 2 << 1 << -1 << true << true;
    QTest::newRow("down: width 1") << 2 << 1 << 0 << -1 << true << true;
    QTest::newRow("down: width 3") << 2 << 3 << 2 << -1 << true << true;
    QTest::newRow("down: width 4, zero dashes") << 2 << 4 << 0 << -1 << true << true;
    QTest::newRow("down: spans icon before") << 2 << 2 << 1 << 0 << true << true;
    QTest::newRow("down: spans icon after") << 2 << 1 << 1 << 1 << true << true;
    QTest::newRow("hover: bold, no line") << 1 << 2 << 1 << -1 << true << false;
    QTest::newRow("normal: plain, no line") << 0 << 2 << 1 << -1 << false << false;
    QTest::newRow("disabled: plain, no line") << 3 << 2 << 1 << -1 << false << false;
    QTest::newRow("down without underline: plain") << 2 << 0 << 3 << -1 << false << false;
}

void TestFloatButton::emphasisAndUnderline()
{
    QFETCH(int, status);
    QFETCH(int, width);
    QFETCH(int, offset);
    QFETCH(int, align);
    QFETCH(bool, emphasis);
    QFETCH(bool, line);

    RecordingParent parent;
    ProbeButton* button = makeButton(&parent);
    if (align >= 0)
        button->setIcon("img_tfb_icon", EIconAlign(align), 4);
    button->setUnderlineInfo(width, offset);
    button->setButtonStatus(EFloatButtonStatus(status));
    const QSize caption = button->captionSize(emphasis);
    const int iconExtent = align >= 0 ? 16 + 4 : 0;
    // Area 60 wider than the block and 21 taller than caption plus underline.
    const QRect area(0, 0, caption.width() + iconExtent + 60,
                     caption.height() + width + offset + 21);
    button->resize(area.size());
    const int blockX = 30;
    const int textY = 10;
    const int textX = align == 0 ? blockX + iconExtent : blockX;

    const QImage image = render(button);
    QImage expected = solid(button->size(), backgroundColors.at(status));
    if (align >= 0) {
        const int iconX = align == 0 ? blockX : blockX + caption.width() + 4;
        const QRect iconRect(iconX, textY + (caption.height() - 16) / 2, 16, 16);
        QCOMPARE(colorBox(image, iconColors.at(status)), iconRect);
        QPainter(&expected).fillRect(iconRect, iconColors.at(status));
    }
    drawCaption(&expected, "Ab", QRect(textX, textY, caption.width(), caption.height()),
                &textColors.at(status), emphasis);

    const int belowCaption = textY + caption.height();
    const int y = belowCaption + width / 2 + offset;
    const int lineStart = blockX;
    const int lineEnd = blockX + caption.width() + iconExtent;
    if (line) {
        QPainter painter(&expected);
        QPen pen(textColors.at(status));
        pen.setDashPattern({qreal(3 / width), 3.0});
        pen.setWidth(width);
        painter.setPen(pen);
        painter.drawLine(lineStart, y, lineEnd, y);
    }

    const QRect off = differenceBox(image, expected);
    QVERIFY2(off.isNull(), qPrintable(QString("painting differs in (%1, %2, %3 x %4)")
                                          .arg(off.x())
                                          .arg(off.y())
                                          .arg(off.width())
                                          .arg(off.height())));

    // Below the caption only the underline is drawn: in the line's rows, within its span.
    QImage below = image.copy(0, belowCaption, image.width(), image.height() - belowCaption);
    const QRect lineBox = colorBox(below, textColors.at(status)).translated(0, belowCaption);
    if (!line || 3 / width == 0) {
        // A dash pattern with empty dashes leaves nothing visible.
        QVERIFY(lineBox.isNull());
        return;
    }
    QVERIFY(!lineBox.isNull());
    QCOMPARE(lineBox.height(), width);
    QVERIFY(lineBox.top() <= y && y <= lineBox.bottom());
    QVERIFY(lineBox.left() >= lineStart - width && lineBox.left() <= lineStart);
    QVERIFY(lineBox.right() <= lineEnd + width);
}

void TestFloatButton::shadowFollowsCaption_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");

    QTest::newRow("horizontal, normal") << 0 << true << 2 << 1;
    QTest::newRow("horizontal, hover") << 1 << true << -1 << 2;
    QTest::newRow("horizontal, disabled") << 3 << true << 3 << 3;
    QTest::newRow("vertical, normal") << 0 << false << 1 << 1;
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

    // A transparent caption leaves the shadow alone in the picture. In the caption's own
    // colours the shadow is the caption's picture moved by the offset, pixel for pixel.
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
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("textY"); // relative to the area
    QTest::addColumn<int>("iconY"); // -100 not drawn
    QTest::addColumn<bool>("iconAfterCaption");

    // The area is 28 wider than the widest character and 32 taller than the stack.
    QTest::newRow("two characters") << "iW" << 0 << 0 << -1 << 16 << -100 << false;
    QTest::newRow("stacked Chinese")
        << QString::fromUtf8("浮动按钮") << 0 << 0 << -1 << 16 << -100 << false;
    QTest::newRow("icon before") << "iW" << 0 << 0 << 0 << 26 << 6 << false;
    QTest::newRow("icon after") << "iW" << 0 << 0 << 1 << 6 << 10 << true;
    QTest::newRow("unknown alignment") << "iW" << 0 << 0 << 4 << 16 << -100 << false;
    QTest::newRow("margins move the area") << "iW" << 6 << 9 << 0 << 26 << 6 << false;
}

void TestFloatButton::verticalLayout()
{
    QFETCH(QString, text);
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, align);
    QFETCH(int, textY);
    QFETCH(int, iconY);
    QFETCH(bool, iconAfterCaption);

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
    const QRect area(left, top, stack.width() + 28, stack.height() + 32);
    button->resize(area.right() + 1 + 2, area.bottom() + 1 + 5);
    button->setTextMargin(left, top, 2, 5);

    const QImage image = render(button);
    QImage expected = solid(button->size(), backgroundColors.at(2));
    if (iconY != -100) {
        const QRect iconRect(area.left() + (area.width() - 16) / 2,
                             top + iconY + (iconAfterCaption ? stack.height() : 0), 16, 16);
        QCOMPARE(colorBox(image, iconColors.at(2)), iconRect);
        QPainter(&expected).fillRect(iconRect, iconColors.at(2));
    } else {
        QVERIFY(colorBox(image, iconColors.at(2)).isEmpty());
    }
    int y = top + textY;
    for (int i = 0; i < text.size(); ++i) {
        const QRect rect(area.left() + (area.width() - sizes.at(i).width()) / 2, y,
                         sizes.at(i).width(), sizes.at(i).height());
        drawCaption(&expected, text.mid(i, 1), rect, &textColors.at(2), false);
        y += sizes.at(i).height();
    }
    const QRect off = differenceBox(image, expected);
    QVERIFY2(off.isNull(), qPrintable(QString("painting differs in (%1, %2, %3 x %4)")
                                          .arg(off.x())
                                          .arg(off.y())
                                          .arg(off.width())
                                          .arg(off.height())));
}

void TestFloatButton::nullPainterIsIgnored()
{
    RecordingParent parent;
    ProbeButton* button = makeButton(&parent);
    button->setIcon("img_tfb_icon", IconAlignAfter, 4);
    button->drawHorizontal(nullptr);
    button->drawVertical(nullptr);
    // With neither caption nor icon only the background is painted.
    button->clearIcon();
    button->setText(QString());
    button->setShadowInfo(1, 1, shadowKeys.at(0), shadowKeys.at(1), shadowKeys.at(2),
                          shadowKeys.at(3));
    for (bool horizontal : {true, false}) {
        button->setHorizontalText(horizontal);
        QCOMPARE(colorBox(render(button), backgroundColors.at(0)), button->rect());
    }
}

QTEST_MAIN(TestFloatButton)
#include "tst_floatbutton.moc"
