#include "uibase/dialog/cviewvariabledialog.h"

#include <QTextDocument>

namespace Omra {

CViewVariableDialog::CViewVariableDialog(QWidget* parent) : CCommonDialog(parent)
{
    setTitle(QStringLiteral("变量查看器"));
    createUi();
    resize(700, 200);
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
    // The editor has no frame of its own; keep the text off the dialog's border.
    textView->document()->setDocumentMargin(8);
    setInnerWidget(textView);
}

} // namespace Omra
