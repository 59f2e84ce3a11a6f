#include "testsupport.h"

#include "uibase/dialog/cuseragreementdialog.h"

#include <QtTest>

using namespace Omra;

namespace {

constexpr int frameMargin = 12;
constexpr int titleBarHeight = 30;
const QString name = QStringLiteral("《用户协议》");

CCheckBox* checkBox(QWidget* dialog)
{
    return dialog->findChild<CCheckBox*>(QStringLiteral("agreeCheckBox"));
}

CPushButton* button(QWidget* dialog, const char* name)
{
    return dialog->findChild<CPushButton*>(QLatin1String(name));
}

} // namespace

class TestUserAgreementDialog : public QObject
{
    Q_OBJECT

    QSet<QWidget*> before;

private slots:
    void init() { before = testsupport::topLevelSnapshot(); }
    void cleanup() { QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>()); }

    void sizeLayoutAndLoad()
    {
        const int width = 640, height = 420, bottomHeight = 80;
        const QSize buttonSize(96, 32);
        testsupport::TestTheme theme;
        theme.size("siz_user_agreement_dialog_width", width)
            .size("siz_user_agreement_dialog_height", height)
            .size("siz_user_agreement_dialog_bottom_height", bottomHeight)
            .size("siz_user_agreement_dialog_btn_width", buttonSize.width())
            .size("siz_user_agreement_dialog_btn_height", buttonSize.height());
        QVERIFY(theme.apply());
        CUserAgreementDialog dialog(name, QString(), QString());
        dialog.show();
        const QSize expected(width + 2 * frameMargin, height + 2 * frameMargin + titleBarHeight);
        dialog.resize(expected + QSize(40, 40));
        QCOMPARE(dialog.size(), expected);
        CCheckBox* box = checkBox(&dialog);
        CPushButton* accept = button(&dialog, "acceptButton");
        auto* mainList = dialog.findChild<CWidgetList*>(QStringLiteral("mainList"));
        auto* bar = dialog.findChild<CWidgetList*>(QStringLiteral("bottomBar"));
        QCOMPARE(accept->size(), buttonSize);
        QCOMPARE(mainList->geometry(),
                 QRect(QPoint(0, 0), dialog.size()).marginsRemoved(dialog.getInnerMargins()));
        // The bar spans the list between its side margins and ends on its bottom edge; check box
        // on the left, button on the right, their middles on one line.
        const QRect area = mainList->rect().marginsRemoved(mainList->margins());
        QCOMPARE(bar->geometry(),
                 QRect(area.left(), area.bottom() + 1 - bottomHeight, area.width(), bottomHeight));
        QCOMPARE(box->x(), 0);
        QCOMPARE(accept->geometry().right(), bar->width() - 1);
        QVERIFY(box->geometry().right() < accept->x());
        QCOMPARE(box->geometry().center().y(), accept->geometry().center().y());
        // load() shows nothing.
        const QImage beforeLoad = dialog.grab().toImage();
        const int children = dialog.findChildren<QWidget*>().size();
        dialog.load(QStringLiteral("第一条 本协议……"));
        QCOMPARE(dialog.findChildren<QWidget*>().size(), children);
        QCOMPARE(dialog.grab().toImage(), beforeLoad);
    }

    void texts_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("elided");
        QTest::newRow("chinese name") << name << false;
        QTest::newRow("empty name") << QString() << false;
        QTest::newRow("long name: elided, tooltip") << QStringLiteral("协议").repeated(12) << true;
    }

    // The name shows in the title and the check box; the other two strings nowhere.
    void texts()
    {
        QFETCH(QString, title);
        QFETCH(bool, elided);
        const QString unused = QStringLiteral("不应出现");
        CUserAgreementDialog dialog(title, unused, unused);
        dialog.show();
        CCheckBox* box = checkBox(&dialog);
        QCOMPARE(dialog.findChild<CSimpleTextWidget*>(QStringLiteral("titleText"))->getText(),
                 title);
        QCOMPARE(box->text(),
                 QStringLiteral("我已阅读、充分理解并接受") + title + QStringLiteral("，不再提醒"));
        QVERIFY(!box->isChecked());
        QCOMPARE(button(&dialog, "acceptButton")->text(), QStringLiteral("接受"));
        for (QAbstractButton* child : dialog.findChildren<QAbstractButton*>())
            QVERIFY(!child->text().contains(unused));
        QCOMPARE(box->width() < box->sizeHint().width(), elided);
        QCOMPARE(box->toolTip(), elided ? box->text() : QString());
        QVERIFY(box->geometry().right() < button(&dialog, "acceptButton")->x());
    }

    void displayRuns_data()
    {
        // Each run: ticks of the check box, then a = accept, c = close, n = accept with no
        // callback.
        QTest::addColumn<QString>("runs");
        QTest::addColumn<QString>(
            "expected"); // results | calls "run:accepted,ticked,open" | ticked
        QTest::newRow("accept unticked") << "0a"
                                         << "1 | 0:1,0,1 | 0";
        QTest::newRow("accept ticked") << "1a"
                                       << "1 | 0:1,1,1 | 1";
        QTest::newRow("ticked and unticked") << "2a"
                                             << "1 | 0:1,0,1 | 0";
        QTest::newRow("close calls nothing") << "1c"
                                             << "0 |  | 1";
        // Each display replaces the stored callback; an empty one clears it and still accepts.
        QTest::newRow("the last display's callback only") << "0c 1a 0n"
                                                          << "0 1 1 | 1:1,1,1 | 1";
    }

    void displayRuns()
    {
        QFETCH(QString, runs);
        QFETCH(QString, expected);
        CUserAgreementDialog dialog(name, QString(), QString());
        QStringList results, calls;
        for (const QString& run : runs.split(' ')) {
            const int ticks = run.left(1).toInt();
            testsupport::whenModal([ticks, run](QWidget* modal) {
                for (int i = 0; i < ticks; ++i)
                    QTest::mouseClick(checkBox(modal), Qt::LeftButton);
                QTest::mouseClick(button(modal, run.endsWith('c') ? "closeButton" : "acceptButton"),
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
                     .arg(checkBox(&dialog)->isChecked()),
                 expected);
    }
};

QTEST_MAIN(TestUserAgreementDialog)
#include "tst_useragreementdialog.moc"
