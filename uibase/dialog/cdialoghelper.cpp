#include "uibase/dialog/cdialoghelper.h"

#include "uibase/dialog/dialogparts_p.h"

#include <QDialog>

namespace Omra {

void CDialogHelper::toCenter(QDialog* dialog)
{
    if (!dialog)
        return;
    // Measured from the screen's origin: a task bar at the left or top does not shift it.
    const QRect available = detail::defaultAvailableGeometry();
    dialog->move((available.width() - dialog->width()) / 2,
                 (available.height() - dialog->height()) / 2);
}

void CDialogHelper::fixCenter(QDialog* dialog)
{
    toCenter(dialog);
}

} // namespace Omra
