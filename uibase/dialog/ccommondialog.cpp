#include "uibase/dialog/ccommondialog.h"

#include "uibase/dialog/dialogparts_p.h"
#include "uibase/dialog/platformvalues_p.h"

#include <QResizeEvent>

namespace Omra {

namespace {

using namespace detail;

constexpr QSize minimumDialogSize(400, 250);
// The title starts this far right of the frame band.
constexpr int titleInset = 10;

} // namespace

CCommonDialog::CCommonDialog(QWidget* parent)
    : CCustomDialog(dialogFrame.margin, dialogFrame.titleBarHeight, dialogFrame.imageKey,
                    dialogFrame.imageLeft, dialogFrame.imageTop, dialogFrame.imageRight,
                    dialogFrame.imageBottom, parent)
{
    titleText = new CSimpleTextWidget(false, -1, QStringLiteral(" "), this);
    titleText->setObjectName(QStringLiteral("titleText"));
    titleText->setFontKey(QStringLiteral("fnt_dialog_title"));
    titleText->setColorKey(QStringLiteral("clr_common_dlg_title"));
    titleText->resize(titleText->sizeHint());

    setMinimumSize(minimumDialogSize);

    closeButton = new CPushButton(QStringLiteral("img_sys_btn_exit"), ui::idClose, this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setFocusPolicy(Qt::NoFocus);
    // A picture-only button: screen readers need its word.
    closeButton->setAccessibleName(QStringLiteral("关闭"));

    setMaximumSize(defaultAvailableGeometry().size());
}

CCommonDialog::~CCommonDialog() = default;

void CCommonDialog::setTitle(QString title)
{
    if (titleText) {
        titleText->setText(title, noLineLimit);
        // The title keeps its natural size; it is placed, never stretched.
        titleText->resize(titleText->sizeHint());
    }
    setWindowTitle(title);
}

void CCommonDialog::setInnerWidget(QWidget* widget)
{
    innerWidget = widget;
    innerWidgetFlag = true;
    // One pixel inside the frame band, below the title bar.
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
    if (titleText) {
        titleText->move(frameMargin + titleInset,
                        frameMargin + (titleBarHeight - titleText->height()) / 2);
    }
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
