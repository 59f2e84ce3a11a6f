#include "testsupport.h"

#include "uibase/dialog/cmessagebox.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QLibraryInfo>
#include <QPointer>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <log4cxx/logmanager.h>
#include <log4cxx/spi/loggerrepository.h>

#include <memory>

using namespace Omra;
using namespace testsupport::box;

namespace {

const QColor criticalColor(255, 0, 0);
const QColor questionColor(0, 200, 0);
const QColor updateColor(128, 0, 128);
const QColor pictureColor(0, 128, 128);
const QPoint noPos(-1, -1);

// Where Qt's own translations are installed (Qt 6 renamed the call).
QString qtTranslationsPath()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

// Opens the protected parts of the box; the static readers also work on boxes made by the
// static entry points.
class TestBox : public CMessageBox
{
public:
    TestBox(CButtonStyle* style, QMessageBox::Icon icon, const QString& text,
            QMessageBox::StandardButtons standard,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
            QPixmap* picture = nullptr, QPoint at = noPos)
        : CMessageBox(style, icon, QStringLiteral("标题"), text, standard, defaultButton, nullptr,
                      picture, at)
    {
    }
    TestBox(CButtonStyle* style, QMessageBox::Icon icon, const QString& text, const QString& first,
            const QString& second, const QString& third)
        : CMessageBox(style, icon, QStringLiteral("标题"), text, first, second, third, nullptr,
                      noPos)
    {
    }

    using CMessageBox::getPixmap;
    using CMessageBox::handleEvent;
    using CMessageBox::s_nActive;
    using CMessageBox::setCountDown;
    using CMessageBox::setDetailedText;

    static QSet<int> ids(const CMessageBox* box) { return box->*(&TestBox::buttonIds); }
    static QList<CPushButton*> row(const CMessageBox* box) { return box->*(&TestBox::buttons); }
    static QTimer* timer(const CMessageBox* box) { return box->*(&TestBox::countdownTimer); }
};

// Each button as text, + (positive look) or - (negative), and * when it is the default.
QString describe(const CMessageBox* box)
{
    QStringList list;
    for (const CPushButton* b : TestBox::row(box))
        list << b->text() + (b->getImageKey() == QLatin1String("img_btn_positive") ? "+" : "-") +
                    (b->isDefault() ? "*" : "");
    return list.join(QLatin1Char(' '));
}

QStringList texts(const QList<CPushButton*>& buttons)
{
    QStringList list;
    for (const CPushButton* button : buttons)
        list << button->text();
    return list;
}

CSimpleTextWidget* message(QWidget* box)
{
    return box->findChild<CSimpleTextWidget*>(QStringLiteral("messageText"));
}

QSize cappedTextSize(const CSimpleTextWidget* text)
{
    const int width = qMin(text->sizeHint().width(), 700);
    return QSize(width, text->heightForWidth(width));
}

CPushButton* named(QWidget* box, const char* name)
{
    return box->findChild<CPushButton*>(QLatin1String(name));
}

// Ends the active modal box the way `how` says: "click:<id>", "close" or "escape".
void finish(QWidget* box, const QString& how)
{
    if (how.startsWith(QLatin1String("click:"))) {
        for (CPushButton* button : TestBox::row(qobject_cast<CMessageBox*>(box))) {
            if (button->getID() == how.mid(6).toInt())
                return QTest::mouseClick(button, Qt::LeftButton);
        }
        qWarning("no button %s", qPrintable(how));
        box->close();
    } else if (how == QLatin1String("close")) {
        QTest::mouseClick(named(box, "closeButton"), Qt::LeftButton);
    } else {
        QTest::keyClick(box, Qt::Key_Escape);
    }
}

// What a modal run saw, written inside the run and checked after it ended.
struct Seen
{
    QPointer<QWidget> box;
    QWidget* parent = reinterpret_cast<QWidget*>(1); // not yet seen
    QColor icon;
    QStringList buttonTexts;
    QSize size;
    QPoint pos;
    int active = -1;
    bool staysOnTop = false;
};

// Records what the next modal box shows, then ends it the way `how` says.
void observeThenFinish(Seen* seen, const QString& how)
{
    testsupport::whenModal([seen, how](QWidget* widget) {
        seen->box = widget;
        if (auto* box = qobject_cast<CMessageBox*>(widget)) {
            seen->parent = box->parentWidget();
            seen->icon =
                box->grab().toImage().pixelColor(F + M + ICON / 2, F + T + M - 5 + ICON / 2);
            seen->buttonTexts = texts(TestBox::row(box));
            seen->size = box->size();
            seen->pos = box->pos();
            seen->active = TestBox::s_nActive;
            seen->staysOnTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        }
        finish(widget, how);
    });
}

QList<QPair<int, QObject*>> accessibilityEvents;

void recordAccessibility(QAccessibleEvent* event)
{
    accessibilityEvents << qMakePair(int(event->type()), event->object());
}

} // namespace

class TestMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void buttons_data();
    void buttons();

    void layout_data();
    void layout();
    void workedLayout();
    void painting_data();
    void painting();

    void entryPoints_data();
    void entryPoints();
    void questionExtras();

    void countdownSteps_data();
    void countdownSteps();
    void countdownReplacesEveryOccurrence();
    void countdownRealTime();

    void detailsToggle();
    void detailsTranslated();

    void cascade();
    void accessibilityAlert();
    void consoleLog_data();
    void consoleLog();

private:
    std::unique_ptr<testsupport::TestTheme> theme;
    QSet<QWidget*> before;
};

void TestMessageBox::initTestCase()
{
    // Keep velDebugNew from adding its own console appender.
    log4cxx::LogManager::getLoggerRepository()->setConfigured(true);
}

void TestMessageBox::init()
{
    theme.reset(new testsupport::TestTheme);
    testsupport::addBoxTheme(*theme)
        .image(QStringLiteral("img_messagebox_critical"), QSize(ICON, ICON), criticalColor)
        .image(QStringLiteral("img_messagebox_question"), QSize(ICON, ICON), questionColor)
        .image(QStringLiteral("img_messagebox_update"), QSize(24, 24), updateColor);
    QVERIFY(theme->apply());
    QCOMPARE(TestBox::s_nActive, 0);
    before = testsupport::topLevelSnapshot();
}

void TestMessageBox::cleanup()
{
    const QList<QWidget*> leaked = testsupport::leakedTopLevels(before);
    qDeleteAll(leaked);
    QVERIFY2(leaked.isEmpty(), "a window outlived the test");
    QCOMPARE(TestBox::s_nActive, 0);
    theme.reset();
}

// Rows with `custom` texts use the three-button constructor, the others `flags`.
void TestMessageBox::buttons_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<QStringList>("custom");
    QTest::addColumn<bool>("withStyle");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QList<int>>("ids");

    const int none = int(QMessageBox::NoButton);
    QTest::newRow("cancel-ok flags in either order")
        << int(QMessageBox::Cancel | QMessageBox::Ok) << int(QMessageBox::Cancel) << QStringList()
        << false << "确定+ 取消-*" << QList<int>{QMessageBox::Ok, QMessageBox::Cancel};
    QTest::newRow("default not among them")
        << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::Cancel) << QStringList()
        << false << "是+ 否-" << QList<int>{QMessageBox::Yes, QMessageBox::No};
    const QList<int> all{QMessageBox::Ok,     QMessageBox::Save,    QMessageBox::SaveAll,
                         QMessageBox::Open,   QMessageBox::Yes,     QMessageBox::YesToAll,
                         QMessageBox::No,     QMessageBox::NoToAll, QMessageBox::Abort,
                         QMessageBox::Retry,  QMessageBox::Ignore,  QMessageBox::Close,
                         QMessageBox::Cancel, QMessageBox::Discard, QMessageBox::Help,
                         QMessageBox::Apply,  QMessageBox::Reset,   QMessageBox::RestoreDefaults};
    int flags = 0;
    for (int id : all)
        flags |= id;
    QTest::newRow("all eighteen in table order")
        << flags << int(QMessageBox::Reset) << QStringList() << false
        << "确定+ 保存+ 全部保存+ 打开+ 是+ 全是+ 否- 全否- 退出- 重试- 忽略- 关闭- 取消- 丢弃- "
           "帮助- 应用+ 重置-* 恢复默认-"
        << all;
    QTest::newRow("three custom, no style") << none << none << QStringList{"一", "二", "三"}
                                            << false << "一+ 二- 三+" << QList<int>{1, 2, 3};
    QTest::newRow("second empty leaves ids 1 and 3")
        << none << none << QStringList{"一", "", "三"} << false << "一+ 三+" << QList<int>{1, 3};
    QTest::newRow("caller's styles") << none << none << QStringList{"一", "二", "三"} << true
                                     << "一- 二+ 三-" << QList<int>{1, 2, 3};
}

void TestMessageBox::buttons()
{
    QFETCH(int, flags);
    QFETCH(int, defaultButton);
    QFETCH(QStringList, custom);
    QFETCH(bool, withStyle);
    QFETCH(QString, expected);
    QFETCH(QList<int>, ids);

    CButtonStyle style;
    style.firstStyle = ButtonStyleNegative;
    style.secondStyle = ButtonStylePositive;
    style.thirdStyle = static_cast<EMessageBoxButtonStyle>(7); // any non-zero is negative
    std::unique_ptr<TestBox> box(
        custom.isEmpty()
            ? new TestBox(nullptr, QMessageBox::Information, QStringLiteral("消息"),
                          QMessageBox::StandardButtons(flags),
                          static_cast<QMessageBox::StandardButton>(defaultButton))
            : new TestBox(withStyle ? &style : nullptr, QMessageBox::Warning,
                          QStringLiteral("消息"), custom.at(0), custom.at(1), custom.at(2)));
    QCOMPARE(describe(box.get()), expected);
    QList<int> rowIds;
    for (const CPushButton* button : TestBox::row(box.get()))
        rowIds << button->getID();
    QCOMPARE(rowIds, ids);
    QCOMPARE(TestBox::ids(box.get()), QSet<int>(ids.begin(), ids.end()));
}

void TestMessageBox::layout_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("flags");

    QTest::newRow("no buttons") << int(QMessageBox::Information) << "没有按钮" << 0;
    QTest::newRow("five buttons wider than the text")
        << int(QMessageBox::Warning) << "按钮多"
        << int(QMessageBox::Ok | QMessageBox::Save | QMessageBox::Open | QMessageBox::Yes |
               QMessageBox::No);
    QTest::newRow("long text wraps at 700")
        << int(QMessageBox::Critical) << QStringLiteral("wrapping words ").repeated(40)
        << int(QMessageBox::Ok);
}

void TestMessageBox::layout()
{
    QFETCH(int, icon);
    QFETCH(QString, text);
    QFETCH(int, flags);

    TestBox box(nullptr, static_cast<QMessageBox::Icon>(icon), text,
                QMessageBox::StandardButtons(flags));
    const QSize pic = box.getPixmap(static_cast<QMessageBox::Icon>(icon)).size();
    const QSize tx = cappedTextSize(message(&box));
    const QList<CPushButton*> row = TestBox::row(&box);
    const int bw = row.isEmpty() ? 0 : row.size() * (72 + BH) - BH;
    const int w = qMax(350, qMax(pic.width() + IH + tx.width(), bw) + 2 * (F + M));
    const int h = qMax(pic.height(), tx.height() + VS + (row.isEmpty() ? 0 : 29)) + 2 * (F + M) + T;
    QCOMPARE(box.size(), QSize(w, h));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    QCOMPARE(message(&box)->geometry(),
             QRect(F + pic.width() + IH + M, F + T + M, tx.width(), tx.height()));
    int x = w - F - bw - M;
    for (CPushButton* button : row) {
        QCOMPARE(button->geometry(), QRect(x, F + T + M + tx.height() + VS, 72, 29));
        x += 72 + BH;
    }
}

void TestMessageBox::workedLayout()
{
    // Two 72 x 29 buttons under a short message: the box is held at its minimum width 350.
    TestBox box(nullptr, QMessageBox::Question, QStringLiteral("好"),
                QMessageBox::Ok | QMessageBox::Cancel);
    const int y = 52 + cappedTextSize(message(&box)).height() + VS;
    QCOMPARE(box.size(), QSize(350, qMax(ICON, y - 52 + 29) + 2 * (F + M) + T));
    QCOMPARE(message(&box)->pos(), QPoint(64, 52));
    QCOMPARE(TestBox::row(&box).at(0)->pos(), QPoint(174, y));
    QCOMPARE(TestBox::row(&box).at(1)->pos(), QPoint(256, y));
}

void TestMessageBox::painting_data()
{
    QTest::addColumn<bool>("withPicture");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QColor>("iconColor");
    QTest::newRow("icon") << false << int(QMessageBox::Warning) << warningColor;
    QTest::newRow("custom picture") << true << int(QMessageBox::Question) << questionColor;
    QTest::newRow("no icon") << false << int(QMessageBox::NoIcon) << backgroundColor;
}

void TestMessageBox::painting()
{
    QFETCH(bool, withPicture);
    QFETCH(int, icon);
    QFETCH(QColor, iconColor);

    QPixmap picture(300, 150);
    picture.fill(pictureColor);
    TestBox box(nullptr, static_cast<QMessageBox::Icon>(icon), QStringLiteral("画"),
                QMessageBox::Ok, QMessageBox::NoButton, withPicture ? &picture : nullptr);
    const QImage image = box.grab().toImage();
    // The picture goes above the icon, which moves down by 225 and right by 45.
    const QPoint shift = withPicture ? QPoint(45, 225) : QPoint();
    const QPoint at(F + M, F + T + M - 5);
    const QPoint iconAt = at + shift;
    QList<QColor> seen{image.pixelColor(F + 1, box.height() - F - 2),
                       image.pixelColor(iconAt - QPoint(1, 1)), image.pixelColor(iconAt),
                       image.pixelColor(iconAt + QPoint(ICON - 1, ICON - 1))};
    QList<QColor> expected{backgroundColor, backgroundColor, iconColor, iconColor};
    if (withPicture) {
        const QPoint picAt = at + QPoint(45, 0);
        seen << image.pixelColor(picAt) << image.pixelColor(picAt + QPoint(299, 149))
             << image.pixelColor(picAt + QPoint(300, 0));
        expected << pictureColor << pictureColor << backgroundColor;
        // Whatever the picture and text, a box with a picture is 514 x 396.
        QCOMPARE(box.size(), QSize(514, 396));
        const QSize tx = cappedTextSize(message(&box));
        QCOMPARE(message(&box)->geometry(),
                 QRect(F + 50 + ICON + IH + M, F + T + 225 + M, tx.width(), tx.height()));
        QCOMPARE(TestBox::row(&box).at(0)->pos(),
                 QPoint(514 - F - 72 - M, F + T + 225 + M + tx.height() + VS));
    }
    QCOMPARE(seen, expected);
}

// Rows with button texts use the three-button overloads, the others the standard buttons.
void TestMessageBox::entryPoints_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("buttonTexts");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("keepsParent");
    QTest::addColumn<QColor>("iconColor");

    const QStringList standard;
    const QStringList three{"一", "二", "三"};
    QTest::newRow("critical ok") << "critical" << standard << "click:1024" << 0x400 << true
                                 << criticalColor;
    QTest::newRow("warning cancel")
        << "warning" << standard << "click:4194304" << 0x400000 << true << warningColor;
    QTest::newRow("information escape")
        << "information" << standard << "escape" << 0 << true << informationColor;
    QTest::newRow("question close button")
        << "question" << standard << "close" << 0 << true << questionColor;
    QTest::newRow("questionWithDetail no")
        << "questionWithDetail" << standard << "click:65536" << 0x10000 << true << questionColor;
    QTest::newRow("three-button critical, first")
        << "critical" << three << "click:1" << 1 << false << criticalColor;
    QTest::newRow("three-button warning without second, right button")
        << "warning" << QStringList{"一", "", "三"} << "click:3" << 3 << false << warningColor;
    QTest::newRow("three-button question shows the critical icon")
        << "question" << three << "click:2" << 2 << true << criticalColor;
}

void TestMessageBox::entryPoints()
{
    QFETCH(QString, entry);
    QFETCH(QStringList, buttonTexts);
    QFETCH(QString, how);
    QFETCH(int, expected);
    QFETCH(bool, keepsParent);
    QFETCH(QColor, iconColor);

    QWidget host;
    Seen seen;
    observeThenFinish(&seen, how);
    const QString title = QStringLiteral("标题");
    const QString text = QStringLiteral("正文");
    int result = -1;
    if (!buttonTexts.isEmpty()) {
        const QString &a = buttonTexts.at(0), &b = buttonTexts.at(1), &c = buttonTexts.at(2);
        if (entry == QLatin1String("critical"))
            result = CMessageBox::critical(nullptr, &host, title, text, a, b, c);
        else if (entry == QLatin1String("warning"))
            result = CMessageBox::warning(nullptr, &host, title, text, a, b, c);
        else
            result = CMessageBox::question(nullptr, &host, title, text, a, b, c);
    } else {
        const auto okCancel = QMessageBox::Ok | QMessageBox::Cancel;
        const auto yesNo = QMessageBox::Yes | QMessageBox::No;
        if (entry == QLatin1String("critical"))
            result = CMessageBox::critical(nullptr, &host, title, text, okCancel);
        else if (entry == QLatin1String("warning"))
            result = CMessageBox::warning(nullptr, &host, title, text, okCancel);
        else if (entry == QLatin1String("information"))
            result = CMessageBox::information(nullptr, &host, title, text, QMessageBox::Ok);
        else if (entry == QLatin1String("question"))
            result = CMessageBox::question(nullptr, &host, title, text, yesNo);
        else
            result = CMessageBox::questionWithDetail(nullptr, &host, title, text,
                                                     QStringLiteral("细节"), yesNo);
    }
    QCOMPARE(result, expected);
    QCOMPARE(seen.parent, keepsParent ? &host : nullptr);
    QCOMPARE(seen.icon, iconColor);
    QCOMPARE(seen.staysOnTop, buttonTexts.isEmpty());
    QCOMPARE(seen.active, 1);
    buttonTexts.removeAll(QString());
    if (!buttonTexts.isEmpty())
        QCOMPARE(seen.buttonTexts, buttonTexts);
    QVERIFY2(seen.box.isNull(), "the box deletes itself when its run ends");
}

void TestMessageBox::questionExtras()
{
    QSize plainSize = TestBox(nullptr, QMessageBox::Question, QStringLiteral("有新版本"),
                              QMessageBox::Yes | QMessageBox::No)
                          .size();
    Seen seen;
    observeThenFinish(&seen, QStringLiteral("click:16384"));
    QCOMPARE(CMessageBox::question(nullptr, nullptr, QStringLiteral("升级"),
                                   QStringLiteral("有新版本"), QMessageBox::Yes | QMessageBox::No,
                                   QMessageBox::Yes, true),
             int(QMessageBox::Yes));
    QCOMPARE(seen.icon, updateColor); // the 24 x 24 update icon, in a box of the same size
    QCOMPARE(seen.size, plainSize);

    QPixmap picture(400, 200);
    picture.fill(pictureColor);
    observeThenFinish(&seen, QStringLiteral("click:65536"));
    QCOMPARE(CMessageBox::question(nullptr, nullptr, QStringLiteral("询问"),
                                   QStringLiteral("确定吗"), QMessageBox::Yes | QMessageBox::No,
                                   QMessageBox::No, false, &picture, QPoint(120, 80)),
             int(QMessageBox::No));
    QCOMPARE(seen.pos, QPoint(120, 80));
    QCOMPARE(seen.size, QSize(514, 396));

    observeThenFinish(&seen, QStringLiteral("click:1"));
    QCOMPARE(CMessageBox::question(nullptr, nullptr, QStringLiteral("询问"),
                                   QStringLiteral("确定吗"), QStringLiteral("一"), QString(),
                                   QString(), QPoint(30, 40)),
             1);
    QCOMPARE(seen.pos, QPoint(30, 40));
}

void TestMessageBox::countdownSteps_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QStringList>("steps"); // the button at start and after each tick
    QTest::newRow("two digits to one")
        << 10 << QStringList{"是(10s)", "是(9s)", "是(8s)", "是(7s)", "是(6s)",       "是(5s)",
                             "是(4s)",  "是(3s)", "是(2s)", "是(1s)", "是(0s) closed"};
    QTest::newRow("negative ends at the first tick")
        << -2 << QStringList{"是(-2s)", "是(-3s) closed"};
}

void TestMessageBox::countdownSteps()
{
    QFETCH(int, start);
    QFETCH(QStringList, steps);

    QStringList seen;
    int interval = 0;
    testsupport::whenModal([&](QWidget* modal) {
        auto* box = qobject_cast<CMessageBox*>(modal);
        QTimer* timer = box ? TestBox::timer(box) : nullptr;
        if (!timer || !timer->isActive()) {
            modal->close();
            return;
        }
        interval = timer->interval();
        timer->stop(); // the ticks below come from the test alone
        seen << texts(TestBox::row(box)).join(QLatin1Char(','));
        // A tick more than steps would be a bug; the box must end at the last one.
        while (box->isVisible() && seen.size() < steps.size()) {
            box->slot_Timeout();
            seen << texts(TestBox::row(box)).join(QLatin1Char(',')) +
                        (box->isVisible() ? "" : " closed");
        }
        if (box->isVisible())
            box->reject();
    });
    const int result = CMessageBox::information(nullptr, nullptr, QStringLiteral("提示"),
                                                QStringLiteral("自动关闭"), QMessageBox::Yes,
                                                QMessageBox::NoButton, false, start);
    QCOMPARE(interval, 1000);
    QCOMPARE(seen, steps);
    QCOMPARE(result, 1);
}

void TestMessageBox::countdownReplacesEveryOccurrence()
{
    TestBox box(nullptr, QMessageBox::Information, QStringLiteral("消息"), QStringLiteral("3 or 3"),
                QString(), QStringLiteral("再等"));
    box.setCountDown(3);
    box.slot_Timeout();
    QCOMPARE(texts(TestBox::row(&box)), (QStringList{"2 or 2(2s)", "再等(2s)"}));
    // A second start only changes the number; the timer stays the one it was.
    QTimer* timer = TestBox::timer(&box);
    box.setCountDown(5);
    QCOMPARE(TestBox::timer(&box), timer);
    QCOMPARE(texts(TestBox::row(&box)), (QStringList{"2 or 2(2s)(5s)", "再等(2s)(5s)"}));
}

void TestMessageBox::countdownRealTime()
{
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(CMessageBox::information(nullptr, nullptr, QStringLiteral("提示"),
                                      QStringLiteral("一秒后关闭"), QMessageBox::Ok,
                                      QMessageBox::Ok, false, 1),
             1);
    QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
}

void TestMessageBox::detailsToggle()
{
    // Height change, pane shown, button text: before and after each of three clicks.
    QStringList steps;
    QString pane;
    testsupport::whenModal([&](QWidget* modal) {
        auto* box = qobject_cast<CMessageBox*>(modal);
        auto* button = named(modal, "detailsButton");
        auto* text = modal->findChild<CTextEdit*>(QStringLiteral("detailsText"));
        if (!box || !button || !text) {
            modal->close();
            return;
        }
        // The button is the rightmost, 80 wide, with id 3 that no other button takes.
        QVERIFY(TestBox::row(box).last() == button && button->size() == QSize(80, 29) &&
                button->getID() == 3 && !TestBox::ids(box).contains(3));
        const int height = box->height();
        const QRect at(32, height - 16, box->width() - 64, 100);
        pane = text->toPlainText();
        for (int i = 0; i < 4; ++i) {
            steps << QStringLiteral("+%1 %2 %3")
                         .arg(box->height() - height)
                         .arg(text->isVisible() ? "shown" : "hidden", button->text());
            if (text->geometry() != at)
                steps << QStringLiteral("pane moved");
            if (i < 3)
                QTest::mouseClick(button, Qt::LeftButton);
        }
        finish(modal, QStringLiteral("click:65536"));
    });
    QCOMPARE(CMessageBox::questionWithDetail(nullptr, nullptr, QStringLiteral("询问"),
                                             QStringLiteral("确定吗"), QStringLiteral("一\n二"),
                                             QMessageBox::Yes | QMessageBox::No),
             int(QMessageBox::No));
    QCOMPARE(pane, QStringLiteral("一\n二"));
    const QString closed = QStringLiteral("+0 hidden ") + QMessageBox::tr("Show Details...");
    const QString open = QStringLiteral("+106 shown ") + QMessageBox::tr("Hide Details...");
    QCOMPARE(steps, (QStringList{closed, open, closed, open}));
}

void TestMessageBox::detailsTranslated()
{
    QTranslator translator;
    if (!translator.load(QStringLiteral("qtbase_zh_CN"), qtTranslationsPath()))
        QSKIP("qtbase_zh_CN.qm is not installed");
    QCoreApplication::installTranslator(&translator);
    QString texts;
    {
        TestBox box(nullptr, QMessageBox::Question, QStringLiteral("消息"), QMessageBox::Ok);
        box.setDetailedText(QStringLiteral("细节"));
        texts = named(&box, "detailsButton")->text();
        box.handleEvent(UiEventClick, 3, 0, QString(), nullptr);
        texts += QLatin1Char(' ') + named(&box, "detailsButton")->text();
    }
    const QString show = QCoreApplication::translate("QMessageBox", "Show Details...");
    QCOMPARE(texts, show + QLatin1Char(' ') +
                        QCoreApplication::translate("QMessageBox", "Hide Details..."));
    QCoreApplication::removeTranslator(&translator);
    QVERIFY(std::any_of(show.begin(), show.end(),
                        [](QChar c) { return c.script() == QChar::Script_Han; }));
}

void TestMessageBox::cascade()
{
    QList<QPointer<TestBox>> boxes;
    for (int i = 0; i < 3; ++i) {
        boxes << new TestBox(nullptr, QMessageBox::Information, QStringLiteral("叠放"),
                             QMessageBox::Ok);
        boxes.last()->show();
    }
    const QPoint first = boxes.at(0)->pos();
    QCOMPARE(boxes.at(2)->pos(), first + QPoint(8, 8));
    // The caller's position wins over the cascade, and still counts.
    auto* placed = new TestBox(nullptr, QMessageBox::Information, QStringLiteral("三"),
                               QMessageBox::Ok, QMessageBox::NoButton, nullptr, QPoint(100, 200));
    placed->show();
    QCOMPARE(placed->pos(), QPoint(100, 200));
    QCOMPARE(TestBox::s_nActive, 4);
    placed->close();
    boxes.at(2)->close();
    QCOMPARE(TestBox::s_nActive, 2);
    // A box hidden and shown again counts again.
    boxes.at(1)->hide();
    QCOMPARE(TestBox::s_nActive, 1);
    boxes.at(1)->show();
    QCOMPARE(boxes.at(1)->pos(), first + QPoint(8, 8));
    boxes.at(1)->close();
    boxes.at(0)->close();
}

void TestMessageBox::accessibilityAlert()
{
    accessibilityEvents.clear();
    const QAccessible::UpdateHandler previous =
        QAccessible::installUpdateHandler(&recordAccessibility);
    const bool wasActive = QAccessible::isActive();
    QAccessible::setActive(true);
    if (!QAccessible::isActive()) {
        QAccessible::installUpdateHandler(previous);
        QSKIP("this platform plugin has no accessibility bridge to send the alert to");
    }
    auto* box = new TestBox(nullptr, QMessageBox::Warning, QStringLiteral("注意"), QMessageBox::Ok);
    box->show();
    const bool alerted = accessibilityEvents.contains(
        qMakePair(int(QAccessible::Alert), static_cast<QObject*>(box)));
    box->close();
    QAccessible::setActive(wasActive);
    QAccessible::installUpdateHandler(previous);
    QVERIFY(alerted);
}

void TestMessageBox::consoleLog_data()
{
    QTest::addColumn<bool>("switchOn");
    QTest::addColumn<bool>("debugLevel");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("switch 35 on, debug")
        << true << true << QStringList{"move 0 to 100 200.", "move 1 to 140 60."};
    QTest::newRow("switch 35 off") << false << true << QStringList{};
    QTest::newRow("switch on, logger above debug") << true << false << QStringList{};
}

void TestMessageBox::consoleLog()
{
    QFETCH(bool, switchOn);
    QFETCH(bool, debugLevel);
    QFETCH(QStringList, expected);

    QList<int> levels;
    const QStringList lines = testsupport::consoleLines(
        switchOn, debugLevel,
        [] {
            auto* first =
                new TestBox(nullptr, QMessageBox::Information, QStringLiteral("日志"),
                            QMessageBox::Ok, QMessageBox::NoButton, nullptr, QPoint(100, 200));
            auto* second =
                new TestBox(nullptr, QMessageBox::Information, QStringLiteral("日志"),
                            QMessageBox::Ok, QMessageBox::NoButton, nullptr, QPoint(140, 60));
            first->show();
            second->show();
            second->close();
            first->close();
        },
        &levels);
    QCOMPARE(lines, expected);
    for (int level : levels)
        QCOMPARE(level, int(log4cxx::Level::DEBUG_INT));
}

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
