#include "uibase/dialog/cviewvariabledialog.h"

#include <QTextDocument>

namespace Omra {

namespace {

// A first size for a line of a variable's value; the user may resize the dialog.
constexpr QSize initialSize(700, 200);
// The editor has no frame of its own; this keeps the text off the dialog's border.
constexpr int textMargin = 8;

} // namespace

CViewVariableDialog::CViewVariableDialog(QWidget* parent) : CCommonDialog(parent)
{
    setTitle(QStringLiteral("变量查看器"));
    createUi();
    resize(initialSize);
}

CViewVariableDialog::~CViewVariableDialog() = default;

void CViewVariableDialog::setText(QString text)
{
    if (textView)
        textView->setText(text);
}

void CViewVariableDialog::createUi()
{
    textView = new CTextEdit(0, this, true, false);
    textView->setObjectName(QStringLiteral("textView"));
    textView->setReadOnly(true);
    textView->setAccessibleName(windowTitle());
    textView->document()->setDocumentMargin(textMargin);
    setInnerWidget(textView);
}

} // namespace Omra
