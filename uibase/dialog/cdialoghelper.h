#pragma once

#include "uibase/dialog/dialog_global.h"

class QDialog;

namespace Omra {

// Moves dialogs to the middle of the default screen's available area, measured from the
// screen origin.
class DIALOG_EXPORT CDialogHelper
{
public:
    static void toCenter(QDialog* dialog);
    static void fixCenter(QDialog* dialog);
};

} // namespace Omra
