#include "testsupport.h"

#include "uibase/dialog/cuseragreementdialog.h"

#include <QtTest>

using namespace Omra;

namespace {

constexpr int frameMargin = 12;
constexpr int titleBarHeight = 30;

const QString prefix = QStringLiteral("我已阅读、充分理解并接受");
const QString suffix = QStringLiteral("，不再提醒");

CCheckBox* checkBox(QWidget* dialog)
{
    return dialog->findChild<CCheckBox*>(QStringLiteral("agreeCheckBox"));
}

CPushButton* acceptButton(QWidget* dialog)
{
    return dialog->findChild<CPushButton*>(QStringLiteral("acceptButton"));
}

CPushButton* closeButton(QWidget* dialog)
{
    return dialog->findChild<CPushButton*>(QStringLiteral("closeButton"));
}

struct Call
{
    bool accepted;
    bool checked;
    bool dialogOpen;
};

} // namespace

class TestUserAgreementDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fixedSizeFromTheme_data();
    void fixedSizeFromTheme();
    void bottomBarSitsAtTheBottom_data();
    void bottomBarSitsAtTheBottom();
    void texts_data();
    void texts();
    void longNameIsElidedWithTooltip_data();
    void longNameIsElidedWithTooltip();
    void acceptReportsCheckBox_data();
    void acceptReportsCheckBox();
    void closeButtonCallsNothing_data();
    void closeButtonCallsNothing();
    void secondDisplayReplacesCallback();
    void emptyCallback();
    void loadHasNoEffect();

private:
    QSet<QWidget*> before;
};

void TestUserAgreementDialog::init()
{
    before = testsupport::topLevelSnapshot();
}

void TestUserAgreementDialog::cleanup()
{
    QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>());
}

void TestUserAgreementDialog::fixedSizeFromTheme_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("bottomHeight");
    QTest::addColumn<int>("buttonWidth");
    QTest::addColumn<int>("buttonHeight");
    QTest::newRow("small") << 420 << 260 << 40 << 70 << 24;
    QTest::newRow("large") << 640 << 420 << 56 << 96 << 32;
}

void TestUserAgreementDialog::fixedSizeFromTheme()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, bottomHeight);
    QFETCH(int, buttonWidth);
    QFETCH(int, buttonHeight);
    testsupport::TestTheme theme;
    theme.size(QStringLiteral("siz_user_agreement_dialog_width"), width)
        .size(QStringLiteral("siz_user_agreement_dialog_height"), height)
        .size(QStringLiteral("siz_user_agreement_dialog_bottom_height"), bottomHeight)
        .size(QStringLiteral("siz_user_agreement_dialog_btn_width"), buttonWidth)
        .size(QStringLiteral("siz_user_agreement_dialog_btn_height"), buttonHeight);
    QVERIFY(theme.apply());

    CUserAgreementDialog dialog(QStringLiteral("《用户协议》"), QString(), QString());
    const QSize expected(width + 2 * frameMargin, height + 2 * frameMargin + titleBarHeight);
    QCOMPARE(dialog.size(), expected);
    QCOMPARE(dialog.minimumSize(), expected);
    QCOMPARE(dialog.maximumSize(), expected);
    dialog.show();
    QCOMPARE(acceptButton(&dialog)->size(), QSize(buttonWidth, buttonHeight));
    QCOMPARE(dialog.findChild<CWidgetList*>(QStringLiteral("bottomBar"))->height(), bottomHeight);
}

void TestUserAgreementDialog::bottomBarSitsAtTheBottom_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("bottomHeight");
    QTest::newRow("default theme") << 0 << 0;
    QTest::newRow("short dialog") << 120 << 40;
    QTest::newRow("tall bar") << 300 << 80;
}

void TestUserAgreementDialog::bottomBarSitsAtTheBottom()
{
    QFETCH(int, height);
    QFETCH(int, bottomHeight);
    testsupport::TestTheme theme;
    if (height > 0) {
        theme.size(QStringLiteral("siz_user_agreement_dialog_height"), height)
            .size(QStringLiteral("siz_user_agreement_dialog_bottom_height"), bottomHeight);
        QVERIFY(theme.apply());
    }
    CUserAgreementDialog dialog(QStringLiteral("《用户协议》"), QString(), QString());
    dialog.show();

    auto* mainList = dialog.findChild<CWidgetList*>(QStringLiteral("mainList"));
    auto* bar = dialog.findChild<CWidgetList*>(QStringLiteral("bottomBar"));
    QVERIFY(mainList && bar);
    QCOMPARE(dialog.getInnerWidget(), mainList);
    QCOMPARE(mainList->orientation(), Qt::Vertical);
    QCOMPARE(bar->orientation(), Qt::Horizontal);
    QCOMPARE(bar->parentWidget(), mainList);
    QCOMPARE(bar->margins(), QMargins(0, 0, 0, 0));
    QCOMPARE(mainList->geometry(),
             QRect(QPoint(0, 0), dialog.size()).marginsRemoved(dialog.getInnerMargins()));
    // The list holds nothing but the bar.
    QCOMPARE(mainList->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly),
             QList<QWidget*>{bar});

    // The bar spans the list between its side margins and ends on its bottom edge.
    const QRect area = mainList->rect().marginsRemoved(mainList->margins());
    QCOMPARE(mainList->margins().bottom(), 0);
    QCOMPARE(bar->geometry(),
             QRect(area.left(), area.bottom() + 1 - bar->height(), area.width(), bar->height()));

    // Check box on the left, button on the right, their middles on one line.
    CCheckBox* box = checkBox(&dialog);
    CPushButton* button = acceptButton(&dialog);
    QCOMPARE(box->parentWidget(), bar);
    QCOMPARE(button->parentWidget(), bar);
    QCOMPARE(box->x(), 0);
    QCOMPARE(button->geometry().right(), bar->width() - 1);
    QVERIFY(box->geometry().right() < button->x());
    QCOMPARE(box->geometry().center().y(), button->geometry().center().y());
    QVERIFY(button->geometry().bottom() < bar->height());
}

void TestUserAgreementDialog::texts_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("chinese name") << QStringLiteral("《用户协议》");
    QTest::newRow("latin name") << QStringLiteral("Terms");
    QTest::newRow("empty name") << QString();
}

void TestUserAgreementDialog::texts()
{
    QFETCH(QString, name);
    const QString unused = QStringLiteral("不应出现");
    CUserAgreementDialog dialog(name, unused, unused);
    QCOMPARE(dialog.windowTitle(), name);
    const QString shownTitle =
        dialog.findChild<CSimpleTextWidget*>(QStringLiteral("titleText"))->getText();
    QCOMPARE(shownTitle, name);
    QCOMPARE(checkBox(&dialog)->text(), prefix + name + suffix);
    QCOMPARE(checkBox(&dialog)->getID(), 0);
    QVERIFY(!checkBox(&dialog)->isChecked());
    QCOMPARE(acceptButton(&dialog)->text(), QStringLiteral("接受"));
    QCOMPARE(acceptButton(&dialog)->getID(), 102);
    QVERIFY(acceptButton(&dialog)->isEnabled());
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        QVERIFY(!button->text().contains(unused));
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
    // Never under the button.
    QVERIFY(box->geometry().right() < acceptButton(&dialog)->x());
}

void TestUserAgreementDialog::acceptReportsCheckBox_data()
{
    QTest::addColumn<int>("clicks");
    QTest::addColumn<bool>("checked");
    QTest::newRow("unticked") << 0 << false;
    QTest::newRow("ticked") << 1 << true;
    QTest::newRow("ticked and unticked") << 2 << false;
}

void TestUserAgreementDialog::acceptReportsCheckBox()
{
    QFETCH(int, clicks);
    QFETCH(bool, checked);
    CUserAgreementDialog dialog(QStringLiteral("《用户协议》"), QString(), QString());
    QList<Call> calls;
    testsupport::whenModal([clicks](QWidget* modal) {
        for (int i = 0; i < clicks; ++i)
            QTest::mouseClick(checkBox(modal), Qt::LeftButton);
        QTest::mouseClick(acceptButton(modal), Qt::LeftButton);
    });
    const int result = dialog.display([&](bool accepted, bool ticked) {
        calls << Call{accepted, ticked, dialog.isVisible()};
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.at(0).accepted, true);
    QCOMPARE(calls.at(0).checked, checked);
    QVERIFY(calls.at(0).dialogOpen); // called before the dialog closes
}

void TestUserAgreementDialog::closeButtonCallsNothing_data()
{
    QTest::addColumn<bool>("tick");
    QTest::newRow("unticked") << false;
    QTest::newRow("ticked") << true;
}

void TestUserAgreementDialog::closeButtonCallsNothing()
{
    QFETCH(bool, tick);
    CUserAgreementDialog dialog(QStringLiteral("《用户协议》"), QString(), QString());
    int calls = 0;
    testsupport::whenModal([tick](QWidget* modal) {
        if (tick)
            QTest::mouseClick(checkBox(modal), Qt::LeftButton);
        QTest::mouseClick(closeButton(modal), Qt::LeftButton);
    });
    QCOMPARE(dialog.display([&](bool, bool) { ++calls; }), int(QDialog::Rejected));
    QCOMPARE(calls, 0);
    QCOMPARE(checkBox(&dialog)->isChecked(), tick);
}

void TestUserAgreementDialog::secondDisplayReplacesCallback()
{
    CUserAgreementDialog dialog(QStringLiteral("《用户协议》"), QString(), QString());
    QList<bool> first, second;
    testsupport::whenModal(
        [](QWidget* modal) { QTest::mouseClick(closeButton(modal), Qt::LeftButton); });
    QCOMPARE(dialog.display([&](bool, bool c) { first << c; }), int(QDialog::Rejected));

    testsupport::whenModal([](QWidget* modal) {
        QTest::mouseClick(checkBox(modal), Qt::LeftButton);
        QTest::mouseClick(acceptButton(modal), Qt::LeftButton);
    });
    QCOMPARE(dialog.display([&](bool, bool c) { second << c; }), int(QDialog::Accepted));
    QCOMPARE(first, QList<bool>());
    QCOMPARE(second, QList<bool>{true});
}

void TestUserAgreementDialog::emptyCallback()
{
    CUserAgreementDialog dialog(QStringLiteral("《用户协议》"), QString(), QString());
    int calls = 0;
    testsupport::whenModal(
        [](QWidget* modal) { QTest::mouseClick(acceptButton(modal), Qt::LeftButton); });
    QCOMPARE(dialog.display([&](bool, bool) { ++calls; }), int(QDialog::Accepted));
    QCOMPARE(calls, 1);

    // The empty callback replaces the stored one: accepting again calls nothing.
    testsupport::whenModal(
        [](QWidget* modal) { QTest::mouseClick(acceptButton(modal), Qt::LeftButton); });
    QCOMPARE(dialog.display(boost::function<void(bool, bool)>()), int(QDialog::Accepted));
    QCOMPARE(calls, 1);
}

void TestUserAgreementDialog::loadHasNoEffect()
{
    CUserAgreementDialog dialog(QStringLiteral("《用户协议》"), QString(), QString());
    dialog.show();
    const QImage beforeLoad = dialog.grab().toImage();
    const int children = dialog.findChildren<QWidget*>().size();
    dialog.load(QStringLiteral("第一条 本协议……"));
    dialog.load(QString());
    QCOMPARE(dialog.findChildren<QWidget*>().size(), children);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("《用户协议》"));
    QCOMPARE(dialog.grab().toImage(), beforeLoad);
}

QTEST_MAIN(TestUserAgreementDialog)
#include "tst_useragreementdialog.moc"
