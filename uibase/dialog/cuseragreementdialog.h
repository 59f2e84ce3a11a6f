#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/ccommondialog.h"

#include <QString>

#include <boost/function.hpp>

namespace Omra {

// Asks the user to accept a named agreement. The title is the agreement's name; the bottom
// bar holds a "do not remind again" check box and the "接受" button (id 102). Run it with
// display(): accepting calls the callback with (true, whether the box is ticked) before
// the dialog closes; closing it any other way calls nothing.
class DIALOG_EXPORT CUserAgreementDialog : public CCommonDialog
{
public:
    // The second and third strings are accepted for compatibility and not used.
    CUserAgreementDialog(QString name, QString second, QString third, QWidget* parent = nullptr);
    ~CUserAgreementDialog() override;

    // Stores the callback (replacing any earlier one) and runs the dialog modally.
    int display(boost::function<void(bool, bool)> callback);
    // Kept for callers that hand over the agreement text; the dialog does not show it.
    void load(QString);

protected:
    void onOK() override;

private:
    CCheckBox* agreeCheckBox = nullptr;
    CMediumNormalButton* acceptButton = nullptr;
    boost::function<void(bool, bool)> resultCallback;
};

} // namespace Omra
