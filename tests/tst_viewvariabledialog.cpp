#include "testsupport.h"

#include "uibase/dialog/cviewvariabledialog.h"

#include <QtTest>

using namespace Omra;

namespace {

CTextEdit* textView(QWidget* dialog)
{
    return dialog->findChild<CTextEdit*>(QStringLiteral("textView"));
}

} // namespace

class TestViewVariableDialog : public QObject
{
    Q_OBJECT

private slots:
    void init() { before = testsupport::topLevelSnapshot(); }
    void cleanup() { QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>()); }
    void sizeIsNotFixed();
    void setTextReplaces_data();
    void setTextReplaces();
    void userCannotEdit();
    void closeButtonRejects();

private:
    QSet<QWidget*> before;
};

void TestViewVariableDialog::sizeIsNotFixed()
{
    CViewVariableDialog dialog;
    QCOMPARE(dialog.findChild<CSimpleTextWidget*>(QStringLiteral("titleText"))->getText(),
             QStringLiteral("变量查看器"));
    // 700 x 200 is asked for; the frame's minimum size still bounds it.
    QCOMPARE(dialog.size(), QSize(700, 200).expandedTo(dialog.minimumSize()));
    dialog.show();
    for (const QSize& size : {QSize(760, 400), QSize(500, 260)}) {
        dialog.resize(size);
        QCOMPARE(dialog.size(), size);
        QCOMPARE(textView(&dialog)->geometry(),
                 QRect(QPoint(0, 0), size).marginsRemoved(dialog.getInnerMargins()));
    }
}

void TestViewVariableDialog::setTextReplaces_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("empty empties") << QStringLiteral("price = 10.5") << QString();
    QTest::newRow("chinese, many lines")
        << QStringLiteral("旧值") << QStringLiteral("a = 1\n\n新值：浦发银行");
    QTest::newRow("markup stays text")
        << QStringLiteral("x") << QStringLiteral("<b>bold</b> & <i>");
}

void TestViewVariableDialog::setTextReplaces()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    CViewVariableDialog dialog;
    QVERIFY(textView(&dialog)->toPlainText().isEmpty());
    dialog.setText(first);
    QCOMPARE(textView(&dialog)->toPlainText(), first);
    dialog.setText(second);
    QCOMPARE(textView(&dialog)->toPlainText(), second);
}

void TestViewVariableDialog::userCannotEdit()
{
    const QString value = QStringLiteral("volume = 18250400\nlast = 10.22");
    CViewVariableDialog dialog;
    dialog.setText(value);
    dialog.show();
    CTextEdit* view = textView(&dialog);
    view->setFocus();
    view->moveCursor(QTextCursor::End);
    QTest::keyClicks(view, QStringLiteral("abc"));
    QTest::sendKeyEvent(QTest::Click, view, Qt::Key_unknown, QStringLiteral("改"), Qt::NoModifier);
    for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Home, Qt::Key_Delete})
        QTest::keyClick(view, key);
    QCOMPARE(view->toPlainText(), value);
}

void TestViewVariableDialog::closeButtonRejects()
{
    CViewVariableDialog dialog;
    testsupport::whenModal([](QWidget* modal) {
        QTest::mouseClick(modal->findChild<CPushButton*>(QStringLiteral("closeButton")),
                          Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
}

QTEST_MAIN(TestViewVariableDialog)
#include "tst_viewvariabledialog.moc"
