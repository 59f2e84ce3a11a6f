#include "testsupport.h"

#include "uibase/dialog/ccountdowndialog.h"
#include "uibase/dialog/cmessagebox.h"
#include "uibase/dialog/contracts/utils.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <log4cxx/logmanager.h>
#include <log4cxx/spi/loggerrepository.h>

#include <memory>

using namespace Omra;
using namespace testsupport::box;

namespace {

class TestDialog : public CCountDownDialog
{
public:
    TestDialog(CCDButtonStyle* style, QMessageBox::Icon icon, const QString& text, int countdown,
               const QString& trailing, CCountDownType type, bool showLink, const QString& first,
               const QString& second = QString(), const QString& third = QString())
        : CCountDownDialog(style, icon, QStringLiteral("倒计时"), text, countdown, trailing, type,
                           showLink, first, second, third)
    {
    }

    using CCountDownDialog::getPixmap;
    using CCountDownDialog::handleEvent;
    using CCountDownDialog::s_nActive;

    static QSet<int> ids(const CCountDownDialog* d) { return d->*(&TestDialog::buttonIds); }
    static QList<CPushButton*> row(const CCountDownDialog* d) { return d->*(&TestDialog::buttons); }
    static QTimer* timer(const CCountDownDialog* d) { return d->*(&TestDialog::countdownTimer); }
};

// Reads the message box's own counter, which must not move with countdown dialogs.
class MessageBoxCounter : public CMessageBox
{
public:
    using CMessageBox::s_nActive;
};

CSimpleTextWidget* textNamed(QWidget* dialog, const char* name)
{
    return dialog->findChild<CSimpleTextWidget*>(QLatin1String(name));
}

QSize capped(const CSimpleTextWidget* text)
{
    if (!text)
        return QSize(0, 0);
    const int width = qMin(text->sizeHint().width(), 700);
    return QSize(width, text->heightForWidth(width));
}

} // namespace

class TestCountDownDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void construction_data();
    void construction();

    void layout_data();
    void layout();
    void workedLayout();
    void numberOnOneLine_data();
    void numberOnOneLine();

    void ticks_data();
    void ticks();
    void countdownRealTime();

    void results_data();
    void results();

    void cascadeAndLog_data();
    void cascadeAndLog();

private:
    std::unique_ptr<testsupport::TestTheme> theme;
    QSet<QWidget*> before;
};

void TestCountDownDialog::initTestCase()
{
    log4cxx::LogManager::getLoggerRepository()->setConfigured(true);
}

void TestCountDownDialog::init()
{
    theme.reset(new testsupport::TestTheme);
    testsupport::addBoxTheme(*theme)
        .font(QStringLiteral("fnt_default_digit_large_heavy"), 26, true)
        .font(QStringLiteral("fnt_default_digit_fix_underline"), 12);
    QVERIFY(theme->apply());
    QCOMPARE(TestDialog::s_nActive, 0);
    before = testsupport::topLevelSnapshot();
}

void TestCountDownDialog::cleanup()
{
    const QList<QWidget*> leaked = testsupport::leakedTopLevels(before);
    qDeleteAll(leaked);
    QVERIFY2(leaked.isEmpty(), "a window outlived the test");
    QCOMPARE(TestDialog::s_nActive, 0);
    theme.reset();
}

void TestCountDownDialog::construction_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("buttonTexts");
    QTest::addColumn<bool>("withStyle");
    QTest::addColumn<QString>("expected"); // each button: id text look width; then the ids

    QTest::newRow("restart link, wide buttons")
        << 0 << QStringList{"一", "二", ""} << false << "1 一 + 96, 2 二 - 96; 1 2 4";
    QTest::newRow("plain, no style")
        << 1 << QStringList{"一", "二", "三"} << false << "1 一 + 72, 2 二 - 72, 3 三 + 72; 1 2 3";
    QTest::newRow("unknown type is plain, caller's styles")
        << 7 << QStringList{"一", "", "三"} << true << "1 一 - 72, 3 三 - 72; 1 3";
}

void TestCountDownDialog::construction()
{
    QFETCH(int, type);
    QFETCH(QStringList, buttonTexts);
    QFETCH(bool, withStyle);
    QFETCH(QString, expected);

    CCDButtonStyle style;
    style.firstStyle = CountDownButtonNegative;
    style.secondStyle = CountDownButtonPositive;
    style.thirdStyle = static_cast<ECountDownButtonStyle>(3); // any non-zero is negative
    TestDialog dialog(withStyle ? &style : nullptr, QMessageBox::Information,
                      QStringLiteral("系统将在"), 12, QStringLiteral("秒后重启"),
                      static_cast<CCountDownType>(type), true, buttonTexts.at(0), buttonTexts.at(1),
                      buttonTexts.at(2));
    QStringList buttons;
    for (const CPushButton* b : TestDialog::row(&dialog))
        buttons << QStringLiteral("%1 %2 %3 %4%5")
                       .arg(b->getID())
                       .arg(b->text(),
                            b->getImageKey() == QLatin1String("img_btn_positive") ? "+" : "-")
                       .arg(b->width())
                       .arg(b->height() == 29 && !b->isDefault() ? "" : " wrong");
    QList<int> ids = TestDialog::ids(&dialog).values();
    std::sort(ids.begin(), ids.end());
    QStringList idTexts;
    for (int id : ids)
        idTexts << QString::number(id);
    QCOMPARE(buttons.join(QStringLiteral(", ")) + "; " + idTexts.join(QLatin1Char(' ')), expected);
    QCOMPARE(textNamed(&dialog, "countdownText")->getText(), QStringLiteral("12"));
    CSimpleTextWidget* link = textNamed(&dialog, "linkText");
    QCOMPARE(link != nullptr, type == 0);
    if (link)
        QCOMPARE(link->getText() + QString::number(link->getID()),
                 QStringLiteral("点击设置重启时间4"));
    QVERIFY(dialog.findChild<CPushButton*>(QStringLiteral("closeButton"))->isHidden());
    QCOMPARE(TestDialog::timer(&dialog)->interval(), 1000);
    QVERIFY(TestDialog::timer(&dialog)->isActive());
}

void TestCountDownDialog::layout_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("showLink");
    QTest::addColumn<QStringList>("buttonTexts");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");

    QTest::newRow("link hidden still counts")
        << 0 << false << QStringList{"立即重启", "稍后", ""} << QStringLiteral("系统将在")
        << int(QMessageBox::Information);
    QTest::newRow("three buttons mirror")
        << 1 << false << QStringList{"一", "二", "三"} << QStringLiteral("系统将在")
        << int(QMessageBox::Warning);
    QTest::newRow("wide text, no icon")
        << 1 << false << QStringList{"一", "二", ""}
        << QStringLiteral("The terminal has received an update and will restart itself in")
        << int(QMessageBox::NoIcon);
}

void TestCountDownDialog::layout()
{
    QFETCH(int, type);
    QFETCH(bool, showLink);
    QFETCH(QStringList, buttonTexts);
    QFETCH(QString, text);
    QFETCH(int, icon);

    TestDialog dialog(nullptr, static_cast<QMessageBox::Icon>(icon), text, 30,
                      QStringLiteral("秒后重启"), static_cast<CCountDownType>(type), showLink,
                      buttonTexts.at(0), buttonTexts.at(1), buttonTexts.at(2));
    const QSize pic = dialog.getPixmap(static_cast<QMessageBox::Icon>(icon)).size();
    const QSize n = capped(textNamed(&dialog, "countdownText"));
    const QSize g = capped(textNamed(&dialog, "messageText"));
    const QSize r = capped(textNamed(&dialog, "trailingText"));
    const QSize l = capped(textNamed(&dialog, "linkText"));
    const QList<CPushButton*> row = TestDialog::row(&dialog);
    const int bwidth = type == 0 ? 96 : 72;
    const int bw = row.size() * (bwidth + BH) - BH;

    const int w = qMax(350, qMax(g.width() + n.width() + r.width() + pic.width() + IH, bw) +
                                2 * (F + M) + pic.width() + IH);
    const int h = qMax(pic.height(), n.height() + l.height() + 29 + VS) + 2 * (F + M) + T;
    QCOMPARE(dialog.size(), QSize(w, h));

    const int x0 = F + pic.width() + IH + M;
    const int y0 = F + T + M;
    QCOMPARE(textNamed(&dialog, "messageText")->geometry(), QRect(QPoint(x0, y0), g));
    QCOMPARE(textNamed(&dialog, "countdownText")->geometry(),
             QRect(QPoint(x0 + g.width(), y0 - 5), n));
    QCOMPARE(textNamed(&dialog, "trailingText")->geometry(),
             QRect(QPoint(x0 + g.width() + n.width(), y0), r));
    int y = y0 + VS / 2 + n.height();
    if (type == 0) {
        QCOMPARE(textNamed(&dialog, "linkText")->geometry(), QRect(QPoint(x0, y), l));
        y += l.height() + VS;
    }
    int x = x0 + BH;
    for (int i = 0; i < row.size(); ++i) {
        QCOMPARE(row.at(i)->pos(), QPoint(x, y));
        x = w - x - bwidth; // the next one mirrors this one
    }
}

void TestCountDownDialog::workedLayout()
{
    TestDialog dialog(nullptr, QMessageBox::Warning, QStringLiteral("还有"), 12,
                      QStringLiteral("秒"), CountDownPlain, false, QStringLiteral("一"),
                      QStringLiteral("二"));
    const QSize n = capped(textNamed(&dialog, "countdownText"));
    const int g = capped(textNamed(&dialog, "messageText")).width();
    QCOMPARE(dialog.size(), QSize(350, qMax(ICON, n.height() + 29 + VS) + 44 + T));
    QCOMPARE(textNamed(&dialog, "countdownText")->pos(), QPoint(64 + g, 47));
    QCOMPARE(textNamed(&dialog, "trailingText")->pos(), QPoint(64 + g + n.width(), 52));
    const QList<CPushButton*> row = TestDialog::row(&dialog);
    QCOMPARE(row.at(0)->pos(), QPoint(74, 52 + 5 + n.height()));
    QCOMPARE(row.at(1)->pos(), QPoint(350 - 74 - 72, 52 + 5 + n.height()));
    // Painted: the icon on the background.
    const QImage image = dialog.grab().toImage();
    const QPoint iconAt(F + M, F + T + M - 5);
    QCOMPARE((QList<QColor>{image.pixelColor(iconAt - QPoint(1, 1)), image.pixelColor(iconAt),
                            image.pixelColor(iconAt + QPoint(ICON - 1, ICON - 1))}),
             (QList<QColor>{backgroundColor, warningColor, warningColor}));
}

void TestCountDownDialog::numberOnOneLine_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("text");
    const QString shortText = QStringLiteral("系统将在");
    QTest::newRow("1 as built") << 1 << 0 << shortText;
    QTest::newRow("5 then 04") << 5 << 1 << shortText;
    QTest::newRow("9 then 08") << 9 << 1 << shortText;
    QTest::newRow("10 then 09") << 10 << 1 << shortText;
    QTest::newRow("09 after three ticks") << 12 << 3 << shortText;
    QTest::newRow("0-1") << 0 << 1 << shortText;
    QTest::newRow("5 then 04, the row as wide as the dialog")
        << 5 << 1 << QStringLiteral("The terminal has received an update and will restart in");
}

// Text, number and trailing text stay on one line each and side by side as the number
// changes width; the dialog keeps the room right of the row that it was built with.
void TestCountDownDialog::numberOnOneLine()
{
    QFETCH(int, start);
    QFETCH(int, ticks);
    QFETCH(QString, text);

    // The shipped theme's heavy digits are synthetically emboldened, which once made the
    // number wrap inside the width it was measured at.
    utils::CSingletonT<CUiResource>::instance()->resetToDefault();
    TestDialog dialog(nullptr, QMessageBox::Information, text, start, QStringLiteral("秒后重启"),
                      CountDownWithRestartLink, true, QStringLiteral("立即重启"),
                      QStringLiteral("稍后"));
    CSimpleTextWidget* message = textNamed(&dialog, "messageText");
    CSimpleTextWidget* number = textNamed(&dialog, "countdownText");
    CSimpleTextWidget* trailing = textNamed(&dialog, "trailingText");
    const QList<QPoint> built{message->pos(), number->pos()};
    const int builtWidth = dialog.width();
    const int room = dialog.width() - (trailing->x() + trailing->width());
    for (int i = 0; i < ticks; ++i)
        dialog.slot_MessageTimeout();
    for (const char* name : {"countdownText", "messageText", "trailingText", "linkText"}) {
        CSimpleTextWidget* text = textNamed(&dialog, name);
        QCOMPARE(text->lineCountForWidth(text->width()), 1);
        QCOMPARE(text->height(), text->sizeHint().height());
    }
    QCOMPARE((QList<QPoint>{message->pos(), number->pos()}), built);
    QCOMPARE(trailing->x(), number->x() + number->width());
    // At least the icon column's room on the right; wider only as far as the row needs.
    const int roomNow = dialog.width() - (trailing->x() + trailing->width());
    QVERIFY2(roomNow >= message->x() && (dialog.width() == builtWidth || roomNow == message->x()),
             qPrintable(QStringLiteral("%1 %2 %3").arg(room).arg(roomNow).arg(dialog.width())));
    const QList<CPushButton*> row = TestDialog::row(&dialog);
    QCOMPARE(row.at(1)->x(), dialog.width() - row.at(0)->x() - row.at(0)->width());
}

void TestCountDownDialog::ticks_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QStringList>("expectedTexts"); // at start and after each tick while open
    QTest::addColumn<int>("closedAfter");           // tick that closed it, 0 when it stays
    QTest::addColumn<int>("expectedResult");

    QTest::newRow("5 has no leading zero at first, then 04")
        << 5 << 6 << QStringList{"5", "04", "03", "02", "01"} << 5 << 0;
    QTest::newRow("0 shows 0-1 and stays")
        << 0 << 4 << QStringList{"0", "0-1", "0-1", "0-1", "0-1"} << 0 << 1;
    QTest::newRow("-1 never counts") << -1 << 3 << QStringList{"-1", "-1", "-1", "-1"} << 0 << 1;
}

void TestCountDownDialog::ticks()
{
    QFETCH(int, start);
    QFETCH(int, ticks);
    QFETCH(QStringList, expectedTexts);
    QFETCH(int, closedAfter);
    QFETCH(int, expectedResult);

    QStringList seen;
    int closedAt = 0;
    bool hadParent = true;
    testsupport::whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<CCountDownDialog*>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        hadParent = dialog->parentWidget() != nullptr;
        TestDialog::timer(dialog)->stop(); // ticks come from the test alone
        CSimpleTextWidget* number = textNamed(dialog, "countdownText");
        seen << number->getText();
        for (int i = 1; i <= ticks && dialog->isVisible(); ++i) {
            dialog->slot_MessageTimeout();
            if (dialog->isVisible())
                seen << number->getText();
            else
                closedAt = i;
        }
        if (dialog->isVisible())
            QTest::mouseClick(dialog->findChild<CPushButton*>(QStringLiteral("button1")),
                              Qt::LeftButton);
    });
    QWidget host;
    const int result = CCountDownDialog::getChooseResult(
        nullptr, &host, QStringLiteral("重启"), QStringLiteral("系统将在"), start,
        QStringLiteral("秒后重启"), CountDownPlain, false, QStringLiteral("立即"),
        QStringLiteral("稍后"), QString(), true);

    QCOMPARE(seen, expectedTexts);
    QCOMPARE(closedAt, closedAfter);
    QCOMPARE(result, expectedResult);
    QVERIFY2(!hadParent, "the dialog is always a top-level window");
}

void TestCountDownDialog::countdownRealTime()
{
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(CCountDownDialog::getChooseResult(nullptr, nullptr, QStringLiteral("重启"),
                                               QStringLiteral("系统将在"), 2,
                                               QStringLiteral("秒后重启"), CountDownWithRestartLink,
                                               true, QStringLiteral("立即")),
             0);
    QVERIFY2(clock.elapsed() >= 1900, qPrintable(QString::number(clock.elapsed())));
}

// how: a child to click, "escape", or "event <type> <id>" sent to handleEvent (then escape
// when it was not taken).
void TestCountDownDialog::results_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("expected");

    QTest::newRow("third button") << 0 << "button3" << 3;
    QTest::newRow("restart line") << 0 << "linkText" << 4;
    QTest::newRow("escape") << 0 << "escape" << 0;
    QTest::newRow("line activation") << 0 << "event 10 4" << 4;
    QTest::newRow("plain type has no 4") << 1 << "event 5 4" << 0;
    QTest::newRow("other event type") << 0 << "event 69 4" << 0;
}

void TestCountDownDialog::results()
{
    QFETCH(int, type);
    QFETCH(QString, how);
    QFETCH(int, expected);

    testsupport::whenModal([how](QWidget* modal) {
        const QStringList event = how.split(QLatin1Char(' '));
        // handleEvent is public on the event bus base; the dialog's override answers it.
        CEventDeliverer* dialog = qobject_cast<CCountDownDialog*>(modal);
        if (event.size() == 3 && dialog &&
            dialog->handleEvent(event.at(1).toInt(), event.at(2).toInt(), 0, QString(), nullptr))
            return;
        if (QWidget* target = modal->findChild<QWidget*>(how))
            QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        else
            QTest::keyClick(modal, Qt::Key_Escape);
    });
    const int result = CCountDownDialog::getChooseResult(
        nullptr, nullptr, QStringLiteral("重启"), QStringLiteral("系统将在"), 30,
        QStringLiteral("秒后重启"), static_cast<CCountDownType>(type), true, QStringLiteral("立即"),
        QStringLiteral("稍后"), QStringLiteral("取消"));
    QCOMPARE(result, expected);
}

void TestCountDownDialog::cascadeAndLog_data()
{
    QTest::addColumn<bool>("switchOn");
    QTest::newRow("switch 35 on") << true;
    QTest::newRow("switch 35 off") << false;
}

void TestCountDownDialog::cascadeAndLog()
{
    QFETCH(bool, switchOn);

    const int boxesBefore = MessageBoxCounter::s_nActive;
    QStringList expected;
    const QStringList lines = testsupport::consoleLines(switchOn, true, [&] {
        QList<QPointer<TestDialog>> dialogs;
        for (int i = 0; i < 3; ++i) {
            dialogs << new TestDialog(nullptr, QMessageBox::Information, QStringLiteral("还有"), 12,
                                      QStringLiteral("秒"), CountDownPlain, false,
                                      QStringLiteral("一"));
            dialogs.last()->show();
            QCOMPARE(TestDialog::s_nActive, i + 1);
            if (switchOn)
                expected << QStringLiteral("move %1 to %2 %3.")
                                .arg(i)
                                .arg(dialogs.last()->x())
                                .arg(dialogs.last()->y());
        }
        QCOMPARE(MessageBoxCounter::s_nActive, boxesBefore); // a counter of its own
        QCOMPARE(dialogs.at(1)->pos(), dialogs.at(0)->pos() + QPoint(4, 4));
        QCOMPARE(dialogs.at(2)->pos(), dialogs.at(0)->pos() + QPoint(8, 8));
        dialogs.at(1)->close();
        QCOMPARE(TestDialog::s_nActive, 2);
        dialogs.at(2)->close();
        dialogs.at(0)->close();
    });
    QCOMPARE(lines, expected);
}

QTEST_MAIN(TestCountDownDialog)
#include "tst_countdowndialog.moc"
