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
#include <QScrollBar>
#include <QTextEdit>

#include <memory>

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

// A disclosure of the length a broker shows before margin trading is opened.
const QString disclosure = QStringLiteral(
    "尊敬的投资者：\n\n"
    "融资融券交易是指您向证券公司提供担保物，借入资金买入证券或借入证券并卖出的交易行为。"
    "与普通证券交易相比，融资融券交易在放大收益的同时也放大了风险。为使您充分了解其中的风险，"
    "请在参与交易前仔细阅读本风险揭示书，并结合自身的财务状况和风险承受能力审慎决定。\n\n"
    "一、杠杆交易风险。融资融券交易具有杠杆效应，您在可能获得较高收益的同时，也可能承受远超"
    "普通交易的亏损，亏损金额可能超过您投入的全部保证金。\n\n"
    "二、强制平仓风险。当您的维持担保比例低于合同约定的平仓线，且未能在约定期限内追加担保物或"
    "自行了结部分负债时，证券公司有权对您的担保物实施强制平仓，由此产生的价格损失及费用由您"
    "自行承担。市场剧烈波动时，平仓成交价格可能明显低于您的预期。\n\n"
    "三、追加担保物风险。担保证券价格下跌或融券标的价格上涨，都可能使维持担保比例下降，您需要"
    "在规定时间内追加资金或证券。未能及时追加的，将面临强制平仓。\n\n"
    "四、利率与费用风险。融资利率和融券费率可能随市场利率及证券公司政策调整，负债期限越长，"
    "需要支付的利息和费用越多，将直接减少您的实际收益。\n\n"
    "五、标的调整风险。交易所或证券公司可能调整融资融券标的证券及可充抵保证金证券的范围和"
    "折算率，标的被调出后，您可能无法继续融资买入或融券卖出，已有负债需按约定了结。\n\n"
    "六、监管与政策风险。监管部门可能根据市场情况调整融资融券业务规则，证券公司也可能依法"
    "调整保证金比例、授信额度等交易条件，相关变化可能对您的持仓和交易产生不利影响。\n\n"
    "七、信息与操作风险。因通信故障、系统故障或您未及时查阅证券公司的通知，可能导致追加担保物"
    "或平仓的提示未被及时知悉。请您保持联系方式有效，并每日关注账户的维持担保比例。\n\n"
    "本风险揭示书无法揭示融资融券交易的全部风险。您在签署相关合同前，应当认真阅读合同条款及"
    "业务规则，确认已充分理解并愿意承担上述风险。");

Omra::CUserAgreementDialog* makeAgreement(QWidget* parent = nullptr)
{
    auto* dialog = new Omra::CUserAgreementDialog(QStringLiteral("《融资融券风险揭示书》"),
                                                  QString(), QString(), parent);
    dialog->load(disclosure);
    return dialog;
}

// Scrolls the agreement's text to its end, as a reader does before accepting.
void readToEnd(QWidget* dialog)
{
    auto* text = dialog->findChild<QTextEdit*>(QStringLiteral("agreementText"));
    text->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    QApplication::processEvents();
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
        "non-empty; the agreement's 接受 is enabled once its text has been scrolled to the end "
        "and reports whether the box is ticked.");

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
        QStringLiteral("useragreement-text"), [] { return makeAgreement(); }, {}};
    page.shots << gallery::Shot{QStringLiteral("useragreement-read-ticked"),
                                [] { return makeAgreement(); },
                                [](QWidget* w) {
                                    readToEnd(w);
                                    w->findChild<QCheckBox*>()->click();
                                }};
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
            std::unique_ptr<Omra::CUserAgreementDialog> dialog(makeAgreement(parent));
            Omra::CDialogHelper::toCenter(dialog.get());
            QString got = QStringLiteral("no callback (closed)");
            dialog->display([&got](bool accepted, bool noReminder) {
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
