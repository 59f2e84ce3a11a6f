#include "uibase/dialog/cglobalmessagedialog.h"

#include "uibase/dialog/platformvalues_p.h"
#include "uibase/dialog/windowplacement_p.h"

#include <QAccessible>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimer>

#include <QUrl>
#include <limits>

namespace Omra {

namespace {

// Ids of the popup's own controls; buttons and check boxes share 0 and 1, the event type
// tells them apart.
constexpr int detailsButtonId = 0;
constexpr int renewButtonId = 1;
constexpr int dontRemindId = 0;
constexpr int dontRemindTodayId = 1;

constexpr int oneLine = 100000;
constexpr int anchorGapX = 20;
constexpr int anchorGapY = 40;
constexpr int bottomBandHeight = 30;
constexpr int detailsButtonY = 82;

QString countdownLine(int seconds)
{
    return QString::number(seconds) + QStringLiteral("秒后本消息自动关闭");
}

CUiResource* theme()
{
    return utils::CSingletonT<CUiResource>::instance();
}

} // namespace

QPointer<CGlobalMessageDialog> CGlobalMessageDialog::singleInstance;
QPoint CGlobalMessageDialog::rightBottomPoint(0, 0);
QString CGlobalMessageDialog::purchasePageUrl;
bool CGlobalMessageDialog::replaceable = true;
bool CGlobalMessageDialog::detailsEnabled = false;
bool CGlobalMessageDialog::renewEnabled = false;

CGlobalMessageDialog::CGlobalMessageDialog(QWidget* parent, int initialTick)
    : CCustomDialog(12, 30, "img_custom_dialog_bg", 16, 41, 43, 47, parent), tick(initialTick),
      messageId(-1)
{
    closeButton = new CPushButton(QStringLiteral("img_sys_btn_exit"), ui::idClose, this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setAccessibleName(QStringLiteral("关闭"));

    loudspeakerImage = new CImageWidget(0, QStringLiteral("img_global_msg_loudspeaker"), this);
    loudspeakerImage->setObjectName(QStringLiteral("loudspeakerImage"));

    detailsButton = new CSmallNoNormalButton(detailsButtonId, false, this, false);
    detailsButton->setObjectName(QStringLiteral("detailsButton"));
    detailsButton->setText(QStringLiteral("详情!"));
    detailsButton->setFixedSize(30, 20);
    detailsButton->hide();

    renewButton = new CSmallNormalButton(renewButtonId, true, ui::emphasisButton, this);
    renewButton->setObjectName(QStringLiteral("renewButton"));
    renewButton->setText(QStringLiteral("点击续费"));
    renewButton->setFixedSize(60, 24);
    renewButton->hide();

    titleText = new CSimpleTextWidget(QStringLiteral(" "), this);
    titleText->setObjectName(QStringLiteral("titleText"));
    titleText->setColorKey(QStringLiteral("clr_global_mesage_title"));
    titleText->setFontKey(QStringLiteral("fnt_global_msg_title"));
    titleText->resize(titleText->sizeHint());

    contentText = new CSimpleTextWidget(QString(), this);
    contentText->setObjectName(QStringLiteral("contentText"));
    contentText->setColorKey(QStringLiteral("clr_global_mesage_text"));
    contentText->setFontKey(QStringLiteral("fnt_global_msg_content"));
    contentText->setFlag(0x181);
    contentText->setLineSpace(
        theme()->getSize(QStringLiteral("siz_global_msg_dlg_content_margin_y_space")));

    countdownText = new CSimpleTextWidget(tick >= 0 ? countdownLine(tick) : QString(), this);
    countdownText->setObjectName(QStringLiteral("countdownText"));
    countdownText->setColorKey(QStringLiteral("clr_global_mesage_text"));
    countdownText->setFontKey(QStringLiteral("fnt_global_msg_content"));
    countdownText->resize(countdownText->sizeHint());

    dontRemindCheckBox = new CCheckBox(dontRemindId, QStringLiteral("不再提示"), this);
    dontRemindCheckBox->setObjectName(QStringLiteral("dontRemindCheckBox"));
    dontRemindCheckBox->setTextColorKey(QStringLiteral("clr_global_mesage_text"));
    dontRemindCheckBox->setFixedSize(70, 15);

    dontRemindTodayCheckBox =
        new CCheckBox(dontRemindTodayId, QStringLiteral("今日不再提示"), this);
    dontRemindTodayCheckBox->setObjectName(QStringLiteral("dontRemindTodayCheckBox"));
    dontRemindTodayCheckBox->setTextColorKey(QStringLiteral("clr_global_mesage_text"));
    dontRemindTodayCheckBox->setFixedSize(110, 15);

    setAutoActivate(false);

    countdownTimer = new QTimer(this);
    countdownTimer->setObjectName(QStringLiteral("countdownTimer"));
    connect(countdownTimer, &QTimer::timeout, this, &CGlobalMessageDialog::slotTimeout);

    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setWindowFlags(windowFlags() & ~Qt::WindowStaysOnTopHint);
    detail::floatOverParent(this);
    // The popup is hidden and shown again for every message; it must never be deleted by a
    // close, and closing a notification must not end the application.
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_QuitOnClose, false);

    setFixedSize(theme()->getSize(QStringLiteral("siz_global_msg_dlg_width")),
                 theme()->getSize(QStringLiteral("siz_global_msg_dlg_height")));
    resetLayout(size());
}

CGlobalMessageDialog::~CGlobalMessageDialog()
{
    // A popup that dies with its parent takes its message along: the next message must not
    // stay blocked by a gate that only this popup could have opened again.
    if (singleInstance == this) {
        singleInstance = nullptr;
        replaceable = true;
    }
}

CGlobalMessageDialog* CGlobalMessageDialog::instance(QWidget* parent)
{
    if (!singleInstance)
        singleInstance = new CGlobalMessageDialog(parent, -1);
    return singleInstance;
}

void CGlobalMessageDialog::showSingleMessage(const QString& title, const QString& content, int tick,
                                             int messageId, bool showDontRemind, QWidget* parent,
                                             bool showDetails, bool showDontRemindToday,
                                             bool canReplace, bool showRenew)
{
    if (!singleInstance)
        singleInstance = new CGlobalMessageDialog(parent, tick);
    if (!replaceable)
        return;

    replaceable = canReplace;
    renewEnabled = showRenew;
    detailsEnabled = showDetails;

    CGlobalMessageDialog* popup = singleInstance;
    popup->setTick(tick);
    popup->messageId = messageId;
    popup->dontRemindCheckBox->setVisible(showDontRemind);
    popup->dontRemindTodayCheckBox->setVisible(showDontRemindToday);
    popup->setTitle(title);
    popup->setContent(content);
    popup->setShowMessage(false);

    popup->move(rightBottomPoint.x() - anchorGapX - popup->width(),
                rightBottomPoint.y() - anchorGapY - popup->height());

    popup->setAutoActivate(false);
    if (popup->isHidden())
        popup->show();
    // Shown without the focus, so screen readers are told about every new message.
    QAccessibleEvent alert(popup, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    if (popup->tick > 0)
        popup->countdownTimer->start(1000);
}

void CGlobalMessageDialog::closeMessage()
{
    if (!singleInstance)
        return;
    replaceable = true;
    singleInstance->tick = -1;
    singleInstance->close();
}

void CGlobalMessageDialog::setRightBottom(QPoint point)
{
    rightBottomPoint = point;
}

void CGlobalMessageDialog::setPurchasePage(QString url)
{
    purchasePageUrl = url;
}

void CGlobalMessageDialog::setMessageId(int id)
{
    messageId = id;
}

void CGlobalMessageDialog::setShowDontRemind(bool showDontRemind, bool showDontRemindToday)
{
    dontRemindCheckBox->setVisible(showDontRemind);
    dontRemindTodayCheckBox->setVisible(showDontRemindToday);
}

void CGlobalMessageDialog::setTitle(QString title)
{
    titleText->setText(title, oneLine);
    setAccessibleName(title);
    // The title keeps its natural size; the layout only places it.
    titleText->resize(titleText->sizeHint());
    resetLayout(size());
}

void CGlobalMessageDialog::setContent(QString content)
{
    // Without a countdown line the message may use one more line.
    contentText->setText(content, tick < 0 ? 5 : 4);
    contentText->setTextLineHeight(15);
    resetLayout(size());
}

void CGlobalMessageDialog::setTick(int newTick)
{
    countdownTimer->stop();
    tick = newTick;
    if (tick < 0) {
        countdownText->hide();
        return;
    }
    countdownText->show();
    showCountdown(tick);
}

void CGlobalMessageDialog::showCountdown(int seconds)
{
    countdownText->setText(countdownLine(seconds), oneLine);
    // Right-aligned by the layout, so its width must follow the number of digits.
    countdownText->resize(countdownText->sizeHint());
}

void CGlobalMessageDialog::setShowMessage(bool checked)
{
    dontRemindCheckBox->setChecked(checked);
    dontRemindTodayCheckBox->setChecked(checked);
}

void CGlobalMessageDialog::slotTimeout()
{
    if (tick == -1 || tick == std::numeric_limits<int>::min())
        return;
    --tick;
    if (tick == 0) {
        replaceable = true;
        close();
        return;
    }
    // Past zero the popup is already closed; it keeps counting down to -1 and then rests.
    if (tick > 0)
        showCountdown(tick);
    resetLayout(size());
}

void CGlobalMessageDialog::resetLayout(QSize size)
{
    const int W = size.width();
    const int H = size.height();
    const int M = frameMargin;
    const int T = titleBarHeight;

    closeButton->move(W - M - closeButton->width(), M);
    loudspeakerImage->move(M + 5, M + (T - loudspeakerImage->height()) / 2);
    titleText->move(M + 5 + loudspeakerImage->width() + 5, M + (T - titleText->height()) / 2);

    const int contentWidth = W - 2 * M - 10;
    contentText->setGeometry(M + 5, M + T + 5, contentWidth,
                             contentText->heightForWidth(contentWidth));

    const int bandTop = H - M - bottomBandHeight;
    countdownText->move(W - M - 5 - countdownText->width(),
                        bandTop + (bottomBandHeight - countdownText->height()) / 2);
    dontRemindCheckBox->move(M + 5,
                             bandTop + (bottomBandHeight - dontRemindCheckBox->height()) / 2);
    dontRemindTodayCheckBox->move(
        M + 5, bandTop + (bottomBandHeight - dontRemindTodayCheckBox->height()) / 2);

    if (detailsEnabled) {
        detailsButton->show();
        detailsButton->move(M + 5, detailsButtonY);
    } else {
        detailsButton->hide();
    }
    if (renewEnabled) {
        renewButton->show();
        renewButton->move(W - M - 5 - renewButton->width(),
                          countdownText->y() - renewButton->height() - 5);
    } else {
        renewButton->hide();
    }
}

bool CGlobalMessageDialog::handleEvent(int type, int id, int param, QString text, void* data)
{
    if (type == ui::eventClick) {
        if (id == ui::idClose) {
            replaceable = true;
            if (singleInstance)
                singleInstance->close();
            // A popup built outside instance() still closes itself.
            if (singleInstance != this)
                close();
        } else if (id == detailsButtonId) {
            if (detailsEnabled)
                emit sigShowRCWidget();
        } else if (id == renewButtonId) {
            QDesktopServices::openUrl(QUrl(purchasePageUrl, QUrl::TolerantMode));
        }
        return true;
    }
    if (type == ui::eventCheckToggled) {
        if (id == dontRemindId)
            emit sigSetShowMessage(!dontRemindCheckBox->isChecked(), titleText->getText());
        else if (id == dontRemindTodayId)
            emit sigSetShowMessageToday(dontRemindTodayCheckBox->isChecked(), titleText->getText());
        return true;
    }
    return CBaseDialog::handleEvent(type, id, param, text, data);
}

void CGlobalMessageDialog::keyPressEvent(QKeyEvent* event)
{
    // Once the user has activated the popup, Esc dismisses it as its close button does;
    // a plain reject would hide it and leave a blocking message blocking.
    if (event->key() == Qt::Key_Escape && closeButton && closeButton->isEnabled()) {
        handleEvent(ui::eventClick, ui::idClose, 0, QString(), closeButton);
        return;
    }
    CCustomDialog::keyPressEvent(event);
}

void CGlobalMessageDialog::mousePressEvent(QMouseEvent* event)
{
    if (messageId != -1)
        emit sigShowMessage(messageId);
    CCustomDialog::mousePressEvent(event);
}

void CGlobalMessageDialog::mouseMoveEvent(QMouseEvent* event)
{
    setCursor(Qt::PointingHandCursor);
    CCustomDialog::mouseMoveEvent(event);
}

void CGlobalMessageDialog::enterEvent(EnterEvent* event)
{
    setCursor(Qt::PointingHandCursor);
    QWidget::enterEvent(event);
}

void CGlobalMessageDialog::leaveEvent(QEvent* event)
{
    setCursor(Qt::ArrowCursor);
    QWidget::leaveEvent(event);
}

void CGlobalMessageDialog::resizeEvent(QResizeEvent* event)
{
    resetLayout(event->size());
}

void CGlobalMessageDialog::showEvent(QShowEvent* event)
{
    CBaseDialog::showEvent(event);
}

void CGlobalMessageDialog::hideEvent(QHideEvent*)
{
    // Closing only hides the reused popup; there is nothing to tear down.
}

} // namespace Omra
