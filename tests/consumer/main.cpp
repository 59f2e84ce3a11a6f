// Builds against the installed headers and libraries and checks that the platform
// stand-ins and a dialog work from the outside.

#include "uibase/dialog/ccommondialog.h"
#include "uibase/dialog/contracts/basewidget.h"
#include "uibase/dialog/contracts/uiresource.h"
#include "uibase/dialog/contracts/utils.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    auto* theme = utils::CSingletonT<Omra::CUiResource>::instance();
    if (theme->getSize(QStringLiteral("siz_message_box_margin")) <= 0 ||
        theme->getPixmap(QStringLiteral("img_custom_dialog_bg"))->isNull()) {
        std::fprintf(stderr, "default theme missing\n");
        return 1;
    }
    utils::CSingletonT<utils::CLogCenter>::instance()->setConLogEnabled(35, true);

    Omra::CCommonDialog dialog;
    dialog.setTitle(QStringLiteral("consumer"));
    auto* close = dialog.findChild<Omra::CPushButton*>(QStringLiteral("closeButton"));
    if (!close)
        return 1;
    QTimer::singleShot(0, close, [close] { close->click(); });
    const int result = dialog.exec();
    std::printf("consumer: dialog closed with %d\n", result);
    return result == QDialog::Rejected ? 0 : 1;
}
