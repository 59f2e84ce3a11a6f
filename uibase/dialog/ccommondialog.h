#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/contracts/basewidget.h"

namespace Omra {

/// \brief Themed frameless dialog with a title bar, a close button and one inner widget.
///
/// The base of most dialogs of the library. It paints the frame image
/// \c img_custom_dialog_bg (a 12-pixel shadow band, frame margin, around the visible frame
/// and a 30-pixel title bar), writes the title at the left of the title bar in
/// \c fnt_dialog_title / \c clr_common_dlg_title and puts a close button
/// (\c img_sys_btn_exit, control id 101, no keyboard focus) at its right end. A click on
/// the close button closes the dialog as rejected. The window can be dragged by the mouse.
///
/// A new dialog is at least 400 x 250 pixels and at most the default screen's available
/// area as it was at construction. The title is blank until setTitle() is called.
///
/// \image html commondialog.png "A common dialog with a text pane as its inner widget"
class DIALOG_EXPORT CCommonDialog : public CCustomDialog
{
public:
    /// Builds the frame, the blank title and the close button; \a parent is the Qt parent.
    explicit CCommonDialog(QWidget* parent = nullptr);
    /// Destroys the dialog with its child widgets.
    ~CCommonDialog() override;

    /// Shows \a title in the title bar and makes it the window title. Any text is accepted;
    /// a title wider than the title bar is drawn as it is, not elided.
    void setTitle(QString title);
    /// Makes \a widget the dialog's content: the dialog takes ownership and keeps it filling
    /// the client area, one pixel inside the frame and below the title bar, at every resize.
    /// A null \a widget is accepted and only sets the margins.
    void setInnerWidget(QWidget* widget);
    /// Enables or disables the close button; a disabled close button stays visible.
    void setCloseEnabled(bool enabled);

    /// Activates the inner widget when it is a toolkit widget (giving it the keyboard focus),
    /// then runs the dialog modally.
    /// \return what QDialog::exec() returns: the code given to done(), QDialog::Accepted
    ///         (1) or QDialog::Rejected (0, also for the close button and the Esc key).
    int exec() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void themeChanged() override;

    CSimpleTextWidget* titleText = nullptr;
    CPushButton* closeButton = nullptr;
};

} // namespace Omra
