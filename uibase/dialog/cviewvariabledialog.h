#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/ccommondialog.h"

#include <QString>

namespace Omra {

// Shows a caller's text, such as the value of a variable, read-only in a framed dialog
// titled "变量查看器". Resizable; it starts at 700 x 200 (bounded by the frame's minimum).
class DIALOG_EXPORT CViewVariableDialog : public CCommonDialog
{
public:
    explicit CViewVariableDialog(QWidget* parent = nullptr);
    ~CViewVariableDialog() override;

    // Replaces the shown text.
    void setText(QString text);

protected:
    void createUi();

private:
    CTextEdit* textView = nullptr;
};

} // namespace Omra
