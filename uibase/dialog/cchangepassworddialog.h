#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/ccommondialog.h"

namespace Omra {

/// \brief Asks for the current password and twice for a new one; hands out SHA-1 digests.
///
/// "确定" checks, in this order: old, new and confirmation filled ("密码不能为空"), new and
/// confirmation equal ("新密码不一致"), the password rule ("请输入8~16位同时包含字母、数字和
/// 特殊字符的密码"): 8 to 16 UTF-8 bytes with at least one ASCII digit, one ASCII letter and
/// one other byte (punctuation, space, any byte of a non-ASCII character). The first problem
/// is shown as a tip beside its field, which takes the focus, and the dialog stays open.
/// When all is well it emits sigChangePassword() with the digests of the old and the new
/// password and closes as accepted. "取消" and the close button reject it without a
/// signal. The dialog talks to no server, and deletes itself once closed: create it with
/// \c new and read the result from the signal.
///
/// \image html changepassword.png
/// \image html changepassword-tip-rule.png "A new password that breaks the rule"
class DIALOG_EXPORT CChangePasswordDialog : public CCommonDialog
{
    Q_OBJECT
public:
    /// Builds the dialog.
    /// \param type kept for the caller; the dialog does not use it.
    /// \param title title bar text.
    /// \param parent Qt parent, or null.
    ///
    /// The two other strings are accepted for compatibility and not used.
    CChangePasswordDialog(int type, QString title, QString, QString, QWidget* parent = nullptr);

    /// The digest the dialog sends for \a password: empty stays empty, a text of exactly 40
    /// characters is taken as a digest already and returned unchanged, anything else becomes
    /// the 40 lower-case hex digits of the SHA-1 of its UTF-8 bytes. Usable without a dialog.
    static QString encrypt(QString password);

Q_SIGNALS:
    /// The user confirmed valid input: \a oldPassword and \a newPassword are the encrypt()
    /// digests of the old and the new password. Emitted once, just before the dialog closes.
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
