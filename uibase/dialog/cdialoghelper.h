#pragma once

#include "uibase/dialog/dialog_global.h"

class QDialog;

namespace Omra {

/// \brief Static helpers that centre a dialog on the default screen.
///
/// The position is measured from the screen origin (0, 0), not from the origin of the
/// available area, so a task bar at the left or top edge does not shift the dialog.
class DIALOG_EXPORT CDialogHelper
{
public:
    /// Moves \a dialog to ((W - width) / 2, (H - height) / 2), W x H being the default
    /// screen's available area; for a 400 x 300 dialog on 1920 x 1040 that is (760, 370).
    /// A null \a dialog is ignored.
    static void toCenter(QDialog* dialog);
    /// The same as toCenter().
    static void fixCenter(QDialog* dialog);
};

} // namespace Omra
