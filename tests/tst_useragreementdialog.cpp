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

// Runs the dialog modally: ticks the box `ticks` times, then clicks the named button.
int run(CUserAgreementDialog& dialog, int ticks, const char* click,
        boost::function<void(bool, bool)> callback)
{
    testsupport::whenModal([ticks, click](QWidget* modal) {
        for (int i = 0; i < ticks; ++i)
            QTest::mouseClick(checkBox(modal), Qt::LeftButton);
        QTest::mouseClick(button(modal, click), Qt::LeftButton);
    });
    return dialog.display(callback);
}

} // namespace

class TestUserAgreementDialog : public QObject
{
    Q_OBJECT

private slots:
    void init() { before = testsupport::topLevelSnapshot(); }
    void cleanup() { QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>()); }
    void sizeAndLayout_data();
    void sizeAndLayout();
    void texts_data();
    void texts();
    void longNameIsElidedWithTooltip_data();
    void longNameIsElidedWithTooltip();
    void acceptReportsCheckBox_data();
    void acceptReportsCheckBox();
    void closeButtonCallsNothing();
    void callbackOfTheLastDisplayOnly();
    void loadHasNoEffect();

private:
    QSet<QWidget*> before;
};

void TestUserAgreementDialog::sizeAndLayout_data()
{
    QTest::addColumn<int>("width"); // 0: the default theme
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("bottomHeight");
    QTest::addColumn<QSize>("buttonSize");
    QTest::newRow("default theme") << 0 << 0 << 0 << QSize();
    QTest::newRow("small") << 420 << 120 << 40 << QSize(70, 24);
    QTest::newRow("large, tall bar") << 640 << 420 << 80 << QSize(96, 32);
}

void TestUserAgreementDialog::sizeAndLayout()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, bottomHeight);
    QFETCH(QSize, buttonSize);
    testsupport::TestTheme theme;
    if (width > 0) {
        theme.size(QStringLiteral("siz_user_agreement_dialog_width"), width)
            .size(QStringLiteral("siz_user_agreement_dialog_height"), height)
            .size(QStringLiteral("siz_user_agreement_dialog_bottom_height"), bottomHeight)
            .size(QStringLiteral("siz_user_agreement_dialog_btn_width"), buttonSize.width())
            .size(QStringLiteral("siz_user_agreement_dialog_btn_height"), buttonSize.height());
        QVERIFY(theme.apply());
    }
    CUserAgreementDialog dialog(name, QString(), QString());
    dialog.show();
    CCheckBox* box = checkBox(&dialog);
    CPushButton* accept = button(&dialog, "acceptButton");
    auto* mainList = dialog.findChild<CWidgetList*>(QStringLiteral("mainList"));
    auto* bar = dialog.findChild<CWidgetList*>(QStringLiteral("bottomBar"));
    if (width > 0) {
        const QSize expected(width + 2 * frameMargin, height + 2 * frameMargin + titleBarHeight);
        dialog.resize(expected + QSize(40, 40));
        QCOMPARE(dialog.size(), expected);
        QCOMPARE(accept->size(), buttonSize);
        QCOMPARE(bar->height(), bottomHeight);
    }
    QCOMPARE(mainList->geometry(),
             QRect(QPoint(0, 0), dialog.size()).marginsRemoved(dialog.getInnerMargins()));
    // The bar spans the list between its side margins and ends on its bottom edge.
    const QRect area = mainList->rect().marginsRemoved(mainList->margins());
    QCOMPARE(bar->geometry(),
             QRect(area.left(), area.bottom() + 1 - bar->height(), area.width(), bar->height()));
    // Check box on the left, button on the right, their middles on one line.
    QCOMPARE(box->x(), 0);
    QCOMPARE(accept->geometry().right(), bar->width() - 1);
    QVERIFY(box->geometry().right() < accept->x());
    QCOMPARE(box->geometry().center().y(), accept->geometry().center().y());
}

void TestUserAgreementDialog::texts_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("chinese name") << name;
    QTest::newRow("empty name") << QString();
}

void TestUserAgreementDialog::texts()
{
    QFETCH(QString, title);
    const QString unused = QStringLiteral("不应出现");
    CUserAgreementDialog dialog(title, unused, unused);
    QCOMPARE(dialog.findChild<CSimpleTextWidget*>(QStringLiteral("titleText"))->getText(), title);
    QCOMPARE(checkBox(&dialog)->text(),
             QStringLiteral("我已阅读、充分理解并接受") + title + QStringLiteral("，不再提醒"));
    QVERIFY(!checkBox(&dialog)->isChecked());
    QCOMPARE(button(&dialog, "acceptButton")->text(), QStringLiteral("接受"));
    for (QAbstractButton* child : dialog.findChildren<QAbstractButton*>())
        QVERIFY(!child->text().contains(unused));
}

void TestUserAgreementDialog::longNameIsElidedWithTooltip_data()
{
    QTest::addColumn<int>("repeat");
    QTest::addColumn<bool>("elided");
    QTest::newRow("short") << 1 << false;
    QTest::newRow("long") << 12 << true;
}

void TestUserAgreementDialog::longNameIsElidedWithTooltip()
{
    QFETCH(int, repeat);
    QFETCH(bool, elided);
    CUserAgreementDialog dialog(QStringLiteral("协议").repeated(repeat), QString(), QString());
    dialog.show();
    CCheckBox* box = checkBox(&dialog);
    QCOMPARE(box->width() < box->sizeHint().width(), elided);
    QCOMPARE(box->toolTip(), elided ? box->text() : QString());
    QVERIFY(box->geometry().right() < button(&dialog, "acceptButton")->x());
}

void TestUserAgreementDialog::acceptReportsCheckBox_data()
{
    QTest::addColumn<int>("clicks");
    QTest::newRow("unticked") << 0;
    QTest::newRow("ticked") << 1;
    QTest::newRow("ticked and unticked") << 2;
}

void TestUserAgreementDialog::acceptReportsCheckBox()
{
    QFETCH(int, clicks);
    CUserAgreementDialog dialog(name, QString(), QString());
    QList<QList<bool>> calls; // accepted, checked, dialog still open
    QCOMPARE(run(dialog, clicks, "acceptButton",
                 [&](bool accepted, bool ticked) {
                     calls << QList<bool>{accepted, ticked, dialog.isVisible()};
                 }),
             int(QDialog::Accepted));
    QCOMPARE(calls, QList<QList<bool>>{(QList<bool>{true, clicks == 1, true})});
}

void TestUserAgreementDialog::closeButtonCallsNothing()
{
    CUserAgreementDialog dialog(name, QString(), QString());
    int calls = 0;
    QCOMPARE(run(dialog, 1, "closeButton", [&](bool, bool) { ++calls; }), int(QDialog::Rejected));
    QCOMPARE(calls, 0);
    QVERIFY(checkBox(&dialog)->isChecked());
}

// Each display replaces the stored callback; an empty one clears it and still accepts.
void TestUserAgreementDialog::callbackOfTheLastDisplayOnly()
{
    CUserAgreementDialog dialog(name, QString(), QString());
    QList<bool> first, second;
    QCOMPARE(run(dialog, 0, "closeButton", [&](bool, bool c) { first << c; }),
             int(QDialog::Rejected));
    QCOMPARE(run(dialog, 1, "acceptButton", [&](bool, bool c) { second << c; }),
             int(QDialog::Accepted));
    QCOMPARE(run(dialog, 0, "acceptButton", boost::function<void(bool, bool)>()),
             int(QDialog::Accepted));
    QCOMPARE(first, QList<bool>());
    QCOMPARE(second, QList<bool>{true});
}

void TestUserAgreementDialog::loadHasNoEffect()
{
    CUserAgreementDialog dialog(name, QString(), QString());
    dialog.show();
    const QImage beforeLoad = dialog.grab().toImage();
    const int children = dialog.findChildren<QWidget*>().size();
    dialog.load(QStringLiteral("第一条 本协议……"));
    QCOMPARE(dialog.findChildren<QWidget*>().size(), children);
    QCOMPARE(dialog.grab().toImage(), beforeLoad);
}

QTEST_MAIN(TestUserAgreementDialog)
#include "tst_useragreementdialog.moc"
