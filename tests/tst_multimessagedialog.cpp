#include "testsupport.h"

#include "uibase/dialog/cmultimessagedialog.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace Omra;

namespace {

template <class T> T* child(QWidget* dialog, const char* name)
{
    return dialog->findChild<T*>(QLatin1String(name));
}

void tick(CMultiMessageDialog* dialog)
{
    QVERIFY(QMetaObject::invokeMethod(dialog, "slotTimeOut", Qt::DirectConnection));
}

QString shown(CMultiMessageDialog* dialog)
{
    return child<CSimpleTextWidget>(dialog, "messageText")->getText();
}

QTimer* timerOf(CMultiMessageDialog* dialog)
{
    return child<QTimer>(dialog, "messageTimer");
}

} // namespace

class TestMultiMessageDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void queueOrder();
    void sameTextAfterItWasTaken();
    void realTimeOneMessagePerSecond();
    void sizeFitsMessage_data();
    void sizeFitsMessage();
    void clickHidesAndNextTickShows_data();
    void clickHidesAndNextTickShows();
    void largeQueue();

private:
    // handleEvent is private to the dialog; the event bus reaches it through its base.
    CEventDeliverer* deliverer() { return dialog.get(); }

    std::unique_ptr<testsupport::TestTheme> theme;
    std::unique_ptr<CMultiMessageDialog> dialog;
    QSet<QWidget*> before;
};

void TestMultiMessageDialog::initTestCase()
{
    theme.reset(new testsupport::TestTheme);
    theme->image(QStringLiteral("img_btn_normal_small_emphasis"), QSize(64, 26), Qt::green, 4)
        .font(QStringLiteral("fnt_default_normal_fix"), 13);
    QVERIFY(theme->apply());
}

void TestMultiMessageDialog::cleanupTestCase()
{
    theme.reset();
}

void TestMultiMessageDialog::init()
{
    before = testsupport::topLevelSnapshot();
    dialog.reset(new CMultiMessageDialog);
}

void TestMultiMessageDialog::cleanup()
{
    dialog.reset();
    QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>());
}

void TestMultiMessageDialog::queueOrder()
{
    // Only a repeat of the last queued text is dropped, compared exactly.
    const QStringList queued{"", "", "a", "a", "A", "a ", "b", "b", "a"};
    const QStringList shownInOrder{"", "a", "A", "a ", "b", "a"};
    QTimer* timer = timerOf(dialog.get());
    tick(dialog.get()); // nothing queued: nothing happens
    QVERIFY(dialog->isHidden());
    QVERIFY(!timer->isActive());
    int timerId = -1;
    for (const QString& message : queued) {
        dialog->updateMessage(message);
        // The first message starts the timer; later ones do not restart it.
        QVERIFY(timer->isActive());
        QVERIFY(timerId == -1 || timer->timerId() == timerId);
        timerId = timer->timerId();
    }
    QCOMPARE(timer->interval(), 1000);
    timer->blockSignals(true);
    for (int i = 0; i < shownInOrder.size(); ++i) {
        QVERIFY(timer->isActive());
        tick(dialog.get());
        QVERIFY(dialog->isVisible());
        QCOMPARE(shown(dialog.get()), shownInOrder.at(i));
    }
    // Queue drained: the timer stops and the last message stays; a new one starts it again.
    QVERIFY(!timer->isActive());
    tick(dialog.get());
    QCOMPARE(shown(dialog.get()), shownInOrder.last());
    dialog->updateMessage(QStringLiteral("next"));
    QVERIFY(timer->isActive());
}

void TestMultiMessageDialog::sameTextAfterItWasTaken()
{
    dialog->updateMessage(QStringLiteral("重复"));
    tick(dialog.get());
    QCOMPARE(shown(dialog.get()), QStringLiteral("重复"));
    dialog->updateMessage(QStringLiteral("重复"));
    QVERIFY(timerOf(dialog.get())->isActive());
    child<CSimpleTextWidget>(dialog.get(), "messageText")->setText(QStringLiteral("marker"));
    tick(dialog.get());
    QCOMPARE(shown(dialog.get()), QStringLiteral("重复"));
}

void TestMultiMessageDialog::realTimeOneMessagePerSecond()
{
    QElapsedTimer clock;
    clock.start();
    dialog->updateMessage(QStringLiteral("第一条"));
    dialog->updateMessage(QStringLiteral("第二条"));
    QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), 3000);
    QCOMPARE(shown(dialog.get()), QStringLiteral("第一条"));
    const qint64 first = clock.elapsed();
    QVERIFY2(first >= 950, qPrintable(QString::number(first)));
    QTRY_COMPARE_WITH_TIMEOUT(shown(dialog.get()), QStringLiteral("第二条"), 3000);
    const qint64 second = clock.elapsed();
    QVERIFY2(second - first >= 900, qPrintable(QString::number(second - first)));
    QVERIFY(!timerOf(dialog.get())->isActive());
}

void TestMultiMessageDialog::sizeFitsMessage_data()
{
    // fixedWidth: the width the dialog must have whatever the font (0: follows the text).
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("fixedWidth");
    QTest::newRow("medium") << QStringLiteral("第1条成交回报：委托已全部成交，请注意查看持仓变化。")
                            << 0;
    QTest::newRow("very long")
        << QStringLiteral("第N条成交回报：委托已全部成交，请注意查看持仓变化。").repeated(12)
        << 760;
    QTest::newRow("several paragraphs") << QStringLiteral("第一行\n第二行\n第三行\n第四行") << 350;
}

void TestMultiMessageDialog::sizeFitsMessage()
{
    QFETCH(QString, message);
    QFETCH(int, fixedWidth);
    dialog->updateMessage(message);
    tick(dialog.get());
    auto* text = child<CSimpleTextWidget>(dialog.get(), "messageText");
    auto* ok = child<CPushButton>(dialog.get(), "okButton");
    auto* list = child<CWidgetList>(dialog.get(), "widgetList");

    const int w = qMin(text->sizeHint().width(), 700);
    const int h = text->heightForWidth(w);
    const int width = qMax(qMax(w, ok->width()) + 60, 350);
    const int height = qMax(ok->height() + 110 + h, 150);
    QCOMPARE(dialog->size(), QSize(width, height));
    if (fixedWidth)
        QCOMPARE(dialog->width(), fixedWidth);
    else
        QVERIFY(dialog->width() > 350 && dialog->width() < 760);
    // A text that is not capped keeps its own line breaks and no others.
    if (text->sizeHint().width() <= 700)
        QCOMPARE(text->lineCountForWidth(w), message.count(QLatin1Char('\n')) + 1);
    else
        QVERIFY(text->lineCountForWidth(w) > 1);

    // Text and button in the widget list, which fills the frame's client area.
    QCOMPARE(list->geometry(), QRect(13, 42, width - 26, height - 55));
    QCOMPARE(text->geometry(), QRect(20, 20, w, h));
    // The button sits in the bottom-right corner, right below the text.
    QCOMPARE(ok->geometry(), QRect(width - ok->width() - 40, h + 40, ok->width(), ok->height()));
    QCOMPARE(ok->geometry().bottom() + 1, list->height() - 15);

    // The same after the dialog has been on screen.
    QVERIFY(dialog->isVisible());
    QApplication::processEvents();
    QCOMPARE(text->geometry(), QRect(20, 20, w, h));
}

void TestMultiMessageDialog::clickHidesAndNextTickShows_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("OK") << "okButton";
    QTest::newRow("close") << "closeButton";
}

void TestMultiMessageDialog::clickHidesAndNextTickShows()
{
    QFETCH(QString, button);
    for (const char* message : {"一", "二", "三"})
        dialog->updateMessage(QString::fromUtf8(message));
    tick(dialog.get());
    QTest::mouseClick(dialog->findChild<CPushButton*>(button), Qt::LeftButton);
    QVERIFY(dialog->isHidden());
    tick(dialog.get());
    QVERIFY(dialog->isVisible());
    QCOMPARE(shown(dialog.get()), QStringLiteral("二"));
    tick(dialog.get());
    // The queue is empty now: a click hides for good.
    QTest::mouseClick(dialog->findChild<CPushButton*>(button), Qt::LeftButton);
    tick(dialog.get());
    QVERIFY(dialog->isHidden());
    // Any click, whatever the id, hides it; other events go to the base.
    dialog->show();
    QVERIFY(!deliverer()->handleEvent(UiEventCheckToggled, 0, 1, QString(), nullptr));
    QVERIFY(dialog->isVisible());
    QVERIFY(deliverer()->handleEvent(UiEventClick, 55, 0, QString(), nullptr));
    QVERIFY(dialog->isHidden());
}

void TestMultiMessageDialog::largeQueue()
{
    const int count = 100000;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < count; ++i)
        dialog->updateMessage(QString::number(i));
    // A repeat of the last one is still recognised at the end of a long queue.
    dialog->updateMessage(QString::number(count - 1));
    QTimer* timer = timerOf(dialog.get());
    timer->blockSignals(true);
    for (int i = 0; i < 200; ++i) {
        tick(dialog.get());
        QCOMPARE(shown(dialog.get()), QString::number(i));
    }
    QVERIFY(timer->isActive());
    // Appending and taking the oldest must not grow with the queue.
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
}

QTEST_MAIN(TestMultiMessageDialog)
#include "tst_multimessagedialog.moc"
