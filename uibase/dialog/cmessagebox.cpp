#include "uibase/dialog/cmessagebox.h"

#include "uibase/dialog/dialogparts_p.h"
#include "uibase/dialog/messageboxparts_p.h"
#include "uibase/dialog/platformvalues_p.h"

#include <QPainter>
#include <QShowEvent>
#include <QTimer>

#include <limits>

namespace Omra {

int CMessageBox::s_nActive = 0;

namespace {

using namespace detail;

constexpr int buttonWidth = 72;
// The large layout used with a caller's picture: its fixed size, where the picture stands
// right of the content's left edge, and how far the icon, the text and the buttons move.
constexpr QSize customPictureLayoutSize(514, 396);
constexpr int customPictureInset = 45;
constexpr QPoint customContentShift(50, 225);
// The details toggle: the rightmost button of the row, and the pane it opens, which is
// inset from the box's sides and overlaps the bottom frame band of the collapsed box.
constexpr int detailsButtonId = 3;
constexpr int detailsButtonWidth = 80;
constexpr int detailsPaneHeight = 100;
constexpr int detailsPaneInset = 32;
constexpr int detailsPaneOverlap = 16;
constexpr int detailsHeightChange = 106;

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

CMessageBox::CMessageBox(QMessageBox::Icon icon, const QString& text, QWidget* parent,
                         QPixmap* picture, QPoint atPosition)
    : CCommonDialog(parent)
{
    customPixmap = picture;
    position = atPosition;
    iconPixmap = getPixmap(icon);
    messageText = makeMessageText(this, "messageText", "fnt_default_normal_fix", text);
}

CMessageBox::CMessageBox(CButtonStyle* style, QMessageBox::Icon icon, const QString& title,
                         const QString& text, const QString& firstButtonText,
                         const QString& secondButtonText, const QString& thirdButtonText,
                         QWidget* parent, QPoint atPosition)
    : CMessageBox(icon, text, parent, nullptr, atPosition)
{
    for (const CustomButton& button :
         customButtons(style, firstButtonText, secondButtonText, thirdButtonText)) {
        testAddButton(button.text, button.positive ? ButtonStylePositive : ButtonStyleNegative,
                      button.id);
    }

    resetSizeAndLayout();
    setTitle(title);
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose);
}

CMessageBox::CMessageBox(CButtonStyle*, QMessageBox::Icon icon, const QString& title,
                         const QString& text, QFlags<QMessageBox::StandardButton> standard,
                         QMessageBox::StandardButton defaultButton, QWidget* parent,
                         QPixmap* picture, QPoint atPosition)
    : CMessageBox(icon, text, parent, picture, atPosition)
{
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
    return addRowButton(this, buttons, buttonIds, text, style == ButtonStylePositive, id,
                        buttonWidth);
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
    const MessageLayout layout = messageLayout(iconPixmap, frameMargin, titleBarHeight);
    const QSize textSize = cappedTextSize(messageText);
    const QSize rowSize = buttonRowSize(buttons, layout.buttonGap);

    const int contentWidth = qMax(layout.iconColumn() + textSize.width(), rowSize.width());
    const int contentHeight =
        qMax(layout.icon.height(), textSize.height() + layout.lineGap + rowSize.height());
    QSize boxSize(qMax(layout.outerWidth(contentWidth), minMessageDialogWidth),
                  layout.outerHeight(contentHeight));
    QPoint contentShift(0, 0);
    if (customPixmap) {
        boxSize = customPictureLayoutSize;
        contentShift = customContentShift;
    }
    setFixedSize(boxSize);

    int y = layout.contentTop() + contentShift.y();
    if (messageText) {
        messageText->setGeometry(layout.textLeft() + contentShift.x(), y, textSize.width(),
                                 textSize.height());
        y += messageText->height() + layout.lineGap;
    }

    // Right-aligned: the row ends at the margin inside the client area's right edge.
    int x = boxSize.width() - layout.frameMargin - layout.margin - rowSize.width();
    for (CPushButton* button : qAsConst(buttons)) {
        if (!button)
            continue;
        button->move(x, y);
        x += button->width() + layout.buttonGap;
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
        countdownTimer = makeTickTimer(this, &CMessageBox::slot_Timeout, "countdownTimer");
        countdownTimer->start();
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
    detailsButton =
        makeRowButton(this, showDetailsText(), false, detailsButtonId, detailsButtonWidth);
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
    const bool open = detailsText->isHidden();
    detailsText->setVisible(open);
    detailsButton->setText(open ? hideDetailsText() : showDetailsText());
    setFixedHeight(height() + (open ? detailsHeightChange : -detailsHeightChange));
}

void CMessageBox::paintEvent(QPaintEvent* event)
{
    CCommonDialog::paintEvent(event);

    QPainter painter(this);
    const QPoint iconAt = paintMessageClientArea(painter, this, frameMargin, titleBarHeight);
    if (customPixmap) {
        const QPoint pictureAt = iconAt + QPoint(customPictureInset, 0);
        painter.drawPixmap(pictureAt, *customPixmap);
        painter.drawPixmap(pictureAt + QPoint(0, customContentShift.y()), iconPixmap);
    } else {
        painter.drawPixmap(iconAt, iconPixmap);
    }
}

void CMessageBox::showEvent(QShowEvent* event)
{
    announceAlert(this);
    CBaseDialog::showEvent(event);
    // Boxes open at the same time step down and right so none hides another completely;
    // a caller's position wins over the cascade.
    cascadeShown(this, s_nActive, position);
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

QMessageBox::StandardButton
CMessageBox::execStandardBox(QMessageBox::Icon icon, QWidget* parent, const QString& title,
                             const QString& text, QMessageBox::StandardButtons buttons,
                             QMessageBox::StandardButton defaultButton, QPixmap* customPixmap,
                             QPoint position, const std::function<void(CMessageBox*)>& extraStep)
{
    auto* box = new CMessageBox(nullptr, icon, title, text, buttons, defaultButton, parent,
                                customPixmap, position);
    if (extraStep)
        extraStep(box);
    return static_cast<QMessageBox::StandardButton>(box->exec());
}

QMessageBox::StandardButton CMessageBox::critical(CButtonStyle*, QWidget* parent,
                                                  const QString& title, const QString& text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton, bool)
{
    return execStandardBox(QMessageBox::Critical, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton CMessageBox::warning(CButtonStyle*, QWidget* parent,
                                                 const QString& title, const QString& text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton, bool)
{
    return execStandardBox(QMessageBox::Warning, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton CMessageBox::information(CButtonStyle*, QWidget* parent,
                                                     const QString& title, const QString& text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton,
                                                     bool, int countdown)
{
    return execStandardBox(QMessageBox::Information, parent, title, text, buttons, defaultButton,
                           nullptr, QPoint(-1, -1), [countdown](CMessageBox* box) {
                               if (countdown != 0)
                                   box->setCountDown(countdown);
                           });
}

QMessageBox::StandardButton CMessageBox::question(CButtonStyle*, QWidget* parent,
                                                  const QString& title, const QString& text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton,
                                                  bool updateIcon, QPixmap* customPixmap,
                                                  QPoint position)
{
    return execStandardBox(
        QMessageBox::Question, parent, title, text, buttons, defaultButton, customPixmap, position,
        [updateIcon](CMessageBox* box) {
            // Same size as the question icon gives; only the picture changes.
            if (updateIcon)
                box->setPixmap(*theme()->getPixmap(QStringLiteral("img_messagebox_update")));
        });
}

QMessageBox::StandardButton
CMessageBox::questionWithDetail(CButtonStyle*, QWidget* parent, const QString& title,
                                const QString& text, const QString& detail,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton)
{
    return execStandardBox(QMessageBox::Question, parent, title, text, buttons, defaultButton,
                           nullptr, QPoint(-1, -1),
                           [&detail](CMessageBox* box) { box->setDetailedText(detail); });
}

int CMessageBox::execCustomBox(CButtonStyle* style, QMessageBox::Icon icon, const QString& title,
                               const QString& text, const QStringList& buttonTexts, QWidget* parent,
                               QPoint position)
{
    auto* box = new CMessageBox(style, icon, title, text, buttonTexts.value(0),
                                buttonTexts.value(1), buttonTexts.value(2), parent, position);
    return box->exec();
}

int CMessageBox::critical(CButtonStyle* style, QWidget*, const QString& title, const QString& text,
                          const QString& firstButtonText, const QString& secondButtonText,
                          const QString& thirdButtonText, bool)
{
    return execCustomBox(style, QMessageBox::Critical, title, text,
                         {firstButtonText, secondButtonText, thirdButtonText});
}

int CMessageBox::warning(CButtonStyle* style, QWidget*, const QString& title, const QString& text,
                         const QString& firstButtonText, const QString& secondButtonText,
                         const QString& thirdButtonText, bool)
{
    return execCustomBox(style, QMessageBox::Warning, title, text,
                         {firstButtonText, secondButtonText, thirdButtonText});
}

int CMessageBox::question(CButtonStyle* style, QWidget* parent, const QString& title,
                          const QString& text, const QString& firstButtonText,
                          const QString& secondButtonText, const QString& thirdButtonText,
                          QPoint position)
{
    // This form has always shown the critical picture; callers rely on its alarming look.
    return execCustomBox(style, QMessageBox::Critical, title, text,
                         {firstButtonText, secondButtonText, thirdButtonText}, parent, position);
}

} // namespace Omra
