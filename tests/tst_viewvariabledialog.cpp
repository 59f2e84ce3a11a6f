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
    void init();
    void cleanup();
    void titleAndEditor();
    void initialSizeIsNotFixed_data();
    void initialSizeIsNotFixed();
    void setTextReplaces_data();
    void setTextReplaces();
    void userCannotEdit_data();
    void userCannotEdit();
    void closeButtonRejects();

private:
    QSet<QWidget*> before;
};

void TestViewVariableDialog::init()
{
    before = testsupport::topLevelSnapshot();
}

void TestViewVariableDialog::cleanup()
{
    QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>());
}

void TestViewVariableDialog::titleAndEditor()
{
    CViewVariableDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("变量查看器"));
    QCOMPARE(dialog.findChild<CSimpleTextWidget*>(QStringLiteral("titleText"))->getText(),
             QStringLiteral("变量查看器"));
    CTextEdit* view = textView(&dialog);
    QVERIFY(view);
    QCOMPARE(view->getID(), 0);
    QCOMPARE(view->parentWidget(), &dialog);
    QCOMPARE(dialog.getInnerWidget(), view);
    QVERIFY(view->isReadOnly());
    QVERIFY(view->toPlainText().isEmpty());
}

void TestViewVariableDialog::initialSizeIsNotFixed_data()
{
    QTest::addColumn<QSize>("resizeTo");
    QTest::newRow("larger") << QSize(760, 400);
    QTest::newRow("smaller") << QSize(500, 260);
}

void TestViewVariableDialog::initialSizeIsNotFixed()
{
    QFETCH(QSize, resizeTo);
    CViewVariableDialog dialog;
    // 700 x 200 is asked for; the frame's minimum size still bounds it.
    QCOMPARE(dialog.size(), QSize(700, 200).expandedTo(dialog.minimumSize()));
    QVERIFY(dialog.minimumSize() != dialog.maximumSize());
    dialog.show();
    const QMargins inner = dialog.getInnerMargins();
    QCOMPARE(textView(&dialog)->geometry(),
             QRect(QPoint(0, 0), dialog.size()).marginsRemoved(inner));

    dialog.resize(resizeTo);
    QCOMPARE(dialog.size(), resizeTo);
    QCOMPARE(textView(&dialog)->geometry(), QRect(QPoint(0, 0), resizeTo).marginsRemoved(inner));
}

void TestViewVariableDialog::setTextReplaces_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("empty empties") << QStringLiteral("price = 10.5") << QString();
    QTest::newRow("multi-line") << QString() << QStringLiteral("a = 1\nb = 2\n\nc = {x: 3}");
    QTest::newRow("chinese replaces") << QStringLiteral("旧值") << QStringLiteral("新值：浦发银行");
    QTest::newRow("markup stays text")
        << QStringLiteral("x") << QStringLiteral("<b>bold</b> & <i>");
}

void TestViewVariableDialog::setTextReplaces()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    CViewVariableDialog dialog;
    dialog.setText(first);
    QCOMPARE(textView(&dialog)->toPlainText(), first);
    dialog.setText(second);
    QCOMPARE(textView(&dialog)->toPlainText(), second);
}

void TestViewVariableDialog::userCannotEdit_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("ascii") << QStringLiteral("abc");
    QTest::newRow("chinese") << QStringLiteral("改");
}

void TestViewVariableDialog::userCannotEdit()
{
    QFETCH(QString, typed);
    const QString value = QStringLiteral("volume = 18250400\nlast = 10.22");
    CViewVariableDialog dialog;
    dialog.setText(value);
    dialog.show();
    CTextEdit* view = textView(&dialog);
    view->setFocus();
    view->moveCursor(QTextCursor::End);
    for (const QChar ch : typed) {
        if (ch.unicode() < 0x80)
            QTest::keyClicks(view, QString(ch));
        else
            QTest::sendKeyEvent(QTest::Click, view, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    QTest::keyClick(view, Qt::Key_Backspace);
    QTest::keyClick(view, Qt::Key_Return);
    QTest::keyClick(view, Qt::Key_Home);
    QTest::keyClick(view, Qt::Key_Delete);
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
