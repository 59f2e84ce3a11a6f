#include "uibase/dialog/ccommondialog.h"

#include "uibase/dialog/platformvalues_p.h"

#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>

namespace Omra {

namespace {

// The available area of the default screen (empty without any screen).
QRect defaultAvailableGeometry()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

CCommonDialog::CCommonDialog(QWidget* parent)
    : CCustomDialog(12, 30, "img_custom_dialog_bg", 16, 41, 43, 47, parent)
{
    titleText = new CSimpleTextWidget(false, -1, QStringLiteral(" "), this);
    titleText->setObjectName(QStringLiteral("titleText"));
    titleText->setFontKey(QStringLiteral("fnt_dialog_title"));
    titleText->setColorKey(QStringLiteral("clr_common_dlg_title"));
    titleText->resize(titleText->sizeHint());

    setMinimumSize(400, 250);

    closeButton = new CPushButton(QStringLiteral("img_sys_btn_exit"), ui::idClose, this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setFocusPolicy(Qt::NoFocus);
    // A picture-only button: screen readers need its word.
    closeButton->setAccessibleName(QStringLiteral("关闭"));

    const QRect available = defaultAvailableGeometry();
    setMaximumSize(available.width(), available.height());
}

CCommonDialog::~CCommonDialog() = default;

void CCommonDialog::setTitle(QString title)
{
    if (titleText) {
        titleText->setText(title, 100000);
        // The title keeps its natural size; it is placed, never stretched.
        titleText->resize(titleText->sizeHint());
    }
    setWindowTitle(title);
}

void CCommonDialog::setInnerWidget(QWidget* widget)
{
    innerWidget = widget;
    innerWidgetFlag = true;
    innerLeft = frameMargin + 1;
    innerTop = frameMargin + titleBarHeight;
    innerRight = frameMargin + 1;
    innerBottom = frameMargin + 1;
    if (widget)
        widget->setParent(this);
}

void CCommonDialog::setCloseEnabled(bool enabled)
{
    if (closeButton)
        closeButton->setEnabled(enabled);
}

int CCommonDialog::exec()
{
    if (auto* inner = dynamic_cast<CBaseWidget*>(innerWidget.data()))
        inner->setActive(true, true);
    return QDialog::exec();
}

void CCommonDialog::paintEvent(QPaintEvent* event)
{
    CCustomDialog::paintEvent(event);
}

void CCommonDialog::resizeEvent(QResizeEvent* event)
{
    CEventWidgetT<QDialog>::resizeEvent(event);
    if (titleText)
        titleText->move(frameMargin + 10, frameMargin + (titleBarHeight - titleText->height()) / 2);
    if (closeButton)
        closeButton->move(event->size().width() - frameMargin - closeButton->width(), frameMargin);
}

void CCommonDialog::themeChanged()
{
    if (innerWidget)
        innerWidget->update();
    if (titleText) {
        titleText->resize(titleText->sizeHint());
        titleText->update();
    }
    if (closeButton)
        closeButton->update();
    update();
}

} // namespace Omra
