#include "testsupport.h"

#include "uibase/dialog/cmessagebox.h"

#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <climits>
#include <memory>

using namespace Omra;
using namespace testsupport::box;

namespace {

const QColor criticalColor(255, 0, 0);
const QColor questionColor(0, 200, 0);

// Opens the protected parts; the static readers also work on boxes of the entry points.
class TestBox : public CMessageBox
{
public:
    TestBox(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons standard,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
            QPixmap* picture = nullptr, QPoint at = QPoint(-1, -1))
        : CMessageBox(nullptr, icon, QStringLiteral("标题"), text, standard, defaultButton, nullptr,
                      picture, at)
    {
    }
    TestBox(CButtonStyle* style, const QStringList& three)
        : CMessageBox(style, QMessageBox::Warning, QStringLiteral("标题"), QStringLiteral("消息"),
                      three.at(0), three.at(1), three.at(2), nullptr, QPoint(-1, -1))
    {
    }
    using CMessageBox::s_nActive;
    using CMessageBox::setCountDown;
    static QSet<int> ids(const CMessageBox* box) { return box->*(&TestBox::buttonIds); }
    static QList<CPushButton*> row(const CMessageBox* box) { return box->*(&TestBox::buttons); }
    static QTimer* timer(const CMessageBox* box) { return box->*(&TestBox::countdownTimer); }
    static QStringList texts(const CMessageBox* box)
    {
        QStringList list;
        for (const CPushButton* button : row(box))
            list << button->text();
        return list;
    }
};

CPushButton* named(QWidget* box, const char* name)
{
    return box->findChild<CPushButton*>(QLatin1String(name));
}

// Ends a modal box: "click:<id>", "close" (the frame's button) or "escape".
void finish(QWidget* box, const QString& how)
{
    if (how.startsWith(QLatin1String("click:"))) {
        for (CPushButton* button : TestBox::row(qobject_cast<CMessageBox*>(box)))
            if (button->getID() == how.mid(6).toInt())
                return QTest::mouseClick(button, Qt::LeftButton);
        box->close();
    } else if (how == QLatin1String("close")) {
        QTest::mouseClick(named(box, "closeButton"), Qt::LeftButton);
    } else {
        QTest::keyClick(box, Qt::Key_Escape);
    }
}

} // namespace

class TestMessageBox : public QObject
{
    Q_OBJECT

    std::unique_ptr<testsupport::TestTheme> theme;
    QSet<QWidget*> before;

private slots:
    void init()
    {
        theme.reset(new testsupport::TestTheme);
        testsupport::addBoxTheme(*theme)
            .image(QStringLiteral("img_messagebox_critical"), QSize(iconSize, iconSize),
                   criticalColor)
            .image(QStringLiteral("img_messagebox_question"), QSize(iconSize, iconSize),
                   questionColor);
        QVERIFY(theme->apply());
        before = testsupport::topLevelSnapshot();
    }
    void cleanup()
    {
        const QList<QWidget*> leaked = testsupport::leakedTopLevels(before);
        qDeleteAll(leaked);
        QVERIFY2(leaked.isEmpty(), "a window outlived the test");
        QCOMPARE(TestBox::s_nActive, 0);
        theme.reset();
    }

    // The buttons left to right: their texts, their looks and which one is the default.
    // Rows with three texts use the three-button constructor, the others the flags.
    void buttons_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<QStringList>("three");
        QTest::addColumn<bool>("withStyle");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("looks"); // + positive, - negative, left to right
        QTest::addColumn<int>("defaultAt"); // -1: none
        const QStringList none;
        QTest::newRow("cancel-ok flags in either order")
            << int(QMessageBox::Cancel | QMessageBox::Ok) << int(QMessageBox::Cancel) << none
            << false << QStringList{"确定", "取消"} << "+-" << 1;
        QTest::newRow("default not among them")
            << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::Cancel) << none << false
            << QStringList{"是", "否"} << "+-" << -1;
        QTest::newRow("all eighteen in table order")
            << 0x0FFFFC00 << int(QMessageBox::Reset) << none << false
            << QStringList{"确定", "保存", "全部保存", "打开", "是",   "全是",
                           "否",   "全否", "退出",     "重试", "忽略", "关闭",
                           "取消", "丢弃", "帮助",     "应用", "重置", "恢复默认"}
            << "++++++---------+--" << 16;
        QTest::newRow("three, no style") << 0 << 0 << QStringList{"一", "二", "三"} << false
                                         << QStringList{"一", "二", "三"} << "+-+" << -1;
        QTest::newRow("second empty") << 0 << 0 << QStringList{"一", "", "三"} << false
                                      << QStringList{"一", "三"} << "++" << -1;
        QTest::newRow("caller's styles") << 0 << 0 << QStringList{"一", "二", "三"} << true
                                         << QStringList{"一", "二", "三"} << "-+-" << -1;
    }
    void buttons()
    {
        QFETCH(int, flags);
        QFETCH(int, defaultButton);
        QFETCH(QStringList, three);
        QFETCH(bool, withStyle);
        QFETCH(QStringList, texts);
        QFETCH(QString, looks);
        QFETCH(int, defaultAt);
        CButtonStyle style;
        style.firstStyle = ButtonStyleNegative;
        style.secondStyle = ButtonStylePositive;
        style.thirdStyle = static_cast<EMessageBoxButtonStyle>(7); // any non-zero is negative
        std::unique_ptr<TestBox> box(
            three.isEmpty() ? new TestBox(QMessageBox::Information, QStringLiteral("消息"),
                                          QMessageBox::StandardButtons(flags),
                                          static_cast<QMessageBox::StandardButton>(defaultButton))
                            : new TestBox(withStyle ? &style : nullptr, three));
        QString seenLooks;
        int seenDefault = -1;
        QSet<int> rowIds;
        const QList<CPushButton*> row = TestBox::row(box.get());
        for (int i = 0; i < row.size(); ++i) {
            seenLooks += row.at(i)->getImageKey() == QLatin1String("img_btn_positive") ? '+' : '-';
            if (row.at(i)->isDefault())
                seenDefault = i;
            rowIds << row.at(i)->getID();
        }
        QCOMPARE(TestBox::texts(box.get()), texts);
        QCOMPARE(seenLooks, looks);
        QCOMPARE(seenDefault, defaultAt);
        QCOMPARE(TestBox::ids(box.get()), rowIds); // the box answers to its buttons' ids only
    }

    // Rows with button texts use the three-button overloads, the others standard buttons.
    // Seen while the box runs: whether it has the given parent, the icon's colour, the
    // buttons' texts.
    void entryPoints_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("three");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("hasParent");
        QTest::addColumn<QColor>("icon");
        QTest::addColumn<QStringList>("texts");
        const QStringList none, three{"一", "二", "三"};
        QTest::newRow("critical ok") << "critical" << none << "click:1024" << 0x400 << true
                                     << criticalColor << QStringList{"确定", "取消"};
        QTest::newRow("warning cancel") << "warning" << none << "click:4194304" << 0x400000 << true
                                        << warningColor << QStringList{"确定", "取消"};
        QTest::newRow("information escape") << "information" << none << "escape" << 0 << true
                                            << informationColor << QStringList{"确定"};
        QTest::newRow("question close button") << "question" << none << "close" << 0 << true
                                               << questionColor << QStringList{"是", "否"};
        QTest::newRow("questionWithDetail no")
            << "questionWithDetail" << none << "click:65536" << 0x10000 << true << questionColor
            << QStringList{"是", "否", QMessageBox::tr("Show Details...")};
        QTest::newRow("three-button critical, first")
            << "critical" << three << "click:1" << 1 << false << criticalColor << three;
        QTest::newRow("three-button warning without second")
            << "warning" << QStringList{"一", "", "三"} << "click:3" << 3 << false << warningColor
            << QStringList{"一", "三"};
        QTest::newRow("three-button question shows the critical icon")
            << "question" << three << "click:2" << 2 << true << criticalColor << three;
    }
    void entryPoints()
    {
        QFETCH(QString, entry);
        QFETCH(QStringList, three);
        QFETCH(QString, how);
        QFETCH(int, expected);
        QFETCH(bool, hasParent);
        QFETCH(QColor, icon);
        QFETCH(QStringList, texts);
        QWidget host;
        bool seenParent = !hasParent;
        QColor seenIcon;
        QStringList seenTexts;
        int shownCount = 0;
        QPointer<QWidget> shown;
        testsupport::whenModal([&](QWidget* widget) {
            shown = widget;
            if (auto* box = qobject_cast<CMessageBox*>(widget)) {
                seenParent = box->parentWidget() == &host;
                seenIcon = box->grab().toImage().pixelColor(38, 63); // the icon's middle
                seenTexts = TestBox::texts(box);
                shownCount = TestBox::s_nActive;
            }
            finish(widget, how);
        });
        const QString title = QStringLiteral("标题"), text = QStringLiteral("正文");
        const auto okCancel = QMessageBox::Ok | QMessageBox::Cancel;
        int result = -1;
        if (!three.isEmpty() && entry == QLatin1String("critical"))
            result =
                CMessageBox::critical(nullptr, &host, title, text, three[0], three[1], three[2]);
        else if (!three.isEmpty() && entry == QLatin1String("warning"))
            result =
                CMessageBox::warning(nullptr, &host, title, text, three[0], three[1], three[2]);
        else if (!three.isEmpty())
            result =
                CMessageBox::question(nullptr, &host, title, text, three[0], three[1], three[2]);
        else if (entry == QLatin1String("critical"))
            result = CMessageBox::critical(nullptr, &host, title, text, okCancel);
        else if (entry == QLatin1String("warning"))
            result = CMessageBox::warning(nullptr, &host, title, text, okCancel);
        else if (entry == QLatin1String("information"))
            result = CMessageBox::information(nullptr, &host, title, text, QMessageBox::Ok);
        else if (entry == QLatin1String("question"))
            result = CMessageBox::question(nullptr, &host, title, text,
                                           QMessageBox::Yes | QMessageBox::No);
        else
            result =
                CMessageBox::questionWithDetail(nullptr, &host, title, text, QStringLiteral("细节"),
                                                QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(result, expected);
        QCOMPARE(seenParent, hasParent);
        QCOMPARE(seenIcon, icon);
        QCOMPARE(seenTexts, texts);
        QCOMPARE(shownCount, 1);
        QVERIFY2(shown.isNull(), "the box deletes itself when its run ends");
    }

    // The buttons at the start and after each tick; the box ends with 1 at the last one.
    void countdownSteps_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("two digits to one")
            << 10 << QStringList{"是(10s)", "是(9s)", "是(8s)", "是(7s)", "是(6s)",       "是(5s)",
                                 "是(4s)",  "是(3s)", "是(2s)", "是(1s)", "是(0s) closed"};
        QTest::newRow("negative ends at the first tick")
            << -2 << QStringList{"是(-2s)", "是(-3s) closed"};
        QTest::newRow("INT_MIN cannot go lower")
            << INT_MIN << QStringList{"是(-2147483648s)", "是(-2147483648s) closed"};
    }
    void countdownSteps()
    {
        QFETCH(int, start);
        QFETCH(QStringList, steps);
        QStringList seen;
        int interval = 0;
        testsupport::whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<CMessageBox*>(modal);
            interval = TestBox::timer(box)->interval();
            TestBox::timer(box)->stop(); // the ticks below come from the test alone
            seen << TestBox::texts(box).join(QLatin1Char(','));
            while (box->isVisible() && seen.size() < steps.size()) {
                box->slot_Timeout();
                seen << TestBox::texts(box).join(QLatin1Char(',')) +
                            (box->isVisible() ? "" : " closed");
            }
            if (box->isVisible())
                box->reject();
        });
        QCOMPARE(CMessageBox::information(nullptr, nullptr, QStringLiteral("提示"),
                                          QStringLiteral("自动关闭"), QMessageBox::Yes,
                                          QMessageBox::NoButton, false, start),
                 1);
        QCOMPARE(interval, 1000);
        QCOMPARE(seen, steps);
    }

    // Height change, pane shown and button text before and after each of three clicks; the
    // button is the rightmost, 80 wide, with id 3 that no other button takes.
    void detailsToggle()
    {
        QStringList steps;
        testsupport::whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<CMessageBox*>(modal);
            auto* button = named(modal, "detailsButton");
            auto* text = modal->findChild<CTextEdit*>(QStringLiteral("detailsText"));
            QCOMPARE(TestBox::row(box).last(), button);
            QCOMPARE(button->size(), QSize(80, 29));
            QCOMPARE(button->getID(), 3);
            QVERIFY(!TestBox::ids(box).contains(3));
            QVERIFY(text->isReadOnly());
            const int height = box->height();
            steps << text->toPlainText();
            for (int i = 0; i < 4; ++i) {
                steps << QStringLiteral("+%1 %2 %3")
                             .arg(box->height() - height)
                             .arg(text->isVisible() ? "shown" : "hidden", button->text());
                if (text->geometry() != QRect(32, height - 16, 286, 100)) // the box is 350 wide
                    steps << QStringLiteral("pane moved");
                if (i < 3)
                    QTest::mouseClick(button, Qt::LeftButton);
            }
            // The frame's close button closes the box without toggling the pane.
            QObject::connect(box, &QDialog::finished, [&, box, text, height] {
                steps << QStringLiteral("closed +%1").arg(box->height() - height)
                      << (text->isHidden() ? "hidden" : "shown");
            });
            finish(modal, QStringLiteral("close"));
        });
        QCOMPARE(CMessageBox::questionWithDetail(nullptr, nullptr, QStringLiteral("询问"),
                                                 QStringLiteral("确定吗"), QStringLiteral("一\n二"),
                                                 QMessageBox::Yes | QMessageBox::No),
                 0);
        const QString closed = QStringLiteral("+0 hidden ") + QMessageBox::tr("Show Details...");
        const QString open = QStringLiteral("+106 shown ") + QMessageBox::tr("Hide Details...");
        QCOMPARE(steps, (QStringList{QStringLiteral("一\n二"), closed, open, closed, open,
                                     "closed +106", "shown"}));
    }
};

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
