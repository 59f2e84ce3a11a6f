#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/ccommondialog.h"

#include <QString>

#include <boost/function.hpp>

namespace Omra {

/// \brief Asks the user to accept a named agreement.
///
/// A framed dialog titled with the agreement's name. Its bottom bar holds the check box
/// "我已阅读、充分理解并接受<name>，不再提醒" (read and accepted, do not remind again), unticked
/// at first, and the "接受" (accept) button. The area above the bar shows the agreement's text
/// once load() has been given one (object name "agreementText", read-only, scrollable, in the
/// theme's "fnt_user_agreement_dialog_text", "clr_user_agreement_dialog_text",
/// "clr_user_agreement_dialog_background" and "clr_user_agreement_dialog_border"); until then
/// the area is empty and "接受" is always enabled.
///
/// \image html useragreement-text.png
class DIALOG_EXPORT CUserAgreementDialog : public CCommonDialog
{
public:
    // The second and third strings are accepted for compatibility and not used.
    /// Builds the dialog.
    /// \param name the agreement's name, shown as the title and in the check box text.
    /// \param second,third accepted for compatibility and not used.
    /// \param parent Qt parent, or null.
    CUserAgreementDialog(QString name, QString second, QString third, QWidget* parent = nullptr);
    /// Destroys the dialog and the stored callback.
    ~CUserAgreementDialog() override;

    /// Stores \a callback (replacing any earlier one) and runs the dialog modally.
    ///
    /// "接受" calls \a callback with (true, whether the box is ticked) before the dialog
    /// closes; closing it any other way calls nothing. An empty callback is never called.
    /// \return QDialog::Accepted (1) after "接受", QDialog::Rejected (0) otherwise.
    int display(boost::function<void(bool, bool)> callback);
    /// Shows the agreement's text above the bottom bar, replacing any earlier one.
    ///
    /// \a text is Qt rich text when Qt::mightBeRichText() says so, else plain text. A one-line
    /// string that is an absolute path, or the path of an existing file, is read as a UTF-8
    /// file holding such text instead.
    ///
    /// Once a text is shown, "接受" is disabled (its tool tip says why) until the user has
    /// scrolled to the end of the text, by wheel, keys or scroll bar; a text that fits without
    /// scrolling enables it as soon as the dialog is shown. Once enabled it stays enabled
    /// until the next load(). A blank text, or a file that cannot be read, is empty or is
    /// larger than 4 MiB, shows nothing and leaves "接受" enabled, as before any load(); a
    /// file that is not shown is reported by a warning in the "omra.dialog" logging category.
    void load(QString text);

protected:
    void onOK() override;

private:
    CCheckBox* agreeCheckBox = nullptr;
    CMediumNormalButton* acceptButton = nullptr;
    boost::function<void(bool, bool)> resultCallback;
};

} // namespace Omra
