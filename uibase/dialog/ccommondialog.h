#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/contracts/basewidget.h"

namespace Omra {

// The framed dialog most dialogs of the library derive from: the frame background, a title
// at the left of the title bar, a close button (id 101) at its right and, optionally, one
// inner widget filling the client area. Its size is bounded by 400 x 250 and the default
// screen's available area.
class DIALOG_EXPORT CCommonDialog : public CCustomDialog
{
public:
    explicit CCommonDialog(QWidget* parent = nullptr);
    ~CCommonDialog() override;

    void setTitle(QString title);
    void setInnerWidget(QWidget* widget);
    void setCloseEnabled(bool enabled);

    int exec() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void themeChanged() override;

    CSimpleTextWidget* titleText = nullptr;
    CPushButton* closeButton = nullptr;
};

} // namespace Omra
