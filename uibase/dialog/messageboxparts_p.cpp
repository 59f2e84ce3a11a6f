#include "uibase/dialog/messageboxparts_p.h"

#include "uibase/dialog/dialogparts_p.h"

#include "uibase/dialog/contracts/utils.h"

#include <QDialog>
#include <QPainter>

#include <log4cxx/logger.h>

namespace Omra {
namespace detail {

namespace {

constexpr int cascadeStep = 4;
constexpr int consoleLogSwitch = 35;
// The icon stands this much above the first line of the message.
constexpr int iconRaise = 5;

// The size a picture takes in the layout: a 2x picture (for high-DPI screens) takes what its
// 1x one does.
QSize layoutSize(const QPixmap& picture)
{
    // Qt 6 gives a null pixmap the ratio 0.
    if (picture.isNull())
        return QSize(0, 0);
    return (QSizeF(picture.size()) / picture.devicePixelRatioF()).toSize();
}

} // namespace

QPixmap messageIcon(QMessageBox::Icon icon)
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

CSimpleTextWidget* makeMessageText(QWidget* dialog, const char* objectName, const char* fontKey,
                                   const QString& text)
{
    auto* widget = new CSimpleTextWidget(false, -1, QString(), dialog);
    widget->setObjectName(QLatin1String(objectName));
    widget->setFontKey(QLatin1String(fontKey));
    widget->setFlag(Qt::AlignLeft | Qt::TextWordWrap);
    widget->setText(text, messageLineLimit);
    return widget;
}

CPushButton* makeRowButton(QWidget* dialog, const QString& text, bool positive, int id, int width)
{
    CPushButton* button = makeLookButton(dialog, id, positive, text);
    button->setObjectName(QStringLiteral("button%1").arg(id));
    button->setFixedSize(width, messageButtonHeight);
    return button;
}

CPushButton* addRowButton(QWidget* dialog, QList<CPushButton*>& row, QSet<int>& closingIds,
                          const QString& text, bool positive, int id, int width)
{
    if (text.isEmpty())
        return nullptr;
    if (id == -1)
        id = closingIds.size();
    CPushButton* button = makeRowButton(dialog, text, positive, id, width);
    row.append(button);
    closingIds.insert(id);
    return button;
}

QSize cappedTextSize(const CSimpleTextWidget* text)
{
    if (!text)
        return QSize(0, 0);
    const int width = qMin(text->sizeHint().width(), maxMessageTextWidth);
    return QSize(width, text->heightForWidth(width));
}

QSize buttonRowSize(const QList<CPushButton*>& row, int gap)
{
    int width = 0;
    int height = 0;
    for (const CPushButton* button : row) {
        if (!button)
            continue;
        width += button->width() + gap;
        height = qMax(height, button->height());
    }
    if (width > 0)
        width -= gap;
    return QSize(width, height);
}

MessageLayout messageLayout(const QPixmap& icon, int frameMargin, int titleBarHeight)
{
    const CUiResource* resource = theme();
    return {frameMargin,
            titleBarHeight,
            resource->getSize(QStringLiteral("siz_message_box_margin")),
            resource->getSize(QStringLiteral("siz_message_box_icon_h_space")),
            resource->getSize(QStringLiteral("siz_message_box_button_h_space")),
            resource->getSize(QStringLiteral("siz_message_box_v_space")),
            layoutSize(icon)};
}

QPoint paintMessageClientArea(QPainter& painter, const QWidget* dialog, int frameMargin,
                              int titleBarHeight)
{
    fillClientArea(painter, dialog, frameMargin, titleBarHeight);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Painting needs only the margin; the other sizes are read by the layout.
    const int margin = theme()->getSize(QStringLiteral("siz_message_box_margin"));
    return QPoint(frameMargin + margin, frameMargin + titleBarHeight + margin - iconRaise);
}

void cascadeShown(QDialog* dialog, int& shownCount, const QPoint& callerPosition)
{
    const int step = cascadeStep * shownCount;
    QPoint to = dialog->pos() + QPoint(step, step);
    if (callerPosition != QPoint(-1, -1))
        to = callerPosition;
    dialog->move(to);
    dialog->raise();

    if (utils::CSingletonT<utils::CLogCenter>::instance()->conLogEnabled(consoleLogSwitch)) {
        log4cxx::LoggerPtr logger = log4cxx::Logger::getLogger("VelConsole");
        if (logger && logger->isDebugEnabled())
            utils::velDebugNew(logger, "move %d to %d %d.", shownCount, to.x(), to.y());
    }
    ++shownCount;
}

} // namespace detail
} // namespace Omra
