#include "testsupport.h"

#include "uibase/dialog/cmessagebox.h"
#include "uibase/dialog/contracts/utils.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QLibraryInfo>
#include <QPointer>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <log4cxx/appenderskeleton.h>
#include <log4cxx/helpers/transcoder.h>
#include <log4cxx/logmanager.h>
#include <log4cxx/spi/loggerrepository.h>
#include <log4cxx/spi/loggingevent.h>

#include <memory>

using namespace Omra;

namespace {

// Theme values every layout expectation below is computed from.
constexpr int F = 12;
constexpr int T = 30;
constexpr int M = 10;
constexpr int IH = 10;
constexpr int BH = 10;
constexpr int VS = 10;
constexpr int ICON = 32;

const QColor informationColor(0, 0, 255);
const QColor warningColor(255, 128, 0);
const QColor criticalColor(255, 0, 0);
const QColor questionColor(0, 200, 0);
const QColor updateColor(128, 0, 128);
const QColor backgroundColor(250, 250, 210);
const QColor pictureColor(0, 128, 128);

// Opens the protected parts of the box to the tests. Boxes made by the static entry points
// are plain CMessageBox objects; the static readers work on those through member pointers.
class TestBox : public CMessageBox
{
public:
    TestBox(CButtonStyle* style, QMessageBox::Icon icon, const QString& text,
            QMessageBox::StandardButtons standard,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
            QPixmap* picture = nullptr, QPoint at = QPoint(-1, -1), QWidget* parent = nullptr)
        : CMessageBox(style, icon, QStringLiteral("标题"), text, standard, defaultButton, parent,
                      picture, at)
    {
    }
    TestBox(CButtonStyle* style, QMessageBox::Icon icon, const QString& text, const QString& first,
            const QString& second, const QString& third, QPoint at = QPoint(-1, -1),
            QWidget* parent = nullptr)
        : CMessageBox(style, icon, QStringLiteral("标题"), text, first, second, third, parent, at)
    {
    }

    using CMessageBox::getPixmap;
    using CMessageBox::handleEvent;
    using CMessageBox::s_nActive;
    using CMessageBox::setCountDown;
    using CMessageBox::setDetailedText;
    using CMessageBox::setPixmap;
    using CMessageBox::testAddButton;

    static QSet<int> ids(const CMessageBox* box) { return box->*(&TestBox::buttonIds); }
    static QList<CPushButton*> row(const CMessageBox* box) { return box->*(&TestBox::buttons); }
    static QPixmap icon(const CMessageBox* box) { return box->*(&TestBox::iconPixmap); }
    static QTimer* timer(const CMessageBox* box) { return box->*(&TestBox::countdownTimer); }
    static int seconds(const CMessageBox* box) { return box->*(&TestBox::secondsLeft); }
};

QStringList texts(const QList<CPushButton*>& buttons)
{
    QStringList list;
    for (const CPushButton* button : buttons)
        list << button->text();
    return list;
}

QColor pixel(QWidget* widget, const QPoint& at)
{
    return widget->grab().toImage().pixelColor(at);
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

// What a modal run saw, written inside the run and checked after it ended.
struct Seen
{
    QPointer<QWidget> box;
    QWidget* parent = nullptr;
    bool parentChecked = false;
    QColor icon;
    QStringList buttonTexts;
    QSize size;
    int active = -1;
    bool staysOnTop = false;
};

// Ends the active modal box the way `how` says: "click:<id>", "close" or "escape".
void finish(QWidget* box, const QString& how)
{
    if (how.startsWith(QLatin1String("click:"))) {
        const int id = how.mid(6).toInt();
        for (CPushButton* button : box->findChildren<CPushButton*>()) {
            if (button->getID() == id && button != box->findChild<QWidget*>("closeButton")) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        }
        qWarning("no button %d", id);
        box->close();
    } else if (how == QLatin1String("close")) {
        QTest::mouseClick(box->findChild<CPushButton*>(QStringLiteral("closeButton")),
                          Qt::LeftButton);
    } else {
        QTest::keyClick(box, Qt::Key_Escape);
    }
}

Seen observe(QWidget* widget)
{
    Seen seen;
    seen.box = widget;
    auto* box = qobject_cast<CMessageBox*>(widget);
    if (!box)
        return seen;
    seen.parent = box->parentWidget();
    seen.parentChecked = true;
    seen.icon = pixel(box, QPoint(F + M + ICON / 2, F + T + M - 5 + ICON / 2));
    seen.buttonTexts = texts(TestBox::row(box));
    seen.size = box->size();
    seen.active = TestBox::s_nActive;
    seen.staysOnTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    return seen;
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

    // Buttons and icons
    void standardButtons_data();
    void standardButtons();
    void customButtons_data();
    void customButtons();
    void addButtonWithoutId();
    void icons_data();
    void icons();
    void windowFlagsAndModality();

    // Layout and painting
    void layout_data();
    void layout();
    void workedLayout();
    void longMessageWraps();
    void customPictureLayout();
    void painting_data();
    void painting();

    // Static entry points
    void standardEntryPoints_data();
    void standardEntryPoints();
    void customEntryPoints_data();
    void customEntryPoints();
    void questionUpdateIcon();
    void questionPositionAndPicture();

    // Countdown
    void countdownSteps_data();
    void countdownSteps();
    void countdownReplacesEveryOccurrence();
    void countdownRealTime();

    // Details pane
    void detailsToggle();
    void detailsButtonIdAmongCustomButtons();
    void detailsTranslated();

    // Show and hide
    void cascade();
    void positionWins();
    void activeCountAroundEntryPoint();
    void accessibilityAlert();
    void consoleLog_data();
    void consoleLog();

private:
    std::unique_ptr<testsupport::TestTheme> theme;
    QSet<QWidget*> before;
};

void TestMessageBox::initTestCase()
{
    // velDebugNew sets up a console appender when nothing is configured; the tests attach
    // their own, so keep the output clean.
    log4cxx::LogManager::getLoggerRepository()->setConfigured(true);
}

void TestMessageBox::init()
{
    theme.reset(new testsupport::TestTheme);
    (*theme)
        .size(QStringLiteral("siz_message_box_margin"), M)
        .size(QStringLiteral("siz_message_box_icon_h_space"), IH)
        .size(QStringLiteral("siz_message_box_button_h_space"), BH)
        .size(QStringLiteral("siz_message_box_v_space"), VS)
        .font(QStringLiteral("fnt_default_normal_fix"), 12)
        .color(QStringLiteral("clr_warn_background_color"), backgroundColor)
        .image(QStringLiteral("img_messagebox_information"), QSize(ICON, ICON), informationColor)
        .image(QStringLiteral("img_messagebox_warning"), QSize(ICON, ICON), warningColor)
        .image(QStringLiteral("img_messagebox_critical"), QSize(ICON, ICON), criticalColor)
        .image(QStringLiteral("img_messagebox_question"), QSize(ICON, ICON), questionColor)
        .image(QStringLiteral("img_messagebox_update"), QSize(24, 24), updateColor)
        .image(QStringLiteral("img_btn_positive"), QSize(72, 29), QColor(32, 96, 192), 4)
        .image(QStringLiteral("img_btn_negative"), QSize(72, 29), QColor(200, 200, 200), 4);
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

// ---------------------------------------------------------------- buttons and icons

void TestMessageBox::standardButtons_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<QStringList>("expectedTexts");
    QTest::addColumn<QList<int>>("expectedIds");
    QTest::addColumn<int>("expectedDefault"); // index into the row, -1 for none

    QTest::newRow("ok-cancel, default cancel")
        << int(QMessageBox::Ok | QMessageBox::Cancel) << int(QMessageBox::Cancel)
        << QStringList{"确定", "取消"} << QList<int>{QMessageBox::Ok, QMessageBox::Cancel} << 1;
    QTest::newRow("cancel-ok flags in either order")
        << int(QMessageBox::Cancel | QMessageBox::Ok) << int(QMessageBox::Ok)
        << QStringList{"确定", "取消"} << QList<int>{QMessageBox::Ok, QMessageBox::Cancel} << 0;
    QTest::newRow("yes-no, default not among them")
        << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::Cancel)
        << QStringList{"是", "否"} << QList<int>{QMessageBox::Yes, QMessageBox::No} << -1;
    QTest::newRow("apply and help")
        << int(QMessageBox::Help | QMessageBox::Apply) << int(QMessageBox::NoButton)
        << QStringList{"帮助", "应用"} << QList<int>{QMessageBox::Help, QMessageBox::Apply} << -1;
    QTest::newRow("no buttons") << 0 << int(QMessageBox::Ok) << QStringList{} << QList<int>{} << -1;

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
        << flags << int(QMessageBox::Reset)
        << QStringList{"确定", "保存", "全部保存", "打开", "是",   "全是",
                       "否",   "全否", "退出",     "重试", "忽略", "关闭",
                       "取消", "丢弃", "帮助",     "应用", "重置", "恢复默认"}
        << all << 16;
}

void TestMessageBox::standardButtons()
{
    QFETCH(int, flags);
    QFETCH(int, defaultButton);
    QFETCH(QStringList, expectedTexts);
    QFETCH(QList<int>, expectedIds);
    QFETCH(int, expectedDefault);

    TestBox box(nullptr, QMessageBox::Information, QStringLiteral("消息"),
                QMessageBox::StandardButtons(flags),
                static_cast<QMessageBox::StandardButton>(defaultButton));
    const QList<CPushButton*> row = TestBox::row(&box);
    QCOMPARE(texts(row), expectedTexts);
    QCOMPARE(TestBox::ids(&box), QSet<int>(expectedIds.begin(), expectedIds.end()));
    for (int i = 0; i < row.size(); ++i) {
        CPushButton* button = row.at(i);
        QCOMPARE(button->getID(), expectedIds.at(i));
        const bool positive =
            expectedIds.at(i) < QMessageBox::No || expectedIds.at(i) == QMessageBox::Apply;
        QCOMPARE(button->getImageKey(), positive ? QStringLiteral("img_btn_positive")
                                                 : QStringLiteral("img_btn_negative"));
        for (int state = 0; state < 4; ++state)
            QCOMPARE(button->getTextColorKey(state), positive
                                                         ? QStringLiteral("clr_btn_text_positive")
                                                         : QStringLiteral("clr_btn_text_negative"));
        QCOMPARE(button->size(), QSize(72, 29));
        QCOMPARE(button->isDefault(), i == expectedDefault);
        if (i > 0)
            QCOMPARE(button->x(), row.at(i - 1)->x() + 72 + BH);
    }
}

void TestMessageBox::customButtons_data()
{
    QTest::addColumn<QStringList>("buttonTexts");
    QTest::addColumn<bool>("withStyle");
    QTest::addColumn<QList<int>>("expectedIds");
    QTest::addColumn<QStringList>("expectedImages");

    const QString pos = QStringLiteral("img_btn_positive");
    const QString neg = QStringLiteral("img_btn_negative");
    QTest::newRow("three, no style: positive, negative, positive")
        << QStringList{"一", "二", "三"} << false << QList<int>{1, 2, 3}
        << QStringList{pos, neg, pos};
    QTest::newRow("second empty leaves ids 1 and 3")
        << QStringList{"一", "", "三"} << false << QList<int>{1, 3} << QStringList{pos, pos};
    QTest::newRow("caller's styles") << QStringList{"一", "二", "三"} << true << QList<int>{1, 2, 3}
                                     << QStringList{neg, pos, neg};
    QTest::newRow("only the third")
        << QStringList{"", "", "三"} << true << QList<int>{3} << QStringList{neg};
    QTest::newRow("none") << QStringList{"", "", ""} << false << QList<int>{} << QStringList{};
}

void TestMessageBox::customButtons()
{
    QFETCH(QStringList, buttonTexts);
    QFETCH(bool, withStyle);
    QFETCH(QList<int>, expectedIds);
    QFETCH(QStringList, expectedImages);

    CButtonStyle style;
    style.firstStyle = ButtonStyleNegative;
    style.secondStyle = ButtonStylePositive;
    style.thirdStyle = static_cast<EMessageBoxButtonStyle>(7); // any non-zero is negative
    TestBox box(withStyle ? &style : nullptr, QMessageBox::Warning, QStringLiteral("消息"),
                buttonTexts.at(0), buttonTexts.at(1), buttonTexts.at(2));

    const QList<CPushButton*> row = TestBox::row(&box);
    QCOMPARE(row.size(), expectedIds.size());
    QCOMPARE(TestBox::ids(&box), QSet<int>(expectedIds.begin(), expectedIds.end()));
    for (int i = 0; i < row.size(); ++i) {
        QCOMPARE(row.at(i)->getID(), expectedIds.at(i));
        QCOMPARE(row.at(i)->text(), buttonTexts.at(expectedIds.at(i) - 1));
        QCOMPARE(row.at(i)->getImageKey(), expectedImages.at(i));
        const QString color = expectedImages.at(i) == QLatin1String("img_btn_positive")
                                  ? QStringLiteral("clr_btn_text_positive")
                                  : QStringLiteral("clr_btn_text_negative");
        QCOMPARE(row.at(i)->getTextColorKey(0), color);
        QCOMPARE(row.at(i)->getTextColorKey(3), color);
        QVERIFY(!row.at(i)->isDefault());
    }
}

void TestMessageBox::addButtonWithoutId()
{
    TestBox box(nullptr, QMessageBox::NoIcon, QStringLiteral("消息"), QStringLiteral("一"),
                QString(), QString());
    QCOMPARE(box.testAddButton(QString(), ButtonStylePositive, 9), nullptr);
    CPushButton* added = box.testAddButton(QStringLiteral("新"), ButtonStyleNegative, -1);
    QVERIFY(added);
    QCOMPARE(added->getID(), 1); // the number of ids before it
    QCOMPARE(TestBox::row(&box).size(), 2);
    QCOMPARE(TestBox::row(&box).last(), added);
}

void TestMessageBox::icons_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<QColor>("color");

    QTest::newRow("information") << int(QMessageBox::Information) << informationColor;
    QTest::newRow("warning") << int(QMessageBox::Warning) << warningColor;
    QTest::newRow("critical") << int(QMessageBox::Critical) << criticalColor;
    QTest::newRow("question") << int(QMessageBox::Question) << questionColor;
    QTest::newRow("no icon") << int(QMessageBox::NoIcon) << QColor();
    QTest::newRow("unknown value") << 42 << QColor();
}

void TestMessageBox::icons()
{
    QFETCH(int, icon);
    QFETCH(QColor, color);

    TestBox box(nullptr, static_cast<QMessageBox::Icon>(icon), QStringLiteral("消息"),
                QMessageBox::Ok);
    const QPixmap picture = box.getPixmap(static_cast<QMessageBox::Icon>(icon));
    QCOMPARE(TestBox::icon(&box).size(), picture.size());
    if (!color.isValid()) {
        QVERIFY(picture.isNull());
        QCOMPARE(picture.width(), 0);
        return;
    }
    QCOMPARE(picture.size(), QSize(ICON, ICON));
    QCOMPARE(picture.toImage().pixelColor(5, 5), color);

    box.setPixmap(QPixmap());
    QVERIFY(TestBox::icon(&box).isNull());
}

void TestMessageBox::windowFlagsAndModality()
{
    TestBox standard(nullptr, QMessageBox::Information, QStringLiteral("消息"), QMessageBox::Ok);
    QVERIFY(standard.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(standard.isModal());
    QVERIFY(standard.testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(standard.windowTitle(), QStringLiteral("标题"));

    TestBox custom(nullptr, QMessageBox::Information, QStringLiteral("消息"), QStringLiteral("一"),
                   QString(), QString());
    QVERIFY(!custom.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(custom.isModal());
    QVERIFY(custom.testAttribute(Qt::WA_DeleteOnClose));
}

// ---------------------------------------------------------------- layout and painting

void TestMessageBox::layout_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("flags");

    QTest::newRow("short, two buttons") << int(QMessageBox::Question) << QStringLiteral("短消息")
                                        << int(QMessageBox::Ok | QMessageBox::Cancel);
    QTest::newRow("no buttons") << int(QMessageBox::Information) << QStringLiteral("没有按钮") << 0;
    QTest::newRow("no icon") << int(QMessageBox::NoIcon) << QStringLiteral("没有图标")
                             << int(QMessageBox::Ok);
    QTest::newRow("five buttons wider than the text")
        << int(QMessageBox::Warning) << QStringLiteral("按钮多")
        << int(QMessageBox::Ok | QMessageBox::Save | QMessageBox::Open | QMessageBox::Yes |
               QMessageBox::No);
    QTest::newRow("medium text")
        << int(QMessageBox::Critical)
        << QStringLiteral("This message is long enough to make the box wider than its minimum "
                          "width of three hundred and fifty pixels.")
        << int(QMessageBox::Ok);
    QTest::newRow("empty text") << int(QMessageBox::Critical) << QString() << int(QMessageBox::Ok);
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
    const int br = row.isEmpty() ? 0 : 29;

    const int w = qMax(350, qMax(pic.width() + IH + tx.width(), bw) + 2 * (F + M));
    const int h = qMax(pic.height(), tx.height() + VS + br) + 2 * (F + M) + T;
    QCOMPARE(box.size(), QSize(w, h));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    QCOMPARE(message(&box)->geometry(),
             QRect(F + pic.width() + IH + M, F + T + M, tx.width(), tx.height()));
    int x = w - F - bw - M;
    for (CPushButton* button : row) {
        QCOMPARE(button->pos(), QPoint(x, F + T + M + tx.height() + VS));
        x += 72 + BH;
    }
    if (!row.isEmpty())
        QCOMPARE(row.last()->geometry().right() + 1, w - F - M);
}

void TestMessageBox::workedLayout()
{
    // Two 72 x 29 buttons under a short message: the box is held at its minimum width 350.
    TestBox box(nullptr, QMessageBox::Question, QStringLiteral("好"),
                QMessageBox::Ok | QMessageBox::Cancel);
    const QSize tx = cappedTextSize(message(&box));
    QVERIFY(tx.width() <= 350 - 2 * (F + M) - ICON - IH);
    QCOMPARE(box.width(), 350);
    QCOMPARE(box.height(), qMax(ICON, tx.height() + VS + 29) + 2 * (F + M) + T);
    QCOMPARE(message(&box)->pos(), QPoint(64, 52));
    const QList<CPushButton*> row = TestBox::row(&box);
    QCOMPARE(row.size(), 2);
    QCOMPARE(row.at(0)->pos(), QPoint(174, 52 + tx.height() + VS));
    QCOMPARE(row.at(1)->pos(), QPoint(256, 52 + tx.height() + VS));
}

void TestMessageBox::longMessageWraps()
{
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QStringLiteral("wrapping words ");
    TestBox box(nullptr, QMessageBox::Information, text, QMessageBox::Ok);
    CSimpleTextWidget* msg = message(&box);
    QVERIFY(msg->sizeHint().width() > 700);
    QCOMPARE(msg->width(), 700);
    QCOMPARE(msg->height(), msg->heightForWidth(700));
    QVERIFY(msg->height() > msg->heightForWidth(msg->sizeHint().width()));
    QCOMPARE(box.width(), ICON + IH + 700 + 2 * (F + M));
}

void TestMessageBox::customPictureLayout()
{
    QPixmap picture(400, 200);
    picture.fill(pictureColor);
    QString text;
    for (int i = 0; i < 30; ++i)
        text += QStringLiteral("long message ");
    for (const QString& body : {QStringLiteral("短"), text}) {
        TestBox box(nullptr, QMessageBox::Question, body, QMessageBox::Yes | QMessageBox::No,
                    QMessageBox::NoButton, &picture);
        QCOMPARE(box.size(), QSize(514, 396));
        const QSize tx = cappedTextSize(message(&box));
        QCOMPARE(message(&box)->geometry(),
                 QRect(F + 50 + ICON + IH + M, F + T + 225 + M, tx.width(), tx.height()));
        const QList<CPushButton*> row = TestBox::row(&box);
        QCOMPARE(row.at(0)->pos(),
                 QPoint(514 - F - (2 * 72 + BH) - M, F + T + 225 + M + tx.height() + VS));
    }
}

void TestMessageBox::painting_data()
{
    QTest::addColumn<bool>("withPicture");
    QTest::addColumn<int>("icon");
    QTest::newRow("icon") << false << int(QMessageBox::Warning);
    QTest::newRow("custom picture") << true << int(QMessageBox::Question);
    QTest::newRow("no icon") << false << int(QMessageBox::NoIcon);
}

void TestMessageBox::painting()
{
    QFETCH(bool, withPicture);
    QFETCH(int, icon);

    QPixmap picture(300, 150);
    picture.fill(pictureColor);
    TestBox box(nullptr, static_cast<QMessageBox::Icon>(icon), QStringLiteral("画"),
                QMessageBox::Ok, QMessageBox::NoButton, withPicture ? &picture : nullptr);
    const QImage image = box.grab().toImage();
    const QColor iconColor = icon == QMessageBox::NoIcon
                                 ? backgroundColor
                                 : (icon == QMessageBox::Warning ? warningColor : questionColor);

    // Client area: just inside its corners.
    QCOMPARE(image.pixelColor(F + 1, box.height() - F - 2), backgroundColor);
    QCOMPARE(image.pixelColor(box.width() - F - 2, F + T), backgroundColor);
    if (withPicture) {
        const QPoint at(F + 45 + M, F + T + M - 5);
        QCOMPARE(image.pixelColor(at), pictureColor);
        QCOMPARE(image.pixelColor(at + QPoint(299, 149)), pictureColor);
        QCOMPARE(image.pixelColor(at + QPoint(300, 0)), backgroundColor);
        const QPoint iconAt(F + 45 + M, F + T + 225 + M - 5);
        QCOMPARE(image.pixelColor(iconAt), iconColor);
        QCOMPARE(image.pixelColor(iconAt + QPoint(ICON - 1, ICON - 1)), iconColor);
    } else {
        const QPoint iconAt(F + M, F + T + M - 5);
        QCOMPARE(image.pixelColor(iconAt), iconColor);
        QCOMPARE(image.pixelColor(iconAt + QPoint(ICON - 1, ICON - 1)), iconColor);
        QCOMPARE(image.pixelColor(iconAt + QPoint(ICON, ICON)), backgroundColor);
        QCOMPARE(image.pixelColor(iconAt - QPoint(1, 1)), backgroundColor);
    }
}

// ---------------------------------------------------------------- static entry points

void TestMessageBox::standardEntryPoints_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QColor>("iconColor");

    const int okCancel = int(QMessageBox::Ok | QMessageBox::Cancel);
    const int yesNo = int(QMessageBox::Yes | QMessageBox::No);
    QTest::newRow("critical ok") << "critical" << okCancel << "click:1024" << 0x400
                                 << criticalColor;
    QTest::newRow("critical escape") << "critical" << okCancel << "escape" << 0 << criticalColor;
    QTest::newRow("warning cancel")
        << "warning" << okCancel << "click:4194304" << 0x400000 << warningColor;
    QTest::newRow("warning close button") << "warning" << okCancel << "close" << 0 << warningColor;
    QTest::newRow("information ok")
        << "information" << int(QMessageBox::Ok) << "click:1024" << 0x400 << informationColor;
    QTest::newRow("information escape")
        << "information" << int(QMessageBox::Ok) << "escape" << 0 << informationColor;
    QTest::newRow("question no") << "question" << yesNo << "click:65536" << 0x10000
                                 << questionColor;
    QTest::newRow("question close button") << "question" << yesNo << "close" << 0 << questionColor;
    QTest::newRow("questionWithDetail yes")
        << "questionWithDetail" << yesNo << "click:16384" << 0x4000 << questionColor;
    QTest::newRow("questionWithDetail escape")
        << "questionWithDetail" << yesNo << "escape" << 0 << questionColor;
}

void TestMessageBox::standardEntryPoints()
{
    QFETCH(QString, entry);
    QFETCH(int, flags);
    QFETCH(QString, how);
    QFETCH(int, expected);
    QFETCH(QColor, iconColor);

    QWidget host;
    Seen seen;
    testsupport::whenModal([&](QWidget* modal) {
        seen = observe(modal);
        finish(modal, how);
    });
    const QMessageBox::StandardButtons buttons(flags);
    int result = -1;
    if (entry == QLatin1String("critical"))
        result = CMessageBox::critical(nullptr, &host, QStringLiteral("错误"),
                                       QStringLiteral("出错了"), buttons);
    else if (entry == QLatin1String("warning"))
        result = CMessageBox::warning(nullptr, &host, QStringLiteral("警告"),
                                      QStringLiteral("小心"), buttons);
    else if (entry == QLatin1String("information"))
        result = CMessageBox::information(nullptr, &host, QStringLiteral("提示"),
                                          QStringLiteral("知道了"), buttons);
    else if (entry == QLatin1String("question"))
        result = CMessageBox::question(nullptr, &host, QStringLiteral("询问"),
                                       QStringLiteral("确定吗"), buttons);
    else
        result = CMessageBox::questionWithDetail(nullptr, &host, QStringLiteral("询问"),
                                                 QStringLiteral("确定吗"), QStringLiteral("细节"),
                                                 buttons);

    QCOMPARE(result, expected);
    QVERIFY(seen.parentChecked);
    QCOMPARE(seen.parent, &host);
    QCOMPARE(seen.icon, iconColor);
    QVERIFY(seen.staysOnTop);
    QCOMPARE(seen.active, 1);
    QVERIFY2(seen.box.isNull(), "the box deletes itself when its run ends");
}

void TestMessageBox::customEntryPoints_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("buttonTexts");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("keepsParent");
    QTest::addColumn<QColor>("iconColor");

    const QStringList three{"一", "二", "三"};
    QTest::newRow("critical first")
        << "critical" << three << "click:1" << 1 << false << criticalColor;
    QTest::newRow("critical escape")
        << "critical" << three << "escape" << 0 << false << criticalColor;
    QTest::newRow("warning third") << "warning" << three << "click:3" << 3 << false << warningColor;
    QTest::newRow("warning without second, right button")
        << "warning" << QStringList{"一", "", "三"} << "click:3" << 3 << false << warningColor;
    QTest::newRow("question second shows the critical icon")
        << "question" << three << "click:2" << 2 << true << criticalColor;
    QTest::newRow("question close button")
        << "question" << three << "close" << 0 << true << criticalColor;
}

void TestMessageBox::customEntryPoints()
{
    QFETCH(QString, entry);
    QFETCH(QStringList, buttonTexts);
    QFETCH(QString, how);
    QFETCH(int, expected);
    QFETCH(bool, keepsParent);
    QFETCH(QColor, iconColor);

    QWidget host;
    Seen seen;
    testsupport::whenModal([&](QWidget* modal) {
        seen = observe(modal);
        finish(modal, how);
    });
    int result = -1;
    const QString& a = buttonTexts.at(0);
    const QString& b = buttonTexts.at(1);
    const QString& c = buttonTexts.at(2);
    if (entry == QLatin1String("critical"))
        result = CMessageBox::critical(nullptr, &host, QStringLiteral("错误"),
                                       QStringLiteral("出错了"), a, b, c);
    else if (entry == QLatin1String("warning"))
        result = CMessageBox::warning(nullptr, &host, QStringLiteral("警告"),
                                      QStringLiteral("小心"), a, b, c);
    else
        result = CMessageBox::question(nullptr, &host, QStringLiteral("询问"),
                                       QStringLiteral("确定吗"), a, b, c);

    QCOMPARE(result, expected);
    QVERIFY(seen.parentChecked);
    QCOMPARE(seen.parent, keepsParent ? &host : nullptr);
    QCOMPARE(seen.icon, iconColor);
    QVERIFY(!seen.staysOnTop);
    QStringList shown = buttonTexts;
    shown.removeAll(QString());
    QCOMPARE(seen.buttonTexts, shown);
    QVERIFY(seen.box.isNull());
}

void TestMessageBox::questionUpdateIcon()
{
    // The same box without the update picture gives the size to expect.
    QSize plainSize;
    {
        TestBox plain(nullptr, QMessageBox::Question, QStringLiteral("有新版本"),
                      QMessageBox::Yes | QMessageBox::No);
        plainSize = plain.size();
    }
    QPixmap icon;
    Seen seen;
    testsupport::whenModal([&](QWidget* modal) {
        seen = observe(modal);
        if (auto* box = qobject_cast<CMessageBox*>(modal))
            icon = TestBox::icon(box);
        finish(modal, QStringLiteral("click:16384"));
    });
    const int result =
        CMessageBox::question(nullptr, nullptr, QStringLiteral("升级"), QStringLiteral("有新版本"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, true);
    QCOMPARE(result, int(QMessageBox::Yes));
    QCOMPARE(icon.size(), QSize(24, 24));
    QCOMPARE(icon.toImage().pixelColor(3, 3), updateColor);
    QCOMPARE(seen.icon, updateColor);
    QCOMPARE(seen.size, plainSize);
}

void TestMessageBox::questionPositionAndPicture()
{
    QPixmap picture(400, 200);
    picture.fill(pictureColor);
    QPoint shownAt;
    QSize size;
    testsupport::whenModal([&](QWidget* modal) {
        shownAt = modal->pos();
        size = modal->size();
        finish(modal, QStringLiteral("click:65536"));
    });
    const int result = CMessageBox::question(
        nullptr, nullptr, QStringLiteral("询问"), QStringLiteral("确定吗"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No, false, &picture, QPoint(120, 80));
    QCOMPARE(result, int(QMessageBox::No));
    QCOMPARE(shownAt, QPoint(120, 80));
    QCOMPARE(size, QSize(514, 396));

    testsupport::whenModal([&](QWidget* modal) {
        shownAt = modal->pos();
        finish(modal, QStringLiteral("click:1"));
    });
    QCOMPARE(CMessageBox::question(nullptr, nullptr, QStringLiteral("询问"),
                                   QStringLiteral("确定吗"), QStringLiteral("一"), QString(),
                                   QString(), QPoint(30, 40)),
             1);
    QCOMPARE(shownAt, QPoint(30, 40));
}

// ---------------------------------------------------------------- countdown

void TestMessageBox::countdownSteps_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<QStringList>>("steps"); // button texts at start and after each tick

    QTest::newRow("ok from 3") << int(QMessageBox::Ok) << int(QMessageBox::Ok) << 3
                               << QList<QStringList>{
                                      {"确定(3s)"}, {"确定(2s)"}, {"确定(1s)"}, {"确定(0s)"}};
    QTest::newRow("ok-cancel from 2, cancel default")
        << int(QMessageBox::Ok | QMessageBox::Cancel) << int(QMessageBox::Cancel) << 2
        << QList<QStringList>{
               {"确定(2s)", "取消(2s)"}, {"确定(1s)", "取消(1s)"}, {"确定(0s)", "取消(0s)"}};
    QTest::newRow("two digits to one")
        << int(QMessageBox::Yes) << int(QMessageBox::Yes) << 11
        << QList<QStringList>{{"是(11s)"}, {"是(10s)"}, {"是(9s)"}, {"是(8s)"},
                              {"是(7s)"},  {"是(6s)"},  {"是(5s)"}, {"是(4s)"},
                              {"是(3s)"},  {"是(2s)"},  {"是(1s)"}, {"是(0s)"}};
    QTest::newRow("negative ends at the first tick")
        << int(QMessageBox::Ok) << int(QMessageBox::Ok) << -2
        << QList<QStringList>{{"确定(-2s)"}, {"确定(-3s)"}};
}

void TestMessageBox::countdownSteps()
{
    QFETCH(int, flags);
    QFETCH(int, defaultButton);
    QFETCH(int, start);
    QFETCH(QList<QStringList>, steps);

    QList<QStringList> seen;
    QList<bool> visible;
    int interval = 0;
    bool active = false;
    testsupport::whenModal([&](QWidget* modal) {
        auto* box = qobject_cast<CMessageBox*>(modal);
        if (!box) {
            modal->close();
            return;
        }
        if (QTimer* timer = TestBox::timer(box)) {
            interval = timer->interval();
            active = timer->isActive();
            timer->stop(); // the ticks below come from the test alone
        }
        seen << texts(TestBox::row(box));
        // One tick more than steps would be a bug; the box must end at the last one.
        for (int i = 1; i < steps.size() && box->isVisible(); ++i) {
            box->slot_Timeout();
            seen << texts(TestBox::row(box));
            visible << box->isVisible();
        }
        if (box->isVisible())
            box->reject();
    });
    const int result = CMessageBox::information(
        nullptr, nullptr, QStringLiteral("提示"), QStringLiteral("自动关闭"),
        QMessageBox::StandardButtons(flags),
        static_cast<QMessageBox::StandardButton>(defaultButton), false, start);

    QCOMPARE(interval, 1000);
    QVERIFY(active);
    QCOMPARE(seen, steps);
    QList<bool> expectedVisible;
    for (int i = 2; i < steps.size(); ++i)
        expectedVisible << true;
    expectedVisible << false;
    QCOMPARE(visible, expectedVisible);
    QCOMPARE(result, 1);
}

void TestMessageBox::countdownReplacesEveryOccurrence()
{
    auto* box = new TestBox(nullptr, QMessageBox::Information, QStringLiteral("消息"),
                            QStringLiteral("3 or 3"), QString(), QStringLiteral("再等"));
    QPointer<TestBox> guard(box);
    box->setCountDown(3);
    QCOMPARE(TestBox::seconds(box), 3);
    QCOMPARE(texts(TestBox::row(box)), (QStringList{"3 or 3(3s)", "再等(3s)"}));
    QCOMPARE(box->findChild<CPushButton*>(QStringLiteral("closeButton"))->text(), QString());
    box->slot_Timeout();
    QCOMPARE(texts(TestBox::row(box)), (QStringList{"2 or 2(2s)", "再等(2s)"}));
    QCOMPARE(TestBox::seconds(box), 2);
    // A second start only changes the number; the timer stays the one it was.
    QTimer* timer = TestBox::timer(box);
    box->setCountDown(5);
    QCOMPARE(TestBox::timer(box), timer);
    QCOMPARE(texts(TestBox::row(box)), (QStringList{"2 or 2(2s)(5s)", "再等(2s)(5s)"}));
    delete guard.data();
}

void TestMessageBox::countdownRealTime()
{
    QString textAtStart;
    testsupport::whenModal([&](QWidget* modal) {
        if (auto* box = qobject_cast<CMessageBox*>(modal))
            textAtStart = texts(TestBox::row(box)).join(QLatin1Char(','));
    });
    QElapsedTimer clock;
    clock.start();
    const int result = CMessageBox::information(nullptr, nullptr, QStringLiteral("提示"),
                                                QStringLiteral("一秒后关闭"), QMessageBox::Ok,
                                                QMessageBox::Ok, false, 1);
    QCOMPARE(result, 1);
    QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(textAtStart, QStringLiteral("确定(1s)"));
}

// ---------------------------------------------------------------- details pane

void TestMessageBox::detailsToggle()
{
    struct Step
    {
        int height;
        bool paneVisible;
        QString buttonText;
        QRect paneGeometry;
    };
    QList<Step> steps;
    QSize collapsedSize;
    bool rightmost = false;
    bool idFree = false;
    QString plain;
    testsupport::whenModal([&](QWidget* modal) {
        auto* box = qobject_cast<CMessageBox*>(modal);
        auto* button = modal->findChild<CPushButton*>(QStringLiteral("detailsButton"));
        auto* pane = modal->findChild<CTextEdit*>(QStringLiteral("detailsText"));
        if (!box || !button || !pane) {
            modal->close();
            return;
        }
        collapsedSize = box->size();
        rightmost = TestBox::row(box).last() == button && button->size() == QSize(80, 29);
        idFree = button->getID() == 3 && !TestBox::ids(box).contains(3);
        plain = pane->toPlainText();
        for (int i = 0; i < 3; ++i) {
            steps << Step{box->height(), pane->isVisible(), button->text(), pane->geometry()};
            QTest::mouseClick(button, Qt::LeftButton);
        }
        steps << Step{box->height(), pane->isVisible(), button->text(), pane->geometry()};
        finish(modal, QStringLiteral("click:65536"));
    });
    const int result = CMessageBox::questionWithDetail(
        nullptr, nullptr, QStringLiteral("询问"), QStringLiteral("确定吗"),
        QStringLiteral("第一行\n第二行"), QMessageBox::Yes | QMessageBox::No);

    QCOMPARE(result, int(QMessageBox::No));
    QVERIFY(rightmost);
    QVERIFY(idFree);
    QCOMPARE(plain, QStringLiteral("第一行\n第二行"));
    QCOMPARE(steps.size(), 4);
    const int h = collapsedSize.height();
    const QRect pane(32, h - 16, collapsedSize.width() - 64, 100);
    const QString show = QMessageBox::tr("Show Details...");
    const QString hide = QMessageBox::tr("Hide Details...");
    QCOMPARE(steps.at(0).height, h);
    QVERIFY(!steps.at(0).paneVisible);
    QCOMPARE(steps.at(0).buttonText, show);
    QCOMPARE(steps.at(0).paneGeometry, pane);
    QCOMPARE(steps.at(1).height, h + 106);
    QVERIFY(steps.at(1).paneVisible);
    QCOMPARE(steps.at(1).buttonText, hide);
    QCOMPARE(steps.at(1).paneGeometry, pane);
    QCOMPARE(steps.at(2).height, h);
    QVERIFY(!steps.at(2).paneVisible);
    QCOMPARE(steps.at(2).buttonText, show);
    QCOMPARE(steps.at(3).height, h + 106);
    QVERIFY(steps.at(3).paneVisible);
}

void TestMessageBox::detailsButtonIdAmongCustomButtons()
{
    // With a third custom button, id 3 belongs to it and a click on it ends the box.
    auto* box = new TestBox(nullptr, QMessageBox::Question, QStringLiteral("消息"),
                            QStringLiteral("一"), QString(), QStringLiteral("三"));
    box->setDetailedText(QStringLiteral("细节"));
    testsupport::whenModal([](QWidget* modal) {
        QTest::mouseClick(modal->findChild<CPushButton*>(QStringLiteral("detailsButton")),
                          Qt::LeftButton);
    });
    QCOMPARE(box->exec(), 3);
}

void TestMessageBox::detailsTranslated()
{
    QTranslator translator;
    const QString dir = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    if (!translator.load(QStringLiteral("qtbase_zh_CN"), dir))
        QSKIP("qtbase_zh_CN.qm is not installed");
    QCoreApplication::installTranslator(&translator);

    const QString show = QCoreApplication::translate("QMessageBox", "Show Details...");
    const QString hide = QCoreApplication::translate("QMessageBox", "Hide Details...");
    {
        TestBox box(nullptr, QMessageBox::Question, QStringLiteral("消息"), QMessageBox::Ok);
        box.setDetailedText(QStringLiteral("细节"));
        auto* button = box.findChild<CPushButton*>(QStringLiteral("detailsButton"));
        QVERIFY(button);
        QCOMPARE(button->text(), show);
        box.handleEvent(UiEventClick, 3, 0, QString(), nullptr);
        QCOMPARE(button->text(), hide);
    }
    QCoreApplication::removeTranslator(&translator);

    QVERIFY(show != QLatin1String("Show Details..."));
    QVERIFY(hide != QLatin1String("Hide Details..."));
    bool chinese = false;
    for (const QChar c : show)
        chinese = chinese || c.script() == QChar::Script_Han;
    QVERIFY(chinese);
}

// ---------------------------------------------------------------- show and hide

void TestMessageBox::cascade()
{
    QList<QPointer<TestBox>> boxes;
    for (int i = 0; i < 3; ++i) {
        auto* box =
            new TestBox(nullptr, QMessageBox::Information, QStringLiteral("叠放"), QMessageBox::Ok);
        boxes << box;
        box->show();
        QCOMPARE(TestBox::s_nActive, i + 1);
    }
    const QPoint first = boxes.at(0)->pos();
    QCOMPARE(boxes.at(1)->pos(), first + QPoint(4, 4));
    QCOMPARE(boxes.at(2)->pos(), first + QPoint(8, 8));

    boxes.at(2)->close(); // deletes itself
    QCOMPARE(TestBox::s_nActive, 2);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(boxes.at(2).isNull());

    // A box hidden and shown again counts again.
    boxes.at(1)->hide();
    QCOMPARE(TestBox::s_nActive, 1);
    boxes.at(1)->show();
    QCOMPARE(TestBox::s_nActive, 2);
    QCOMPARE(boxes.at(1)->pos(), first + QPoint(8, 8));

    for (const QPointer<TestBox>& box : boxes) {
        if (box)
            box->close();
    }
    QCOMPARE(TestBox::s_nActive, 0);
}

void TestMessageBox::positionWins()
{
    auto* first =
        new TestBox(nullptr, QMessageBox::Information, QStringLiteral("一"), QMessageBox::Ok);
    auto* second =
        new TestBox(nullptr, QMessageBox::Information, QStringLiteral("二"), QMessageBox::Ok);
    first->show();
    second->show();
    QCOMPARE(TestBox::s_nActive, 2);
    auto* placed = new TestBox(nullptr, QMessageBox::Information, QStringLiteral("三"),
                               QMessageBox::Ok, QMessageBox::NoButton, nullptr, QPoint(100, 200));
    placed->show();
    QCOMPARE(placed->pos(), QPoint(100, 200));
    QCOMPARE(TestBox::s_nActive, 3);
    placed->close();
    QCOMPARE(TestBox::s_nActive, 2);
    second->close();
    first->close();
    QCOMPARE(TestBox::s_nActive, 0);
}

void TestMessageBox::activeCountAroundEntryPoint()
{
    QList<int> counts;
    QList<QPoint> positions;
    // The outer box opens an inner one from its modal run; the inner one cascades.
    testsupport::whenModal([&](QWidget* outer) {
        counts << TestBox::s_nActive;
        positions << outer->pos();
        testsupport::whenModal([&](QWidget* inner) {
            counts << TestBox::s_nActive;
            positions << inner->pos();
            finish(inner, QStringLiteral("click:1024"));
        });
        const int innerResult = CMessageBox::information(nullptr, nullptr, QStringLiteral("内"),
                                                         QStringLiteral("同样大小"));
        counts << TestBox::s_nActive << innerResult;
        finish(outer, QStringLiteral("click:1024"));
    });
    const int result = CMessageBox::information(nullptr, nullptr, QStringLiteral("外"),
                                                QStringLiteral("同样大小"));
    QCOMPARE(result, int(QMessageBox::Ok));
    QCOMPARE(counts, (QList<int>{1, 2, 1, int(QMessageBox::Ok)}));
    QCOMPARE(positions.size(), 2);
    QCOMPARE(positions.at(1), positions.at(0) + QPoint(4, 4));
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

    utils::CLogCenter* center = utils::CSingletonT<utils::CLogCenter>::instance();
    center->setConLogEnabled(35, switchOn);
    auto appender = std::make_shared<testsupport::CollectingAppender>();
    log4cxx::LoggerPtr logger = log4cxx::Logger::getLogger("VelConsole");
    logger->addAppender(appender);
    logger->setLevel(debugLevel ? log4cxx::Level::getDebug() : log4cxx::Level::getInfo());

    auto* first = new TestBox(nullptr, QMessageBox::Information, QStringLiteral("日志"),
                              QMessageBox::Ok, QMessageBox::NoButton, nullptr, QPoint(100, 200));
    auto* second = new TestBox(nullptr, QMessageBox::Information, QStringLiteral("日志"),
                               QMessageBox::Ok, QMessageBox::NoButton, nullptr, QPoint(140, 60));
    first->show();
    second->show();
    const QPoint placedFirst = first->pos();
    const QPoint placedSecond = second->pos();
    second->close();
    first->close();

    logger->removeAppender(appender);
    logger->setLevel(log4cxx::LevelPtr());
    center->setConLogEnabled(35, false);

    QCOMPARE(appender->lines, expected);
    for (int level : appender->levels)
        QCOMPARE(level, int(log4cxx::Level::DEBUG_INT));
    // Logging never changes where the boxes go.
    QCOMPARE(placedFirst, QPoint(100, 200));
    QCOMPARE(placedSecond, QPoint(140, 60));
}

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
