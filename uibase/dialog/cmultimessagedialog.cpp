#include "uibase/dialog/cmultimessagedialog.h"

#include "uibase/dialog/platformvalues_p.h"

#include <QAccessible>
#include <QTimer>

namespace Omra {

namespace {

constexpr int maxTextWidth = 700;
constexpr int minDialogWidth = 350;
constexpr int minDialogHeight = 150;
constexpr int textOffset = 20;

// Margins of the widget list that make its own arrangement land on the geometry
// resetSizeAndLayout computes: the text 20 pixels in from the list's left edge and 20 below
// its top (the leading fixed space), the OK button 40 pixels in from the dialog's right edge
// and 15 above the list's bottom. The list sits 13 pixels inside the dialog at the sides
// and 13 above its bottom.
constexpr int listMarginLeft = 20;
constexpr int listMarginTop = 0;
constexpr int listMarginRight = 14;
constexpr int listMarginBottom = 15;

} // namespace

CMultiMessageDialog::CMultiMessageDialog(QWidget* parent) : CCommonDialog(parent)
{
    createUi();
    setTitle(QStringLiteral("提示"));

    messageTimer = new QTimer(this);
    messageTimer->setObjectName(QStringLiteral("messageTimer"));
    connect(messageTimer, &QTimer::timeout, this, &CMultiMessageDialog::slotTimeOut);
    messageTimer->setInterval(1000);
}

CMultiMessageDialog::~CMultiMessageDialog()
{
    pendingMessages.clear();
}

void CMultiMessageDialog::createUi()
{
    auto* list = new CWidgetList(Qt::Vertical, this);
    list->setObjectName(QStringLiteral("widgetList"));
    list->setMargin(listMarginLeft, listMarginTop, listMarginRight, listMarginBottom);
    list->addFixedSpace(textOffset);

    messageText = new CSimpleTextWidget(false, -1, QString(), this);
    messageText->setObjectName(QStringLiteral("messageText"));
    messageText->setFontKey(QStringLiteral("fnt_default_normal_fix"));
    messageText->setFlag(0x1001);
    messageText->setText(QString(), 10);
    list->addFixedWidget(messageText, ui::anchorLeading, false);

    list->addStretchSpace(1);

    okButton = new CSmallNormalButton(0, false, ui::emphasisButton, list);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setText(QStringLiteral("确定"));
    list->addFixedWidget(okButton, ui::anchorTrailing, false);

    setInnerWidget(list);
    resetSizeAndLayout();
}

void CMultiMessageDialog::resetSizeAndLayout()
{
    const int w = qMin(messageText->sizeHint().width(), maxTextWidth);
    const int h = messageText->heightForWidth(w);
    const int bw = okButton->width();
    const int bh = okButton->height();

    const int dialogWidth = qMax(qMax(w, bw) + 60, minDialogWidth);
    const int dialogHeight = qMax(bh + 110 + h, minDialogHeight);
    setFixedSize(dialogWidth, dialogHeight);

    messageText->setGeometry(textOffset, textOffset, w, h);

    // The list fills the client area. It is placed now, not only at the next resize, so that
    // the geometry is right before the dialog is first shown.
    const int listHeight = dialogHeight - innerTop - innerBottom;
    if (innerWidget)
        innerWidget->setGeometry(innerLeft, innerTop, dialogWidth - innerLeft - innerRight,
                                 listHeight);
    // The list keeps the button on its bottom edge whenever it arranges its entries. That is
    // the text's height + 40 down, unless the minimum height leaves room to spare; then the
    // button goes to the bottom here too, so that no later resize moves it.
    okButton->move(dialogWidth - bw - 40,
                   qMax(messageText->height() + 40, listHeight - listMarginBottom - bh));
}

void CMultiMessageDialog::updateMessage(const QString& message)
{
    if (!pendingMessages.isEmpty() && pendingMessages.last() == message)
        return;
    pendingMessages.enqueue(message);
    if (pendingMessages.size() == 1)
        messageTimer->start(1000);
}

void CMultiMessageDialog::setMessageTitle(const QString& title)
{
    setTitle(title);
}

void CMultiMessageDialog::slotTimeOut()
{
    if (pendingMessages.isEmpty())
        return;
    if (isHidden())
        show();
    messageText->setText(pendingMessages.dequeue(), 100000);
    resetSizeAndLayout();
    // Each line is announced, also when the dialog was already open.
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    if (pendingMessages.isEmpty())
        messageTimer->stop();
}

bool CMultiMessageDialog::handleEvent(int type, int id, int param, QString text, void* data)
{
    // The OK button and the frame's close button alike only hide the dialog; messages still
    // waiting bring it back.
    if (type == ui::eventClick) {
        hide();
        return true;
    }
    return CBaseDialog::handleEvent(type, id, param, text, data);
}

} // namespace Omra
