#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/ccommondialog.h"

#include <QLineEdit>
#include <QList>
#include <QString>

#include <boost/function.hpp>

class QValidator;

namespace Omra {

// Asks for one text value: an input field and a "确定" button (id 102) on one row. The
// free-text form uses a line edit, the choice form an editable combo box holding the
// caller's items. The button is enabled exactly while the text is non-empty. Run it with
// getInput(); the callback receives the text when the user confirms.
class DIALOG_EXPORT CSimpleInputDialog : public CCommonDialog
{
public:
    // Free-text form. The second string is accepted for compatibility and not shown.
    CSimpleInputDialog(QString title, QString, QWidget* parent = nullptr);
    // Choice form with the items in their order; the first one starts as the text.
    CSimpleInputDialog(QString title, QString, QList<QString> items, QWidget* parent = nullptr);
    ~CSimpleInputDialog() override;

    // Stores the callback (an empty one clears it) and runs the dialog modally.
    int getInput(boost::function<void(QString)> callback);

    // Free-text form only; the choice form ignores them.
    void setEchoMode(QLineEdit::EchoMode mode);
    void setMaxTextLength(int length);

    void setText(QString text);
    // The caller keeps ownership of the validator.
    void setValidator(QValidator* validator);

protected:
    bool handleEvent(int type, int id, int param, QString text, void* data) override;
    void onOK() override;

private:
    void buildRow();
    void finishRow(bool okEnabled);
    void updateOkButton(const QString& text);

    CWidgetList* inputRow = nullptr;
    CLineEdit* lineEdit = nullptr;
    CComboBox* comboBox = nullptr;
    CMediumNormalButton* okButton = nullptr;
    boost::function<void(QString)> inputCallback;
};

} // namespace Omra
