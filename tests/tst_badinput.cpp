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

void click(QWidget* window, const QString& text)
{
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->text() == text)
            return QTest::mouseClick(button, Qt::LeftButton);
    QFAIL(qPrintable("no button " + text));
}

QString makeText(const QString& kind)
{
    // 1 MB and 10,000 lines in the normal build, a tenth under the sanitizers.
    if (kind == QLatin1String("one long word"))
        return QString(testsupport::scaled(1 << 20), QLatin1Char('W'));
    if (kind == QLatin1String("many words"))
        return QStringLiteral("行情 quote 12.34 ").repeated(testsupport::scaled(1 << 16));
    QStringList lines;
    for (int i = 0; i < testsupport::scaled(10000); ++i)
        lines << QStringLiteral("第%1行 line %1").arg(i);
    return lines.join(QLatin1Char('\n'));
}

class BoxCount : public CMessageBox
{
public:
    using CMessageBox::s_nActive;
};

class CountDown : public CCountDownDialog
{
public:
    using CCountDownDialog::CCountDownDialog;
    using CCountDownDialog::s_nActive;
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

// Every second key of each section of the default theme (images still found where the
// default keeps them).
QByteArray halfOfDefaultTheme()
{
    const QString path = QString::fromLatin1(CUiResource::defaultThemePath);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    const QJsonObject full = QJsonDocument::fromJson(file.readAll()).object();
    QJsonObject half;
    int index = 0;
    for (auto section = full.begin(); section != full.end(); ++section) {
        const QJsonObject values = section.value().toObject();
        QJsonObject kept;
        for (auto it = values.begin(); it != values.end(); ++it)
            if (++index % 2)
                kept.insert(it.key(),
                            section.key() == QLatin1String("images")
                                ? QJsonValue(QFileInfo(path).path() + '/' + it.value().toString())
                                : QJsonValue(it.value()));
        half.insert(section.key(), kept);
    }
    return QJsonDocument(half).toJson();
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

    QSet<QWidget*> before;

private slots:
    void init() { before = testsupport::topLevelSnapshot(); }

    void cleanup()
    {
        CMessageTip::hideTip();
        CGlobalMessageDialog::closeMessage();
        delete popup();
        theme()->resetToDefault();
        QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>());
    }

    void longText_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("kind");
        for (const char* dialog : {"message box", "popup", "multi-message", "viewer"})
            for (const char* kind : {"one long word", "many words", "many lines"})
                QTest::addRow("%s, %s", dialog, kind) << dialog << kind;
    }

    // The whole text is kept; what is shown keeps to each dialog's line limit and size, and the
    // dialog still answers.
    void longText()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, kind);
        const QString text = makeText(kind);
        if (dialog == QLatin1String("message box")) {
            QString seen;
            int lines = 0;
            testsupport::whenModal([&](QWidget* box) {
                auto* message = child<CSimpleTextWidget>(box, "messageText");
                seen = message->getText();
                lines = message->lineCountForWidth(message->width());
                box->grab(); // paints it
                click(box, QStringLiteral("确定"));
            });
            QCOMPARE(CMessageBox::information(nullptr, nullptr, QStringLiteral("长文本"), text,
                                              QMessageBox::Ok),
                     QMessageBox::Ok);
            QVERIFY(seen == text);
            QVERIFY(lines >= 1 && lines <= 10);
        } else if (dialog == QLatin1String("popup")) {
            // The title takes it on one line, the content on at most five; the popup keeps its
            // size.
            CGlobalMessageDialog::showSingleMessage(text, text, -1, 7, true, nullptr, true, true,
                                                    true, true);
            auto* content = child<CSimpleTextWidget>(popup(), "contentText");
            QVERIFY(content->getText() == text);
            QVERIFY(child<CSimpleTextWidget>(popup(), "titleText")->getText() == text);
            QVERIFY(content->lineCountForWidth(content->width()) <= 5);
            QCOMPARE(popup()->size(),
                     QSize(theme()->getSize(QStringLiteral("siz_global_msg_dlg_width")),
                           theme()->getSize(QStringLiteral("siz_global_msg_dlg_height"))));
            popup()->grab();
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

    void countdownExtremes_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<int>("countdown");
        for (const char* dialog : {"message box", "countdown dialog", "popup"}) {
            QTest::addRow("%s, INT_MIN", dialog) << dialog << INT_MIN;
            QTest::addRow("%s, INT_MAX", dialog) << dialog << INT_MAX;
        }
    }

    void countdownExtremes()
    {
        QFETCH(QString, dialog);
        QFETCH(int, countdown);
        // INT_MAX counts down; INT_MIN cannot go lower.
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
                    click(box, QStringLiteral("确定(%1s)").arg(next));
            });
            const auto result = CMessageBox::information(nullptr, nullptr, QStringLiteral("倒计时"),
                                                         QStringLiteral("极值"), QMessageBox::Ok,
                                                         QMessageBox::Ok, false, countdown);
            QCOMPARE(texts, (QStringList{QStringLiteral("确定(%1s)").arg(number),
                                         QStringLiteral("确定(%1s)").arg(next)}));
            QCOMPARE(int(result), countdown < 0 ? 1 : int(QMessageBox::Ok));
        } else if (dialog == QLatin1String("countdown dialog")) {
            CountDown box(nullptr, QMessageBox::Information, QStringLiteral("倒计时"),
                          QStringLiteral("系统将在"), countdown, QStringLiteral("秒后重启"),
                          CountDownPlain, false, QStringLiteral("立即"), QString(), QString());
            box.setAttribute(Qt::WA_DeleteOnClose, false);
            box.show();
            auto* digits = child<CSimpleTextWidget>(&box, "countdownText");
            QCOMPARE(digits->getText(), number);
            box.slot_MessageTimeout();
            // The dialog stays open and the digits stay on one line.
            QCOMPARE(QString::number(box.secondsLeft) + ' ' + digits->getText(), next + ' ' + next);
            QVERIFY(box.isVisible());
            QVERIFY(digits->width() >= qMin(digits->sizeHint().width(), 700) - 1);
            box.grab();
            click(&box, QStringLiteral("立即"));
            QVERIFY(!box.isVisible());
        } else {
            CGlobalMessageDialog::showSingleMessage(QStringLiteral("通知"), QStringLiteral("内容"),
                                                    countdown, 1, false, nullptr, false, false,
                                                    true, false);
            auto* line = child<CSimpleTextWidget>(popup(), "countdownText");
            const QString suffix = QStringLiteral("秒后本消息自动关闭");
            // A negative countdown hides the line and stops the timer.
            QCOMPARE(child<QTimer>(popup(), "countdownTimer")->isActive(), countdown > 0);
            QCOMPARE(line->isHidden(), countdown < 0);
            QVERIFY(line->geometry().right() <= popup()->width());
            stepPopup();
            stepPopup();
            QVERIFY(popup()->isVisible());
            if (countdown > 0)
                QCOMPARE(line->getText(), QString::number(countdown - 2) + suffix);
            popup()->grab();
        }
    }

    void everyDialogOpens_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("halfTheme");
        for (const char* dialog :
             {"message box", "countdown dialog", "popup", "multi-message", "change password",
              "version check", "simple input", "user agreement", "viewer", "float button"}) {
            QTest::addRow("%s, default theme", dialog) << dialog << false;
            QTest::addRow("%s, half the theme", dialog) << dialog << true;
        }
    }

    // Every dialog runs with null parents, styles and callbacks and empty texts, also with half
    // the theme's keys gone (the look-ups fall back): it opens, paints and does its job.
    void everyDialogOpens()
    {
        QFETCH(QString, dialog);
        QFETCH(bool, halfTheme);
        QTemporaryDir folder;
        const int all = theme()->keys().size();
        if (halfTheme) {
            QFile file(folder.filePath(QStringLiteral("half.json")));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(halfOfDefaultTheme()) > 0);
            file.close();
            theme()->clear();
            QString error;
            QVERIFY2(theme()->loadTheme(file.fileName(), &error), qPrintable(error));
            QCOMPARE(theme()->keys().size(), (all + 1) / 2);
        }
        const int kept = theme()->keys().size();

        std::unique_ptr<QWidget> window;
        if (dialog == QLatin1String("message box")) {
            testsupport::whenModal([](QWidget* box) {
                box->grab();
                click(box, QStringLiteral("否"));
            });
            QCOMPARE(
                CMessageBox::questionWithDetail(nullptr, nullptr, QString(), QString(), QString()),
                QMessageBox::No);
        } else if (dialog == QLatin1String("countdown dialog")) {
            testsupport::whenModal([&](QWidget* box) {
                box->grab();
                click(box, QStringLiteral("稍后"));
            });
            QCOMPARE(CCountDownDialog::getChooseResult(nullptr, nullptr, QString(), QString(), 30,
                                                       QString(), CountDownWithRestartLink, true,
                                                       QStringLiteral("立即"),
                                                       QStringLiteral("稍后")),
                     2);
        } else if (dialog == QLatin1String("popup")) {
            CGlobalMessageDialog::showSingleMessage(QString(), QStringLiteral("内容"), 5, 1, true,
                                                    nullptr, true, true, true, true);
            QVERIFY(popup()->isVisible() && !popup()->parentWidget());
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
        } else if (dialog == QLatin1String("change password"))
            window.reset(new CChangePasswordDialog(0, QString(), QString(), QString(), nullptr));
        else if (dialog == QLatin1String("version check"))
            window.reset(new CCheckVersionDialog(QString(), QString(), QString(), nullptr));
        else if (dialog == QLatin1String("simple input"))
            window.reset(new CSimpleInputDialog(QString(), QString(), nullptr));
        else if (dialog == QLatin1String("user agreement"))
            window.reset(new CUserAgreementDialog(QString(), QString(), QString(), nullptr));
        else if (dialog == QLatin1String("viewer"))
            window.reset(new CViewVariableDialog(nullptr));
        else {
            window.reset(new CFloatButton("img_float_button_bg", 3, 2, 2, 2, 2, nullptr));
            CFloatButton bare(nullptr, 3, 0, 0, 0, 0); // no image: nothing to show, no crash
            bare.show();
            bare.grab();
        }
        if (window) {
            window->setAttribute(Qt::WA_DeleteOnClose, false);
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            QVERIFY(!window->size().isEmpty());
            window->grab();
            window->close();
            // Modal runs with empty callbacks end without calling them.
            auto* input = dynamic_cast<CSimpleInputDialog*>(window.get());
            auto* agreement = dynamic_cast<CUserAgreementDialog*>(window.get());
            if (input || agreement)
                testsupport::whenModal([](QWidget* box) { box->close(); });
            if (input)
                QCOMPARE(input->getInput(boost::function<void(QString)>()), 0);
            if (agreement)
                QCOMPARE(agreement->display(boost::function<void(bool, bool)>()), 0);
        }
        QCOMPARE(theme()->keys().size(), kept); // the fallbacks add no keys
    }

    // The running countdown dies with its popup's owner: no tick reaches a dead object, and the
    // next message shows on a new popup.
    void popupParentDestroyedMidCountdown()
    {
        auto* owner = new QWidget;
        CGlobalMessageDialog::showSingleMessage(QStringLiteral("A"), QStringLiteral("a"), 3, 1,
                                                false, owner, false, false, false, false);
        QPointer<CGlobalMessageDialog> first(popup());
        QVERIFY(child<QTimer>(first, "countdownTimer")->isActive());
        delete owner;
        QVERIFY(first.isNull());
        QTest::qWait(0);
        CGlobalMessageDialog::showSingleMessage(QStringLiteral("B"), QStringLiteral("b"), 2, 2,
                                                false, nullptr, false, false, true, false);
        QVERIFY(popup()->isVisible());
        QCOMPARE(child<CSimpleTextWidget>(popup(), "titleText")->getText(), QStringLiteral("B"));
    }

    // Boxes opened one inside the other, from the countdown dialog's modal loop: each returns its
    // own answer, the counts of shown boxes go back to zero and the countdown dialog answers last.
    void messageBoxesInsideCountdownLoop()
    {
        QList<int> answers;
        QStringList counts; // "message boxes/countdown dialogs" shown
        const auto count = [&] {
            counts << QString("%1/%2").arg(BoxCount::s_nActive).arg(CountDown::s_nActive);
        };
        testsupport::whenModal([&](QWidget* countdown) {
            count();
            testsupport::whenModal([&](QWidget* first) {
                count();
                testsupport::whenModal([&](QWidget* second) {
                    count();
                    click(second, QStringLiteral("否"));
                });
                answers << CMessageBox::question(nullptr, nullptr, QStringLiteral("第二个"),
                                                 QStringLiteral("继续？"));
                click(first, QStringLiteral("确定"));
            });
            answers << CMessageBox::warning(nullptr, countdown, QStringLiteral("第一个"),
                                            QStringLiteral("注意"));
            QVERIFY(countdown->isVisible());
            click(countdown, QStringLiteral("立即"));
        });
        answers << CCountDownDialog::getChooseResult(
            nullptr, nullptr, QStringLiteral("重启"), QStringLiteral("系统将在"), 60,
            QStringLiteral("秒后重启"), CountDownPlain, false, QStringLiteral("立即"),
            QStringLiteral("稍后"));
        count();
        QCOMPARE(answers, (QList<int>{QMessageBox::No, QMessageBox::Ok, 1}));
        QCOMPARE(counts, QStringList({"0/1", "1/1", "2/1", "0/0"}));
        QVERIFY(!QApplication::activeModalWidget());
    }

    // The countdown dialog's clock runs out while a message box opened from it waits: the
    // dialog closes underneath, and both answers arrive once the box is answered.
    void countdownRunsOutUnderMessageBox()
    {
        QList<int> answers;
        bool hiddenUnderBox = false;
        testsupport::whenModal([&](QWidget* countdown) {
            QPointer<QWidget> guard(countdown);
            testsupport::whenModal([&, guard](QWidget* box) {
                QVERIFY(QMetaObject::invokeMethod(guard.data(), "slot_MessageTimeout",
                                                  Qt::DirectConnection)); // the last second
                hiddenUnderBox = guard && !guard->isVisible();
                click(box, QStringLiteral("确定"));
            });
            answers << CMessageBox::information(nullptr, countdown, QStringLiteral("提示"),
                                                QStringLiteral("稍候"));
        });
        answers << CCountDownDialog::getChooseResult(
            nullptr, nullptr, QStringLiteral("重启"), QStringLiteral("系统将在"), 1,
            QStringLiteral("秒后重启"), CountDownPlain, false, QStringLiteral("立即"));
        QCOMPARE(answers, (QList<int>{QMessageBox::Ok, 0}));
        QVERIFY(hiddenUnderBox);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
