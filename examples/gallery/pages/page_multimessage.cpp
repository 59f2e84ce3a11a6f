#include "gallery.h"

#include "uibase/dialog/cmultimessagedialog.h"

#include <QPointer>
#include <QWidget>

namespace {

using Omra::CMultiMessageDialog;

const QString shortText = QStringLiteral("委托已成交：买入 600000 浦发银行 1000股，成交价 7.85。");

QString veryLongText()
{
    QString text;
    for (int i = 1; i <= 9; ++i)
        text += QStringLiteral("第%1笔：委托编号 20240%1 已全部成交，成交数量 500 股，"
                               "成交均价 12.3%1 元。")
                    .arg(i);
    return text;
}

// A dialog for a screenshot: the message is queued and the next tick is run at once.
QWidget* makeDialog(const QString& message)
{
    auto* dialog = new CMultiMessageDialog;
    dialog->setMessageTitle(QStringLiteral("成交回报"));
    dialog->updateMessage(message);
    QMetaObject::invokeMethod(dialog, "slotTimeOut", Qt::DirectConnection);
    return dialog;
}

// One dialog for the demos, owned by the gallery window.
CMultiMessageDialog* demoDialog(QWidget* gallery)
{
    static QPointer<CMultiMessageDialog> dialog;
    if (!dialog) {
        dialog = new CMultiMessageDialog(gallery);
        dialog->setMessageTitle(QStringLiteral("成交回报"));
    }
    return dialog;
}

gallery::Page multiMessagePage()
{
    gallery::Page page;
    page.title = QStringLiteral("Multi-message dialog");
    page.description = QStringLiteral(
        "CMultiMessageDialog: queued messages are shown one per second, each resizing the dialog "
        "(text at most 700 pixels wide, dialog at least 350 x 150). A repeat of the last queued "
        "message is dropped. OK or close hides it; messages still waiting bring it back.");

    page.shots << gallery::Shot{QStringLiteral("multimessage-short"),
                                [] { return makeDialog(QStringLiteral("委托已提交。")); },
                                {}};
    page.shots << gallery::Shot{
        QStringLiteral("multimessage-one-line"), [] { return makeDialog(shortText); }, {}};
    page.shots << gallery::Shot{
        QStringLiteral("multimessage-very-long"), [] { return makeDialog(veryLongText()); }, {}};

    page.demos << gallery::Demo{
        QStringLiteral("Queue five messages (one is a repeat)"), [](QWidget* g) {
            CMultiMessageDialog* d = demoDialog(g);
            d->updateMessage(QStringLiteral("委托已提交。"));
            d->updateMessage(QStringLiteral("委托已提交。")); // dropped
            d->updateMessage(shortText);
            d->updateMessage(QStringLiteral("撤单成功：委托编号 2024001。"));
            d->updateMessage(QStringLiteral("资金划转完成：转入 50,000.00 元。"));
            d->updateMessage(QStringLiteral("今日交易已结束，感谢使用。"));
        }};
    page.demos << gallery::Demo{QStringLiteral("Queue a very long message"),
                                [](QWidget* g) { demoDialog(g)->updateMessage(veryLongText()); }};
    return page;
}

} // namespace

GALLERY_PAGE(multiMessagePage)
