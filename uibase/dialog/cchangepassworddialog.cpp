#include "uibase/dialog/cchangepassworddialog.h"

#include "uibase/dialog/dialogparts_p.h"
#include "uibase/dialog/platformvalues_p.h"

#include "uibase/dialog/contracts/utils.h"

#include <QPainter>

#include <cstring>

namespace Omra {

namespace {

// Control ids, 0 to 5 in this order.
enum ControlId {
    OldPasswordId,
    NewPasswordId,
    ConfirmPasswordId,
    ErrorTextId,
    SubmitButtonId,
    DismissButtonId
};

// Three rows of label and field, then the error text at the left and the two buttons at
// the right. The labels stand `sideInset` inside the frame band, the fields `labelGap` right
// of them and end `sideInset` inside the right frame band.
constexpr int firstRowTop = 15; // below the title bar
constexpr int rowHeight = 24;
constexpr int rowStep = 34;
constexpr int sideInset = 20;
constexpr int labelGap = 10;
constexpr int buttonRowTop = 117; // below the first row's top
constexpr int buttonWidth = 65;
// The cancel button's left edge stands this far left of the right frame band, the OK
// button's this far and a frame band more left of the cancel button's.
constexpr int cancelButtonLeft = 85;
constexpr int okButtonStep = 75;

// A tip beside a field stays two seconds and wraps at 300 pixels.
constexpr int tipSeconds = 2;
constexpr int tipMaxWidth = 300;

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
    const CUiResource* resource = detail::theme();
    setFixedSize(resource->getSize(QStringLiteral("siz_modify_password_dialog_width")) +
                     2 * frameMargin,
                 resource->getSize(QStringLiteral("siz_modify_password_dialog_height")) +
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

    cancelButton = detail::makeLookButton(this, DismissButtonId, false, QStringLiteral("取消"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
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
    CMessageTip::showTip(field, ui::tipAtField, message, tipSeconds, tipMaxWidth);
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
            errorText->setText(QStringLiteral(" "), detail::noLineLimit);
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
    const int left = frameMargin + sideInset;
    const int fieldsRight = width() - frameMargin - sideInset;
    const int top = frameMargin + titleBarHeight + firstRowTop;
    const auto centredInRow = [](const QWidget* widget, int rowTop) {
        return rowTop + (rowHeight - widget->sizeHint().height()) / 2;
    };

    const struct
    {
        CSimpleTextWidget* label;
        CLineEdit* edit;
    } rows[] = {{oldPasswordLabel, oldPasswordEdit},
                {newPasswordLabel, newPasswordEdit},
                {confirmPasswordLabel, confirmPasswordEdit}};
    int y = top;
    for (const auto& row : rows) {
        int x = left;
        if (row.label) {
            row.label->move(x, centredInRow(row.label, y));
            x = left + row.label->width() + labelGap;
        }
        if (row.edit)
            row.edit->setGeometry(x, y, fieldsRight - x, rowHeight);
        y += rowStep;
    }

    const int buttonsY = top + buttonRowTop;
    if (errorText)
        errorText->move(left, centredInRow(errorText, buttonsY));
    if (cancelButton) {
        cancelButton->setGeometry(width() - frameMargin - cancelButtonLeft, buttonsY, buttonWidth,
                                  rowHeight);
        if (okButton) {
            okButton->setGeometry(cancelButton->x() - okButtonStep - frameMargin, buttonsY,
                                  buttonWidth, rowHeight);
        }
    }
}

void CChangePasswordDialog::paintEvent(QPaintEvent* event)
{
    CCommonDialog::paintEvent(event);
    QPainter painter(this);
    detail::fillClientArea(painter, this, frameMargin, titleBarHeight);
}

} // namespace Omra
