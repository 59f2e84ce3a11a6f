#include "uibase/dialog/csimpleinputdialog.h"

#include "uibase/dialog/dialogparts_p.h"
#include "uibase/dialog/platformvalues_p.h"

#include <QValidator>

namespace Omra {

namespace {

// Space between the frame and the field on the left, and the button and the frame on the
// right. The row centres its entries vertically, so no top or bottom margin is needed.
constexpr int rowSideMargin = 15;

} // namespace

CSimpleInputDialog::CSimpleInputDialog(QString title, QString, QWidget* parent)
    : CCommonDialog(parent)
{
    setTitle(title);
    buildRow();

    lineEdit = new CLineEdit(0, inputRow, false);
    lineEdit->setObjectName(QStringLiteral("lineEdit"));
    lineEdit->setTextFontKey(QStringLiteral("fnt_default_normal_fix"));
    inputRow->addStretchWidget(lineEdit, 1, ui::anchorCenter, false);

    finishRow(false);
}

CSimpleInputDialog::CSimpleInputDialog(QString title, QString, QList<QString> items,
                                       QWidget* parent)
    : CCommonDialog(parent)
{
    setTitle(title);
    buildRow();

    comboBox = new CComboBox(0, inputRow);
    comboBox->setObjectName(QStringLiteral("comboBox"));
    QString first;
    for (int i = 0; i < items.size(); ++i) {
        comboBox->addItem(items.at(i));
        if (i == 0)
            first = items.at(i);
    }
    comboBox->setEditable(true);
    comboBox->setFontKey(QStringLiteral("fnt_default_normal_fix"));
    inputRow->addStretchWidget(comboBox, 1, ui::anchorCenter, false);

    // The first item is the current one, so its text stands in the edit field.
    finishRow(!first.isEmpty());
}

CSimpleInputDialog::~CSimpleInputDialog()
{
    inputCallback.clear();
}

void CSimpleInputDialog::buildRow()
{
    inputRow = new CWidgetList(Qt::Horizontal, this);
    inputRow->setObjectName(QStringLiteral("inputRow"));
    inputRow->setMargin(rowSideMargin, 0, rowSideMargin, 0);
}

void CSimpleInputDialog::finishRow(bool okEnabled)
{
    okButton = new CMediumNormalButton(ui::idConfirm, true, inputRow);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setEnabled(okEnabled);
    okButton->setText(QStringLiteral("确定"));
    okButton->resize(detail::themeSize("siz_simple_input_dialog_btn_width"), okButton->height());

    // Field and button share one height so that the row reads as a single control.
    QWidget* field = lineEdit ? static_cast<QWidget*>(lineEdit) : comboBox;
    field->setFixedHeight(okButton->height());
    // The title is the only words the dialog has for what the field is for.
    field->setAccessibleName(windowTitle());

    inputRow->addFixedWidget(okButton, ui::anchorCenter, false);

    setInnerWidget(inputRow);

    setFixedSize(detail::themeSize("siz_simple_input_dialog_width") + 2 * frameMargin,
                 detail::themeSize("siz_simple_input_dialog_height") + 2 * frameMargin +
                     titleBarHeight);
}

int CSimpleInputDialog::getInput(boost::function<void(QString)> callback)
{
    inputCallback = callback;
    return exec();
}

void CSimpleInputDialog::setEchoMode(QLineEdit::EchoMode mode)
{
    if (lineEdit)
        lineEdit->setEchoMode(mode);
}

void CSimpleInputDialog::setMaxTextLength(int length)
{
    if (lineEdit)
        lineEdit->setMaxLength(length);
}

void CSimpleInputDialog::setText(QString text)
{
    if (lineEdit)
        lineEdit->setText(text);
    else if (comboBox)
        comboBox->setEditText(text);
    updateOkButton(text);
}

void CSimpleInputDialog::setValidator(QValidator* validator)
{
    if (lineEdit)
        lineEdit->setValidator(validator);
    else if (comboBox)
        comboBox->setValidator(validator);
}

bool CSimpleInputDialog::handleEvent(int type, int id, int param, QString text, void* data)
{
    switch (type) {
    case ui::eventTextEdited:
    case ui::eventTextChanged:
    case ui::eventComboTextChanged:
        updateOkButton(text);
        return true;
    default:
        return CBaseDialog::handleEvent(type, id, param, text, data);
    }
}

void CSimpleInputDialog::onOK()
{
    if (inputCallback.empty())
        return;
    QString text;
    if (lineEdit)
        text = lineEdit->text();
    else if (comboBox)
        text = comboBox->currentText();
    else
        return;
    inputCallback(text);
}

void CSimpleInputDialog::updateOkButton(const QString& text)
{
    if (okButton)
        okButton->setEnabled(!text.isEmpty());
}

} // namespace Omra
