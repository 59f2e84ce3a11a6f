#include "uibase/dialog/cglobalmessagedialog.h"

#include "uibase/dialog/dialogparts_p.h"
#include "uibase/dialog/platformvalues_p.h"
#include "uibase/dialog/windowplacement_p.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimer>
#include <QUrl>

#include <limits>

namespace Omra {

namespace {

using namespace detail;

// Ids of the popup's own controls; buttons and check boxes share 0 and 1, the event type
// tells them apart.
enum ControlId {
    LoudspeakerId = 0,
    DetailsButtonId = 0,
    RenewButtonId = 1,
    DontRemindId = 0,
    DontRemindTodayId = 1,
};

constexpr QSize detailsButtonSize(30, 20);
constexpr QSize renewButtonSize(60, 24);
constexpr QSize dontRemindSize(70, 15);
constexpr QSize dontRemindTodaySize(110, 15);

// The message shows one line less while the countdown line takes the bottom band.
constexpr int contentLinesWithCountdown = 4;
constexpr int contentLinesWithoutCountdown = 5;
constexpr int contentLineHeight = 15;

// The popup's right edge ends this far left of the anchor, its bottom edge this far above it.
constexpr QPoint anchorGap(20, 40);

// Layout: everything stands `inset` inside the frame band and apart from its neighbours; the
// band at the bottom holds a check box at the left and the countdown line at the right.
constexpr int inset = 5;
constexpr int bottomBandHeight = 30;
constexpr int detailsButtonY = 82;

QString countdownLine(int seconds)
{
    return QString::number(seconds) + QStringLiteral("秒后本消息自动关闭");
}

} // namespace

QPointer<CGlobalMessageDialog> CGlobalMessageDialog::singleInstance;
QPoint CGlobalMessageDialog::rightBottomPoint(0, 0);
QString CGlobalMessageDialog::purchasePageUrl;
bool CGlobalMessageDialog::replaceable = true;
bool CGlobalMessageDialog::detailsEnabled = false;
bool CGlobalMessageDialog::renewEnabled = false;

CGlobalMessageDialog::CGlobalMessageDialog(QWidget* parent, int initialTick)
    : CCustomDialog(dialogFrame.margin, dialogFrame.titleBarHeight, dialogFrame.imageKey,
                    dialogFrame.imageLeft, dialogFrame.imageTop, dialogFrame.imageRight,
                    dialogFrame.imageBottom, parent),
      tick(initialTick), messageId(-1)
{
    closeButton = new CPushButton(QStringLiteral("img_sys_btn_exit"), ui::idClose, this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setAccessibleName(QStringLiteral("关闭"));

    loudspeakerImage =
        new CImageWidget(LoudspeakerId, QStringLiteral("img_global_msg_loudspeaker"), this);
    loudspeakerImage->setObjectName(QStringLiteral("loudspeakerImage"));

    detailsButton = new CSmallNoNormalButton(DetailsButtonId, false, this, false);
    detailsButton->setObjectName(QStringLiteral("detailsButton"));
    detailsButton->setText(QStringLiteral("详情!"));
    detailsButton->setFixedSize(detailsButtonSize);
    detailsButton->hide();

    renewButton = new CSmallNormalButton(RenewButtonId, true, ui::emphasisButton, this);
    renewButton->setObjectName(QStringLiteral("renewButton"));
    renewButton->setText(QStringLiteral("点击续费"));
    renewButton->setFixedSize(renewButtonSize);
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
    contentText->setFlag(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine);
    contentText->setLineSpace(
        theme()->getSize(QStringLiteral("siz_global_msg_dlg_content_margin_y_space")));

    countdownText = new CSimpleTextWidget(tick >= 0 ? countdownLine(tick) : QString(), this);
    countdownText->setObjectName(QStringLiteral("countdownText"));
    countdownText->setColorKey(QStringLiteral("clr_global_mesage_text"));
    countdownText->setFontKey(QStringLiteral("fnt_global_msg_content"));
    countdownText->resize(countdownText->sizeHint());

    dontRemindCheckBox = new CCheckBox(DontRemindId, QStringLiteral("不再提示"), this);
    dontRemindCheckBox->setObjectName(QStringLiteral("dontRemindCheckBox"));
    dontRemindCheckBox->setTextColorKey(QStringLiteral("clr_global_mesage_text"));
    dontRemindCheckBox->setFixedSize(dontRemindSize);

    dontRemindTodayCheckBox =
        new CCheckBox(DontRemindTodayId, QStringLiteral("今日不再提示"), this);
    dontRemindTodayCheckBox->setObjectName(QStringLiteral("dontRemindTodayCheckBox"));
    dontRemindTodayCheckBox->setTextColorKey(QStringLiteral("clr_global_mesage_text"));
    dontRemindTodayCheckBox->setFixedSize(dontRemindTodaySize);

    setAutoActivate(false);

    countdownTimer = makeTickTimer(this, &CGlobalMessageDialog::slotTimeout, "countdownTimer");

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

    popup->move(rightBottomPoint - anchorGap - QPoint(popup->width(), popup->height()));

    popup->setAutoActivate(false);
    if (popup->isHidden())
        popup->show();
    // Shown without the focus, so screen readers are told about every new message.
    announceAlert(popup);
    if (popup->tick > 0)
        popup->countdownTimer->start();
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
    titleText->setText(title, noLineLimit);
    setAccessibleName(title);
    // The title keeps its natural size; the layout only places it.
    titleText->resize(titleText->sizeHint());
    resetLayout(size());
}

void CGlobalMessageDialog::setContent(QString content)
{
    // Without a countdown line the message may use one more line.
    contentText->setText(content,
                         tick < 0 ? contentLinesWithoutCountdown : contentLinesWithCountdown);
    contentText->setTextLineHeight(contentLineHeight);
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
    countdownText->setText(countdownLine(seconds), noLineLimit);
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
    const int left = frameMargin + inset;
    const int right = size.width() - frameMargin - inset;
    const auto inTitleBar = [this](const QWidget* widget) {
        return frameMargin + (titleBarHeight - widget->height()) / 2;
    };
    const int bandTop = size.height() - frameMargin - bottomBandHeight;
    const auto inBottomBand = [bandTop](const QWidget* widget) {
        return bandTop + (bottomBandHeight - widget->height()) / 2;
    };

    closeButton->move(size.width() - frameMargin - closeButton->width(), frameMargin);
    loudspeakerImage->move(left, inTitleBar(loudspeakerImage));
    titleText->move(left + loudspeakerImage->width() + inset, inTitleBar(titleText));

    const int contentWidth = right - left;
    contentText->setGeometry(left, frameMargin + titleBarHeight + inset, contentWidth,
                             contentText->heightForWidth(contentWidth));

    countdownText->move(right - countdownText->width(), inBottomBand(countdownText));
    // Both boxes share one place; a caller shows one of them.
    dontRemindCheckBox->move(left, inBottomBand(dontRemindCheckBox));
    dontRemindTodayCheckBox->move(left, inBottomBand(dontRemindTodayCheckBox));

    detailsButton->setVisible(detailsEnabled);
    if (detailsEnabled)
        detailsButton->move(left, detailsButtonY);
    // Right-aligned just above the countdown line, also while that line is hidden.
    renewButton->setVisible(renewEnabled);
    if (renewEnabled) {
        renewButton->move(right - renewButton->width(),
                          countdownText->y() - renewButton->height() - inset);
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
        } else if (id == DetailsButtonId) {
            if (detailsEnabled)
                emit sigShowRCWidget();
        } else if (id == RenewButtonId) {
            QDesktopServices::openUrl(QUrl(purchasePageUrl, QUrl::TolerantMode));
        }
        return true;
    }
    if (type == ui::eventCheckToggled) {
        if (id == DontRemindId)
            emit sigSetShowMessage(!dontRemindCheckBox->isChecked(), titleText->getText());
        else if (id == DontRemindTodayId)
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
