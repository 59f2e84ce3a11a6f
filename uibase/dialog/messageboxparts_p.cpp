#include "uibase/dialog/messageboxparts_p.h"

#include "uibase/dialog/contracts/utils.h"

#include <QAccessible>
#include <QAccessibleEvent>
#include <QDialog>
#include <QPainter>

#include <log4cxx/logger.h>

namespace Omra {
namespace detail {

namespace {

constexpr int cascadeStep = 4;
constexpr int consoleLogSwitch = 35;

} // namespace

const CUiResource* theme()
{
    return utils::CSingletonT<CUiResource>::instance();
}

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

QSize pictureSize(const QPixmap& picture)
{
    // Qt 6 gives a null pixmap the ratio 0.
    if (picture.isNull())
        return QSize(0, 0);
    return (QSizeF(picture.size()) / picture.devicePixelRatioF()).toSize();
}

CPushButton* makeMessageButton(QWidget* parent, bool positive, int id, const QString& text,
                               const QSize& size)
{
    auto* button = new CPushButton(positive ? QStringLiteral("img_btn_positive")
                                            : QStringLiteral("img_btn_negative"),
                                   id, 1, 3, 1, 3, parent);
    button->setObjectName(QStringLiteral("button%1").arg(id));
    button->setText(text);
    const char* colorKey = positive ? "clr_btn_text_positive" : "clr_btn_text_negative";
    button->setTextColorKey(colorKey, colorKey, colorKey, colorKey);
    button->setFixedSize(size);
    return button;
}

QSize cappedTextSize(const CSimpleTextWidget* text)
{
    if (!text)
        return QSize(0, 0);
    const int width = qMin(text->sizeHint().width(), maxMessageTextWidth);
    return QSize(width, text->heightForWidth(width));
}

QSize buttonRowSize(const QList<CPushButton*>& buttons, int spacing)
{
    int width = 0;
    int height = 0;
    for (const CPushButton* button : buttons) {
        if (!button)
            continue;
        width += button->width() + spacing;
        height = qMax(height, button->height());
    }
    if (width > 0)
        width -= spacing;
    return QSize(width, height);
}

MessageMetrics messageMetrics()
{
    const CUiResource* resource = theme();
    return {resource->getSize(QStringLiteral("siz_message_box_margin")),
            resource->getSize(QStringLiteral("siz_message_box_icon_h_space")),
            resource->getSize(QStringLiteral("siz_message_box_button_h_space")),
            resource->getSize(QStringLiteral("siz_message_box_v_space"))};
}

void fillClientArea(QPainter& painter, const QWidget* dialog, int f, int t)
{
    painter.fillRect(
        QRect(f + 1, f + t, dialog->width() - 2 * f - 2, dialog->height() - 2 * f - t - 1),
        *theme()->getColor(QStringLiteral("clr_warn_background_color")));
}

QPoint cascadeAndLog(QDialog* dialog, int alreadyShown, const QPoint& callerPosition)
{
    QPoint to = dialog->pos() + QPoint(cascadeStep * alreadyShown, cascadeStep * alreadyShown);
    if (callerPosition != QPoint(-1, -1))
        to = callerPosition;
    dialog->move(to);
    dialog->raise();

    if (utils::CSingletonT<utils::CLogCenter>::instance()->conLogEnabled(consoleLogSwitch)) {
        log4cxx::LoggerPtr logger = log4cxx::Logger::getLogger("VelConsole");
        if (logger && logger->isDebugEnabled())
            utils::velDebugNew(logger, "move %d to %d %d.", alreadyShown, to.x(), to.y());
    }
    return to;
}

} // namespace detail
} // namespace Omra
