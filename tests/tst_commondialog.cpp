#include "testsupport.h"

#include "uibase/dialog/ccommondialog.h"
#include "uibase/dialog/cdialoghelper.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

using namespace Omra;

namespace {

class Dialog : public CCommonDialog
{
public:
    using CCommonDialog::CCommonDialog;
    using CCommonDialog::closeButton;
    using CCommonDialog::titleText;
    QWidget* inner() const { return innerWidget; }
};

class ActivationRecorder : public CBaseWidget
{
public:
    explicit ActivationRecorder(QWidget* parent = nullptr)
        : CBaseWidget(QStringLiteral("base_widget"), false, parent)
    {
    }
    void setActive(bool active, bool giveFocus) override
    {
        calls << qMakePair(active, giveFocus);
        CBaseWidget::setActive(active, giveFocus);
    }
    QList<QPair<bool, bool>> calls;
};

QRect available()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

} // namespace

class TestCommonDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sizeBounds();
    void titleSetsTextAndWindowTitle();
    void innerWidget_data();
    void innerWidget();
    void resizePlacesTitleAndCloseButton_data();
    void resizePlacesTitleAndCloseButton();
    void closeButtonRejects();
    void closeEnabled();
    void execActivatesToolkitInnerWidget();
    void themeChangeRepaints();
    void centering_data();
    void centering();

private:
    QSet<QWidget*> before;
};

void TestCommonDialog::init()
{
    before = testsupport::topLevelSnapshot();
}

void TestCommonDialog::cleanup()
{
    QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>());
}

void TestCommonDialog::sizeBounds()
{
    Dialog dialog;
    QCOMPARE(dialog.minimumSize(), QSize(400, 250));
    QCOMPARE(dialog.maximumSize(), available().size());
    dialog.resize(10, 10);
    QCOMPARE(dialog.size(), QSize(400, 250));
    dialog.resize(100000, 100000);
    QCOMPARE(dialog.size(), available().size());
    QCOMPARE(dialog.getFrameMargin(), 12);
    QCOMPARE(dialog.getTitleBarHeight(), 30);
    QCOMPARE(dialog.getBackgroundKey(), QStringLiteral("img_custom_dialog_bg"));
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
}

void TestCommonDialog::titleSetsTextAndWindowTitle()
{
    Dialog dialog;
    QCOMPARE(dialog.titleText->getText(), QStringLiteral(" "));
    dialog.setTitle(QStringLiteral("修改密码"));
    QCOMPARE(dialog.titleText->getText(), QStringLiteral("修改密码"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("修改密码"));
    QCOMPARE(dialog.titleText->getMaxLines(), 100000);
    QCOMPARE(dialog.titleText->getFontKey(), QStringLiteral("fnt_dialog_title"));
    QCOMPARE(dialog.titleText->getColorKey(), QStringLiteral("clr_common_dlg_title"));
}

void TestCommonDialog::innerWidget_data()
{
    QTest::addColumn<bool>("withWidget");
    QTest::newRow("widget") << true;
    QTest::newRow("null") << false;
}

void TestCommonDialog::innerWidget()
{
    QFETCH(bool, withWidget);
    Dialog dialog;
    QWidget outside;
    QWidget* widget = withWidget ? new QWidget(&outside) : nullptr;
    dialog.setInnerWidget(widget);
    QVERIFY(dialog.hasInnerWidget());
    QCOMPARE(dialog.getInnerMargins(), QMargins(13, 42, 13, 13));
    QCOMPARE(dialog.inner(), widget);
    dialog.resize(500, 300);
    dialog.show();
    if (widget) {
        QCOMPARE(widget->parentWidget(), &dialog);
        QCOMPARE(widget->geometry(), QRect(13, 42, 500 - 26, 300 - 55));
        dialog.resize(520, 310);
        QCOMPARE(widget->geometry(), QRect(13, 42, 520 - 26, 310 - 55));
        delete widget; // the frame must cope with its inner widget going away
        dialog.resize(530, 320);
    }
}

void TestCommonDialog::resizePlacesTitleAndCloseButton_data()
{
    QTest::addColumn<int>("titlePixelSize");
    QTest::newRow("normal title") << 14;
    QTest::newRow("title taller than the bar") << 40;
}

void TestCommonDialog::resizePlacesTitleAndCloseButton()
{
    QFETCH(int, titlePixelSize);
    testsupport::TestTheme theme;
    theme.font(QStringLiteral("fnt_dialog_title"), titlePixelSize)
        .image(QStringLiteral("img_sys_btn_exit"), QSize(26, 20), QColor(Qt::red), 4);
    QVERIFY(theme.apply());

    Dialog dialog;
    dialog.setTitle(QStringLiteral("Title"));
    dialog.resize(600, 300);
    dialog.show();
    const int titleHeight = dialog.titleText->height();
    if (titlePixelSize == 40)
        QVERIFY(titleHeight > 30);
    const int expectedY = 12 + (30 - titleHeight) / 2; // truncates toward zero
    QCOMPARE(dialog.titleText->pos(), QPoint(22, expectedY));
    QCOMPARE(dialog.closeButton->size(), QSize(26, 20));
    QCOMPARE(dialog.closeButton->pos(), QPoint(588 - 26, 12));
}

void TestCommonDialog::closeButtonRejects()
{
    Dialog dialog;
    QCOMPARE(dialog.closeButton->getID(), 101);
    QCOMPARE(dialog.closeButton->focusPolicy(), Qt::NoFocus);
    testsupport::whenModal([&dialog](QWidget* modal) {
        QCOMPARE(modal, &dialog);
        QTest::mouseClick(dialog.closeButton, Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
}

void TestCommonDialog::closeEnabled()
{
    Dialog dialog;
    dialog.setCloseEnabled(false);
    QVERIFY(!dialog.closeButton->isEnabled());
    dialog.show();
    QVERIFY(dialog.closeButton->isVisible());
    dialog.setCloseEnabled(true);
    QVERIFY(dialog.closeButton->isEnabled());
}

void TestCommonDialog::execActivatesToolkitInnerWidget()
{
    Dialog dialog;
    auto* inner = new ActivationRecorder;
    dialog.setInnerWidget(inner);
    testsupport::whenModal([](QWidget* modal) { static_cast<QDialog*>(modal)->accept(); });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(inner->calls, (QList<QPair<bool, bool>>{qMakePair(true, true)}));

    Dialog plain; // a plain widget is not activated and exec still runs
    plain.setInnerWidget(new QWidget);
    testsupport::whenModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    QCOMPARE(plain.exec(), int(QDialog::Rejected));
}

void TestCommonDialog::themeChangeRepaints()
{
    testsupport::TestTheme theme;
    theme.image(QStringLiteral("img_custom_dialog_bg"), QSize(128, 128), QColor(0, 0, 255));
    QVERIFY(theme.apply());
    Dialog dialog;
    dialog.resize(400, 250);
    dialog.show();
    QCOMPARE(dialog.grab().toImage().pixelColor(200, 150), QColor(0, 0, 255));

    testsupport::TestTheme green;
    green.image(QStringLiteral("img_custom_dialog_bg"), QSize(128, 128), QColor(0, 255, 0));
    QVERIFY(green.apply());
    QCOMPARE(dialog.grab().toImage().pixelColor(200, 150), QColor(0, 255, 0));
}

void TestCommonDialog::centering_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("400x300") << QSize(400, 300);
    QTest::newRow("odd difference") << QSize(401, 251);
}

void TestCommonDialog::centering()
{
    QFETCH(QSize, size);
    QDialog dialog;
    dialog.resize(size);
    const QRect area = available();
    const QPoint expected((area.width() - size.width()) / 2, (area.height() - size.height()) / 2);
    CDialogHelper::toCenter(&dialog);
    QCOMPARE(dialog.pos(), expected);
    dialog.move(1, 1);
    CDialogHelper::fixCenter(&dialog);
    QCOMPARE(dialog.pos(), expected);
    CDialogHelper::toCenter(nullptr); // ignored
}

QTEST_MAIN(TestCommonDialog)
#include "tst_commondialog.moc"
