#include "uibase/dialog/cmultimessagedialog.h"

#include "uibase/dialog/dialogparts_p.h"
#include "uibase/dialog/messageboxparts_p.h"
#include "uibase/dialog/platformvalues_p.h"

#include <QMargins>
#include <QTimer>

namespace Omra {

namespace {

using namespace detail;

constexpr int okButtonId = 0;
constexpr int minDialogHeight = 150;
// The text stands 20 pixels in from the widget list's left edge and 20 below its top (the
// list's leading fixed space). The dialog is 60 wider than the text or the button, whichever
// is wider, and 110 higher than the text and the button together. The OK button stands 40
// in from the dialog's right edge and 40 below the text's height.
constexpr int textOffset = 20;
constexpr QSize spaceAroundContent(60, 110);
constexpr QPoint okButtonOffset(40, 40);

// Margins of the widget list that make its own arrangement land on the geometry
// resetSizeAndLayout computes: the OK button 40 pixels in from the dialog's right edge and
// 15 above the list's bottom. The list sits 13 pixels inside the dialog at the sides and 13
// above its bottom.
constexpr QMargins listMargins(textOffset, 0, 14, 15);

} // namespace

CMultiMessageDialog::CMultiMessageDialog(QWidget* parent) : CCommonDialog(parent)
{
    createUi();
    setTitle(QStringLiteral("提示"));

    messageTimer = makeTickTimer(this, &CMultiMessageDialog::slotTimeOut, "messageTimer");
}

CMultiMessageDialog::~CMultiMessageDialog()
{
    pendingMessages.clear();
}

void CMultiMessageDialog::createUi()
{
    auto* list = new CWidgetList(Qt::Vertical, this);
    list->setObjectName(QStringLiteral("widgetList"));
    list->setMargin(listMargins.left(), listMargins.top(), listMargins.right(),
                    listMargins.bottom());
    list->addFixedSpace(textOffset);

    messageText = makeMessageText(this, "messageText", "fnt_default_normal_fix", QString());
    list->addFixedWidget(messageText, ui::anchorLeading, false);

    list->addStretchSpace(1);

    okButton = new CSmallNormalButton(okButtonId, false, ui::emphasisButton, list);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setText(QStringLiteral("确定"));
    list->addFixedWidget(okButton, ui::anchorTrailing, false);

    setInnerWidget(list);
    resetSizeAndLayout();
}

void CMultiMessageDialog::resetSizeAndLayout()
{
    const QSize textSize = cappedTextSize(messageText);
    const QSize buttonSize = okButton->size();

    const int dialogWidth =
        qMax(qMax(textSize.width(), buttonSize.width()) + spaceAroundContent.width(),
             minMessageDialogWidth);
    const int dialogHeight = qMax(
        buttonSize.height() + spaceAroundContent.height() + textSize.height(), minDialogHeight);
    setFixedSize(dialogWidth, dialogHeight);

    messageText->setGeometry(QRect(QPoint(textOffset, textOffset), textSize));

    // The list fills the client area. It is placed now, not only at the next resize, so that
    // the geometry is right before the dialog is first shown.
    const int listHeight = dialogHeight - innerTop - innerBottom;
    if (innerWidget)
        innerWidget->setGeometry(innerLeft, innerTop, dialogWidth - innerLeft - innerRight,
                                 listHeight);
    // The list keeps the button on its bottom edge whenever it arranges its entries. That is
    // below the text, unless the minimum height leaves room to spare; then the button goes
    // to the bottom here too, so that no later resize moves it.
    okButton->move(dialogWidth - buttonSize.width() - okButtonOffset.x(),
                   qMax(messageText->height() + okButtonOffset.y(),
                        listHeight - listMargins.bottom() - buttonSize.height()));
}

void CMultiMessageDialog::updateMessage(const QString& message)
{
    if (!pendingMessages.isEmpty() && pendingMessages.last() == message)
        return;
    pendingMessages.enqueue(message);
    if (pendingMessages.size() == 1)
        messageTimer->start();
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
    messageText->setText(pendingMessages.dequeue(), noLineLimit);
    resetSizeAndLayout();
    // Each line is announced, also when the dialog was already open.
    announceAlert(this);
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
