#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/ccommondialog.h"

#include <QString>

namespace Omra {

/// \brief Read-only text viewer titled "变量查看器" (variable viewer).
///
/// A resizable framed dialog whose whole client area is a read-only text pane. It starts at
/// 700 x 200 pixels (raised to the frame's minimum 400 x 250). Show it with show() or exec().
///
/// \image html viewvariable.png
class DIALOG_EXPORT CViewVariableDialog : public CCommonDialog
{
public:
    /// Builds the empty viewer; \a parent is the Qt parent.
    explicit CViewVariableDialog(QWidget* parent = nullptr);
    /// Destroys the viewer.
    ~CViewVariableDialog() override;

    /// Shows \a text as plain text, replacing what was there; an empty text empties the pane.
    void setText(QString text);

protected:
    void createUi();

private:
    CTextEdit* textView = nullptr;
};

} // namespace Omra
