#include "testsupport.h"

#include "uibase/dialog/contracts/basewidget.h"

#include <QFontMetrics>
#include <QPainter>
#include <QtTest>
#include <QtWidgets/qdrawutil.h>

#include <functional>

#include <cmath>

using namespace Omra;

namespace {

struct Event
{
    int type;
    int id;
    int param;
    QString text;
    bool checkedAtDelivery;
};

class Recorder : public QWidget, public CEventDeliverer
{
public:
    bool handleEvent(int type, int id, int param, QString text, void* data) override
    {
        // The data pointer is the sending widget itself.
        const bool checked =
            type == UiEventCheckToggled && static_cast<CCheckBox*>(data)->isChecked();
        events.append({type, id, param, text, checked});
        return true;
    }
    QList<Event> events;
};

QFont themeFont(const QString& key)
{
    return *utils::CSingletonT<CUiResource>::instance()->getFont(key);
}

} // namespace

class TestToolkit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void textWidgetSizes_data();
    void textWidgetSizes();
    void textWidgetLineSpaceAndHeight();
    void textWidgetWidthFollowsItsFont_data();
    void textWidgetWidthFollowsItsFont();
    void clickableTextActivates();
    void pushButtonPaintsStateFrames();
    void inputWidgetsReportChanges();
    void checkBoxReportsNewState();
    void widgetListPlacesEntries_data();
    void widgetListPlacesEntries();
    void nineGridKeepsCorners();
    void nineGridRepaintLooksTheSame_data();
    void nineGridRepaintLooksTheSame();
    void tipShowsReplacesAndHides();

private:
    QSet<QWidget*> before;
};

void TestToolkit::init()
{
    before = testsupport::topLevelSnapshot();
}

void TestToolkit::cleanup()
{
    CMessageTip::hideTip();
    QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>());
}

void TestToolkit::textWidgetSizes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxLines");
    QTest::addColumn<int>("wrapWidth");
    QTest::addColumn<int>("expectedLines");

    const QString word = QStringLiteral("word ");
    QTest::newRow("one line fits") << QStringLiteral("short") << 10 << 1000 << 1;
    QTest::newRow("wraps to three") << word.repeated(30) << 10 << -3 << 3;
    QTest::newRow("limited to two") << word.repeated(30) << 2 << -3 << 2;
    QTest::newRow("paragraphs") << QStringLiteral("a\nb\nc") << 10 << 1000 << 3;
    QTest::newRow("paragraphs limited") << QStringLiteral("a\nb\nc") << 2 << 1000 << 2;
    QTest::newRow("ideographs wrap anywhere")
        << QStringLiteral("系统消息").repeated(20) << 10 << -2 << 2;
}

void TestToolkit::textWidgetSizes()
{
    QFETCH(QString, text);
    QFETCH(int, maxLines);
    QFETCH(int, wrapWidth);
    QFETCH(int, expectedLines);

    CSimpleTextWidget label(false, -1, QString());
    label.setFlag(Qt::AlignLeft | Qt::TextWordWrap);
    label.setText(text, maxLines);
    const QFontMetrics metrics(themeFont(label.getFontKey()));

    // The size hint is the unwrapped width of the longest paragraph, rounded up, so that
    // the text given that width keeps one line per paragraph.
    const QFontMetricsF exact(themeFont(label.getFontKey()));
    int widest = 0;
    for (const QString& paragraph : text.split(QLatin1Char('\n')).mid(0, maxLines))
        widest = qMax(widest, int(std::ceil(exact.horizontalAdvance(paragraph))));
    QCOMPARE(label.sizeHint().width(), widest);
    QCOMPARE(label.lineCountForWidth(widest), qMin(maxLines, text.count(QLatin1Char('\n')) + 1));

    // A negative width asks for a width that splits the text into that many lines.
    const int width = wrapWidth > 0 ? wrapWidth : widest / -wrapWidth + metrics.maxWidth();
    QCOMPARE(label.lineCountForWidth(width), expectedLines);
    QCOMPARE(label.heightForWidth(width), expectedLines * metrics.height());
    QVERIFY(label.hasHeightForWidth());
}

void TestToolkit::textWidgetLineSpaceAndHeight()
{
    CSimpleTextWidget label(QStringLiteral("a\nb\nc"));
    label.setLineSpace(4);
    label.setTextLineHeight(15);
    QCOMPARE(label.sizeHint().height(), 3 * 15 + 2 * 4);
    label.setText(QString(), 5);
    QCOMPARE(label.sizeHint(), QSize(0, 15)); // an empty text still takes one line
}

void TestToolkit::textWidgetWidthFollowsItsFont_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("blank") << QStringLiteral(" ");
    QTest::newRow("latin") << QStringLiteral("Order 12 sent");
    QTest::newRow("chinese") << QStringLiteral("委托已提交");
}

// Widths are remembered per font and text: the same text in a larger font, measured right
// after the smaller one (and the other way round), still gets its own width.
void TestToolkit::textWidgetWidthFollowsItsFont()
{
    QFETCH(QString, text);
    testsupport::TestTheme theme;
    theme.font(QStringLiteral("fnt_test_small"), 12).font(QStringLiteral("fnt_test_large"), 24);
    QVERIFY(theme.apply());
    const auto hintWidth = [&](const QString& key) {
        CSimpleTextWidget widget(text);
        widget.setFontKey(key);
        return widget.sizeHint().width();
    };
    const auto advance = [&](const QString& key) {
        return int(std::ceil(QFontMetricsF(themeFont(key)).horizontalAdvance(text)));
    };
    const int small = hintWidth(QStringLiteral("fnt_test_small"));
    const int large = hintWidth(QStringLiteral("fnt_test_large"));
    QVERIFY(small >= advance(QStringLiteral("fnt_test_small")));
    QVERIFY(large >= advance(QStringLiteral("fnt_test_large")));
    QVERIFY(large > small);
    QCOMPARE(hintWidth(QStringLiteral("fnt_test_small")), small);
    QCOMPARE(hintWidth(QStringLiteral("fnt_test_large")), large);
}

void TestToolkit::clickableTextActivates()
{
    Recorder owner;
    auto* link = new CSimpleTextWidget(true, 4, QStringLiteral("点击设置重启时间"), &owner);
    auto* plain = new CSimpleTextWidget(false, 5, QStringLiteral("plain"), &owner);
    QTest::mouseClick(plain, Qt::LeftButton);
    QVERIFY(owner.events.isEmpty());
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(owner.events.size(), 1);
    QCOMPARE(owner.events.at(0).type, int(UiEventActivate));
    QCOMPARE(owner.events.at(0).id, 4);
    QCOMPARE(link->getID(), 4);
}

void TestToolkit::pushButtonPaintsStateFrames()
{
    testsupport::TestTheme theme;
    const QList<QColor> frames{Qt::red, Qt::green, Qt::blue, Qt::gray};
    theme.image(QStringLiteral("img_test_button"), QSize(40, 20), frames)
        .color(QStringLiteral("clr_test_text"), QColor(Qt::white));
    QVERIFY(theme.apply());

    QWidget window;
    auto* button = new CPushButton(QStringLiteral("img_test_button"), 9, 1, 3, 1, 3, &window);
    QCOMPARE(button->size(), QSize(40, 20)); // one frame of the strip
    button->setTextColorKey("clr_test_text", "clr_test_text", "clr_test_text", "clr_test_text");
    button->resize(72, 29);
    window.show();

    const auto centre = [button] { return button->grab().toImage().pixelColor(2, 14); };
    QCOMPARE(centre(), QColor(Qt::red));
    button->setDown(true);
    QCOMPARE(button->currentState(), 2);
    QCOMPARE(centre(), QColor(Qt::blue));
    button->setDown(false);
    button->setEnabled(false);
    QCOMPARE(centre(), QColor(Qt::gray));
}

void TestToolkit::inputWidgetsReportChanges()
{
    Recorder owner;
    auto* edit = new CLineEdit(3, &owner, false);
    auto* combo = new CComboBox(8, &owner);
    combo->setEditable(true);
    owner.show();

    QTest::keyClicks(edit, QStringLiteral("ab"));
    QCOMPARE(owner.events.size(), 4); // 76 and 77 for each key
    QCOMPARE(owner.events.at(2).type, int(UiEventTextEdited));
    QCOMPARE(owner.events.at(3).type, int(UiEventTextChanged));
    QCOMPARE(owner.events.at(3).text, QStringLiteral("ab"));
    QCOMPARE(owner.events.at(3).id, 3);

    owner.events.clear();
    edit->setText(QStringLiteral("set")); // a programmatic change is not an edit
    QCOMPARE(owner.events.size(), 1);
    QCOMPARE(owner.events.at(0).type, int(UiEventTextChanged));

    owner.events.clear();
    combo->setEditText(QStringLiteral("自定义"));
    QCOMPARE(owner.events.size(), 1);
    QCOMPARE(owner.events.at(0).type, int(UiEventComboTextChanged));
    QCOMPARE(owner.events.at(0).id, 8);
    QCOMPARE(owner.events.at(0).text, QStringLiteral("自定义"));
}

void TestToolkit::checkBoxReportsNewState()
{
    Recorder owner;
    auto* box = new CCheckBox(1, QStringLiteral("今日不再提示"), &owner);
    owner.show();
    // The user's click and key are reported; changes made from code are not.
    QTest::mouseClick(box, Qt::LeftButton);
    box->setChecked(false);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    QTest::keyClick(box, Qt::Key_Space);
    box->setChecked(true);
    QCOMPARE(owner.events.size(), 3);
    QCOMPARE(owner.events.at(0).type, int(UiEventCheckToggled));
    QCOMPARE(owner.events.at(0).id, 1);
    QCOMPARE((QList<int>{owner.events.at(0).param, owner.events.at(1).param,
                         owner.events.at(2).param, owner.events.at(2).checkedAtDelivery}),
             (QList<int>{1, 1, 0, 0}));
}

void TestToolkit::widgetListPlacesEntries_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<QRect>("fixedGeometry");
    QTest::addColumn<QRect>("stretchGeometry");

    // List 300 x 100, margins 10 all round, spacing 8: fixed space 20, a 50 x 30 fixed widget,
    // a stretch widget (20 x 40 hint) with stretch 1, a stretch space with stretch 1.
    // Along: free = 280 - 20 - 50 - 8 = 202, split 101 / 101.
    QTest::newRow("horizontal leading")
        << int(Qt::Horizontal) << 1 << QRect(30, 10, 50, 30) << QRect(88, 10, 101, 40);
    QTest::newRow("horizontal trailing")
        << int(Qt::Horizontal) << 2 << QRect(30, 60, 50, 30) << QRect(88, 50, 101, 40);
    QTest::newRow("horizontal centred")
        << int(Qt::Horizontal) << 3 << QRect(30, 35, 50, 30) << QRect(88, 30, 101, 40);
}

void TestToolkit::widgetListPlacesEntries()
{
    QFETCH(int, orientation);
    QFETCH(int, anchor);
    QFETCH(QRect, fixedGeometry);
    QFETCH(QRect, stretchGeometry);

    CWidgetList list{Qt::Orientation(orientation)};
    list.setMargin(10, 10, 10, 10);
    list.setSpacing(8);
    auto* fixed = new QWidget;
    fixed->resize(50, 30);
    auto* stretch = new QWidget;
    stretch->setMinimumSize(20, 40);
    stretch->setMaximumSize(1000, 40);
    list.addFixedSpace(20);
    list.addFixedWidget(fixed, EWidgetAnchor(anchor));
    list.addStretchWidget(stretch, 1, EWidgetAnchor(anchor));
    list.addStretchSpace(1);
    list.resize(300, 100);
    list.relayout();

    QCOMPARE(fixed->parentWidget(), &list);
    QCOMPARE(fixed->geometry(), fixedGeometry);
    QCOMPARE(stretch->geometry(), stretchGeometry);
}

void TestToolkit::nineGridKeepsCorners()
{
    testsupport::TestTheme theme;
    theme.image(QStringLiteral("img_test_grid"), QSize(30, 30), QColor(Qt::red), 2);
    QVERIFY(theme.apply());
    CNStateJiuGongImage grid(true, QStringLiteral("img_test_grid"), 2, 5, 5, 5, 5);
    QCOMPARE(grid.getSize(), QSize(30, 30));
    CNStateImage plain(QStringLiteral("img_missing_for_sure"), 4);
    QCOMPARE(plain.getSize(), QSize(0, 0));

    QImage image(100, 60, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    grid.drawImage(&painter, 1, QRect(10, 10, 80, 40));
    plain.drawImage(&painter, 0, QRect(0, 0, 100, 60)); // missing image: draws nothing
    painter.end();
    QCOMPARE(image.pixelColor(10, 10), QColor(Qt::red));
    QCOMPARE(image.pixelColor(89, 49), QColor(Qt::red));
    QCOMPARE(image.pixelColor(50, 30), QColor(Qt::red));
    QCOMPARE(image.pixelColor(9, 9).alpha(), 0);
    QCOMPARE(image.pixelColor(90, 50).alpha(), 0);
}

void TestToolkit::nineGridRepaintLooksTheSame_data()
{
    QTest::addColumn<bool>("smooth");
    QTest::addColumn<QRect>("target");
    QTest::addColumn<QColor>("underneath");

    QTest::newRow("smooth, on transparent")
        << true << QRect(7, 5, 300, 140) << QColor(Qt::transparent);
    QTest::newRow("smooth, on grey") << true << QRect(0, 0, 420, 180) << QColor(Qt::gray);
    QTest::newRow("sharp, on transparent")
        << false << QRect(3, 9, 250, 200) << QColor(Qt::transparent);
    QTest::newRow("picture's own size") << true << QRect(10, 10, 128, 128) << QColor(Qt::gray);
}

// A frame drawn again at the same size (from the composed picture kept for it) looks exactly
// like the first one and like the slices drawn one by one.
void TestToolkit::nineGridRepaintLooksTheSame()
{
    QFETCH(bool, smooth);
    QFETCH(QRect, target);
    QFETCH(QColor, underneath);
    const QString key = QStringLiteral("img_custom_dialog_bg");
    const QPixmap source = *utils::CSingletonT<CUiResource>::instance()->getPixmap(key);
    QVERIFY(!source.isNull());
    const QMargins margins(16, 41, 43, 47);
    CNStateJiuGongImage grid(smooth, key, 1, margins.left(), margins.top(), margins.right(),
                             margins.bottom());

    const auto paint = [&](const std::function<void(QPainter&)>& draw) {
        QImage image(440, 220, QImage::Format_ARGB32_Premultiplied);
        image.fill(underneath);
        QPainter painter(&image);
        draw(painter);
        return image;
    };
    const QImage first = paint([&](QPainter& p) { grid.drawImage(&p, 0, target); });
    const QImage again = paint([&](QPainter& p) { grid.drawImage(&p, 0, target); });
    const QImage direct = paint([&](QPainter& p) {
        if (target.size() == source.size()) {
            p.drawPixmap(target.topLeft(), source);
            return;
        }
        p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        qDrawBorderPixmap(&p, target, margins, source, source.rect(), margins, QTileRules());
    });
    QCOMPARE(again, first);
    QCOMPARE(first, direct);
    QVERIFY(first.pixelColor(target.center()) != underneath); // something was drawn
}

void TestToolkit::tipShowsReplacesAndHides()
{
    QWidget window;
    auto* field = new QWidget(&window);
    field->setGeometry(20, 30, 100, 24);
    auto* button = new QWidget(&window);
    button->setGeometry(200, 100, 60, 24);
    window.resize(300, 200);
    window.show();

    CMessageTip::showTip(field, QFlags<EAlign>(0x41), QStringLiteral("密码不能为空"), 2, 300);
    QPointer<CMessageTip> tip = CMessageTip::current();
    QVERIFY(tip);
    QCOMPARE(tip->text(), QStringLiteral("密码不能为空"));
    QCOMPARE(tip->anchor(), field);
    QCOMPARE(tip->pos().x(), field->mapToGlobal(QPoint(0, 0)).x()); // left-aligned
    QVERIFY(tip->pos().y() > field->mapToGlobal(QPoint(0, field->height())).y() - 1); // below

    CMessageTip::showTip(button, QFlags<EAlign>(0x40), QStringLiteral("当前已是最新版本!"), 3, 300);
    QVERIFY(CMessageTip::current());
    QCOMPARE(CMessageTip::current()->anchor(), button);
    QCOMPARE(CMessageTip::current()->text(), QStringLiteral("当前已是最新版本!"));
    const int buttonCentre = button->mapToGlobal(QPoint(button->width() / 2, 0)).x();
    const QRect tipRect = CMessageTip::current()->geometry();
    QVERIFY(qAbs(tipRect.center().x() - buttonCentre) <= 1); // centred
    QTRY_VERIFY(!tip);                                       // the replaced tip is gone

    window.hide(); // the anchor's window hides: so does the tip
    QVERIFY(!CMessageTip::current());

    window.show();
    CMessageTip::showTip(field, QFlags<EAlign>(0x41), QStringLiteral("x"), 1, 300);
    QVERIFY(CMessageTip::current());
    delete field;
    QVERIFY(!CMessageTip::current());
    CMessageTip::showTip(nullptr, QFlags<EAlign>(0x41), QStringLiteral("x"), 1, 300); // ignored
    QVERIFY(!CMessageTip::current());
}

QTEST_MAIN(TestToolkit)
#include "tst_toolkit.moc"
