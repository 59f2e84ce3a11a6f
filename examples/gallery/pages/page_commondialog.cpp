#include "gallery.h"

#include "uibase/dialog/ccommondialog.h"
#include "uibase/dialog/cdialoghelper.h"

#include <QVBoxLayout>

namespace {

Omra::CCommonDialog* makeFramedDialog()
{
    auto* dialog = new Omra::CCommonDialog;
    dialog->setTitle(QStringLiteral("通用对话框"));
    auto* inner = new Omra::CBaseWidget(QStringLiteral("base_widget"), true, dialog);
    auto* layout = new QVBoxLayout(inner);
    auto* label = new Omra::CSimpleTextWidget(
        QStringLiteral(
            "Any widget can be the client area of the frame.\n任何控件都可以放在框架里。"),
        inner);
    label->setObjectName(QStringLiteral("sampleText"));
    label->setFlag(Qt::AlignCenter | Qt::TextWordWrap);
    layout->addWidget(label);
    dialog->setInnerWidget(inner);
    dialog->resize(420, 260);
    return dialog;
}

gallery::Page commonDialogPage()
{
    gallery::Page page;
    page.title = QStringLiteral("Common dialog frame");
    page.description = QStringLiteral("CCommonDialog: frame, title, close button (id 101) and one "
                                      "inner widget. Drag it by its title bar.");
    page.shots << gallery::Shot{
        QStringLiteral("commondialog"), [] { return makeFramedDialog(); }, {}};
    page.shots << gallery::Shot{QStringLiteral("commondialog-close-disabled"),
                                [] {
                                    auto* dialog = makeFramedDialog();
                                    dialog->setCloseEnabled(false);
                                    return dialog;
                                },
                                {}};
    page.demos << gallery::Demo{QStringLiteral("Open a framed dialog"), [](QWidget*) {
                                    Omra::CCommonDialog* dialog = makeFramedDialog();
                                    dialog->setAttribute(Qt::WA_DeleteOnClose);
                                    Omra::CDialogHelper::toCenter(dialog);
                                    dialog->exec();
                                }};
    return page;
}

} // namespace

GALLERY_PAGE(commonDialogPage)
