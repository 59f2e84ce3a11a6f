#include "uibase/dialog/ccountdowndialog.h"

#include "uibase/dialog/messageboxparts_p.h"
#include "uibase/dialog/platformvalues_p.h"

#include <QAccessible>
#include <QAccessibleEvent>
#include <QPainter>
#include <QShowEvent>
#include <QTimer>

#include <limits>

namespace Omra {

int CCountDownDialog::s_nActive = 0;

namespace {

using namespace detail;

constexpr int linkButtonWidth = 96;
constexpr int plainButtonWidth = 72;
constexpr int restartLinkId = 4;
// The large digits stand a little higher so they look centred on the text line.
constexpr int numberRaise = 5;
constexpr int countdownInterval = 1000;

CSimpleTextWidget* makeText(QWidget* parent, const char* name, const char* fontKey,
                            const QString& text)
{
    auto* widget = new CSimpleTextWidget(false, -1, QString(), parent);
    widget->setObjectName(QLatin1String(name));
    widget->setFontKey(QLatin1String(fontKey));
    widget->setFlag(Qt::AlignLeft | Qt::TextWordWrap);
    widget->setText(text, 10);
    return widget;
}

// The first button near the text column's left edge, each further one mirrored about the
// vertical centre line of a dialog width wide from the one before it.
void placeButtons(const QList<CPushButton*>& buttons, int firstX, int y, int width)
{
    int x = firstX;
    const CPushButton* previous = nullptr;
    for (CPushButton* button : buttons) {
        if (!button)
            continue;
        if (previous)
            x = width - previous->x() - previous->width();
        button->move(x, y);
        previous = button;
    }
}

// Keeps "text, number, trailing text" together after the number widened: the trailing text
// follows the number, and the dialog widens when the row would come nearer its right edge
// than the icon column is to its left edge, the room it was sized with.
void followWiderNumber(QWidget* dialog, const QWidget* message, const QWidget* number,
                       QWidget* trailing, const QList<CPushButton*>& buttons)
{
    if (!message || !number || !trailing)
        return;
    trailing->move(number->x() + number->width(), trailing->y());
    const int needed = trailing->x() + trailing->width() + message->x();
    if (needed <= dialog->width())
        return;
    dialog->setFixedSize(needed, dialog->height());
    if (!buttons.isEmpty())
        placeButtons(buttons, buttons.first()->x(), buttons.first()->y(), needed);
}

} // namespace

CCountDownDialog::CCountDownDialog(CCDButtonStyle* style, QMessageBox::Icon icon,
                                   const QString& title, const QString& text, int countdown,
                                   QString trailing, CCountDownType type, bool showLink,
                                   const QString& firstButtonText, const QString& secondButtonText,
                                   const QString& thirdButtonText, QWidget* parent)
    : CCommonDialog(parent)
{
    iconPixmap = getPixmap(icon);

    countdownText = makeText(this, "countdownText", "fnt_default_digit_large_heavy",
                             QString::number(countdown));
    messageText = makeText(this, "messageText", "fnt_default_normal_fix", text);
    trailingText = makeText(this, "trailingText", "fnt_default_normal_fix", trailing);

    // Unknown types behave as the plain one.
    countDownType = type == CountDownWithRestartLink ? CountDownWithRestartLink : CountDownPlain;
    if (countDownType == CountDownWithRestartLink) {
        linkText =
            new CSimpleTextWidget(true, restartLinkId, QStringLiteral("点击设置重启时间"), this);
        linkText->setObjectName(QStringLiteral("linkText"));
        linkText->setFontKey(QStringLiteral("fnt_default_digit_fix_underline"));
        linkText->setColorKey(QStringLiteral("clr_global_blue"));
        linkText->setVisible(showLink);
        buttonIds.insert(restartLinkId);
    }

    setMessageCountDown(countdown);

    const CCDButtonStyle defaults;
    const CCDButtonStyle& looks = style ? *style : defaults;
    testAddButton(firstButtonText, looks.firstStyle, 1);
    testAddButton(secondButtonText, looks.secondStyle, 2);
    testAddButton(thirdButtonText, looks.thirdStyle, 3);

    resetSizeAndLayout();

    setTitle(title);
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose);

    // The user has to choose (or wait); the title bar offers no way out.
    if (closeButton)
        closeButton->setVisible(false);
}

CCountDownDialog::~CCountDownDialog() = default;

int CCountDownDialog::getChooseResult(CCDButtonStyle* style, QWidget*, const QString& title,
                                      const QString& text, int countdown, QString trailing,
                                      CCountDownType type, bool showLink,
                                      const QString& firstButtonText,
                                      const QString& secondButtonText,
                                      const QString& thirdButtonText, bool)
{
    auto* dialog = new CCountDownDialog(style, QMessageBox::Information, title, text, countdown,
                                        trailing, type, showLink, firstButtonText, secondButtonText,
                                        thirdButtonText, nullptr);
    return dialog->exec();
}

QPixmap CCountDownDialog::getPixmap(QMessageBox::Icon icon)
{
    return messageIcon(icon);
}

CPushButton* CCountDownDialog::testAddButton(QString text, ECountDownButtonStyle style, int id)
{
    if (text.isEmpty())
        return nullptr;
    if (id == -1)
        id = buttonIds.size();
    const int width =
        countDownType == CountDownWithRestartLink ? linkButtonWidth : plainButtonWidth;
    auto* button = makeMessageButton(this, style == CountDownButtonPositive, id, text,
                                     QSize(width, messageButtonHeight));
    buttons.append(button);
    buttonIds.insert(id);
    return button;
}

void CCountDownDialog::setMessageCountDown(int seconds)
{
    secondsLeft = seconds;
    if (!countdownTimer) {
        countdownTimer = new QTimer(this);
        countdownTimer->setObjectName(QStringLiteral("countdownTimer"));
        connect(countdownTimer, &QTimer::timeout, this, &CCountDownDialog::slot_MessageTimeout);
        countdownTimer->start(countdownInterval);
    }
}

void CCountDownDialog::slot_MessageTimeout()
{
    // Stopped, or a negative start that has counted down as far as an int goes.
    if (secondsLeft == -1 || secondsLeft == std::numeric_limits<int>::min())
        return;
    --secondsLeft;
    if (secondsLeft == 0) {
        close();
        return;
    }
    if (countdownText) {
        // Two digits below ten so the number keeps its width while it counts.
        const QString number = QString::number(secondsLeft);
        countdownText->setText(secondsLeft < 10 ? QStringLiteral("0") + number : number, 10);
        // Digits differ in width ("09" after "12"): let a wider number grow to the right
        // rather than wrap inside the width the first number was given.
        const int needed = qMin(countdownText->sizeHint().width(), maxMessageTextWidth);
        if (needed > countdownText->width()) {
            countdownText->resize(needed, countdownText->height());
            followWiderNumber(this, messageText, countdownText, trailingText, buttons);
        }
    }
}

void CCountDownDialog::resetSizeAndLayout()
{
    const MessageMetrics metrics = messageMetrics();
    const int m = metrics.margin;
    const int ih = metrics.iconSpace;
    const int bh = metrics.buttonSpace;
    const int vs = metrics.verticalSpace;
    const int pw = pictureSize(iconPixmap).width();
    const int ph = pictureSize(iconPixmap).height();
    const int f = frameMargin;
    const int t = titleBarHeight;

    const QSize n = cappedTextSize(countdownText);
    const QSize g = cappedTextSize(messageText);
    const QSize r = cappedTextSize(trailingText);
    const QSize l = cappedTextSize(linkText);
    const QSize row = buttonRowSize(buttons, bh);
    const int bw = row.width();
    const int br = row.height();

    int w = qMax(g.width() + n.width() + r.width() + pw + ih, bw) + 2 * (f + m) + pw + ih;
    if (w < minMessageDialogWidth)
        w = minMessageDialogWidth;
    const int h = qMax(ph, n.height() + l.height() + br + vs) + 2 * (f + m) + t;
    setFixedSize(w, h);

    const int x0 = f + pw + ih + m;
    const int y0 = f + t + m;
    if (messageText)
        messageText->setGeometry(x0, y0, g.width(), g.height());
    if (countdownText)
        countdownText->setGeometry(x0 + g.width(), y0 - numberRaise, n.width(), n.height());
    if (trailingText)
        trailingText->setGeometry(x0 + g.width() + n.width(), y0, r.width(), r.height());

    int y = y0 + vs / 2 + (countdownText ? countdownText->height() : 0);
    if (linkText) {
        linkText->setGeometry(x0, y, l.width(), l.height());
        y += linkText->height() + vs;
    }

    placeButtons(buttons, x0 + bh, y, w);
}

void CCountDownDialog::paintEvent(QPaintEvent* event)
{
    CCommonDialog::paintEvent(event);

    // Painting needs only the margin; the other layout sizes are read by resetSizeAndLayout.
    const int m = theme()->getSize(QStringLiteral("siz_message_box_margin"));
    const int f = frameMargin;
    const int t = titleBarHeight;

    QPainter painter(this);
    fillClientArea(painter, this, f, t);
    // A 2x icon on a screen of fractional ratio is scaled; filtered, it stays even.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(f + m, f + t + m - messageIconRaise, iconPixmap);
}

void CCountDownDialog::showEvent(QShowEvent* event)
{
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);

    CBaseDialog::showEvent(event);

    cascadeAndLog(this, s_nActive, QPoint(-1, -1));
    ++s_nActive;
}

void CCountDownDialog::hideEvent(QHideEvent* event)
{
    CCommonDialog::hideEvent(event);
    --s_nActive;
}

bool CCountDownDialog::handleEvent(int type, int id, int param, QString text, void* data)
{
    if ((type == ui::eventClick || type == ui::eventActivate) && buttonIds.contains(id)) {
        done(id);
        return true;
    }
    return CBaseDialog::handleEvent(type, id, param, text, data);
}

} // namespace Omra
