#include "uibase/dialog/ccountdowndialog.h"

#include "uibase/dialog/dialogparts_p.h"
#include "uibase/dialog/messageboxparts_p.h"
#include "uibase/dialog/platformvalues_p.h"

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
// Below ten the number keeps two digits, so that it keeps its width while it counts.
constexpr int twoDigits = 10;

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
    countdownText = makeMessageText(this, "countdownText", "fnt_default_digit_large_heavy",
                                    QString::number(countdown));
    messageText = makeMessageText(this, "messageText", "fnt_default_normal_fix", text);
    trailingText = makeMessageText(this, "trailingText", "fnt_default_normal_fix", trailing);

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

    for (const CustomButton& button :
         customButtons(style, firstButtonText, secondButtonText, thirdButtonText)) {
        const ECountDownButtonStyle look =
            button.positive ? CountDownButtonPositive : CountDownButtonNegative;
        testAddButton(button.text, look, button.id);
    }

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
    const int width =
        countDownType == CountDownWithRestartLink ? linkButtonWidth : plainButtonWidth;
    return addRowButton(this, buttons, buttonIds, text, style == CountDownButtonPositive, id,
                        width);
}

void CCountDownDialog::setMessageCountDown(int seconds)
{
    secondsLeft = seconds;
    if (!countdownTimer) {
        countdownTimer =
            makeTickTimer(this, &CCountDownDialog::slot_MessageTimeout, "countdownTimer");
        countdownTimer->start();
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
        const QString number = QString::number(secondsLeft);
        countdownText->setText(secondsLeft < twoDigits ? QStringLiteral("0") + number : number,
                               messageLineLimit);
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
    const MessageLayout layout = messageLayout(iconPixmap, frameMargin, titleBarHeight);
    const QSize numberSize = cappedTextSize(countdownText);
    const QSize leadingSize = cappedTextSize(messageText);
    const QSize trailingSize = cappedTextSize(trailingText);
    const QSize linkSize = cappedTextSize(linkText);
    const QSize rowSize = buttonRowSize(buttons, layout.buttonGap);

    // The sentence is one line: text, number, trailing text. The icon column is counted once
    // more outside the content, which leaves the sentence as much room on the right.
    const int sentenceWidth = leadingSize.width() + numberSize.width() + trailingSize.width();
    const int contentWidth = qMax(sentenceWidth + layout.iconColumn(), rowSize.width());
    const int contentHeight = qMax(layout.icon.height(), numberSize.height() + linkSize.height() +
                                                             rowSize.height() + layout.lineGap);
    const int width =
        qMax(layout.outerWidth(contentWidth) + layout.iconColumn(), minMessageDialogWidth);
    setFixedSize(width, layout.outerHeight(contentHeight));

    const int left = layout.textLeft();
    const int top = layout.contentTop();
    const int numberLeft = left + leadingSize.width();
    if (messageText)
        messageText->setGeometry(QRect(QPoint(left, top), leadingSize));
    if (countdownText)
        countdownText->setGeometry(QRect(QPoint(numberLeft, top - numberRaise), numberSize));
    if (trailingText) {
        trailingText->setGeometry(
            QRect(QPoint(numberLeft + numberSize.width(), top), trailingSize));
    }

    int y = top + layout.lineGap / 2 + (countdownText ? countdownText->height() : 0);
    if (linkText) {
        linkText->setGeometry(QRect(QPoint(left, y), linkSize));
        y += linkText->height() + layout.lineGap;
    }

    placeButtons(buttons, left + layout.buttonGap, y, width);
}

void CCountDownDialog::paintEvent(QPaintEvent* event)
{
    CCommonDialog::paintEvent(event);

    QPainter painter(this);
    painter.drawPixmap(paintMessageClientArea(painter, this, frameMargin, titleBarHeight),
                       iconPixmap);
}

void CCountDownDialog::showEvent(QShowEvent* event)
{
    announceAlert(this);
    CBaseDialog::showEvent(event);
    cascadeShown(this, s_nActive);
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
