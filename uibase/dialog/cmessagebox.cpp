#include "uibase/dialog/cmessagebox.h"

#include "uibase/dialog/messageboxparts_p.h"
#include "uibase/dialog/platformvalues_p.h"

#include <QAccessible>
#include <QAccessibleEvent>
#include <QPainter>
#include <QShowEvent>
#include <QTimer>

#include <limits>

namespace Omra {

int CMessageBox::s_nActive = 0;

namespace {

using namespace detail;

constexpr int buttonWidth = 72;
// The large layout used with a caller's picture, and where the content moves in it.
constexpr int customWidth = 514;
constexpr int customHeight = 396;
constexpr int customShiftX = 50;
constexpr int customShiftY = 225;
constexpr int customPictureInset = 45;
constexpr int detailsButtonId = 3;
constexpr int detailsButtonWidth = 80;
constexpr int detailsPaneHeight = 100;
constexpr int detailsPaneInset = 32;
constexpr int detailsPaneOverlap = 16;
constexpr int detailsHeightChange = 106;
constexpr int countdownInterval = 1000;

struct StandardButtonEntry
{
    QMessageBox::StandardButton button;
    const char* text;
};

// Left-to-right order of the standard buttons, whatever order the caller's flags are in.
const StandardButtonEntry standardButtons[] = {
    {QMessageBox::Ok, "确定"},
    {QMessageBox::Save, "保存"},
    {QMessageBox::SaveAll, "全部保存"},
    {QMessageBox::Open, "打开"},
    {QMessageBox::Yes, "是"},
    {QMessageBox::YesToAll, "全是"},
    {QMessageBox::No, "否"},
    {QMessageBox::NoToAll, "全否"},
    {QMessageBox::Abort, "退出"},
    {QMessageBox::Retry, "重试"},
    {QMessageBox::Ignore, "忽略"},
    {QMessageBox::Close, "关闭"},
    {QMessageBox::Cancel, "取消"},
    {QMessageBox::Discard, "丢弃"},
    {QMessageBox::Help, "帮助"},
    {QMessageBox::Apply, "应用"},
    {QMessageBox::Reset, "重置"},
    {QMessageBox::RestoreDefaults, "恢复默认"},
};

// Accepting buttons look positive; Apply is the one accepting button above No.
EMessageBoxButtonStyle standardStyle(QMessageBox::StandardButton button)
{
    if (button < QMessageBox::No || button == QMessageBox::Apply)
        return ButtonStylePositive;
    return ButtonStyleNegative;
}

QString showDetailsText()
{
    return QMessageBox::tr("Show Details...", nullptr, -1);
}

QString hideDetailsText()
{
    return QMessageBox::tr("Hide Details...", nullptr, -1);
}

} // namespace

CMessageBox::CMessageBox(CButtonStyle* style, QMessageBox::Icon icon, const QString& title,
                         const QString& text, const QString& firstButtonText,
                         const QString& secondButtonText, const QString& thirdButtonText,
                         QWidget* parent, QPoint atPosition)
    : CCommonDialog(parent)
{
    customPixmap = nullptr;
    position = atPosition;
    iconPixmap = getPixmap(icon);

    messageText = new CSimpleTextWidget(false, -1, QString(), this);
    messageText->setObjectName(QStringLiteral("messageText"));
    messageText->setFontKey(QStringLiteral("fnt_default_normal_fix"));
    messageText->setFlag(Qt::AlignLeft | Qt::TextWordWrap);
    messageText->setText(text, 10);

    const CButtonStyle defaults;
    const CButtonStyle& looks = style ? *style : defaults;
    testAddButton(firstButtonText, looks.firstStyle, 1);
    testAddButton(secondButtonText, looks.secondStyle, 2);
    testAddButton(thirdButtonText, looks.thirdStyle, 3);

    resetSizeAndLayout();

    setTitle(title);
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose);
}

CMessageBox::CMessageBox(CButtonStyle*, QMessageBox::Icon icon, const QString& title,
                         const QString& text, QFlags<QMessageBox::StandardButton> standard,
                         QMessageBox::StandardButton defaultButton, QWidget* parent,
                         QPixmap* picture, QPoint atPosition)
    : CCommonDialog(parent)
{
    customPixmap = picture;
    position = atPosition;
    iconPixmap = getPixmap(icon);

    messageText = new CSimpleTextWidget(false, -1, QString(), this);
    messageText->setObjectName(QStringLiteral("messageText"));
    messageText->setFontKey(QStringLiteral("fnt_default_normal_fix"));
    messageText->setFlag(Qt::AlignLeft | Qt::TextWordWrap);
    messageText->setText(text, 10);

    for (const StandardButtonEntry& entry : standardButtons)
        testAddButton(standard, entry.button, QString::fromUtf8(entry.text), defaultButton);

    resetSizeAndLayout();

    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setTitle(title);
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose);
}

CMessageBox::~CMessageBox() = default;

QPixmap CMessageBox::getPixmap(QMessageBox::Icon icon)
{
    return messageIcon(icon);
}

CPushButton* CMessageBox::testAddButton(QString text, EMessageBoxButtonStyle style, int id)
{
    if (text.isEmpty())
        return nullptr;
    if (id == -1)
        id = buttonIds.size();
    auto* button = makeMessageButton(this, style == ButtonStylePositive, id, text,
                                     QSize(buttonWidth, messageButtonHeight));
    buttons.append(button);
    buttonIds.insert(id);
    return button;
}

void CMessageBox::testAddButton(QFlags<QMessageBox::StandardButton> standard,
                                QMessageBox::StandardButton which, QString text,
                                QMessageBox::StandardButton defaultButton)
{
    if (!standard.testFlag(which))
        return;
    if (CPushButton* button = testAddButton(text, standardStyle(which), which))
        button->setDefault(which == defaultButton);
}

void CMessageBox::resetSizeAndLayout()
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

    const QSize text = cappedTextSize(messageText);
    const int tw = text.width();
    const int th = text.height();
    const QSize row = buttonRowSize(buttons, bh);
    const int bw = row.width();
    const int br = row.height();

    int w = qMax(pw + ih + tw, bw) + 2 * (f + m);
    if (w < minMessageDialogWidth)
        w = minMessageDialogWidth;
    int h = qMax(ph, th + vs + br) + 2 * (f + m) + t;

    int shiftX = 0;
    int shiftY = 0;
    if (customPixmap) {
        w = customWidth;
        h = customHeight;
        shiftX = customShiftX;
        shiftY = customShiftY;
    }
    setFixedSize(w, h);

    int y = f + t + shiftY + m;
    if (messageText) {
        messageText->setGeometry(f + shiftX + pw + ih + m, y, tw, th);
        y += messageText->height() + vs;
    }

    int x = w - f - bw - m;
    for (CPushButton* button : qAsConst(buttons)) {
        if (!button)
            continue;
        button->move(x, y);
        x += button->width() + bh;
    }
}

void CMessageBox::setPixmap(QPixmap pixmap)
{
    iconPixmap = pixmap;
}

void CMessageBox::setCountDown(int seconds)
{
    secondsLeft = seconds;
    const QString number = QString::number(seconds);
    for (QObject* child : children()) {
        auto* button = dynamic_cast<CPushButton*>(child);
        if (!button || button->text().isEmpty())
            continue;
        button->setText(QStringLiteral("%1(%2s)").arg(button->text()).arg(number));
    }
    if (!countdownTimer) {
        countdownTimer = new QTimer(this);
        countdownTimer->setObjectName(QStringLiteral("countdownTimer"));
        connect(countdownTimer, &QTimer::timeout, this, &CMessageBox::slot_Timeout);
        countdownTimer->start(countdownInterval);
    }
}

void CMessageBox::slot_Timeout()
{
    const QString before = QString::number(secondsLeft);
    // The lowest int cannot go lower; it has run out all the same.
    if (secondsLeft > std::numeric_limits<int>::min())
        --secondsLeft;
    const QString after = QString::number(secondsLeft);
    for (QObject* child : children()) {
        if (auto* button = dynamic_cast<CPushButton*>(child)) {
            QString text = button->text();
            button->setText(text.replace(before, after));
        }
    }
    if (secondsLeft <= 0)
        accept();
}

void CMessageBox::setDetailedText(const QString& detail)
{
    detailsButton = makeMessageButton(this, false, detailsButtonId, showDetailsText(),
                                      QSize(detailsButtonWidth, messageButtonHeight));
    detailsButton->setObjectName(QStringLiteral("detailsButton"));
    // Rightmost in the row, but a toggle: its id does not end the box.
    buttons.append(detailsButton);

    resetSizeAndLayout();

    detailsText = new CTextEdit(0, this, true, false);
    detailsText->setObjectName(QStringLiteral("detailsText"));
    detailsText->setFixedSize(width() - 2 * detailsPaneInset, detailsPaneHeight);
    detailsText->setFocusPolicy(Qt::NoFocus);
    detailsText->setReadOnly(true);
    detailsText->setPlainText(detail);
    detailsText->setAccessibleName(QStringLiteral("详细信息"));
    detailsText->move(detailsPaneInset, height() - detailsPaneOverlap);
    detailsText->hide();
}

void CMessageBox::toggleDetails()
{
    // The pane's own flag, so the toggle also works before the box is shown.
    if (!detailsText->isHidden()) {
        detailsText->hide();
        detailsButton->setText(showDetailsText());
        setFixedHeight(height() - detailsHeightChange);
    } else {
        detailsText->show();
        detailsButton->setText(hideDetailsText());
        setFixedHeight(height() + detailsHeightChange);
    }
}

void CMessageBox::paintEvent(QPaintEvent* event)
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
    if (customPixmap) {
        painter.drawPixmap(f + customPictureInset + m, f + t + m - messageIconRaise, *customPixmap);
        painter.drawPixmap(f + customPictureInset + m, f + t + customShiftY + m - messageIconRaise,
                           iconPixmap);
    } else {
        painter.drawPixmap(f + m, f + t + m - messageIconRaise, iconPixmap);
    }
}

void CMessageBox::showEvent(QShowEvent* event)
{
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);

    CBaseDialog::showEvent(event);

    // Boxes open at the same time step down and right so none hides another completely;
    // a caller's position wins over the cascade.
    cascadeAndLog(this, s_nActive, position);
    ++s_nActive;
}

void CMessageBox::hideEvent(QHideEvent* event)
{
    CCommonDialog::hideEvent(event);
    --s_nActive;
}

bool CMessageBox::handleEvent(int type, int id, int param, QString text, void* data)
{
    if (type == ui::eventClick) {
        if (buttonIds.contains(id)) {
            done(id);
            return true;
        }
        if (id == detailsButtonId && detailsButton && detailsText)
            toggleDetails();
    }
    return CBaseDialog::handleEvent(type, id, param, text, data);
}

QMessageBox::StandardButton CMessageBox::critical(CButtonStyle* style, QWidget* parent,
                                                  const QString& title, const QString& text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton, bool)
{
    auto* box = new CMessageBox(style, QMessageBox::Critical, title, text, buttons, defaultButton,
                                parent, nullptr, QPoint(-1, -1));
    return static_cast<QMessageBox::StandardButton>(box->exec());
}

QMessageBox::StandardButton CMessageBox::warning(CButtonStyle* style, QWidget* parent,
                                                 const QString& title, const QString& text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton, bool)
{
    auto* box = new CMessageBox(style, QMessageBox::Warning, title, text, buttons, defaultButton,
                                parent, nullptr, QPoint(-1, -1));
    return static_cast<QMessageBox::StandardButton>(box->exec());
}

QMessageBox::StandardButton CMessageBox::information(CButtonStyle* style, QWidget* parent,
                                                     const QString& title, const QString& text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton,
                                                     bool, int countdown)
{
    auto* box = new CMessageBox(style, QMessageBox::Information, title, text, buttons,
                                defaultButton, parent, nullptr, QPoint(-1, -1));
    if (countdown != 0)
        box->setCountDown(countdown);
    return static_cast<QMessageBox::StandardButton>(box->exec());
}

QMessageBox::StandardButton CMessageBox::question(CButtonStyle* style, QWidget* parent,
                                                  const QString& title, const QString& text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton,
                                                  bool updateIcon, QPixmap* customPixmap,
                                                  QPoint position)
{
    auto* box = new CMessageBox(style, QMessageBox::Question, title, text, buttons, defaultButton,
                                parent, customPixmap, position);
    // Same size as the question icon gives; only the picture changes.
    if (updateIcon)
        box->setPixmap(*theme()->getPixmap(QStringLiteral("img_messagebox_update")));
    return static_cast<QMessageBox::StandardButton>(box->exec());
}

QMessageBox::StandardButton
CMessageBox::questionWithDetail(CButtonStyle* style, QWidget* parent, const QString& title,
                                const QString& text, const QString& detail,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton)
{
    auto* box = new CMessageBox(style, QMessageBox::Question, title, text, buttons, defaultButton,
                                parent, nullptr, QPoint(-1, -1));
    box->setDetailedText(detail);
    return static_cast<QMessageBox::StandardButton>(box->exec());
}

int CMessageBox::critical(CButtonStyle* style, QWidget*, const QString& title, const QString& text,
                          const QString& firstButtonText, const QString& secondButtonText,
                          const QString& thirdButtonText, bool)
{
    auto* box = new CMessageBox(style, QMessageBox::Critical, title, text, firstButtonText,
                                secondButtonText, thirdButtonText, nullptr, QPoint(-1, -1));
    return box->exec();
}

int CMessageBox::warning(CButtonStyle* style, QWidget*, const QString& title, const QString& text,
                         const QString& firstButtonText, const QString& secondButtonText,
                         const QString& thirdButtonText, bool)
{
    auto* box = new CMessageBox(style, QMessageBox::Warning, title, text, firstButtonText,
                                secondButtonText, thirdButtonText, nullptr, QPoint(-1, -1));
    return box->exec();
}

int CMessageBox::question(CButtonStyle* style, QWidget* parent, const QString& title,
                          const QString& text, const QString& firstButtonText,
                          const QString& secondButtonText, const QString& thirdButtonText,
                          QPoint position)
{
    // This form has always shown the critical picture; callers rely on its alarming look.
    auto* box = new CMessageBox(style, QMessageBox::Critical, title, text, firstButtonText,
                                secondButtonText, thirdButtonText, parent, position);
    return box->exec();
}

} // namespace Omra
