// Soak: every dialog used 1,000 times, 10,000 popup and 100,000 multi-messages; the live
// widgets come back to where they started and the memory stops growing.
// OMRA_SOAK_SCALE=n runs 1/n of every count (the sanitizer build uses 10).

#include "localhttpserver.h"
#include "testsupport.h"

#include "uibase/dialog/cchangepassworddialog.h"
#include "uibase/dialog/ccheckversiondialog.h"
#include "uibase/dialog/ccountdowndialog.h"
#include "uibase/dialog/cfloatbutton.h"
#include "uibase/dialog/cglobalmessagedialog.h"
#include "uibase/dialog/cmessagebox.h"
#include "uibase/dialog/cmultimessagedialog.h"
#include "uibase/dialog/csimpleinputdialog.h"
#include "uibase/dialog/cuseragreementdialog.h"
#include "uibase/dialog/cviewvariabledialog.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>

#include <unistd.h>

using namespace Omra;

namespace {

int scale()
{
    const int value = qEnvironmentVariableIntValue("OMRA_SOAK_SCALE");
    return value > 1 ? value : 1;
}

int scaled(int count)
{
    return qMax(8, count / scale());
}

// Resident memory in KiB.
long residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2)
        return -1;
    return fields.at(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The protected constructors and handlers the soak drives directly.
class Box : public CMessageBox
{
public:
    Box(const QString& title, const QString& text)
        : CMessageBox(nullptr, QMessageBox::Warning, title, text,
                      QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, nullptr, nullptr,
                      QPoint(-1, -1))
    {
    }
    using CMessageBox::handleEvent;
    using CMessageBox::setCountDown;
    using CMessageBox::setDetailedText;
};

class CountDown : public CCountDownDialog
{
public:
    using CCountDownDialog::CCountDownDialog;
    using CCountDownDialog::handleEvent;
};

class Version : public CCheckVersionDialog
{
public:
    using CCheckVersionDialog::CCheckVersionDialog;
    using CCheckVersionDialog::handleEvent;
};

class Password : public CChangePasswordDialog
{
public:
    using CChangePasswordDialog::CChangePasswordDialog;
    using CChangePasswordDialog::handleEvent;
};

QtMessageHandler previousHandler = nullptr;

// The offscreen platform says so for every dialog shown; thousands of times here.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("does not support raise()")))
        return;
    previousHandler(type, context, message);
}

void closeModalSoon()
{
    testsupport::whenModal([](QWidget* modal) { modal->close(); });
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyDialog();
    void popupMessages();
    void multiMessages();

private:
    void oneRound(int round, bool throughExec);
    void run(const char* what, int count, const std::function<void(int)>& step);

    std::unique_ptr<testsupport::LocalHttpServer> server;
    QTemporaryDir dir;
    int configFinished = 0;
};

void TestSoak::initTestCase()
{
    server = std::make_unique<testsupport::LocalHttpServer>();
    QVERIFY(server->start());
    server->serve(QStringLiteral("/soak.json"), R"({"version":"2.0","exe_url":"http://h/s.exe"})");
    QVERIFY(dir.isValid());
    previousHandler = qInstallMessageHandler(quietHandler);
    qInfo("scale 1/%d", scale());
}

void TestSoak::run(const char* what, int count, const std::function<void(int)>& step)
{
    // Warm-up: caches, fonts, the popup and the tip are made once and kept.
    for (int i = 0; i < qMin(count, 20); ++i)
        step(i);
    settle();
    const int widgets = QApplication::allWidgets().size();
    QList<long> memory{residentKiB()}; // at the start and after each quarter
    QElapsedTimer clock;
    clock.start();
    for (int quarter = 0; quarter < 4; ++quarter) {
        for (int i = quarter * count / 4; i < (quarter + 1) * count / 4; ++i)
            step(i);
        settle();
        memory << residentKiB();
    }
    QString described;
    for (long kib : memory)
        described += QString::number(kib) + QLatin1Char(' ');
    qInfo("%s: %d in %lld ms; widgets %d -> %d; RSS KiB %s", what, count, clock.elapsed(), widgets,
          QApplication::allWidgets().size(), qPrintable(described));
    QCOMPARE(QApplication::allWidgets().size(), widgets);
    // A leak grows every quarter alike, a warming cache only at first: the last quarter may
    // not grow more than the second, give or take 4 MiB.
    QVERIFY2(memory.at(4) - memory.at(3) <= qMax(0L, memory.at(2) - memory.at(1)) + 4096,
             qPrintable(described));
}

void TestSoak::oneRound(int round, bool throughExec)
{
    const QString text = QStringLiteral("第%1轮 round %1").arg(round);

    // Message box: countdown, details, a tick, a button.
    if (throughExec) {
        closeModalSoon();
        CMessageBox::information(nullptr, nullptr, text, text, QMessageBox::Ok, QMessageBox::Ok,
                                 false, 30);
        closeModalSoon();
        CMessageBox::questionWithDetail(nullptr, nullptr, text, text, text);
    } else {
        QPointer<Box> box = new Box(text, text);
        box->setDetailedText(text);
        box->setCountDown(30);
        box->show();
        box->slot_Timeout();
        box->handleEvent(UiEventClick, QMessageBox::Cancel, 0, QString(), nullptr);
        delete box.data();
    }

    // Countdown dialog: a tick, then a button.
    if (throughExec) {
        closeModalSoon();
        CCountDownDialog::getChooseResult(nullptr, nullptr, text, text, 60, text,
                                          CountDownWithRestartLink, true, QStringLiteral("立即"),
                                          QStringLiteral("稍后"));
    } else {
        QPointer<CountDown> countdown =
            new CountDown(nullptr, QMessageBox::Information, text, text, 60, text, CountDownPlain,
                          false, QStringLiteral("立即"), QStringLiteral("稍后"), QString());
        countdown->show();
        countdown->slot_MessageTimeout();
        countdown->handleEvent(UiEventClick, 2, 0, QString(), nullptr);
        delete countdown.data();
    }

    // Popup: a message with a countdown, a tick, closed.
    CGlobalMessageDialog::showSingleMessage(text, text, 5, round, true, nullptr, true, true, true,
                                            true);
    QMetaObject::invokeMethod(CGlobalMessageDialog::instance(nullptr), "slotTimeout",
                              Qt::DirectConnection);
    CGlobalMessageDialog::closeMessage();

    // Multi-message dialog: two messages, then OK.
    {
        CMultiMessageDialog messages;
        messages.updateMessage(text);
        messages.updateMessage(text + QLatin1Char('!'));
        QMetaObject::invokeMethod(&messages, "slotTimeOut", Qt::DirectConnection);
        QMetaObject::invokeMethod(&messages, "slotTimeOut", Qt::DirectConnection);
        QTest::mouseClick(messages.findChild<QPushButton*>(QStringLiteral("okButton")),
                          Qt::LeftButton);
    }

    // Change password: filled in and confirmed (it deletes itself).
    {
        QPointer<Password> password =
            new Password(0, text, QString(), QString(), static_cast<QWidget*>(nullptr));
        password->show();
        for (const char* name : {"oldPasswordEdit", "newPasswordEdit", "confirmPasswordEdit"})
            password->findChild<QLineEdit*>(QLatin1String(name))
                ->setText(QStringLiteral("Ab1!Ab1!"));
        QSignalSpy changed(password.data(), &CChangePasswordDialog::sigChangePassword);
        password->handleEvent(UiEventClick, 4, 0, QString(), nullptr);
        QCOMPARE(changed.count(), 1);
        settle();
        QVERIFY(password.isNull());
    }

    // Version check: every 50th round fetches the manifest from the local server.
    {
        Version version(dir.path(), text, dir.path());
        version.setCurrentVersion(QStringLiteral("1.0"));
        if (throughExec) {
            version.setGetVersionUrl(server->url(QStringLiteral("/soak.json")));
            QSignalSpy finished(&version, &CCheckVersionDialog::sigDownConfigFinish);
            version.startGetLatestVersion();
            QVERIFY(finished.wait(5000));
            ++configFinished;
        }
        version.show();
        version.handleEvent(UiEventClick, 1, 0, QString(), nullptr);
    }

    // Simple input, user agreement and viewer.
    {
        CSimpleInputDialog input(text, QString());
        input.setText(text);
        input.show();
        input.done(0);
        CUserAgreementDialog agreement(text, QString(), QString());
        agreement.load(text);
        agreement.show();
        agreement.done(0);
        CViewVariableDialog viewer;
        viewer.setText(text);
        viewer.show();
        viewer.close();
    }

    // Float button: hovered, pressed, released.
    {
        CFloatButton button("img_float_button_bg", 7, 4, 4, 4, 4);
        button.setText(text);
        button.show();
        const QPoint centre(button.width() / 2, button.height() / 2);
        QTest::mouseMove(&button, centre);
        QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, centre);
        QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, centre);
        button.close();
    }
}

void TestSoak::everyDialog()
{
    const int rounds = scaled(1000);
    run("every dialog", rounds, [this](int round) { oneRound(round, round % 50 == 0); });
    QVERIFY(configFinished >= rounds / 50);
}

void TestSoak::popupMessages()
{
    const int count = scaled(10000);
    int shown = 0;
    run("popup messages", count, [&shown](int i) {
        // Every fifth message may not be replaced until its countdown has run out.
        CGlobalMessageDialog::showSingleMessage(QStringLiteral("通知 %1").arg(i),
                                                QStringLiteral("消息内容 %1").arg(i), i % 7 - 1, i,
                                                i % 2, nullptr, i % 3, i % 4, i % 5 != 0, i % 6);
        CGlobalMessageDialog* popup = CGlobalMessageDialog::instance(nullptr);
        shown += popup->isVisible();
        for (int tick = 0; tick < 6; ++tick)
            QMetaObject::invokeMethod(popup, "slotTimeout", Qt::DirectConnection);
        if (i % 10 == 9)
            CGlobalMessageDialog::closeMessage();
    });
    // Nothing lost: every message was shown while the gate was open.
    QVERIFY(shown > count / 2);
    CGlobalMessageDialog::closeMessage();
}

void TestSoak::multiMessages()
{
    const int count = scaled(100000);
    CMultiMessageDialog messages;
    auto* text = messages.findChild<CSimpleTextWidget*>(QStringLiteral("messageText"));
    int sent = 0;
    int matched = 0;
    int steps = 0;
    run("multi-messages", count, [&](int) {
        // Queued in batches of 100, then drained one per tick: order and content are kept.
        if (steps % 100 == 0) {
            for (int k = 0; k < 100; ++k)
                messages.updateMessage(QStringLiteral("成交回报 %1").arg(sent++));
        }
        QMetaObject::invokeMethod(&messages, "slotTimeOut", Qt::DirectConnection);
        matched += text->getText() == QStringLiteral("成交回报 %1").arg(steps);
        ++steps;
    });
    QCOMPARE(matched, steps);
    QVERIFY(steps >= count);
    QVERIFY(messages.isVisible());
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
