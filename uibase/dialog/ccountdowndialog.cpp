#include "uibase/dialog/ccountdowndialog.h"

#include "uibase/dialog/contracts/utils.h"

#include <QAccessible>
#include <QAccessibleEvent>
#include <QPainter>
#include <QShowEvent>
#include <QTimer>

#include <log4cxx/logger.h>

namespace Omra {

int CCountDownDialog::s_nActive = 0;

namespace {

constexpr int maxTextWidth = 700;
constexpr int minDialogWidth = 350;
constexpr int linkButtonWidth = 96;
constexpr int plainButtonWidth = 72;
constexpr int buttonHeight = 29;
constexpr int restartLinkId = 4;
// The large digits stand a little higher so they look centred on the text line.
constexpr int numberRaise = 5;
constexpr int iconRaise = 5;
constexpr int cascadeStep = 4;
constexpr int consoleLogSwitch = 35;
constexpr int countdownInterval = 1000;

const CUiResource* theme()
{
    return utils::CSingletonT<CUiResource>::instance();
}

const char* buttonImageKey(int style)
{
    return style == CountDownButtonPositive ? "img_btn_positive" : "img_btn_negative";
}

const char* buttonTextColorKey(int style)
{
    return style == CountDownButtonPositive ? "clr_btn_text_positive" : "clr_btn_text_negative";
}

QSize cappedSize(const CSimpleTextWidget* text)
{
    if (!text)
        return QSize(0, 0);
    const int width = qMin(text->sizeHint().width(), maxTextWidth);
    return QSize(width, text->heightForWidth(width));
}

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

void logMove(int active, const QPoint& to)
{
    if (!utils::CSingletonT<utils::CLogCenter>::instance()->conLogEnabled(consoleLogSwitch))
        return;
    log4cxx::LoggerPtr logger = log4cxx::Logger::getLogger("VelConsole");
    if (logger && logger->isDebugEnabled())
        utils::velDebugNew(logger, "move %d to %d %d.", active, to.x(), to.y());
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
    const char* key = nullptr;
    switch (icon) {
    case QMessageBox::Information:
        key = "img_messagebox_information";
        break;
    case QMessageBox::Warning:
        key = "img_messagebox_warning";
        break;
    case QMessageBox::Critical:
        key = "img_messagebox_critical";
        break;
    case QMessageBox::Question:
        key = "img_messagebox_question";
        break;
    default:
        return QPixmap();
    }
    return *theme()->getPixmap(QLatin1String(key));
}

CPushButton* CCountDownDialog::testAddButton(QString text, ECountDownButtonStyle style, int id)
{
    if (text.isEmpty())
        return nullptr;
    if (id == -1)
        id = buttonIds.size();
    auto* button = new CPushButton(QLatin1String(buttonImageKey(style)), id, 1, 3, 1, 3, this);
    button->setObjectName(QStringLiteral("button%1").arg(id));
    button->setText(text);
    const char* colorKey = buttonTextColorKey(style);
    button->setTextColorKey(colorKey, colorKey, colorKey, colorKey);
    button->setFixedSize(countDownType == CountDownWithRestartLink ? linkButtonWidth
                                                                   : plainButtonWidth,
                         buttonHeight);
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
    if (secondsLeft == -1)
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
    }
}

void CCountDownDialog::resetSizeAndLayout()
{
    const CUiResource* resource = theme();
    const int m = resource->getSize(QStringLiteral("siz_message_box_margin"));
    const int ih = resource->getSize(QStringLiteral("siz_message_box_icon_h_space"));
    const int bh = resource->getSize(QStringLiteral("siz_message_box_button_h_space"));
    const int vs = resource->getSize(QStringLiteral("siz_message_box_v_space"));
    const int pw = iconPixmap.width();
    const int ph = iconPixmap.height();
    const int f = frameMargin;
    const int t = titleBarHeight;

    const QSize n = cappedSize(countdownText);
    const QSize g = cappedSize(messageText);
    const QSize r = cappedSize(trailingText);
    const QSize l = cappedSize(linkText);

    int bw = 0;
    int br = 0;
    for (CPushButton* button : qAsConst(buttons)) {
        if (!button)
            continue;
        bw += button->width() + bh;
        br = qMax(br, button->height());
    }
    if (bw > 0)
        bw -= bh;

    int w = qMax(g.width() + n.width() + r.width() + pw + ih, bw) + 2 * (f + m) + pw + ih;
    if (w < minDialogWidth)
        w = minDialogWidth;
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

    // The first button near the text column's left edge, each further one mirrored about
    // the vertical centre line from the one before it.
    int x = x0 + bh;
    const CPushButton* previous = nullptr;
    for (CPushButton* button : qAsConst(buttons)) {
        if (!button)
            continue;
        if (previous)
            x = w - previous->x() - previous->width();
        button->move(x, y);
        previous = button;
    }
}

void CCountDownDialog::paintEvent(QPaintEvent* event)
{
    CCommonDialog::paintEvent(event);

    const CUiResource* resource = theme();
    const int m = resource->getSize(QStringLiteral("siz_message_box_margin"));
    const int f = frameMargin;
    const int t = titleBarHeight;

    QPainter painter(this);
    painter.fillRect(QRect(f + 1, f + t, width() - 2 * f - 2, height() - 2 * f - t - 1),
                     *resource->getColor(QStringLiteral("clr_warn_background_color")));
    painter.drawPixmap(f + m, f + t + m - iconRaise, iconPixmap);
}

void CCountDownDialog::showEvent(QShowEvent* event)
{
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);

    CBaseDialog::showEvent(event);

    const QPoint to = pos() + QPoint(cascadeStep * s_nActive, cascadeStep * s_nActive);
    move(to);
    raise();

    logMove(s_nActive, to);
    ++s_nActive;
}

void CCountDownDialog::hideEvent(QHideEvent* event)
{
    CCommonDialog::hideEvent(event);
    --s_nActive;
}

bool CCountDownDialog::handleEvent(int type, int id, int param, QString text, void* data)
{
    if ((type == UiEventClick || type == UiEventActivate) && buttonIds.contains(id)) {
        done(id);
        return true;
    }
    return CBaseDialog::handleEvent(type, id, param, text, data);
}

} // namespace Omra
