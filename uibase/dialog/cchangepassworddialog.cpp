#include "uibase/dialog/cchangepassworddialog.h"

#include "uibase/dialog/contracts/utils.h"
#include "uibase/dialog/platformvalues_p.h"

#include <QPainter>

#include <cstring>

namespace Omra {

namespace {

enum {
    OldPasswordId = 0,
    NewPasswordId = 1,
    ConfirmPasswordId = 2,
    ErrorTextId = 3,
    SubmitButtonId = 4,
    DismissButtonId = 5,
};

const int rowHeight = 24;
const int rowStep = 34;
const int buttonWidth = 65;

// The UTF-8 bytes of text up to the first zero byte, as the peers of this dialog see them.
QByteArray utf8Bytes(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return QByteArray(bytes.constData(), int(std::strlen(bytes.constData())));
}

CSimpleTextWidget* makeLabel(const QString& text, const QString& objectName, QWidget* parent)
{
    auto* label = new CSimpleTextWidget(text, parent);
    label->setObjectName(objectName);
    label->resize(label->sizeHint());
    return label;
}

CLineEdit* makePasswordEdit(int id, const QString& objectName, const CSimpleTextWidget* label,
                            QWidget* parent)
{
    auto* edit = new CLineEdit(id, parent, false);
    edit->setObjectName(objectName);
    // Painted labels are no buddies; the field carries the label's words itself.
    edit->setAccessibleName(label->getText().trimmed());
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

} // namespace

CChangePasswordDialog::CChangePasswordDialog(int type, QString title, QString, QString,
                                             QWidget* parent)
    : CCommonDialog(parent), dialogType(type)
{
    setTitle(title);
    createUi();
    const CUiResource* theme = utils::CSingletonT<CUiResource>::instance();
    setFixedSize(theme->getSize(QStringLiteral("siz_modify_password_dialog_width")) +
                     2 * frameMargin,
                 theme->getSize(QStringLiteral("siz_modify_password_dialog_height")) +
                     2 * frameMargin + titleBarHeight);
    setAttribute(Qt::WA_DeleteOnClose);
}

void CChangePasswordDialog::createUi()
{
    // The leading ideographic space gives all three labels the same four-character width.
    oldPasswordLabel =
        makeLabel(QStringLiteral("\u3000旧密码"), QStringLiteral("oldPasswordLabel"), this);
    oldPasswordEdit =
        makePasswordEdit(OldPasswordId, QStringLiteral("oldPasswordEdit"), oldPasswordLabel, this);
    newPasswordLabel =
        makeLabel(QStringLiteral("\u3000新密码"), QStringLiteral("newPasswordLabel"), this);
    newPasswordEdit =
        makePasswordEdit(NewPasswordId, QStringLiteral("newPasswordEdit"), newPasswordLabel, this);
    confirmPasswordLabel =
        makeLabel(QStringLiteral("确认密码"), QStringLiteral("confirmPasswordLabel"), this);
    confirmPasswordEdit = makePasswordEdit(ConfirmPasswordId, QStringLiteral("confirmPasswordEdit"),
                                           confirmPasswordLabel, this);

    errorText = new CSimpleTextWidget(false, ErrorTextId, QStringLiteral(" "), this);
    errorText->setObjectName(QStringLiteral("errorText"));
    errorText->setColorKey(QStringLiteral("clr_text_error"));
    errorText->resize(errorText->sizeHint());

    okButton = new CMediumNormalButton(SubmitButtonId, true, this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setText(QStringLiteral("确定"));

    cancelButton =
        new CPushButton(QStringLiteral("img_btn_negative"), DismissButtonId, 1, 3, 1, 3, this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setTextColorKey("clr_btn_text_negative", "clr_btn_text_negative",
                                  "clr_btn_text_negative", "clr_btn_text_negative");
    cancelButton->setText(QStringLiteral("取消"));
}

QString CChangePasswordDialog::encrypt(QString password)
{
    if (password.isEmpty())
        return QString();
    // A text of digest length is taken as a digest already (a remembered password).
    if (password.length() == 40)
        return password;
    const QByteArray bytes = utf8Bytes(password);
    unsigned char digest[20];
    utils::sha1_checksum(digest, bytes.constData(), std::size_t(bytes.size()));
    char hex[40];
    utils::hexlify(hex, digest, sizeof digest);
    return QString::fromLatin1(hex, int(sizeof hex));
}

bool CChangePasswordDialog::isMatch(QString password)
{
    const QByteArray bytes = utf8Bytes(password);
    if (bytes.size() < 8 || bytes.size() > 16)
        return false;
    bool digit = false;
    bool letter = false;
    bool special = false;
    for (const char c : bytes) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            letter = true;
        else
            special = true;
    }
    return digit && letter && special;
}

void CChangePasswordDialog::showFieldTip(CLineEdit* field, const QString& message)
{
    CMessageTip::showTip(field, ui::tipAtField, message, 2, 300);
    field->setFocus();
}

bool CChangePasswordDialog::handleEvent(int type, int id, int param, QString text, void* data)
{
    if (type != ui::eventClick)
        return CBaseDialog::handleEvent(type, id, param, text, data);

    switch (id) {
    case DismissButtonId:
    case ui::idClose:
        reject();
        break;
    case SubmitButtonId: {
        if (errorText)
            errorText->setText(QStringLiteral(" "), 100000);
        if (!oldPasswordEdit || !newPasswordEdit || !confirmPasswordEdit)
            break;
        const QString oldPassword = oldPasswordEdit->text();
        const QString newPassword = newPasswordEdit->text();
        const QString confirmPassword = confirmPasswordEdit->text();
        const QString emptyMessage = QStringLiteral("密码不能为空");
        if (oldPassword.isEmpty()) {
            showFieldTip(oldPasswordEdit, emptyMessage);
        } else if (newPassword.isEmpty()) {
            showFieldTip(newPasswordEdit, emptyMessage);
        } else if (confirmPassword.isEmpty()) {
            showFieldTip(confirmPasswordEdit, emptyMessage);
        } else if (newPassword != confirmPassword) {
            showFieldTip(confirmPasswordEdit, QStringLiteral("新密码不一致"));
        } else if (!isMatch(confirmPasswordEdit->text())) {
            showFieldTip(newPasswordEdit,
                         QStringLiteral("请输入8~16位同时包含字母、数字和特殊字符的密码"));
        } else {
            emit sigChangePassword(encrypt(oldPassword), encrypt(newPassword));
            accept();
        }
        break;
    }
    default:
        break;
    }
    return true;
}

void CChangePasswordDialog::resizeEvent(QResizeEvent* event)
{
    CCommonDialog::resizeEvent(event);
    const int margin = frameMargin;
    const int width = this->width();
    const int top = margin + 15 + titleBarHeight;

    const struct
    {
        CSimpleTextWidget* label;
        CLineEdit* edit;
    } rows[] = {{oldPasswordLabel, oldPasswordEdit},
                {newPasswordLabel, newPasswordEdit},
                {confirmPasswordLabel, confirmPasswordEdit}};
    int y = top;
    for (const auto& row : rows) {
        int x = margin + 20;
        if (row.label) {
            row.label->move(x, y + (rowHeight - row.label->sizeHint().height()) / 2);
            x = margin + 30 + row.label->width();
        }
        if (row.edit)
            row.edit->setGeometry(x, y, width - 20 - x - margin, rowHeight);
        y += rowStep;
    }

    const int buttonsY = top + 117;
    if (errorText)
        errorText->move(margin + 20, buttonsY + (rowHeight - errorText->sizeHint().height()) / 2);
    if (cancelButton) {
        cancelButton->setGeometry(width - 85 - margin, buttonsY, buttonWidth, rowHeight);
        if (okButton)
            okButton->setGeometry(cancelButton->x() - 75 - margin, buttonsY, buttonWidth,
                                  rowHeight);
    }
}

void CChangePasswordDialog::paintEvent(QPaintEvent* event)
{
    CCommonDialog::paintEvent(event);
    QPainter painter(this);
    const QColor* color = utils::CSingletonT<CUiResource>::instance()->getColor(
        QStringLiteral("clr_warn_background_color"));
    const int margin = frameMargin;
    painter.fillRect(QRect(margin + 1, titleBarHeight + margin, width() - 2 * margin - 2,
                           height() - 2 * margin - titleBarHeight - 1),
                     *color);
}

} // namespace Omra
