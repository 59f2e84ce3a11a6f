#include "testsupport.h"

#include "uibase/dialog/cglobalmessagedialog.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <memory>

using namespace Omra;

namespace {

const QString suffix = QStringLiteral("秒后本消息自动关闭");

// Reaches the protected parts of a popup built with the public constructor.
class Probe : public CGlobalMessageDialog
{
public:
    using CGlobalMessageDialog::CGlobalMessageDialog;
    using CGlobalMessageDialog::resetLayout;
    using CGlobalMessageDialog::setContent;
    using CGlobalMessageDialog::setTitle;
};

template <class T> T* child(QWidget* popup, const char* name)
{
    return popup->findChild<T*>(QLatin1String(name));
}

void step(QWidget* popup)
{
    QVERIFY(QMetaObject::invokeMethod(popup, "slotTimeout", Qt::DirectConnection));
}

void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

// Catches what the renew button opens in the browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public slots:
    void openUrl(const QUrl& url) { urls << url; }

public:
    QList<QUrl> urls;
};

class TestGlobalMessageDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void onePopupNeverOnTopNorActive();
    void gateAndCountdown_data();
    void gateAndCountdown();
    void countdownRunsInRealTime();
    void contentLineLimit_data();
    void contentLineLimit();
    void placement_data();
    void placement();
    void replacementMovesBackAndUnchecks();
    void layout_data();
    void layout();
    void checkBoxSignals();
    void mousePressReportsMessage_data();
    void mousePressReportsMessage();
    void detailsButton_data();
    void detailsButton();
    void renewOpensPurchasePage_data();
    void renewOpensPurchasePage();
    void cursors();
    void survivesParentDestroyed();

private:
    CGlobalMessageDialog* popup() { return CGlobalMessageDialog::instance(host.get()); }
    void show(const QString& title, int tick, bool replaceable = true, int id = -1,
              bool details = false, bool renew = false, bool dontRemind = false,
              bool dontRemindToday = false, const QString& content = QStringLiteral("正文"))
    {
        CGlobalMessageDialog::showSingleMessage(title, content, tick, id, dontRemind, host.get(),
                                                details, dontRemindToday, replaceable, renew);
    }
    QString shownTitle() { return child<CSimpleTextWidget>(popup(), "titleText")->getText(); }

    std::unique_ptr<testsupport::TestTheme> theme;
    std::unique_ptr<QWidget> host;
    UrlCatcher catcher;
    QSet<QWidget*> before;
};

void TestGlobalMessageDialog::initTestCase()
{
    theme.reset(new testsupport::TestTheme);
    theme->size(QStringLiteral("siz_global_msg_dlg_width"), 300)
        .size(QStringLiteral("siz_global_msg_dlg_height"), 150)
        .size(QStringLiteral("siz_global_msg_dlg_content_margin_y_space"), 3)
        .image(QStringLiteral("img_sys_btn_exit"), QSize(18, 16), Qt::red, 4)
        .image(QStringLiteral("img_global_msg_loudspeaker"), QSize(22, 18), Qt::blue)
        .image(QStringLiteral("img_btn_normal_small_emphasis"), QSize(60, 24), Qt::green, 4)
        .image(QStringLiteral("img_btn_no_normal_small"), QSize(30, 20), Qt::yellow, 4)
        .font(QStringLiteral("fnt_global_msg_title"), 15, true)
        .font(QStringLiteral("fnt_global_msg_content"), 12);
    QVERIFY(theme->apply());
    host.reset(new QWidget);
    popup(); // built before any leak snapshot: it legitimately lives on
}

void TestGlobalMessageDialog::cleanupTestCase()
{
    host.reset();
    theme.reset();
}

void TestGlobalMessageDialog::init()
{
    CGlobalMessageDialog::closeMessage();
    CGlobalMessageDialog::setRightBottom(QPoint(1000, 700));
    CGlobalMessageDialog::setPurchasePage(QString());
    catcher.urls.clear();
    before = testsupport::topLevelSnapshot();
}

void TestGlobalMessageDialog::cleanup()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    CGlobalMessageDialog::closeMessage();
    // The popup is reused for the whole process; only the current one may outlive a test.
    QList<QWidget*> leaked = testsupport::leakedTopLevels(before);
    leaked.removeAll(popup());
    QCOMPARE(leaked, QList<QWidget*>());
}

void TestGlobalMessageDialog::onePopupNeverOnTopNorActive()
{
    CGlobalMessageDialog* first = popup();
    QWidget other;
    QCOMPARE(CGlobalMessageDialog::instance(&other), first);
    QVERIFY(!(first->windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(first->testAttribute(Qt::WA_ShowWithoutActivating));
    show(QStringLiteral("A"), -1);
    QVERIFY(first->isVisible() && QApplication::activeWindow() != first);
    CGlobalMessageDialog::closeMessage();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    show(QStringLiteral("B"), -1); // closed, not deleted: the same popup again
    QCOMPARE(popup(), first);
}

// Each step acts on the popup; after it the popup must be in the state given: "V" shown or
// "H" hidden, the title on it, the countdown number ("-" when the line is hidden), and "T"
// when the countdown timer runs ("-" when not).
//   show TITLE TICK r|n   a message, replaceable (r) or not (n)
//   button                the close button
//   closeMessage          CGlobalMessageDialog::closeMessage()
//   hide                  hidden directly by the caller
//   step                  one countdown step
void TestGlobalMessageDialog::gateAndCountdown_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("states");

    QTest::newRow("non-replaceable blocks until the close button")
        << QStringList{"show A 3 n", "show B -1 r", "show C -1 r", "button", "show D -1 r"}
        << QStringList{"V A 3 T", "V A 3 T", "V A 3 T", "H A 3 T", "V D - -"};
    QTest::newRow("countdown of three")
        << QStringList{"show A 3 r", "step", "step", "step", "step", "step"}
        << QStringList{"V A 3 T", "V A 2 T", "V A 1 T", "H A 1 T", "H A 1 T", "H A 1 T"};
    QTest::newRow("countdown of zero never runs")
        << QStringList{"show A 0 r", "show B 0 n", "show C -1 r"}
        << QStringList{"V A 0 -", "V B 0 -", "V B 0 -"};
    QTest::newRow("hidden popup keeps counting and opens the gate")
        << QStringList{"show A 2 n",  "hide", "show B -1 r", "step",
                       "show C -1 r", "step", "show D -1 r"}
        << QStringList{"V A 2 T", "H A 2 T", "H A 2 T", "H A 1 T", "H A 1 T", "H A 1 T", "V D - -"};
    QTest::newRow("hidden without countdown stays blocked until closeMessage")
        << QStringList{"show A -1 n", "hide",       "show B -1 r",  "step",
                       "step",        "show C 4 r", "closeMessage", "show D -1 r"}
        << QStringList{"V A - -", "H A - -", "H A - -", "H A - -",
                       "H A - -", "H A - -", "H A - -", "V D - -"};
    QTest::newRow("closeMessage ends the countdown")
        << QStringList{"show A 3 n", "closeMessage", "step", "step", "step", "show B 2 r"}
        << QStringList{"V A 3 T", "H A 3 T", "H A 3 T", "H A 3 T", "H A 3 T", "V B 2 T"};
    QTest::newRow("a replaceable message is replaced in place")
        << QStringList{"show A 3 r",  "step",       "show B 5 r",
                       "show C -1 r", "show D 2 n", "show E 2 r"}
        << QStringList{"V A 3 T", "V A 2 T", "V B 5 T", "V C - -", "V D 2 T", "V D 2 T"};
}

void TestGlobalMessageDialog::gateAndCountdown()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, states);
    QCOMPARE(steps.size(), states.size());

    CGlobalMessageDialog* p = popup();
    auto* countdown = child<CSimpleTextWidget>(p, "countdownText");
    auto* timer = child<QTimer>(p, "countdownTimer");
    auto* closeButton = child<CPushButton>(p, "closeButton");
    // Steps are driven by hand; the real timer must not interfere.
    timer->blockSignals(true);

    for (int i = 0; i < steps.size(); ++i) {
        const QStringList op = steps.at(i).split(QLatin1Char(' '));
        if (op.at(0) == QLatin1String("show"))
            show(op.at(1), op.at(2).toInt(), op.at(3) == QLatin1String("r"));
        else if (op.at(0) == QLatin1String("button"))
            QTest::mouseClick(closeButton, Qt::LeftButton);
        else if (op.at(0) == QLatin1String("closeMessage"))
            CGlobalMessageDialog::closeMessage();
        else if (op.at(0) == QLatin1String("hide"))
            p->hide();
        else if (op.at(0) == QLatin1String("step"))
            step(p);
        else
            QFAIL(qPrintable(QStringLiteral("unknown step ") + steps.at(i)));

        QString number = countdown->getText();
        QVERIFY2(countdown->isHidden() || number.endsWith(suffix), qPrintable(number));
        number.chop(suffix.size());
        const QString state =
            QStringList{p->isVisible() ? QStringLiteral("V") : QStringLiteral("H"), shownTitle(),
                        countdown->isHidden() ? QStringLiteral("-") : number,
                        timer->isActive() ? QStringLiteral("T") : QStringLiteral("-")}
                .join(QLatin1Char(' '));
        QVERIFY2(state == states.at(i),
                 qPrintable(QStringLiteral("after %1: %2").arg(steps.at(i), state)));
    }
    timer->blockSignals(false);
}

void TestGlobalMessageDialog::countdownRunsInRealTime()
{
    CGlobalMessageDialog* p = popup();
    auto* countdown = child<CSimpleTextWidget>(p, "countdownText");
    QElapsedTimer clock;
    clock.start();
    show(QStringLiteral("实时"), 2);
    QTRY_COMPARE_WITH_TIMEOUT(countdown->getText(), QStringLiteral("1") + suffix, 3000);
    QVERIFY(p->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(p->isHidden(), 3000);
    QVERIFY2(clock.elapsed() >= 1900, qPrintable(QString::number(clock.elapsed())));
}

void TestGlobalMessageDialog::contentLineLimit_data()
{
    QTest::addColumn<int>("tick");
    QTest::addColumn<int>("lines");
    QTest::newRow("no countdown") << -1 << 5;
    QTest::newRow("countdown") << 10 << 4;
}

void TestGlobalMessageDialog::contentLineLimit()
{
    QFETCH(int, tick);
    QFETCH(int, lines);
    const QString seven = QStringLiteral("一\n二\n三\n四\n五\n六\n七");
    show(QStringLiteral("T"), tick, true, -1, false, false, false, false, seven);
    auto* content = child<CSimpleTextWidget>(popup(), "contentText");
    QCOMPARE(content->lineCountForWidth(content->width()), lines);
    QCOMPARE(content->height(), content->heightForWidth(content->width()));
}

void TestGlobalMessageDialog::placement_data()
{
    QTest::addColumn<QPoint>("anchor");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("full hd corner") << QPoint(1920, 1080) << QPoint(1600, 890);
}

void TestGlobalMessageDialog::placement()
{
    QFETCH(QPoint, anchor);
    QFETCH(QPoint, topLeft);
    CGlobalMessageDialog* p = popup();
    CGlobalMessageDialog::setRightBottom(anchor);
    show(QStringLiteral("A"), -1);
    QCOMPARE(p->pos(), topLeft);
    // The user drags it away; the next message brings it back to the anchor.
    p->move(topLeft + QPoint(-100, -50));
    show(QStringLiteral("B"), -1);
    QCOMPARE(p->pos(), topLeft);
    // A new anchor takes effect at the next message only.
    CGlobalMessageDialog::setRightBottom(anchor + QPoint(10, 10));
    QCOMPARE(p->pos(), topLeft);
    show(QStringLiteral("C"), -1);
    QCOMPARE(p->pos(), topLeft + QPoint(10, 10));
}

void TestGlobalMessageDialog::replacementMovesBackAndUnchecks()
{
    CGlobalMessageDialog* p = popup();
    show(QStringLiteral("A"), 3, true, 1, false, false, true, true);
    auto* dontRemind = child<CCheckBox>(p, "dontRemindCheckBox");
    auto* today = child<CCheckBox>(p, "dontRemindTodayCheckBox");
    QTest::mouseClick(dontRemind, Qt::LeftButton);
    today->setChecked(true);
    QSignalSpy dontRemindSignals(p, &CGlobalMessageDialog::sigSetShowMessage);
    QSignalSpy todaySignals(p, &CGlobalMessageDialog::sigSetShowMessageToday);
    show(QStringLiteral("B"), -1, true, 2, false, false, true, false, QStringLiteral("新正文"));
    // Unchecked by the new message, not by the user: nothing reported.
    QCOMPARE(dontRemindSignals.count() + todaySignals.count(), 0);
    // Checked, shown: for both boxes, then the countdown line shown.
    const QString state = QStringLiteral("%1%2 %3%4 %5 %6")
                              .arg(dontRemind->isChecked())
                              .arg(dontRemind->isVisible())
                              .arg(today->isChecked())
                              .arg(today->isVisible())
                              .arg(child<CSimpleTextWidget>(p, "countdownText")->isVisible())
                              .arg(child<CSimpleTextWidget>(p, "contentText")->getText());
    QCOMPARE(state, QStringLiteral("01 00 0 新正文"));
}

namespace {

// Checks every child against the layout rules for the given size.
void verifyLayout(QWidget* p, const QSize& size, bool details, bool renew)
{
    const int W = size.width();
    const int H = size.height();
    auto* closeButton = child<QWidget>(p, "closeButton");
    auto* image = child<QWidget>(p, "loudspeakerImage");
    auto* title = child<QWidget>(p, "titleText");
    auto* content = child<CSimpleTextWidget>(p, "contentText");
    auto* countdown = child<QWidget>(p, "countdownText");
    auto* dontRemind = child<QWidget>(p, "dontRemindCheckBox");
    auto* today = child<QWidget>(p, "dontRemindTodayCheckBox");
    auto* detailsButton = child<QWidget>(p, "detailsButton");
    auto* renewButton = child<QWidget>(p, "renewButton");

    QCOMPARE(closeButton->pos(), QPoint(W - 12 - closeButton->width(), 12));
    QCOMPARE(image->pos(), QPoint(17, 12 + (30 - image->height()) / 2));
    QCOMPARE(title->pos(), QPoint(17 + image->width() + 5, 12 + (30 - title->height()) / 2));
    QCOMPARE(content->geometry(), QRect(17, 47, W - 34, content->heightForWidth(W - 34)));
    QCOMPARE(countdown->geometry().right() + 1, W - 17);
    QCOMPARE(countdown->y(), H - 42 + (30 - countdown->height()) / 2);
    QCOMPARE(dontRemind->pos(), QPoint(17, H - 42 + (30 - 15) / 2));
    QCOMPARE(today->pos(), dontRemind->pos());
    QCOMPARE(detailsButton->isHidden(), !details);
    QCOMPARE(renewButton->isHidden(), !renew);
    if (details)
        QCOMPARE(detailsButton->pos(), QPoint(17, 82));
    if (renew)
        QCOMPARE(renewButton->pos(), QPoint(W - 17 - 60, countdown->y() - 24 - 5));
}

} // namespace

// Rows without a size lay out the shown 300 x 150 popup; the others a second popup resized.
void TestGlobalMessageDialog::layout_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("tick");
    QTest::addColumn<bool>("details");
    QTest::addColumn<bool>("renew");
    QTest::newRow("details") << QSize() << 5 << true << false;
    QTest::newRow("everything") << QSize() << 120 << true << true;
    QTest::newRow("resized small") << QSize(200, 100) << 3 << false << false;
}

void TestGlobalMessageDialog::layout()
{
    QFETCH(QSize, size);
    QFETCH(int, tick);
    QFETCH(bool, details);
    QFETCH(bool, renew);
    // A resized popup follows the flags of the last accepted message.
    show(QStringLiteral("一个标题"), tick, true, -1, details, renew, true, false,
         QStringLiteral("您的行情权限即将到期，请及时续费。"));
    if (!size.isValid()) {
        CGlobalMessageDialog* p = popup();
        QCOMPARE(p->size(), QSize(300, 150));
        verifyLayout(p, p->size(), details, renew);
        if (tick > 1) { // the countdown line stays right-aligned whatever the number of digits
            step(p);
            verifyLayout(p, p->size(), details, renew);
        }
        return;
    }
    Probe probe(nullptr, 12);
    probe.setTitle(QStringLiteral("标题"));
    probe.setContent(QStringLiteral("内容"));
    probe.resetLayout(size);
    verifyLayout(&probe, size, details, renew);
    // A resize lays out from the size the event carries.
    QResizeEvent event(size + QSize(40, 20), size);
    QApplication::sendEvent(&probe, &event);
    verifyLayout(&probe, size + QSize(40, 20), details, renew);
}

void TestGlobalMessageDialog::checkBoxSignals()
{
    CGlobalMessageDialog* p = popup();
    show(QStringLiteral("行情提醒"), -1, true, -1, false, false, true, true);
    QSignalSpy dontRemind(p, &CGlobalMessageDialog::sigSetShowMessage);
    QSignalSpy today(p, &CGlobalMessageDialog::sigSetShowMessageToday);
    // Checked then unchecked: "don't remind" reports the negation, "today" the state itself.
    for (int i = 0; i < 2; ++i) {
        QTest::mouseClick(child<CCheckBox>(p, "dontRemindCheckBox"), Qt::LeftButton);
        QTest::mouseClick(child<CCheckBox>(p, "dontRemindTodayCheckBox"), Qt::LeftButton);
    }
    const QString title = QStringLiteral("行情提醒");
    using Calls = QList<QList<QVariant>>;
    QCOMPARE(static_cast<const Calls&>(dontRemind), (Calls{{false, title}, {true, title}}));
    QCOMPARE(static_cast<const Calls&>(today), (Calls{{true, title}, {false, title}}));
}

void TestGlobalMessageDialog::mousePressReportsMessage_data()
{
    QTest::addColumn<int>("messageId");
    QTest::addColumn<int>("reports");
    QTest::newRow("with id") << 42 << 1;
    QTest::newRow("without id") << -1 << 0;
}

void TestGlobalMessageDialog::mousePressReportsMessage()
{
    QFETCH(int, messageId);
    QFETCH(int, reports);
    CGlobalMessageDialog* p = popup();
    show(QStringLiteral("A"), -1, true, messageId);
    QSignalSpy spy(p, &CGlobalMessageDialog::sigShowMessage);

    const QPoint start = p->pos();
    sendMouse(p, QEvent::MouseButtonPress, QPoint(150, 100), Qt::LeftButton);
    QCOMPARE(spy.count(), reports);
    if (reports)
        QCOMPARE(spy.at(0).at(0).toInt(), messageId);
    // The press also starts a drag.
    sendMouse(p, QEvent::MouseMove, QPoint(170, 90), Qt::LeftButton);
    sendMouse(p, QEvent::MouseButtonRelease, QPoint(170, 90), Qt::NoButton);
    QCOMPARE(p->pos(), start + QPoint(20, -10));

    // setMessageId changes what a press reports.
    p->setMessageId(messageId + 1);
    sendMouse(p, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton);
    sendMouse(p, QEvent::MouseButtonRelease, QPoint(10, 10), Qt::NoButton);
    QCOMPARE(spy.count(), reports + (messageId + 1 != -1 ? 1 : 0));
    QCOMPARE(spy.last().at(0).toInt(), messageId + 1);
}

void TestGlobalMessageDialog::detailsButton_data()
{
    QTest::addColumn<bool>("details");
    QTest::newRow("enabled") << true;
    QTest::newRow("disabled") << false;
}

void TestGlobalMessageDialog::detailsButton()
{
    QFETCH(bool, details);
    CGlobalMessageDialog* p = popup();
    show(QStringLiteral("A"), -1, true, -1, details, false);
    auto* button = child<CPushButton>(p, "detailsButton");
    QSignalSpy spy(p, &CGlobalMessageDialog::sigShowRCWidget);
    if (details)
        QTest::mouseClick(button, Qt::LeftButton);
    else
        QVERIFY(p->handleEvent(UiEventClick, 0, 0, QString(), nullptr));
    QCOMPARE(spy.count(), details ? 1 : 0);
    QVERIFY(p->isVisible());
}

void TestGlobalMessageDialog::renewOpensPurchasePage_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("opened");
    QTest::newRow("spaces and Chinese") << "https://shop.example.com/续费?user=张 三" << true;
    QTest::newRow("no page set") << "" << false;
}

void TestGlobalMessageDialog::renewOpensPurchasePage()
{
    QFETCH(QString, page);
    QFETCH(bool, opened);
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "openUrl");
    CGlobalMessageDialog::setPurchasePage(page);
    CGlobalMessageDialog* p = popup();
    show(QStringLiteral("A"), 30, true, -1, false, true);
    auto* renew = child<CPushButton>(p, "renewButton");
    QTest::mouseClick(renew, Qt::LeftButton);
    QCOMPARE(catcher.urls, opened ? QList<QUrl>{QUrl(page, QUrl::TolerantMode)} : QList<QUrl>());
}

void TestGlobalMessageDialog::cursors()
{
    Probe probe;
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&probe, &enter);
    QCOMPARE(probe.cursor().shape(), Qt::PointingHandCursor);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&probe, &leave);
    QCOMPARE(probe.cursor().shape(), Qt::ArrowCursor);
    sendMouse(&probe, QEvent::MouseMove, QPoint(5, 5), Qt::NoButton);
    QCOMPARE(probe.cursor().shape(), Qt::PointingHandCursor);
}

void TestGlobalMessageDialog::survivesParentDestroyed()
{
    // Start over with a popup owned by a window that goes away.
    delete popup();
    CGlobalMessageDialog::closeMessage(); // no popup: nothing happens

    auto* owner = new QWidget;
    CGlobalMessageDialog* first = CGlobalMessageDialog::instance(owner);
    QPointer<CGlobalMessageDialog> guard(first);
    CGlobalMessageDialog::showSingleMessage(QStringLiteral("A"), QStringLiteral("x"), -1, -1, false,
                                            owner, false, false, false, false);
    QVERIFY(first->isVisible());
    delete owner;
    QVERIFY(guard.isNull());

    CGlobalMessageDialog::closeMessage(); // no popup again: nothing happens
    // The next message builds a new popup; the dead one's gate does not block it.
    show(QStringLiteral("B"), 2);
    CGlobalMessageDialog* second = popup();
    QVERIFY(second && second->isVisible());
    QCOMPARE(second->parentWidget(), host.get());
}

QTEST_MAIN(TestGlobalMessageDialog)
#include "tst_globalmessagedialog.moc"
