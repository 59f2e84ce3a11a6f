#include "testsupport.h"

#include "uibase/dialog/contracts/basewidget.h"

#include <QtTest>

using namespace Omra;

namespace {

struct Received
{
    QString who;
    int type;
    int id;
};

QList<Received>* journal = nullptr;

// A container that records what it is offered and consumes it when told to.
class RecordingWidget : public QWidget, public CEventDeliverer
{
public:
    RecordingWidget(const QString& name, bool consume, QWidget* parent = nullptr)
        : QWidget(parent), consume(consume)
    {
        setObjectName(name);
    }
    bool handleEvent(int type, int id, int, QString, void*) override
    {
        journal->append({objectName(), type, id});
        return consume;
    }
    bool consume;
};

class RecordingDialog : public CBaseDialog
{
public:
    using CBaseDialog::CBaseDialog;
    bool handleEvent(int type, int id, int param, QString text, void* data) override
    {
        journal->append({QStringLiteral("dialog"), type, id});
        return CBaseDialog::handleEvent(type, id, param, text, data);
    }
    bool checkOK() override
    {
        journal->append({QStringLiteral("checkOK"), 0, 0});
        return allowOK;
    }
    void onOK() override { journal->append({QStringLiteral("onOK"), 0, isVisible() ? 1 : 0}); }
    bool allowOK = true;
};

// A window that sends events itself, like the float button.
class WindowSender : public QWidget, public CEventDeliverer
{
public:
    explicit WindowSender(QWidget* parent) : QWidget(parent, Qt::Tool) {}
    void send(int type, int id) { deliverEvent(type, id, 0, QString(), this); }
};

QStringList whoReceived()
{
    QStringList names;
    for (const Received& r : *journal)
        names << r.who;
    return names;
}

} // namespace

class TestEventBus : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void routesThroughNestedContainers_data();
    void routesThroughNestedContainers();
    void windowSenderReachesItsParentWindow();
    void stopsAtTheFirstWindow();
    void closeAndConfirmButtons_data();
    void closeAndConfirmButtons();

private:
    QList<Received> received;
    QSet<QWidget*> before;
};

void TestEventBus::init()
{
    received.clear();
    journal = &received;
    before = testsupport::topLevelSnapshot();
}

void TestEventBus::cleanup()
{
    journal = nullptr;
    QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>());
}

void TestEventBus::routesThroughNestedContainers_data()
{
    QTest::addColumn<bool>("innerConsumes");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("passes up to the dialog")
        << false << QStringList{QStringLiteral("inner"), QStringLiteral("dialog")};
    QTest::newRow("consumed on the way") << true << QStringList{QStringLiteral("inner")};
}

void TestEventBus::routesThroughNestedContainers()
{
    QFETCH(bool, innerConsumes);
    QFETCH(QStringList, expected);

    RecordingDialog dialog;
    auto* list = new CWidgetList(Qt::Horizontal, &dialog);
    auto* plain = new QWidget(list); // not a deliverer: skipped
    auto* inner = new RecordingWidget(QStringLiteral("inner"), innerConsumes, plain);
    auto* button = new CPushButton(QStringLiteral("img_btn_positive"), 7, inner);
    list->addFixedWidget(plain, WidgetAnchorCenter);

    button->click();
    QCOMPARE(whoReceived(), expected);
    QCOMPARE(received.first().type, int(UiEventClick));
    QCOMPARE(received.first().id, 7);
}

void TestEventBus::windowSenderReachesItsParentWindow()
{
    RecordingWidget top(QStringLiteral("top"), false);
    auto* middle = new RecordingWidget(QStringLiteral("middle"), false, &top);
    auto* sender = new WindowSender(middle);
    QVERIFY(sender->isWindow());
    sender->send(UiEventPress, 3);
    QCOMPARE(whoReceived(), (QStringList{QStringLiteral("middle"), QStringLiteral("top")}));
}

void TestEventBus::stopsAtTheFirstWindow()
{
    RecordingWidget mainWindow(QStringLiteral("main"), false);
    auto* dialog = new RecordingDialog(&mainWindow);
    auto* button = new CPushButton(QStringLiteral("img_btn_positive"), 55, dialog);
    button->click();
    // The dialog is a window: its owner is not offered the event.
    QCOMPARE(whoReceived(), QStringList{QStringLiteral("dialog")});
}

void TestEventBus::closeAndConfirmButtons_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("allowOK");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("close") << 101 << true << int(QDialog::Rejected)
                           << QStringList{QStringLiteral("dialog")};
    QTest::newRow("confirm") << 102 << true << int(QDialog::Accepted)
                             << QStringList{QStringLiteral("dialog"), QStringLiteral("checkOK"),
                                            QStringLiteral("onOK")};
    QTest::newRow("confirm refused")
        << 102 << false << -1 << QStringList{QStringLiteral("dialog"), QStringLiteral("checkOK")};
    QTest::newRow("other id") << 103 << true << -1 << QStringList{QStringLiteral("dialog")};
}

void TestEventBus::closeAndConfirmButtons()
{
    QFETCH(int, id);
    QFETCH(bool, allowOK);
    QFETCH(int, result);
    QFETCH(QStringList, calls);

    RecordingDialog dialog;
    dialog.allowOK = allowOK;
    auto* button = new CPushButton(QStringLiteral("img_btn_positive"), id, &dialog);
    testsupport::whenModal([button, result](QWidget* modal) {
        button->click();
        // A dialog that stays open is closed by the test with a result of its own.
        if (result == -1 && modal->isVisible())
            static_cast<QDialog*>(modal)->done(-1);
    });
    QCOMPARE(dialog.exec(), result);
    QCOMPARE(whoReceived(), calls);
    if (calls.contains(QStringLiteral("onOK")))
        QCOMPARE(received.last().id, 1); // onOK runs before the dialog closes
}

QTEST_MAIN(TestEventBus)
#include "tst_eventbus.moc"
