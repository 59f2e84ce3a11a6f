// The input, user agreement and variable viewer dialogs.
// Run it to answer the dialogs yourself; with --smoke it answers them by itself.

#include "smoke.h"

#include "uibase/dialog/csimpleinputdialog.h"
#include "uibase/dialog/cuseragreementdialog.h"
#include "uibase/dialog/cviewvariabledialog.h"

#include <QApplication>

#include <cstdio>

using namespace Omra;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    quickstart::parseArguments(argc, argv);
    QWidget mainWindow;
    QWidget* window = &mainWindow;
    QStringList groups;
    const QString dump = QStringLiteral("position = {600000: 1000, 600036: -500}");

    // One value through a callback; the button stays disabled while the field is empty.
    quickstart::answer("okButton", {{"lineEdit", "Favourites"}});
    CSimpleInputDialog input("新建分组", QString(), window);
    input.setMaxTextLength(20);
    input.getInput([&](QString name) { groups.append(name); });
    std::printf("groups: %s\n", qPrintable(groups.join(',')));

    // User agreement: (true, ticked) when accepted; closing it calls nothing.
    quickstart::answer("acceptButton", {{"agreeCheckBox", "tick"}});
    CUserAgreementDialog agreement("《风险揭示书》", QString(), QString(), window);
    agreement.display([](bool accepted, bool dontRemind) {
        std::printf("agreement accepted %d, do not remind %d\n", accepted, dontRemind);
    });

    // Read-only text.
    quickstart::answer("closeButton");
    CViewVariableDialog viewer(window);
    viewer.setText(dump);
    int closed = viewer.exec();
    std::printf("viewer: %d\n", closed);
    return 0;
}
