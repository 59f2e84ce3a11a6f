#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/ccommondialog.h"

namespace Omra {

// Asks for the current password and twice for a new one. OK checks the fields in order
// (old, new and confirmation filled, the two new ones equal, the password rule) and shows
// the first problem as a tip beside its field; when all is well it emits the SHA-1 digests
// of the old and the new password through sigChangePassword and accepts. The dialog deletes
// itself once closed.
class DIALOG_EXPORT CChangePasswordDialog : public CCommonDialog
{
    Q_OBJECT
public:
    CChangePasswordDialog(int type, QString title, QString, QString, QWidget* parent = nullptr);

    // The digest sent for a password: empty stays empty, a 40-character text is taken as a
    // digest already, anything else becomes the 40 lower-case hex digits of the SHA-1 of
    // its UTF-8 bytes.
    static QString encrypt(QString password);

Q_SIGNALS:
    void sigChangePassword(QString oldPassword, QString newPassword);

protected:
    // 8 to 16 UTF-8 bytes with at least one ASCII digit, one ASCII letter and one other
    // byte (punctuation, space, any byte of a non-ASCII character).
    bool isMatch(QString password);
    void createUi();
    bool handleEvent(int type, int id, int param, QString text, void* data) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // Kept for the caller; the dialog itself does not look at it.
    int dialogType;
    CLineEdit* oldPasswordEdit = nullptr;
    CLineEdit* newPasswordEdit = nullptr;
    CLineEdit* confirmPasswordEdit = nullptr;
    CSimpleTextWidget* oldPasswordLabel = nullptr;
    CSimpleTextWidget* newPasswordLabel = nullptr;
    CSimpleTextWidget* confirmPasswordLabel = nullptr;
    CSimpleTextWidget* errorText = nullptr;
    CMediumNormalButton* okButton = nullptr;
    CPushButton* cancelButton = nullptr;

private:
    void showFieldTip(CLineEdit* field, const QString& message);
};

} // namespace Omra
