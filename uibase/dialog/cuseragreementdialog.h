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
/// at first, and the always enabled "接受" (accept) button.
///
/// \image html useragreement-unticked.png
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
    /// Accepts the agreement's text for compatibility; the dialog does not show it.
    void load(QString);

protected:
    void onOK() override;

private:
    CCheckBox* agreeCheckBox = nullptr;
    CMediumNormalButton* acceptButton = nullptr;
    boost::function<void(bool, bool)> resultCallback;
};

} // namespace Omra
