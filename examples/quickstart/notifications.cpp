// The notification popup and the multi-message dialog.
// Run it to watch them; with --smoke it dismisses the messages by itself.

#include "smoke.h"

#include "uibase/dialog/cglobalmessagedialog.h"
#include "uibase/dialog/cmultimessagedialog.h"

#include <QApplication>
#include <QDialog>

#include <cstdio>

using namespace Omra;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    quickstart::parseArguments(argc, argv);
    QWidget window;
    window.resize(800, 600);
    window.show();
    QWidget* mainWindow = &window;

    // The one notification popup of the process, 20 px left of and 40 px above the anchor.
    // It closes itself after 3 seconds; pressing it reports message id 17.
    CGlobalMessageDialog::setRightBottom(mainWindow->geometry().bottomRight());
    CGlobalMessageDialog::showSingleMessage("公告", "今日新股申购", 3, 17, true, mainWindow, false,
                                            false, true, false);
    auto* popup = CGlobalMessageDialog::instance(mainWindow);
    QObject::connect(popup, &CGlobalMessageDialog::sigShowMessage,
                     [](int id) { std::printf("message %d pressed\n", id); });
    QObject::connect(popup, &CGlobalMessageDialog::sigSetShowMessage,
                     [](bool keepShowing, QString title) {
                         std::printf("%s: keep showing %d\n", qPrintable(title), keepShowing);
                     });

    // Messages shown one per second in one dialog.
    auto* stream = new CMultiMessageDialog(mainWindow);
    stream->updateMessage("成交回报: 600000 买入 1000 股");
    stream->updateMessage("成交回报: 600036 卖出 500 股");
    quickstart::answer("okButton", {}, stream);
    quickstart::answer("okButton", {}, stream);

    // This example ends when the popup has closed itself.
    QObject::connect(popup, &QDialog::finished, [&] {
        std::printf("popup closed, multi-message dialog %s\n",
                    stream->isVisible() ? "shown" : "hidden");
        app.quit();
    });
    return app.exec();
}
