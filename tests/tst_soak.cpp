// Soak: every dialog used 1,000 times; the live
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

#include <memory>

#include <unistd.h>

using namespace Omra;

namespace {

long residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    statm.open(QIODevice::ReadOnly);
    return statm.readAll().split(' ').value(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void click(CEventDeliverer* dialog, int id)
{
    dialog->handleEvent(UiEventClick, id, 0, QString(), nullptr);
}

// The message box's protected constructor and setters.
class Box : public CMessageBox
{
public:
    Box(const QString& text)
        : CMessageBox(nullptr, QMessageBox::Warning, text, text,
                      QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, nullptr, nullptr,
                      QPoint(-1, -1))
    {
        setDetailedText(text);
        setCountDown(30);
    }
};

QtMessageHandler previousHandler = nullptr;

// The offscreen platform says so for every dialog shown; thousands of times here.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains(QLatin1String("does not support raise()")))
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

    std::unique_ptr<testsupport::LocalHttpServer> server;
    QTemporaryDir dir;
    int configFinished = 0;
    CMultiMessageDialog messages;

    // Warm-up first: caches, fonts, the popup and the tip are made once and kept. Then the
    // live widgets must come back to their count, and a leak grows every quarter alike while
    // a warming cache grows only at first: the last quarter may not grow more than the
    // second, give or take 4 MiB.
    void run(const char* what, int count, const std::function<void(int)>& step)
    {
        for (int i = 0; i < qMin(count, 20); ++i)
            step(i);
        settle();
        const int widgets = QApplication::allWidgets().size();
        QList<long> memory{residentKiB()};
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
        qInfo("%s: %d in %lld ms; widgets %d -> %d; RSS KiB %s", what, count, clock.elapsed(),
              widgets, int(QApplication::allWidgets().size()), qPrintable(described));
        QCOMPARE(QApplication::allWidgets().size(), widgets);
        QVERIFY2(memory.at(4) - memory.at(3) <= qMax(0L, memory.at(2) - memory.at(1)) + 4096,
                 qPrintable(described));
    }

    // Every dialog once; the message and countdown boxes through their modal runs when
    // throughExec.
    void oneRound(int round, bool throughExec)
    {
        const QString text = QStringLiteral("第%1轮 round %1").arg(round);
        if (throughExec) {
            closeModalSoon();
            CMessageBox::information(nullptr, nullptr, text, text, QMessageBox::Ok, QMessageBox::Ok,
                                     false, 30);
            closeModalSoon();
            CMessageBox::questionWithDetail(nullptr, nullptr, text, text, text);
            closeModalSoon();
            CCountDownDialog::getChooseResult(nullptr, nullptr, text, text, 60, text,
                                              CountDownWithRestartLink, true,
                                              QStringLiteral("立即"), QStringLiteral("稍后"));
        } else {
            QPointer<Box> box = new Box(text);
            box->show();
            box->slot_Timeout();
            click(box, QMessageBox::Cancel);
            delete box.data();
            QPointer<CCountDownDialog> countdown = new CCountDownDialog(
                nullptr, QMessageBox::Information, text, text, 60, text, CountDownPlain, false,
                QStringLiteral("立即"), QStringLiteral("稍后"), QString());
            countdown->show();
            countdown->slot_MessageTimeout();
            click(countdown, 2);
            delete countdown.data();
        }

        // Change password: filled in and confirmed (it deletes itself).
        QPointer<CChangePasswordDialog> password =
            new CChangePasswordDialog(0, text, QString(), QString(), nullptr);
        password->show();
        for (QLineEdit* edit : password->findChildren<QLineEdit*>())
            edit->setText(QStringLiteral("Ab1!Ab1!"));
        QSignalSpy changed(password.data(), &CChangePasswordDialog::sigChangePassword);
        click(password, 4);
        QCOMPARE(changed.count(), 1);
        settle();
        QVERIFY(password.isNull());

        // Version check: the modal rounds fetch the manifest from the local server.
        CCheckVersionDialog version(dir.path(), text, dir.path());
        version.setCurrentVersion(QStringLiteral("1.0"));
        if (throughExec) {
            version.setGetVersionUrl(server->url(QStringLiteral("/soak.json")));
            QSignalSpy finished(&version, &CCheckVersionDialog::sigDownConfigFinish);
            version.startGetLatestVersion();
            QVERIFY(finished.wait(5000));
            ++configFinished;
        }
        version.show();
        click(&version, 1);

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

        // Popup messages, every fifth one not replaceable until its countdown ran out, and a
        // message queued and shown.
        CGlobalMessageDialog::showSingleMessage(text, text, round % 7 - 1, round, round % 2,
                                                nullptr, round % 3, round % 4, round % 5 != 0,
                                                round % 6);
        for (int tick = 0; tick < 3; ++tick)
            QMetaObject::invokeMethod(CGlobalMessageDialog::instance(nullptr), "slotTimeout");
        messages.updateMessage(text);
        QMetaObject::invokeMethod(&messages, "slotTimeOut");

        CFloatButton button("img_float_button_bg", 7, 4, 4, 4, 4);
        button.setText(text);
        button.show();
        const QPoint centre = button.rect().center();
        QTest::mouseMove(&button, centre);
        QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, centre);
        QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, centre);
        button.close();
    }

private slots:
    void initTestCase()
    {
        server = std::make_unique<testsupport::LocalHttpServer>();
        QVERIFY(server->start());
        server->serve(QStringLiteral("/soak.json"),
                      "{\"version\":\"2.0\",\"exe_url\":\"http://h/s.exe\"}");
        QVERIFY(dir.isValid());
        previousHandler = qInstallMessageHandler(quietHandler);
    }

    void everyDialog()
    {
        const int rounds = testsupport::scaled(1000);
        run("every dialog", rounds, [this](int round) { oneRound(round, round % 50 == 0); });
        QVERIFY(configFinished >= rounds / 50);
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
