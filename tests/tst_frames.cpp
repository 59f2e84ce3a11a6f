// The frame every dialog sits in, and the two dialogs that are little more than a frame: the
// variable viewer and the user agreement with its text.

#include "testsupport.h"

#include "uibase/dialog/ccommondialog.h"
#include "uibase/dialog/cdialoghelper.h"
#include "uibase/dialog/cuseragreementdialog.h"
#include "uibase/dialog/cviewvariabledialog.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

using namespace Omra;

namespace {

class Dialog : public CCommonDialog
{
public:
    using CCommonDialog::closeButton;
    using CCommonDialog::titleText;
};

template <class T = QWidget> T* child(QWidget* widget, const char* name)
{
    return widget->findChild<T*>(QLatin1String(name));
}

const QString agreement = QStringLiteral("《用户协议》");
const QString longText = QStringLiteral("第一条 风险提示。").repeated(400);

} // namespace

class TestFrames : public QObject
{
    Q_OBJECT

    QSet<QWidget*> before;

private slots:
    void init() { before = testsupport::topLevelSnapshot(); }
    void cleanup() { QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>()); }

    // 400 x 250 at least, the screen at most; the inner widget fills the client area, the
    // title and the close button sit in the 30 px bar inside the 12 px frame.
    void frameGeometry()
    {
        testsupport::TestTheme theme;
        theme.font(QStringLiteral("fnt_dialog_title"), 40)
            .image(QStringLiteral("img_sys_btn_exit"), QSize(26, 20), QColor(Qt::red), 4)
            .image(QStringLiteral("img_custom_dialog_bg"), QSize(128, 128), QColor(0, 0, 255));
        QVERIFY(theme.apply());
        Dialog dialog;
        dialog.resize(10, 10);
        QCOMPARE(dialog.size(), QSize(400, 250));
        dialog.resize(100000, 100000);
        QCOMPARE(dialog.size(), QGuiApplication::primaryScreen()->availableGeometry().size());
        auto* inner = new QWidget;
        dialog.setInnerWidget(inner);
        dialog.setTitle(QStringLiteral("Title"));
        dialog.resize(600, 300);
        dialog.show();
        QCOMPARE(inner->geometry(), QRect(13, 42, 600 - 26, 300 - 55));
        QVERIFY(dialog.titleText->height() > 30); // a title taller than the bar stays centred
        QCOMPARE(dialog.titleText->pos(), QPoint(22, 12 + (30 - dialog.titleText->height()) / 2));
        QCOMPARE(dialog.closeButton->geometry(), QRect(588 - 26, 12, 26, 20));
        delete inner; // the frame copes with its inner widget going away
        dialog.resize(530, 320);
        QCOMPARE(dialog.grab().toImage().pixelColor(200, 150), QColor(0, 0, 255));
    }

    // On the offscreen platform's screen, 800 x 600 on Qt 5 and 800 x 800 on Qt 6, the odd
    // halves truncate: (399 / 2, 349 / 2) and (399 / 2, 549 / 2).
    void centering()
    {
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
        const QSize screen(800, 600);
        const QPoint centred(199, 174);
#else
        const QSize screen(800, 800);
        const QPoint centred(199, 274);
#endif
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(QPoint(), screen));
        QDialog dialog;
        dialog.resize(401, 251);
        CDialogHelper::fixCenter(&dialog);
        QCOMPARE(dialog.pos(), centred);
        CDialogHelper::toCenter(nullptr); // ignored
    }

    // 640 x 420 client area; an 80 px bar at the bottom with the check box left and the
    // 96 x 32 button right; the name in the title and in the check box, elided when long.
    void agreementLayout_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("short name") << agreement;
        QTest::newRow("long name: elided, tooltip") << QStringLiteral("协议").repeated(12);
    }
    void agreementLayout()
    {
        QFETCH(QString, title);
        testsupport::TestTheme theme;
        theme.size("siz_user_agreement_dialog_width", 640)
            .size("siz_user_agreement_dialog_height", 420)
            .size("siz_user_agreement_dialog_bottom_height", 80)
            .size("siz_user_agreement_dialog_btn_width", 96)
            .size("siz_user_agreement_dialog_btn_height", 32);
        QVERIFY(theme.apply());
        const QString unused = QStringLiteral("不应出现");
        CUserAgreementDialog dialog(title, unused, unused);
        dialog.show();
        dialog.resize(800, 600);
        QCOMPARE(dialog.size(), QSize(640 + 24, 420 + 54));
        auto* box = child<CCheckBox>(&dialog, "agreeCheckBox");
        auto* accept = child<CPushButton>(&dialog, "acceptButton");
        auto* bar = child(&dialog, "bottomBar");
        QCOMPARE(bar->geometry(), QRect(15, 474 - 55 - 80, 664 - 26 - 30, 80));
        QCOMPARE(accept->size(), QSize(96, 32));
        QCOMPARE(accept->geometry().right(), bar->width() - 1);
        QCOMPARE(box->x(), 0);
        QCOMPARE(box->geometry().center().y(), accept->geometry().center().y());
        QVERIFY(box->geometry().right() < accept->x());
        const bool elided = title != agreement;
        QCOMPARE(box->width() < box->sizeHint().width(), elided);
        QCOMPARE(box->toolTip(), elided ? box->text() : QString());
        dialog.load(longText);
        QCOMPARE(child(&dialog, "agreementText")->geometry(), QRect(28, 50, 608, 339 - 18));
    }

    // What load() shows ("file:" loads a UTF-8 file of that content, rich here) and when 接受
    // is enabled: at once for a short text or none; for a long one only once scrolled to the
    // end by wheel, Page Down or scroll bar (each step before the end must leave it disabled).
    void agreementText_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("scrollBy");
        QTest::newRow("long, wheel") << longText << true << longText << "wheel";
        QTest::newRow("long, Page Down") << longText << true << longText << "key";
        QTest::newRow("long file, bar") << "file:" + longText << true << longText << "bar";
        QTest::newRow("rich file")
            << "file:<h3>揭示书</h3><p>一</p>" << true << "揭示书\n一" << QString();
        QTest::newRow("unreadable path")
            << "/nonexistent/揭示书.txt" << true << QString() << QString();
    }
    void agreementText()
    {
        QFETCH(QString, input);
        QFETCH(bool, enabled);
        QFETCH(QString, shown);
        QFETCH(QString, scrollBy);
        QTemporaryFile file;
        if (input.startsWith("file:") && file.open() && file.write(input.mid(5).toUtf8()) >= 0 &&
            file.flush())
            input = file.fileName();
        if (input.startsWith('/') && shown.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^agreement file .* not shown"));
        CUserAgreementDialog dialog(agreement, QString(), QString());
        dialog.load(input);
        dialog.show();
        auto* text = child<QTextEdit>(&dialog, "agreementText");
        QWidget* accept = child(&dialog, "acceptButton");
        QScrollBar* bar = text->verticalScrollBar();
        QWheelEvent wheel(QPointF(5, 5), QPointF(), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        for (int step = 0; !scrollBy.isEmpty() && bar->value() < bar->maximum(); ++step) {
            QCoreApplication::processEvents();
            QVERIFY(step < 500 && !accept->isEnabled());
            if (scrollBy == "wheel")
                QApplication::sendEvent(text->viewport(), &wheel);
            else if (scrollBy == "key")
                QTest::keyClick(text, Qt::Key_PageDown);
            else
                bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        }
        QCoreApplication::processEvents();
        QCOMPARE(text->isVisible() ? text->toPlainText() : QString(), shown);
        QCOMPARE(accept->isEnabled(), enabled);
        bar->setValue(0); // read once is enough for this text; a new load starts over
        QCoreApplication::processEvents();
        QCOMPARE(accept->isEnabled(), enabled);
        dialog.load(longText);
        QCoreApplication::processEvents();
        QVERIFY(!accept->isEnabled());
    }

    // Each run: ticks of the check box, then a = accept, c = close, n = accept with no
    // callback. Expected: results | calls "run:accepted,ticked,open" | ticked at the end.
    void agreementRuns_data()
    {
        QTest::addColumn<QString>("runs");
        QTest::addColumn<QString>("expected");
        QTest::newRow("accept unticked") << "0a"
                                         << "1 | 0:1,0,1 | 0";
        QTest::newRow("close calls nothing") << "1c"
                                             << "0 |  | 1";
        QTest::newRow("the last display's callback only") << "0c 1a 0n"
                                                          << "0 1 1 | 1:1,1,1 | 1";
    }
    void agreementRuns()
    {
        QFETCH(QString, runs);
        QFETCH(QString, expected);
        CUserAgreementDialog dialog(agreement, QString(), QString());
        QStringList results, calls;
        for (const QString& run : runs.split(' ')) {
            testsupport::whenModal([run](QWidget* modal) {
                for (int i = 0; i < run.left(1).toInt(); ++i)
                    QTest::mouseClick(child(modal, "agreeCheckBox"), Qt::LeftButton);
                QTest::mouseClick(child(modal, run.endsWith('c') ? "closeButton" : "acceptButton"),
                                  Qt::LeftButton);
            });
            const int index = results.size();
            const auto record = [&, index](bool accepted, bool ticked) {
                calls << QString("%1:%2,%3,%4")
                             .arg(index)
                             .arg(accepted)
                             .arg(ticked)
                             .arg(dialog.isVisible());
            };
            results << QString::number(
                dialog.display(run.endsWith('n') ? boost::function<void(bool, bool)>() : record));
        }
        QCOMPARE(QString("%1 | %2 | %3")
                     .arg(results.join(' '), calls.join(' '))
                     .arg(child<CCheckBox>(&dialog, "agreeCheckBox")->isChecked()),
                 expected);
    }
};

QTEST_MAIN(TestFrames)
#include "tst_frames.moc"
