#include "uibase/dialog/cdialoghelper.h"

#include <QDialog>
#include <QGuiApplication>
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

void CDialogHelper::toCenter(QDialog* dialog)
{
    if (!dialog)
        return;
    const QRect available = defaultAvailableGeometry();
    dialog->move((available.width() - dialog->width()) / 2,
                 (available.height() - dialog->height()) / 2);
}

void CDialogHelper::fixCenter(QDialog* dialog)
{
    toCenter(dialog);
}

} // namespace Omra
