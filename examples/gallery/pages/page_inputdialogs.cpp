#include "gallery.h"

#include "uibase/dialog/cdialoghelper.h"
#include "uibase/dialog/csimpleinputdialog.h"
#include "uibase/dialog/cuseragreementdialog.h"
#include "uibase/dialog/cviewvariabledialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpressionValidator>

namespace {

Omra::CSimpleInputDialog* makeTextInput()
{
    return new Omra::CSimpleInputDialog(QStringLiteral("新建分组"), QString());
}

Omra::CSimpleInputDialog* makeChoiceInput(const QList<QString>& items)
{
    return new Omra::CSimpleInputDialog(QStringLiteral("选择交易账户"), QString(), items);
}

const QList<QString> accountItems{QStringLiteral("主账户 8800123"),
                                  QStringLiteral("子账户 8800456"),
                                  QStringLiteral("模拟账户 9900001")};

Omra::CUserAgreementDialog* makeAgreement()
{
    return new Omra::CUserAgreementDialog(QStringLiteral("《融资融券风险揭示书》"), QString(),
                                          QString());
}

Omra::CViewVariableDialog* makeViewer()
{
    auto* dialog = new Omra::CViewVariableDialog;
    dialog->setText(QStringLiteral("orderBook = {\n"
                                   "    symbol: \"600000.SH\",\n"
                                   "    bid: [10.21 x 3500, 10.20 x 12000, 10.19 x 800],\n"
                                   "    ask: [10.22 x 4100, 10.23 x 9600],\n"
                                   "    lastPrice: 10.22, volume: 18250400\n"
                                   "}"));
    return dialog;
}

// Types into the dialog's field the way a keyboard would.
void typeInto(QWidget* dialog, const QString& text)
{
    QWidget* field = dialog->findChild<QLineEdit*>();
    if (!field)
        return;
    field->setFocus();
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(field, &release);
    }
}

// Runs a dialog and reports what came out, so a demo shows the callback at work.
void report(QWidget* parent, const QString& text)
{
    QMessageBox::information(parent, QStringLiteral("Result"), text);
}

gallery::Page inputDialogsPage()
{
    gallery::Page page;
    page.title = QStringLiteral("Input and information dialogs");
    page.description = QStringLiteral(
        "CSimpleInputDialog (free text and choice), CUserAgreementDialog and "
        "CViewVariableDialog. The input dialog's 确定 is enabled only while the text is "
        "non-empty; the agreement's 接受 reports whether the box is ticked.");

    page.shots << gallery::Shot{
        QStringLiteral("simpleinput-text-empty"), [] { return makeTextInput(); }, {}};
    page.shots << gallery::Shot{QStringLiteral("simpleinput-text-typed"),
                                [] { return makeTextInput(); },
                                [](QWidget* w) { typeInto(w, QStringLiteral("自选股 A")); }};
    page.shots << gallery::Shot{QStringLiteral("simpleinput-password"),
                                [] {
                                    auto* dialog = new Omra::CSimpleInputDialog(
                                        QStringLiteral("请输入交易密码"), QString());
                                    dialog->setEchoMode(QLineEdit::Password);
                                    return dialog;
                                },
                                [](QWidget* w) { typeInto(w, QStringLiteral("123456")); }};
    page.shots << gallery::Shot{
        QStringLiteral("simpleinput-choice-empty"), [] { return makeChoiceInput({}); }, {}};
    page.shots << gallery::Shot{QStringLiteral("simpleinput-choice-typed"),
                                [] { return makeChoiceInput(accountItems); },
                                [](QWidget* w) {
                                    w->findChild<QComboBox*>()->clearEditText();
                                    typeInto(w, QStringLiteral("信用账户 7700"));
                                }};
    page.shots << gallery::Shot{
        QStringLiteral("useragreement-unticked"), [] { return makeAgreement(); }, {}};
    page.shots << gallery::Shot{QStringLiteral("useragreement-ticked"),
                                [] { return makeAgreement(); },
                                [](QWidget* w) { w->findChild<QCheckBox*>()->click(); }};
    page.shots << gallery::Shot{QStringLiteral("viewvariable"), [] { return makeViewer(); }, {}};

    page.demos << gallery::Demo{
        QStringLiteral("Free-text input"), [](QWidget* parent) {
            Omra::CSimpleInputDialog dialog(QStringLiteral("新建分组"), QString(), parent);
            Omra::CDialogHelper::toCenter(&dialog);
            QString got;
            if (dialog.getInput([&got](QString text) { got = text; }) == QDialog::Accepted)
                report(parent, QStringLiteral("Callback got: ") + got);
        }};
    page.demos << gallery::Demo{
        QStringLiteral("Password input, digits only, max 6"), [](QWidget* parent) {
            Omra::CSimpleInputDialog dialog(QStringLiteral("请输入交易密码"), QString(), parent);
            QRegularExpressionValidator digits(QRegularExpression(QStringLiteral("[0-9]{6}")));
            dialog.setEchoMode(QLineEdit::Password);
            dialog.setMaxTextLength(6);
            dialog.setValidator(&digits);
            Omra::CDialogHelper::toCenter(&dialog);
            QString got;
            if (dialog.getInput([&got](QString text) { got = text; }) == QDialog::Accepted)
                report(parent, QStringLiteral("Callback got: ") + got);
        }};
    page.demos << gallery::Demo{
        QStringLiteral("Choice input"), [](QWidget* parent) {
            Omra::CSimpleInputDialog dialog(QStringLiteral("选择交易账户"), QString(), accountItems,
                                            parent);
            Omra::CDialogHelper::toCenter(&dialog);
            QString got;
            if (dialog.getInput([&got](QString text) { got = text; }) == QDialog::Accepted)
                report(parent, QStringLiteral("Callback got: ") + got);
        }};
    page.demos << gallery::Demo{
        QStringLiteral("User agreement"), [](QWidget* parent) {
            Omra::CUserAgreementDialog dialog(QStringLiteral("《融资融券风险揭示书》"), QString(),
                                              QString(), parent);
            Omra::CDialogHelper::toCenter(&dialog);
            QString got = QStringLiteral("no callback (closed)");
            dialog.display([&got](bool accepted, bool noReminder) {
                got = QStringLiteral("accepted=%1, do not remind=%2").arg(accepted).arg(noReminder);
            });
            report(parent, got);
        }};
    page.demos << gallery::Demo{QStringLiteral("Variable viewer"), [](QWidget*) {
                                    Omra::CViewVariableDialog* dialog = makeViewer();
                                    dialog->setAttribute(Qt::WA_DeleteOnClose);
                                    Omra::CDialogHelper::toCenter(dialog);
                                    dialog->exec();
                                }};
    return page;
}

} // namespace

GALLERY_PAGE(inputDialogsPage)
