#include "testsupport.h"

#include "uibase/dialog/cmultimessagedialog.h"

#include <QTimer>
#include <QtTest>

#include <memory>

using namespace Omra;

namespace {

template <class T> T* child(QWidget* dialog, const char* name)
{
    return dialog->findChild<T*>(QLatin1String(name));
}

} // namespace

class TestMultiMessageDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<CMultiMessageDialog> dialog;
    QSet<QWidget*> before;
    testsupport::TestTheme theme;

    void tick() { QVERIFY(QMetaObject::invokeMethod(dialog.get(), "slotTimeOut")); }
    QString shown() { return child<CSimpleTextWidget>(dialog.get(), "messageText")->getText(); }
    QTimer* timer() { return child<QTimer>(dialog.get(), "messageTimer"); }

private slots:
    void initTestCase()
    {
        theme.image(QStringLiteral("img_btn_normal_small_emphasis"), QSize(64, 26), Qt::green, 4)
            .font(QStringLiteral("fnt_default_normal_fix"), 13);
        QVERIFY(theme.apply());
    }
    void init()
    {
        before = testsupport::topLevelSnapshot();
        dialog.reset(new CMultiMessageDialog);
    }
    void cleanup()
    {
        dialog.reset();
        QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>());
    }

    // One message a second, oldest first; only a repeat of the last queued text is dropped,
    // compared exactly, and a text taken off the queue may come again.
    void queueOrder()
    {
        tick(); // nothing queued: nothing happens
        QVERIFY(dialog->isHidden() && !timer()->isActive());
        int timerId = -1;
        for (const char* message : {"", "", "a", "a", "A", "a ", "b", "b", "a"}) {
            dialog->updateMessage(QString::fromLatin1(message));
            // The first message starts the timer; later ones do not restart it.
            QVERIFY(timer()->isActive() && (timerId == -1 || timer()->timerId() == timerId));
            timerId = timer()->timerId();
        }
        QCOMPARE(timer()->interval(), 1000);
        timer()->blockSignals(true);
        QStringList seen;
        while (timer()->isActive()) {
            tick();
            seen << shown() + (dialog->isVisible() ? "" : " hidden");
        }
        QCOMPARE(seen, (QStringList{"", "a", "A", "a ", "b", "a"}));
        tick(); // drained: the last message stays
        QCOMPARE(shown(), QStringLiteral("a"));
        dialog->updateMessage(QStringLiteral("a"));
        QVERIFY(timer()->isActive());
        tick();
        QCOMPARE(shown(), QStringLiteral("a"));
    }

    // A click hides the dialog; the next tick shows the next message, an empty queue keeps it
    // hidden. Any click id counts, other events go to the base.
    void clickHides()
    {
        for (const char* message : {"一", "二"})
            dialog->updateMessage(QString::fromUtf8(message));
        tick();
        QTest::mouseClick(child<CPushButton>(dialog.get(), "okButton"), Qt::LeftButton);
        QVERIFY(dialog->isHidden());
        tick();
        QVERIFY(dialog->isVisible());
        QCOMPARE(shown(), QStringLiteral("二"));
        QTest::mouseClick(child<CPushButton>(dialog.get(), "closeButton"), Qt::LeftButton);
        tick();
        QVERIFY(dialog->isHidden());
        dialog->show();
        CEventDeliverer* deliverer = dialog.get();
        QVERIFY(!deliverer->handleEvent(UiEventCheckToggled, 0, 1, QString(), nullptr));
        QVERIFY(dialog->isVisible());
        QVERIFY(deliverer->handleEvent(UiEventClick, 55, 0, QString(), nullptr));
        QVERIFY(dialog->isHidden());
    }
};

QTEST_MAIN(TestMultiMessageDialog)
#include "tst_multimessagedialog.moc"
