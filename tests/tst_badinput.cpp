// Hostile and extreme input for every dialog: nothing may crash, hang or lose text.

#include "testsupport.h"

#include "uibase/dialog/cchangepassworddialog.h"
#include "uibase/dialog/ccheckversiondialog.h"
#include "uibase/dialog/ccountdowndialog.h"
#include "uibase/dialog/cfloatbutton.h"
#include "uibase/dialog/cglobalmessagedialog.h"
#include "uibase/dialog/cmessagebox.h"
#include "uibase/dialog/cmultimessagedialog.h"
#include "uibase/dialog/contracts/uiresource.h"
#include "uibase/dialog/csimpleinputdialog.h"
#include "uibase/dialog/cuseragreementdialog.h"
#include "uibase/dialog/cviewvariabledialog.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <climits>
#include <functional>
#include <memory>

using namespace Omra;

namespace {

CUiResource* theme()
{
    return utils::CSingletonT<CUiResource>::instance();
}

template <class T> T* child(QWidget* widget, const char* name)
{
    return widget->findChild<T*>(QLatin1String(name));
}

const QStringList everyDialog = {
    "message box",   "countdown dialog", "popup",          "multi-message", "change password",
    "version check", "simple input",     "user agreement", "viewer",        "float button"};

// The dialogs that are plain windows, with null parents and empty texts.
std::unique_ptr<QWidget> makeWindow(const QString& dialog)
{
    std::unique_ptr<QWidget> window;
    if (dialog == QLatin1String("change password"))
        window =
            std::make_unique<CChangePasswordDialog>(0, QString(), QString(), QString(), nullptr);
    else if (dialog == QLatin1String("version check"))
        window = std::make_unique<CCheckVersionDialog>(QString(), QString(), QString(), nullptr);
    else if (dialog == QLatin1String("simple input"))
        window = std::make_unique<CSimpleInputDialog>(QString(), QString(), nullptr);
    else if (dialog == QLatin1String("user agreement"))
        window = std::make_unique<CUserAgreementDialog>(QString(), QString(), QString(), nullptr);
    else if (dialog == QLatin1String("viewer"))
        window = std::make_unique<CViewVariableDialog>(nullptr);
    else if (dialog == QLatin1String("float button"))
        window = std::make_unique<CFloatButton>("img_float_button_bg", 3, 2, 2, 2, 2, nullptr);
    if (window)
        window->setAttribute(Qt::WA_DeleteOnClose, false);
    return window;
}

QPushButton* buttonWithText(QWidget* window, const QString& text)
{
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

QString makeText(const QString& kind)
{
    if (kind == QLatin1String("1 MB, one word"))
        return QString(1 << 20, QLatin1Char('W'));
    if (kind == QLatin1String("1 MB of words")) {
        QString text;
        text.reserve(1 << 20);
        while (text.size() < (1 << 20))
            text += QStringLiteral("行情 quote 12.34 ");
        return text;
    }
    if (kind == QLatin1String("10,000 lines")) {
        QStringList lines;
        for (int i = 0; i < 10000; ++i)
            lines << QStringLiteral("第%1行 line %1").arg(i);
        return lines.join(QLatin1Char('\n'));
    }
    return QString();
}

class BoxCount : public CMessageBox
{
public:
    using CMessageBox::s_nActive;
};

class CountDownCount : public CCountDownDialog
{
public:
    using CCountDownDialog::s_nActive;
};

class CountDown : public CCountDownDialog
{
public:
    using CCountDownDialog::CCountDownDialog;
    using CCountDownDialog::secondsLeft;
};

CGlobalMessageDialog* popup()
{
    return CGlobalMessageDialog::instance(nullptr);
}

void stepPopup()
{
    QVERIFY(QMetaObject::invokeMethod(popup(), "slotTimeout", Qt::DirectConnection));
}

// A theme file holding every second key of each section of the default theme, its images
// still found in the resources; kept counts the keys it holds.
QByteArray halfOfDefaultTheme(int* kept)
{
    *kept = 0;
    QFile file(QString::fromLatin1(CUiResource::defaultThemePath));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    const QJsonObject full = QJsonDocument::fromJson(file.readAll()).object();
    const QString folder = QFileInfo(QString::fromLatin1(CUiResource::defaultThemePath)).path();
    QJsonObject half;
    for (auto section = full.begin(); section != full.end(); ++section) {
        const QJsonObject values = section.value().toObject();
        QJsonObject keptValues;
        int index = 0;
        for (auto it = values.begin(); it != values.end(); ++it, ++index) {
            if (index % 2)
                continue;
            ++*kept;
            if (section.key() == QLatin1String("images"))
                keptValues.insert(it.key(), folder + QLatin1Char('/') + it.value().toString());
            else
                keptValues.insert(it.key(), it.value());
        }
        half.insert(section.key(), keptValues);
    }
    return QJsonDocument(half).toJson();
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void init() { before = testsupport::topLevelSnapshot(); }
    void cleanup();

    void longText_data();
    void longText();
    void countdownExtremes_data();
    void countdownExtremes();
    void everyDialogOpens_data();
    void everyDialogOpens();
    void popupParentDestroyedMidCountdown();
    void messageBoxesInsideCountdownLoop();
    void countdownRunsOutUnderMessageBox();

private:
    QSet<QWidget*> before;
};

void TestBadInput::cleanup()
{
    CMessageTip::hideTip();
    CGlobalMessageDialog::closeMessage();
    delete popup();
    theme()->resetToDefault();
    QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>());
}

void TestBadInput::longText_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("kind");
    for (const char* dialog : {"message box", "popup", "multi-message", "viewer"}) {
        for (const char* kind : {"1 MB, one word", "1 MB of words", "10,000 lines"})
            QTest::addRow("%s, %s", dialog, kind) << dialog << kind;
    }
}

// The whole text is kept; what is shown keeps to each dialog's line limit, and the dialog
// still answers.
void TestBadInput::longText()
{
    QFETCH(QString, dialog);
    QFETCH(QString, kind);
    const QString text = makeText(kind);
    QVERIFY(text.size() >= 10000);

    if (dialog == QLatin1String("message box")) {
        QString seen;
        int lines = 0;
        testsupport::whenModal([&](QWidget* box) {
            auto* message = child<CSimpleTextWidget>(box, "messageText");
            seen = message->getText();
            lines = message->lineCountForWidth(message->width());
            box->grab(); // paints it
            QTest::mouseClick(buttonWithText(box, QStringLiteral("确定")), Qt::LeftButton);
        });
        const auto result = CMessageBox::information(nullptr, nullptr, QStringLiteral("长文本"),
                                                     text, QMessageBox::Ok);
        QCOMPARE(result, QMessageBox::Ok);
        QVERIFY(seen == text);
        QVERIFY(lines >= 1 && lines <= 10);
    } else if (dialog == QLatin1String("popup")) {
        CGlobalMessageDialog::showSingleMessage(QStringLiteral("通知"), text, -1, 7, true, nullptr,
                                                true, true, true, true);
        CGlobalMessageDialog* shown = popup();
        QVERIFY(shown->isVisible());
        auto* content = child<CSimpleTextWidget>(shown, "contentText");
        QVERIFY(content->getText() == text);
        QVERIFY(content->lineCountForWidth(content->width()) <= 5);
        const QSize size(theme()->getSize(QStringLiteral("siz_global_msg_dlg_width")),
                         theme()->getSize(QStringLiteral("siz_global_msg_dlg_height")));
        QCOMPARE(shown->size(), size);
        // The title takes the long text on one line without growing the popup.
        CGlobalMessageDialog::showSingleMessage(text, QStringLiteral("短"), 3, 7, false, nullptr,
                                                false, false, true, false);
        QVERIFY(child<CSimpleTextWidget>(shown, "titleText")->getText() == text);
        QCOMPARE(shown->size(), size);
        shown->grab();
    } else if (dialog == QLatin1String("multi-message")) {
        CMultiMessageDialog messages;
        messages.updateMessage(text);
        messages.updateMessage(QStringLiteral("next"));
        QVERIFY(QMetaObject::invokeMethod(&messages, "slotTimeOut", Qt::DirectConnection));
        auto* message = child<CSimpleTextWidget>(&messages, "messageText");
        QVERIFY(message->getText() == text);
        // At most 700 wide; the height follows the wrapped text.
        QVERIFY(message->width() <= 700);
        QCOMPARE(message->height(), message->heightForWidth(message->width()));
        QVERIFY(QMetaObject::invokeMethod(&messages, "slotTimeOut", Qt::DirectConnection));
        QCOMPARE(message->getText(), QStringLiteral("next"));
        QVERIFY(messages.height() < 1000);
    } else {
        CViewVariableDialog viewer;
        const QSize size = viewer.size();
        viewer.setText(text);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QVERIFY(child<CTextEdit>(&viewer, "textView")->toPlainText() == text);
        viewer.grab();
        QCOMPARE(viewer.size(), size);
    }
}

void TestBadInput::countdownExtremes_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<int>("countdown");
    for (const char* dialog : {"message box", "countdown dialog", "popup"}) {
        QTest::addRow("%s, INT_MIN", dialog) << dialog << INT_MIN;
        QTest::addRow("%s, INT_MAX", dialog) << dialog << INT_MAX;
    }
}

void TestBadInput::countdownExtremes()
{
    QFETCH(QString, dialog);
    QFETCH(int, countdown);
    const QString number = QString::number(countdown);
    const QString next = QString::number(countdown == INT_MIN ? INT_MIN : countdown - 1);

    if (dialog == QLatin1String("message box")) {
        // A negative countdown ends the box at its first tick; a huge one counts down.
        QStringList texts;
        const auto collect = [&texts](QWidget* box) {
            for (QPushButton* button : box->findChildren<QPushButton*>())
                if (!button->text().isEmpty())
                    texts << button->text();
        };
        testsupport::whenModal([&](QWidget* box) {
            collect(box);
            QVERIFY(QMetaObject::invokeMethod(box, "slot_Timeout", Qt::DirectConnection));
            collect(box);
            if (box->isVisible())
                QTest::mouseClick(buttonWithText(box, QStringLiteral("确定(%1s)").arg(next)),
                                  Qt::LeftButton);
        });
        const auto result = CMessageBox::information(nullptr, nullptr, QStringLiteral("倒计时"),
                                                     QStringLiteral("极值"), QMessageBox::Ok,
                                                     QMessageBox::Ok, false, countdown);
        QCOMPARE(texts, (QStringList{QStringLiteral("确定(%1s)").arg(number),
                                     QStringLiteral("确定(%1s)").arg(next)}));
        QCOMPARE(int(result), countdown < 0 ? 1 : int(QMessageBox::Ok));
    } else if (dialog == QLatin1String("countdown dialog")) {
        auto* box =
            new CountDown(nullptr, QMessageBox::Information, QStringLiteral("倒计时"),
                          QStringLiteral("系统将在"), countdown, QStringLiteral("秒后重启"),
                          CountDownPlain, false, QStringLiteral("立即"), QString(), QString());
        QPointer<CountDown> guard(box);
        box->show();
        auto* digits = child<CSimpleTextWidget>(box, "countdownText");
        QCOMPARE(digits->getText(), number);
        for (int i = 0; i < 3; ++i)
            box->slot_MessageTimeout();
        // INT_MAX counts down; INT_MIN cannot go lower and rests there, the dialog open.
        const int expected = countdown == INT_MIN ? INT_MIN : countdown - 3;
        QCOMPARE(box->secondsLeft, expected);
        if (countdown != INT_MIN)
            QCOMPARE(digits->getText(), QString::number(expected));
        QVERIFY(box->isVisible());
        QVERIFY(digits->width() >= qMin(digits->sizeHint().width(), 700) - 1);
        box->grab();
        QTest::mouseClick(buttonWithText(box, QStringLiteral("立即")), Qt::LeftButton);
        QVERIFY(!box->isVisible());
        delete guard.data();
    } else {
        CGlobalMessageDialog::showSingleMessage(QStringLiteral("通知"), QStringLiteral("内容"),
                                                countdown, 1, false, nullptr, false, false, true,
                                                false);
        CGlobalMessageDialog* shown = popup();
        auto* line = child<CSimpleTextWidget>(shown, "countdownText");
        auto* timer = child<QTimer>(shown, "countdownTimer");
        const QString suffix = QStringLiteral("秒后本消息自动关闭");
        if (countdown < 0) {
            QVERIFY(line->isHidden());
            QVERIFY(!timer->isActive());
        } else {
            QVERIFY(!line->isHidden());
            QCOMPARE(line->getText(), number + suffix);
            QVERIFY(timer->isActive());
            QVERIFY(line->geometry().right() <= shown->width());
        }
        stepPopup();
        stepPopup();
        QVERIFY(shown->isVisible());
        if (countdown > 0)
            QCOMPARE(line->getText(), QString::number(countdown - 2) + suffix);
        shown->grab();
    }
}

void TestBadInput::everyDialogOpens_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<bool>("halfTheme");
    for (const QString& dialog : everyDialog) {
        QTest::addRow("%s, default theme", qPrintable(dialog)) << dialog << false;
        QTest::addRow("%s, half the theme", qPrintable(dialog)) << dialog << true;
    }
}

// Every dialog runs with null parents, styles and callbacks and empty texts, also with half
// the theme's keys gone (the look-ups fall back): it opens, paints and does its job.
void TestBadInput::everyDialogOpens()
{
    QFETCH(QString, dialog);
    QFETCH(bool, halfTheme);
    QTemporaryDir folder;
    int kept = 0;
    if (halfTheme) {
        const QByteArray half = halfOfDefaultTheme(&kept);
        QVERIFY(kept > 10);
        QFile file(folder.filePath(QStringLiteral("half.json")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(half);
        file.close();
        theme()->clear();
        QString error;
        QVERIFY2(theme()->loadTheme(file.fileName(), &error), qPrintable(error));
        QCOMPARE(theme()->keys().size(), kept);
    }

    if (dialog == QLatin1String("message box")) {
        testsupport::whenModal([](QWidget* box) {
            box->grab();
            QTest::mouseClick(buttonWithText(box, QStringLiteral("否")), Qt::LeftButton);
        });
        QCOMPARE(CMessageBox::questionWithDetail(nullptr, nullptr, QString(), QString(), QString()),
                 QMessageBox::No);
        testsupport::whenModal([](QWidget* box) { box->close(); });
        QCOMPARE(CMessageBox::question(nullptr, nullptr, QString(), QString(), QString(), QString(),
                                       QString()),
                 0);
    } else if (dialog == QLatin1String("countdown dialog")) {
        testsupport::whenModal([&](QWidget* box) {
            box->grab();
            QTest::mouseClick(buttonWithText(box, QStringLiteral("稍后")), Qt::LeftButton);
        });
        QCOMPARE(CCountDownDialog::getChooseResult(nullptr, nullptr, QString(), QString(), 30,
                                                   QString(), CountDownWithRestartLink, true,
                                                   QStringLiteral("立即"), QStringLiteral("稍后")),
                 2);
    } else if (dialog == QLatin1String("popup")) {
        CGlobalMessageDialog::showSingleMessage(QString(), QStringLiteral("内容"), 5, 1, true,
                                                nullptr, true, true, true, true);
        QVERIFY(popup()->isVisible());
        QCOMPARE(popup()->parentWidget(), static_cast<QWidget*>(nullptr));
        QCOMPARE(child<CSimpleTextWidget>(popup(), "contentText")->getText(),
                 QStringLiteral("内容"));
        popup()->grab();
    } else if (dialog == QLatin1String("multi-message")) {
        CMultiMessageDialog messages(nullptr);
        messages.updateMessage(QString());
        QVERIFY(QMetaObject::invokeMethod(&messages, "slotTimeOut", Qt::DirectConnection));
        QVERIFY(messages.isVisible());
        QVERIFY(messages.width() >= 350 && messages.height() >= 150);
        messages.grab();
    } else {
        std::unique_ptr<QWidget> window = makeWindow(dialog);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(!window->size().isEmpty());
        window->grab();
        window->close();
        // Modal runs with empty callbacks end without calling them.
        if (auto* input = dynamic_cast<CSimpleInputDialog*>(window.get())) {
            testsupport::whenModal([](QWidget* box) { box->close(); });
            QCOMPARE(input->getInput(boost::function<void(QString)>()), 0);
        } else if (auto* agreement = dynamic_cast<CUserAgreementDialog*>(window.get())) {
            testsupport::whenModal([](QWidget* box) { box->close(); });
            QCOMPARE(agreement->display(boost::function<void(bool, bool)>()), 0);
        } else if (dialog == QLatin1String("float button")) {
            CFloatButton bare(nullptr, 3, 0, 0, 0, 0); // no image: nothing to show, no crash
            bare.show();
            bare.grab();
        }
    }
    if (halfTheme)
        QCOMPARE(theme()->keys().size(), kept);
}

void TestBadInput::popupParentDestroyedMidCountdown()
{
    auto* owner = new QWidget;
    CGlobalMessageDialog::showSingleMessage(QStringLiteral("A"), QStringLiteral("a"), 3, 1, false,
                                            owner, false, false, false, false);
    QPointer<CGlobalMessageDialog> first(popup());
    QVERIFY(child<QTimer>(first, "countdownTimer")->isActive());
    // The running countdown dies with its popup: no tick reaches a dead object.
    delete owner;
    QVERIFY(first.isNull());
    QTest::qWait(0);

    // The not-replaceable message went with it; the next one shows on a new popup.
    CGlobalMessageDialog::showSingleMessage(QStringLiteral("B"), QStringLiteral("b"), 2, 2, false,
                                            nullptr, false, false, true, false);
    CGlobalMessageDialog* second = popup();
    QVERIFY(second->isVisible());
    QCOMPARE(child<CSimpleTextWidget>(second, "titleText")->getText(), QStringLiteral("B"));
    stepPopup();
    stepPopup(); // tick 2 runs out
    QVERIFY(!second->isVisible());
}

// Boxes opened one inside the other, from the countdown dialog's modal loop: each returns its
// own answer, the counts of shown boxes go back to zero and the countdown dialog answers last.
void TestBadInput::messageBoxesInsideCountdownLoop()
{
    QList<int> answers;
    QList<QPair<int, int>> shownCounts; // message boxes, countdown dialogs
    const auto count = [&] {
        shownCounts << qMakePair(BoxCount::s_nActive, CountDownCount::s_nActive);
    };
    testsupport::whenModal([&](QWidget* countdown) {
        count();
        testsupport::whenModal([&](QWidget* first) {
            count();
            testsupport::whenModal([&](QWidget* second) {
                count();
                QTest::mouseClick(buttonWithText(second, QStringLiteral("否")), Qt::LeftButton);
            });
            answers << CMessageBox::question(nullptr, nullptr, QStringLiteral("第二个"),
                                             QStringLiteral("继续？"));
            QTest::mouseClick(buttonWithText(first, QStringLiteral("确定")), Qt::LeftButton);
        });
        answers << CMessageBox::warning(nullptr, countdown, QStringLiteral("第一个"),
                                        QStringLiteral("注意"));
        QVERIFY(countdown->isVisible());
        QTest::mouseClick(buttonWithText(countdown, QStringLiteral("立即")), Qt::LeftButton);
    });
    const int result = CCountDownDialog::getChooseResult(
        nullptr, nullptr, QStringLiteral("重启"), QStringLiteral("系统将在"), 60,
        QStringLiteral("秒后重启"), CountDownPlain, false, QStringLiteral("立即"),
        QStringLiteral("稍后"));
    QCOMPARE(answers, (QList<int>{QMessageBox::No, QMessageBox::Ok}));
    QCOMPARE(result, 1);
    QCOMPARE(shownCounts,
             (QList<QPair<int, int>>{qMakePair(0, 1), qMakePair(1, 1), qMakePair(2, 1)}));
    QCOMPARE(BoxCount::s_nActive, 0);
    QCOMPARE(CountDownCount::s_nActive, 0);
    QVERIFY(!QApplication::activeModalWidget());
}

// The countdown dialog's clock runs out while a message box opened from it waits: the
// dialog closes underneath, and both answers arrive once the box is answered.
void TestBadInput::countdownRunsOutUnderMessageBox()
{
    int boxAnswer = -1;
    bool countdownHiddenWhileBoxOpen = false;
    testsupport::whenModal([&](QWidget* countdown) {
        QPointer<QWidget> guard(countdown);
        testsupport::whenModal([&, guard](QWidget* box) {
            // The last second runs out.
            QVERIFY(QMetaObject::invokeMethod(guard.data(), "slot_MessageTimeout",
                                              Qt::DirectConnection));
            countdownHiddenWhileBoxOpen = guard && !guard->isVisible();
            QTest::mouseClick(buttonWithText(box, QStringLiteral("确定")), Qt::LeftButton);
        });
        boxAnswer = CMessageBox::information(nullptr, countdown, QStringLiteral("提示"),
                                             QStringLiteral("稍候"));
    });
    const int result = CCountDownDialog::getChooseResult(
        nullptr, nullptr, QStringLiteral("重启"), QStringLiteral("系统将在"), 1,
        QStringLiteral("秒后重启"), CountDownPlain, false, QStringLiteral("立即"));
    QCOMPARE(boxAnswer, int(QMessageBox::Ok));
    QVERIFY(countdownHiddenWhileBoxOpen);
    QCOMPARE(result, 0);
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
