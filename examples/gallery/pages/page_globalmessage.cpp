#include "gallery.h"

#include "uibase/dialog/cglobalmessagedialog.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <cstdio>

namespace {

using Omra::CGlobalMessageDialog;

struct Message
{
    QString title;
    QString content;
    int tick = -1;
    bool dontRemind = false;
    bool dontRemindToday = false;
    bool details = false;
    bool renew = false;
    bool replaceable = true;
};

void showMessage(const Message& m, QWidget* parent)
{
    CGlobalMessageDialog::showSingleMessage(m.title, m.content, m.tick, 1, m.dontRemind, parent,
                                            m.details, m.dontRemindToday, m.replaceable, m.renew);
}

// A popup for a screenshot: the gate is opened first, so the message always shows.
QWidget* makePopup(const Message& m)
{
    CGlobalMessageDialog::closeMessage();
    showMessage(m, nullptr);
    return CGlobalMessageDialog::instance(nullptr);
}

void clickChild(QWidget* window, const char* name)
{
    if (auto* box = window->findChild<QAbstractButton*>(QLatin1String(name)))
        box->click();
}

const QString expiryText =
    QStringLiteral("您订阅的Level-2行情将于3天后到期，\n到期后将无法查看十档行情。");
const QString longText =
    QStringLiteral("系统将于今晚22:00至次日02:00进行升级维护，期间暂停交易与行情服务。\n"
                   "请提前做好持仓安排，未成交的委托将在维护开始前全部撤销。\n"
                   "维护结束后请重新登录，并检查条件单与止损单的状态是否正确。\n"
                   "如有疑问请致电客服热线，或在交易终端内提交工单，我们将尽快为您处理。\n"
                   "感谢您的理解与支持。\n"
                   "（本行超出五行，不会显示）");

// Tells the console what the user did with the popup, once per popup.
void reportSignals(CGlobalMessageDialog* popup)
{
    static QPointer<CGlobalMessageDialog> wired;
    if (!popup || wired == popup)
        return;
    wired = popup;
    QObject::connect(popup, &CGlobalMessageDialog::sigShowMessage, popup, [](int id) {
        std::printf("sigShowMessage(%d)\n", id);
        std::fflush(stdout);
    });
    QObject::connect(popup, &CGlobalMessageDialog::sigSetShowMessage, popup,
                     [](bool check, const QString& title) {
                         std::printf("sigSetShowMessage(%s, %s)\n", check ? "true" : "false",
                                     qPrintable(title));
                         std::fflush(stdout);
                     });
    QObject::connect(popup, &CGlobalMessageDialog::sigSetShowMessageToday, popup,
                     [](bool check, const QString& title) {
                         std::printf("sigSetShowMessageToday(%s, %s)\n", check ? "true" : "false",
                                     qPrintable(title));
                         std::fflush(stdout);
                     });
    QObject::connect(popup, &CGlobalMessageDialog::sigShowRCWidget, popup, [] {
        std::printf("sigShowRCWidget()\n");
        std::fflush(stdout);
    });
}

void demo(QWidget* gallery, const Message& m, bool atScreenCorner = false)
{
    QPoint anchor = gallery->frameGeometry().bottomRight() + QPoint(1, 1);
    if (atScreenCorner) {
        const QScreen* screen =
            gallery->screen() ? gallery->screen() : QGuiApplication::primaryScreen();
        if (screen)
            anchor = screen->availableGeometry().bottomRight() + QPoint(1, 1);
    }
    CGlobalMessageDialog::setRightBottom(anchor);
    CGlobalMessageDialog::setPurchasePage(
        QStringLiteral("https://www.example.com/renew?plan=level2"));
    showMessage(m, gallery);
    reportSignals(CGlobalMessageDialog::instance(gallery));
}

gallery::Page globalMessagePage()
{
    gallery::Page page;
    page.title = QStringLiteral("Global message popup");
    page.description = QStringLiteral(
        "CGlobalMessageDialog: one notification popup per process, placed 20 pixels left of and "
        "40 above a bottom-right anchor. Optional countdown, \"don't show again\" boxes, details "
        "and renew buttons. A non-replaceable message blocks later ones until it is closed. "
        "Signals are printed on the console.");

    Message countdown{QStringLiteral("行情提醒"), expiryText, 5};
    Message dontRemind{QStringLiteral("风险提示"),
                       QStringLiteral("您的账户保证金比例已低于150%，\n请及时追加保证金。")};
    dontRemind.dontRemind = true;
    Message today{QStringLiteral("公告"),
                  QStringLiteral("今日新股申购：泰和科技，申购代码 301xxx。")};
    today.dontRemindToday = true;
    today.tick = 30;
    Message buttons{QStringLiteral("权限即将到期"), expiryText, 30};
    buttons.details = true;
    buttons.renew = true;
    buttons.dontRemind = true;
    Message longMessage{QStringLiteral("系统维护通知"), longText};
    Message longCountdown{QStringLiteral("系统维护通知"), longText, 12};

    page.shots << gallery::Shot{QStringLiteral("globalmessage-countdown"),
                                [countdown] { return makePopup(countdown); },
                                {}};
    page.shots << gallery::Shot{QStringLiteral("globalmessage-dont-remind"),
                                [dontRemind] { return makePopup(dontRemind); },
                                [](QWidget* w) { clickChild(w, "dontRemindCheckBox"); }};
    page.shots << gallery::Shot{QStringLiteral("globalmessage-dont-remind-today"),
                                [today] { return makePopup(today); },
                                [](QWidget* w) { clickChild(w, "dontRemindTodayCheckBox"); }};
    page.shots << gallery::Shot{QStringLiteral("globalmessage-details-renew"),
                                [buttons] { return makePopup(buttons); },
                                {}};
    page.shots << gallery::Shot{
        QStringLiteral("globalmessage-long"), [longMessage] { return makePopup(longMessage); }, {}};
    page.shots << gallery::Shot{QStringLiteral("globalmessage-long-countdown"),
                                [longCountdown] { return makePopup(longCountdown); },
                                {}};

    page.demos << gallery::Demo{QStringLiteral("Popup at the gallery's corner, 10 s countdown"),
                                [](QWidget* g) {
                                    Message m{QStringLiteral("行情提醒"), expiryText, 10};
                                    m.dontRemind = true;
                                    demo(g, m);
                                }};
    page.demos << gallery::Demo{QStringLiteral("Popup at the screen's corner, no countdown"),
                                [](QWidget* g) {
                                    Message m{QStringLiteral("公告"), longText};
                                    m.dontRemindToday = true;
                                    demo(g, m, true);
                                }};
    page.demos << gallery::Demo{QStringLiteral("Details and renew buttons (renew opens a browser)"),
                                [buttons](QWidget* g) { demo(g, buttons); }};
    page.demos << gallery::Demo{
        QStringLiteral("Non-replaceable message (blocks the others)"), [](QWidget* g) {
            Message m{QStringLiteral("重要通知"),
                      QStringLiteral("本消息关闭前，其他消息不会显示。"), 15};
            m.replaceable = false;
            demo(g, m);
        }};
    page.demos << gallery::Demo{
        QStringLiteral("Try to replace the current message"), [](QWidget* g) {
            Message m{QStringLiteral("新消息"),
                      QStringLiteral("如果能看到本消息，说明上一条消息允许被替换。"), 5};
            demo(g, m);
        }};
    page.demos << gallery::Demo{QStringLiteral("Close the popup (closeMessage)"),
                                [](QWidget*) { CGlobalMessageDialog::closeMessage(); }};
    return page;
}

} // namespace

GALLERY_PAGE(globalMessagePage)
