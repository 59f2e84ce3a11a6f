#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/ccommondialog.h"

#include <QLineEdit>
#include <QList>
#include <QString>

#include <boost/function.hpp>

class QValidator;

namespace Omra {

/// \brief Asks for one text value, in a line edit or an editable combo box.
///
/// A framed dialog with one input field and the button "确定" on one row. The button is
/// enabled exactly while the text is non-empty, so empty input cannot be confirmed; a
/// validator's verdict is not consulted. Run it with getInput(): on "确定" the callback gets
/// the text and the dialog closes as accepted. The dialog's size comes from the theme keys
/// \c siz_simple_input_dialog_width and \c siz_simple_input_dialog_height.
///
/// \image html simpleinput-text-typed.png "Free-text form"
/// \image html simpleinput-choice-typed.png "Choice form"
class DIALOG_EXPORT CSimpleInputDialog : public CCommonDialog
{
public:
    /// Builds the free-text form, with an empty line edit and the button disabled.
    /// \param title title bar text.
    /// \param parent Qt parent, or null.
    ///
    /// The second string is accepted for compatibility and not shown.
    CSimpleInputDialog(QString title, QString, QWidget* parent = nullptr);
    /// Builds the choice form: an editable combo box holding \a items in their order, the
    /// first one (if any) as the starting text. The user may pick an item or type any text.
    /// \param title title bar text.
    /// \param items the choices; an empty list gives an empty field.
    /// \param parent Qt parent, or null.
    ///
    /// The second string is accepted for compatibility and not shown.
    CSimpleInputDialog(QString title, QString, QList<QString> items, QWidget* parent = nullptr);
    /// Destroys the dialog and the stored callback.
    ~CSimpleInputDialog() override;

    /// Stores \a callback (an empty one clears it) and runs the dialog modally.
    /// The callback receives the text when the user confirms, before the dialog closes; it
    /// is never called when empty or when the dialog is closed otherwise.
    /// \return QDialog::Accepted (1) after "确定", QDialog::Rejected (0) otherwise.
    int getInput(boost::function<void(QString)> callback);

    /// Sets the line edit's echo mode, e.g. QLineEdit::Password. The choice form ignores it.
    void setEchoMode(QLineEdit::EchoMode mode);
    /// Limits the line edit to \a length characters (QLineEdit::setMaxLength). The choice
    /// form ignores it.
    void setMaxTextLength(int length);

    /// Puts \a text into the field and enables the button exactly when it is non-empty.
    void setText(QString text);
    /// Installs \a validator on the field (line edit or combo box); null removes it. The
    /// caller keeps ownership and must keep it alive while the dialog uses it.
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
