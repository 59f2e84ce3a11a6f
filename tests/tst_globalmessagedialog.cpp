#include "testsupport.h"

#include "uibase/dialog/cglobalmessagedialog.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <memory>

using namespace Omra;

namespace {

const QString suffix = QStringLiteral("秒后本消息自动关闭");

template <class T = QWidget> T* child(QWidget* popup, const char* name)
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

    std::unique_ptr<testsupport::TestTheme> theme;
    std::unique_ptr<QWidget> host;
    UrlCatcher catcher;
    QSet<QWidget*> before;

    CGlobalMessageDialog* popup() { return CGlobalMessageDialog::instance(host.get()); }
    void show(const QString& title, int tick, bool replaceable = true, int id = -1,
              bool details = false, bool renew = false, bool dontRemind = false,
              bool dontRemindToday = false, const QString& content = QStringLiteral("正文"))
    {
        CGlobalMessageDialog::showSingleMessage(title, content, tick, id, dontRemind, host.get(),
                                                details, dontRemindToday, replaceable, renew);
    }

private slots:
    void initTestCase()
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
        // Before the first message the details and renew buttons are hidden.
        QVERIFY(child(popup(), "detailsButton")->isHidden());
        QVERIFY(child(popup(), "renewButton")->isHidden());
    }
    void cleanupTestCase()
    {
        host.reset();
        theme.reset();
    }
    void init()
    {
        CGlobalMessageDialog::closeMessage();
        CGlobalMessageDialog::setRightBottom(QPoint(1000, 700));
        CGlobalMessageDialog::setPurchasePage(QString());
        catcher.urls.clear();
        before = testsupport::topLevelSnapshot();
    }
    void cleanup()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        CGlobalMessageDialog::closeMessage();
        // The popup is reused for the whole process; only the current one may outlive a test.
        QList<QWidget*> leaked = testsupport::leakedTopLevels(before);
        leaked.removeAll(popup());
        QCOMPARE(leaked, QList<QWidget*>());
    }

    void onePopupNeverOnTopNorActive()
    {
        CGlobalMessageDialog* first = popup();
        QWidget other;
        QCOMPARE(CGlobalMessageDialog::instance(&other), first);
        QVERIFY(!(first->windowFlags() & Qt::WindowStaysOnTopHint));
        show(QStringLiteral("A"), -1);
        QVERIFY(first->isVisible());
        // Shown without activation, which the window system is asked for (the offscreen
        // platform activates every window it shows all the same).
        QVERIFY(first->testAttribute(Qt::WA_ShowWithoutActivating));
        CGlobalMessageDialog::closeMessage();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        show(QStringLiteral("B"), -1); // closed, not deleted: the same popup again
        QCOMPARE(popup(), first);
    }

    // Each step acts on the popup; after it the popup must be in the state given: "V" shown
    // or "H" hidden, the title on it, the countdown number ("-" when the line is hidden), and
    // "T" when the countdown timer runs ("-" when not).
    //   show TITLE TICK r|n   a message, replaceable (r) or not (n)
    //   button / closeMessage / hide / step
    void gateAndCountdown_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("states");
        QTest::newRow("non-replaceable blocks until the close button")
            << QStringList{"show A 3 n", "show B -1 r", "button", "show D -1 r"}
            << QStringList{"V A 3 T", "V A 3 T", "H A 3 T", "V D - -"};
        QTest::newRow("countdown of three")
            << QStringList{"show A 3 r", "step", "step", "step", "step"}
            << QStringList{"V A 3 T", "V A 2 T", "V A 1 T", "H A 1 T", "H A 1 T"};
        QTest::newRow("countdown of zero never runs")
            << QStringList{"show A 0 r", "show B 0 n", "show C -1 r"}
            << QStringList{"V A 0 -", "V B 0 -", "V B 0 -"};
        QTest::newRow("hidden popup keeps counting and opens the gate")
            << QStringList{"show A 2 n", "hide", "show B -1 r", "step", "step", "show D -1 r"}
            << QStringList{"V A 2 T", "H A 2 T", "H A 2 T", "H A 1 T", "H A 1 T", "V D - -"};
        QTest::newRow("hidden without countdown stays blocked until closeMessage")
            << QStringList{"show A -1 n", "hide", "show C 4 r", "closeMessage", "show D -1 r"}
            << QStringList{"V A - -", "H A - -", "H A - -", "H A - -", "V D - -"};
        QTest::newRow("a replaceable message is replaced in place")
            << QStringList{"show A 3 r",  "step",       "show B 5 r",
                           "show C -1 r", "show D 2 n", "show E 2 r"}
            << QStringList{"V A 3 T", "V A 2 T", "V B 5 T", "V C - -", "V D 2 T", "V D 2 T"};
    }
    void gateAndCountdown()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, states);
        CGlobalMessageDialog* p = popup();
        auto* countdown = child<CSimpleTextWidget>(p, "countdownText");
        auto* timer = child<QTimer>(p, "countdownTimer");
        timer->blockSignals(true); // steps are driven by hand
        QStringList seen;
        for (const QString& action : steps) {
            const QStringList op = action.split(QLatin1Char(' '));
            if (op.at(0) == QLatin1String("show"))
                show(op.at(1), op.at(2).toInt(), op.at(3) == QLatin1String("r"));
            else if (op.at(0) == QLatin1String("button"))
                QTest::mouseClick(child(p, "closeButton"), Qt::LeftButton);
            else if (op.at(0) == QLatin1String("closeMessage"))
                CGlobalMessageDialog::closeMessage();
            else if (op.at(0) == QLatin1String("hide"))
                p->hide();
            else
                step(p);
            QString number = countdown->getText();
            QVERIFY2(countdown->isHidden() || number.endsWith(suffix), qPrintable(number));
            number.chop(suffix.size());
            seen << QStringList{p->isVisible() ? "V" : "H",
                                child<CSimpleTextWidget>(p, "titleText")->getText(),
                                countdown->isHidden() ? "-" : number, timer->isActive() ? "T" : "-"}
                        .join(QLatin1Char(' '));
        }
        timer->blockSignals(false);
        QCOMPARE(seen, states);
    }

    // 20 px left of and 40 px above the anchor, back there at every message; a replacing
    // message unchecks the boxes and shows only what it asks for.
    void placementAndReplacement()
    {
        CGlobalMessageDialog* p = popup();
        CGlobalMessageDialog::setRightBottom(QPoint(1920, 1080));
        show(QStringLiteral("A"), 3, true, 1, false, false, true, true);
        QCOMPARE(p->pos(), QPoint(1600, 890));
        p->move(1500, 840); // the user drags it away
        auto* dontRemind = child<CCheckBox>(p, "dontRemindCheckBox");
        auto* today = child<CCheckBox>(p, "dontRemindTodayCheckBox");
        QTest::mouseClick(dontRemind, Qt::LeftButton);
        today->setChecked(true);
        CGlobalMessageDialog::setRightBottom(QPoint(1930, 1090));
        QCOMPARE(p->pos(), QPoint(1500, 840)); // a new anchor waits for the next message
        QSignalSpy dontRemindSignals(p, &CGlobalMessageDialog::sigSetShowMessage);
        QSignalSpy todaySignals(p, &CGlobalMessageDialog::sigSetShowMessageToday);
        show(QStringLiteral("B"), -1, true, 2, false, false, true, false, QStringLiteral("新正文"));
        // Unchecked by the new message, not by the user: nothing reported.
        QCOMPARE(dontRemindSignals.count() + todaySignals.count(), 0);
        QCOMPARE(p->pos(), QPoint(1610, 900));
        // Both boxes unchecked, only the first shown; no countdown line; the new text.
        QVERIFY(!dontRemind->isChecked());
        QVERIFY(dontRemind->isVisible());
        QVERIFY(!today->isChecked());
        QVERIFY(!today->isVisible());
        QVERIFY(!child(p, "countdownText")->isVisible());
        QCOMPARE(child<CSimpleTextWidget>(p, "contentText")->getText(), QStringLiteral("新正文"));
    }

    // Of the keys only Esc closes the popup, as its close button does, opening the gate.
    void escapeCloses()
    {
        show(QStringLiteral("A"), -1, false);
        QTest::keyClick(popup(), Qt::Key_A);
        QVERIFY(popup()->isVisible());
        QTest::keyClick(popup(), Qt::Key_Escape);
        QVERIFY(popup()->isHidden());
        show(QStringLiteral("B"), -1);
        QCOMPARE(child<CSimpleTextWidget>(popup(), "titleText")->getText(), QStringLiteral("B"));
    }

    // Closing a notification does not end the application: its event loop runs on.
    void closingDoesNotQuit()
    {
        show(QStringLiteral("A"), -1);
        QTimer::singleShot(0, [] { CGlobalMessageDialog::closeMessage(); });
        QTimer::singleShot(50, [] { QCoreApplication::exit(7); });
        QCOMPARE(QCoreApplication::exec(), 7);
    }

    // Clicks and toggles belong to the popup whatever their id; the rest goes to the base.
    void eventTaken_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("taken");
        QTest::newRow("click of an unknown id") << 5 << 7 << true;
        QTest::newRow("toggle of an unknown id") << 69 << 7 << true;
        QTest::newRow("text change") << 76 << 0 << false;
        QTest::newRow("activation with the confirm id") << 10 << 102 << false;
    }
    void eventTaken()
    {
        QFETCH(int, type);
        QFETCH(int, id);
        QFETCH(bool, taken);
        show(QStringLiteral("A"), -1);
        QCOMPARE(popup()->handleEvent(type, id, 0, QString(), nullptr), taken);
        QVERIFY(popup()->isVisible());
    }

    // The check boxes report their state ("don't remind" negated), a press reports the
    // message id and starts a drag, details and renew do their jobs.
    void userActions()
    {
        CGlobalMessageDialog* p = popup();
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "openUrl");
        const QString page = QStringLiteral("https://shop.example.com/续费?user=张 三");
        CGlobalMessageDialog::setPurchasePage(page);
        const QString title = QStringLiteral("行情提醒");
        show(title, 30, true, 42, true, true, true, true);
        QSignalSpy dontRemind(p, &CGlobalMessageDialog::sigSetShowMessage);
        QSignalSpy today(p, &CGlobalMessageDialog::sigSetShowMessageToday);
        QSignalSpy pressed(p, &CGlobalMessageDialog::sigShowMessage);
        QSignalSpy details(p, &CGlobalMessageDialog::sigShowRCWidget);
        for (int i = 0; i < 2; ++i) {
            QTest::mouseClick(child(p, "dontRemindCheckBox"), Qt::LeftButton);
            QTest::mouseClick(child(p, "dontRemindTodayCheckBox"), Qt::LeftButton);
        }
        using Calls = QList<QList<QVariant>>;
        QCOMPARE(static_cast<const Calls&>(dontRemind), (Calls{{false, title}, {true, title}}));
        QCOMPARE(static_cast<const Calls&>(today), (Calls{{true, title}, {false, title}}));
        const QPoint start = p->pos();
        sendMouse(p, QEvent::MouseButtonPress, QPoint(150, 100), Qt::LeftButton);
        sendMouse(p, QEvent::MouseMove, QPoint(170, 90), Qt::LeftButton);
        sendMouse(p, QEvent::MouseButtonRelease, QPoint(170, 90), Qt::NoButton);
        QCOMPARE(p->pos(), start + QPoint(20, -10));
        QCOMPARE(static_cast<const Calls&>(pressed), (Calls{{42}}));
        QTest::mouseClick(child(p, "detailsButton"), Qt::LeftButton);
        QTest::mouseClick(child(p, "renewButton"), Qt::LeftButton);
        QCOMPARE(details.count(), 1);
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl(page, QUrl::TolerantMode)});
        QVERIFY(p->isVisible());
        // Without an id a press reports nothing; without a page renew opens nothing.
        CGlobalMessageDialog::setPurchasePage(QString());
        show(title, 30, true, -1, false, true);
        sendMouse(p, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton);
        sendMouse(p, QEvent::MouseButtonRelease, QPoint(10, 10), Qt::NoButton);
        QTest::mouseClick(child(p, "renewButton"), Qt::LeftButton);
        QCOMPARE(pressed.count() + catcher.urls.size(), 2);
    }
};

QTEST_MAIN(TestGlobalMessageDialog)
#include "tst_globalmessagedialog.moc"
