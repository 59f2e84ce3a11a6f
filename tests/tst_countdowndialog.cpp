#include "testsupport.h"

#include "uibase/dialog/ccountdowndialog.h"
#include "uibase/dialog/cmessagebox.h"
#include "uibase/dialog/contracts/uiresource.h"
#include "uibase/dialog/contracts/utils.h"

#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <climits>
#include <memory>

using namespace Omra;
using namespace testsupport::box;

namespace {

class TestDialog : public CCountDownDialog
{
public:
    TestDialog(CCDButtonStyle* style, QMessageBox::Icon icon, const QString& text, int countdown,
               CCountDownType type, const QStringList& buttons)
        : CCountDownDialog(style, icon, QStringLiteral("倒计时"), text, countdown,
                           QStringLiteral("秒后重启"), type, true, buttons.value(0),
                           buttons.value(1), buttons.value(2))
    {
    }
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

int run(const QString& how, CCountDownType type)
{
    testsupport::whenModal([how](QWidget* modal) {
        const QStringList event = how.split(QLatin1Char(' '));
        // handleEvent is public on the event bus base; the dialog's override answers it.
        CEventDeliverer* dialog = qobject_cast<CCountDownDialog*>(modal);
        if (event.size() == 3 &&
            dialog->handleEvent(event.at(1).toInt(), event.at(2).toInt(), 0, QString(), nullptr))
            return;
        if (QWidget* target = modal->findChild<QWidget*>(how))
            QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        else
            QTest::keyClick(modal, Qt::Key_Escape);
    });
    return CCountDownDialog::getChooseResult(
        nullptr, nullptr, QStringLiteral("重启"), QStringLiteral("系统将在"), 30,
        QStringLiteral("秒后重启"), type, true, QStringLiteral("立即"), QStringLiteral("稍后"),
        QStringLiteral("取消"));
}

} // namespace

class TestCountDownDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<testsupport::TestTheme> theme;
    QSet<QWidget*> before;

private slots:
    void init()
    {
        theme.reset(new testsupport::TestTheme);
        testsupport::addBoxTheme(*theme)
            .font(QStringLiteral("fnt_default_digit_large_heavy"), 26, true)
            .font(QStringLiteral("fnt_default_digit_fix_underline"), 12);
        QVERIFY(theme->apply());
        before = testsupport::topLevelSnapshot();
    }
    void cleanup()
    {
        const QList<QWidget*> leaked = testsupport::leakedTopLevels(before);
        qDeleteAll(leaked);
        QVERIFY2(leaked.isEmpty(), "a window outlived the test");
        QCOMPARE(TestDialog::s_nActive, 0);
        theme.reset();
    }

    // The buttons left to right: ids, texts, looks (+ positive, - negative) and width (all
    // 29 high, none the default); then the ids that end the dialog.
    void construction_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("buttonTexts");
        QTest::addColumn<bool>("withStyle");
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("looks");
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<int>>("closingIds");
        QTest::newRow("restart link, wide buttons")
            << 0 << QStringList{"一", "二", ""} << false << QList<int>{1, 2}
            << QStringList{"一", "二"} << "+-" << 96 << QList<int>{1, 2, 4};
        QTest::newRow("plain, no style")
            << 1 << QStringList{"一", "二", "三"} << false << QList<int>{1, 2, 3}
            << QStringList{"一", "二", "三"} << "+-+" << 72 << QList<int>{1, 2, 3};
        QTest::newRow("unknown type is plain, caller's styles")
            << 7 << QStringList{"一", "", "三"} << true << QList<int>{1, 3}
            << QStringList{"一", "三"} << "--" << 72 << QList<int>{1, 3};
    }
    void construction()
    {
        QFETCH(int, type);
        QFETCH(QStringList, buttonTexts);
        QFETCH(bool, withStyle);
        QFETCH(QList<int>, ids);
        QFETCH(QStringList, texts);
        QFETCH(QString, looks);
        QFETCH(int, width);
        QFETCH(QList<int>, closingIds);
        CCDButtonStyle style;
        style.firstStyle = CountDownButtonNegative;
        style.secondStyle = CountDownButtonPositive;
        style.thirdStyle = static_cast<ECountDownButtonStyle>(3); // any non-zero is negative
        TestDialog dialog(withStyle ? &style : nullptr, QMessageBox::Information,
                          QStringLiteral("系统将在"), 12, static_cast<CCountDownType>(type),
                          buttonTexts);
        QList<int> seenIds;
        QStringList seenTexts;
        QString seenLooks;
        for (const CPushButton* b : TestDialog::row(&dialog)) {
            seenIds << b->getID();
            seenTexts << b->text();
            seenLooks += b->getImageKey() == QLatin1String("img_btn_positive") ? '+' : '-';
            QCOMPARE(b->size(), QSize(width, 29));
            QVERIFY(!b->isDefault());
        }
        QCOMPARE(seenIds, ids);
        QCOMPARE(seenTexts, texts);
        QCOMPARE(seenLooks, looks);
        QList<int> closing = TestDialog::ids(&dialog).values();
        std::sort(closing.begin(), closing.end());
        QCOMPARE(closing, closingIds);
        QCOMPARE(textNamed(&dialog, "countdownText")->getText(), QStringLiteral("12"));
        CSimpleTextWidget* link = textNamed(&dialog, "linkText");
        QCOMPARE(link ? link->getText() + QString::number(link->getID()) : QString(),
                 type == 0 ? QStringLiteral("点击设置重启时间4") : QString());
        QVERIFY(dialog.findChild<CPushButton*>(QStringLiteral("closeButton"))->isHidden());
        QCOMPARE(TestDialog::timer(&dialog)->interval(), 1000);
        QVERIFY(TestDialog::timer(&dialog)->isActive());
    }

    // A number that widens ("5", then "04") pushes the trailing text after it instead of
    // running into it; the dialog widens only when the row no longer fits, keeping the icon
    // column's room on the right, and the buttons stay mirrored.
    void numberWidens_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("text");
        const QString shortText = QStringLiteral("系统将在");
        QTest::newRow("1 as built") << 1 << 0 << shortText;
        QTest::newRow("5 then 04") << 5 << 1 << shortText;
        QTest::newRow("9 then 08") << 9 << 1 << shortText;
        QTest::newRow("10 then 09") << 10 << 1 << shortText;
        QTest::newRow("5 then 04, the row as wide as the dialog")
            << 5 << 1 << QStringLiteral("The terminal has received an update and will restart in");
    }
    void numberWidens()
    {
        QFETCH(int, start);
        QFETCH(int, ticks);
        QFETCH(QString, text);
        // The shipped theme: its heavy digits are synthetically bold, so "04" is wider than "5".
        utils::CSingletonT<CUiResource>::instance()->resetToDefault();
        TestDialog dialog(nullptr, QMessageBox::Information, text, start, CountDownWithRestartLink,
                          {QStringLiteral("立即重启"), QStringLiteral("稍后")});
        CSimpleTextWidget* message = textNamed(&dialog, "messageText");
        CSimpleTextWidget* number = textNamed(&dialog, "countdownText");
        CSimpleTextWidget* trailing = textNamed(&dialog, "trailingText");
        const QList<QPoint> built{message->pos(), number->pos()};
        const int builtWidth = dialog.width();
        for (int i = 0; i < ticks; ++i)
            dialog.slot_MessageTimeout();
        QCOMPARE(number->lineCountForWidth(number->width()), 1);
        QCOMPARE((QList<QPoint>{message->pos(), number->pos()}), built);
        QCOMPARE(trailing->x(), number->x() + number->width());
        const int room = dialog.width() - (trailing->x() + trailing->width());
        QVERIFY2(room >= message->x() && (dialog.width() == builtWidth || room == message->x()),
                 qPrintable(QStringLiteral("%1 %2").arg(room).arg(dialog.width())));
        const QList<CPushButton*> row = TestDialog::row(&dialog);
        QCOMPARE(row.at(1)->x(), dialog.width() - row.at(0)->x() - row.at(0)->width());
    }

    // The number at the start and after each tick while open; the tick that closed it (0
    // when it stays open, then the first button answers).
    void ticks_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QStringList>("expectedTexts");
        QTest::addColumn<int>("closedAfter");
        QTest::addColumn<int>("expectedResult");
        QTest::newRow("5 has no leading zero at first, then 04")
            << 5 << QStringList{"5", "04", "03", "02", "01"} << 5 << 0;
        QTest::newRow("0 shows 0-1 and stays")
            << 0 << QStringList{"0", "0-1", "0-1", "0-1", "0-1", "0-1", "0-1"} << 0 << 1;
        QTest::newRow("INT_MAX counts down")
            << INT_MAX << QStringList{"2147483647", "2147483646", "2147483645", "2147483644",
                                      "2147483643", "2147483642", "2147483641"}
            << 0 << 1;
        QTest::newRow("INT_MIN cannot go lower")
            << INT_MIN << QString("-2147483648 ").repeated(7).split(' ', Qt::SkipEmptyParts) << 0
            << 1;
        QTest::newRow("-1 never counts")
            << -1 << QStringList{"-1", "-1", "-1", "-1", "-1", "-1", "-1"} << 0 << 1;
    }
    void ticks()
    {
        QFETCH(int, start);
        QFETCH(QStringList, expectedTexts);
        QFETCH(int, closedAfter);
        QFETCH(int, expectedResult);
        QStringList seen;
        int closedAt = 0;
        bool hadParent = true;
        testsupport::whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<CCountDownDialog*>(modal);
            hadParent = dialog->parentWidget() != nullptr;
            TestDialog::timer(dialog)->stop(); // ticks come from the test alone
            seen << textNamed(dialog, "countdownText")->getText();
            for (int i = 1; i <= 6 && dialog->isVisible(); ++i) {
                dialog->slot_MessageTimeout();
                if (dialog->isVisible())
                    seen << textNamed(dialog, "countdownText")->getText();
                else
                    closedAt = i;
            }
            if (dialog->isVisible())
                QTest::mouseClick(dialog->findChild<CPushButton*>(QStringLiteral("button1")),
                                  Qt::LeftButton);
        });
        QWidget host;
        QCOMPARE(CCountDownDialog::getChooseResult(
                     nullptr, &host, QStringLiteral("重启"), QStringLiteral("系统将在"), start,
                     QStringLiteral("秒后重启"), CountDownPlain, false, QStringLiteral("立即"),
                     QStringLiteral("稍后"), QString(), true),
                 expectedResult);
        QCOMPARE(seen, expectedTexts);
        QCOMPARE(closedAt, closedAfter);
        QVERIFY2(!hadParent, "the dialog is always a top-level window");
    }

    // how: a child to click, "escape", or "event <type> <id>" sent to handleEvent (then
    // escape when it was not taken).
    void results_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("expected");
        QTest::newRow("third button") << 0 << "button3" << 3;
        QTest::newRow("restart line") << 0 << "linkText" << 4;
        QTest::newRow("escape") << 0 << "escape" << 0;
        QTest::newRow("line activation") << 0 << "event 10 4" << 4;
        QTest::newRow("plain type has no 4") << 1 << "event 5 4" << 0;
    }
    void results()
    {
        QFETCH(int, type);
        QFETCH(QString, how);
        QFETCH(int, expected);
        QCOMPARE(run(how, static_cast<CCountDownType>(type)), expected);
    }

    // Dialogs shown together step 4 px down and right, with a count of their own.
    void cascade()
    {
        const int boxesBefore = MessageBoxCounter::s_nActive;
        QList<QPointer<TestDialog>> dialogs;
        for (int i = 0; i < 3; ++i) {
            dialogs << new TestDialog(nullptr, QMessageBox::Information, QStringLiteral("还有"), 12,
                                      CountDownPlain, {QStringLiteral("一")});
            dialogs.last()->show();
            QCOMPARE(TestDialog::s_nActive, i + 1);
        }
        QCOMPARE(MessageBoxCounter::s_nActive, boxesBefore);
        QCOMPARE(dialogs.at(1)->pos(), dialogs.at(0)->pos() + QPoint(4, 4));
        QCOMPARE(dialogs.at(2)->pos(), dialogs.at(0)->pos() + QPoint(8, 8));
        dialogs.at(1)->close();
        QCOMPARE(TestDialog::s_nActive, 2);
        dialogs.at(2)->close();
        dialogs.at(0)->close();
    }

    // The clock runs out while a message box opened from the dialog waits: the dialog closes
    // underneath, and both answers arrive once the box is answered.
    void countdownRunsOutUnderMessageBox()
    {
        QList<int> answers;
        bool hiddenUnderBox = false;
        testsupport::whenModal([&](QWidget* countdown) {
            QPointer<QWidget> guard(countdown);
            testsupport::whenModal([&, guard](QWidget* box) {
                QVERIFY(QMetaObject::invokeMethod(guard.data(), "slot_MessageTimeout"));
                hiddenUnderBox = guard && !guard->isVisible();
                QTest::keyClick(box, Qt::Key_Escape);
            });
            answers << CMessageBox::information(nullptr, countdown, QStringLiteral("提示"),
                                                QStringLiteral("稍候"));
        });
        answers << CCountDownDialog::getChooseResult(
            nullptr, nullptr, QStringLiteral("重启"), QStringLiteral("系统将在"), 1,
            QStringLiteral("秒后重启"), CountDownPlain, false, QStringLiteral("立即"));
        QCOMPARE(answers, (QList<int>{0, 0}));
        QVERIFY(hiddenUnderBox);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(TestCountDownDialog)
#include "tst_countdowndialog.moc"
