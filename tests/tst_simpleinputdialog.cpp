#include "testsupport.h"

#include "uibase/dialog/csimpleinputdialog.h"

#include <QtTest>

using namespace Omra;

namespace {

constexpr int frameMargin = 12;
constexpr int titleBarHeight = 30;

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

const QList<QString> items = {QStringLiteral("甲"), QStringLiteral("乙")};

CSimpleInputDialog* makeDialog(bool choice, const QList<QString>& items = {},
                               const QString& second = QString())
{
    return choice ? new CSimpleInputDialog(QStringLiteral("输入"), second, items)
                  : new CSimpleInputDialog(QStringLiteral("输入"), second);
}

// The line edit of the text form, or the combo box of the choice form.
QWidget* field(QWidget* dialog)
{
    QWidget* edit = dialog->findChild<CLineEdit*>(QStringLiteral("lineEdit"));
    return edit ? edit : dialog->findChild<CComboBox*>(QStringLiteral("comboBox"));
}

CPushButton* button(QWidget* dialog, const char* name = "okButton")
{
    return dialog->findChild<CPushButton*>(QLatin1String(name));
}

// QTest cannot type Chinese through keyClicks: key events carry it instead.
void typeText(QWidget* target, const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClicks(target, QString(ch));
        else
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

// The dialog with its event handler in reach.
struct EventProbe : CSimpleInputDialog
{
    using CSimpleInputDialog::CSimpleInputDialog;
    using CSimpleInputDialog::handleEvent;
};

} // namespace

class TestSimpleInputDialog : public QObject
{
    Q_OBJECT

    QSet<QWidget*> before;

private slots:
    void init() { before = testsupport::topLevelSnapshot(); }
    void cleanup() { QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>()); }

    // A 300 x 60 client area with a 90 px button: the field takes what the button leaves,
    // both as high and centred across the row.
    void sizeAndLayout()
    {
        const int width = 300, height = 60, buttonWidth = 90;
        testsupport::TestTheme theme;
        theme.size(QStringLiteral("siz_simple_input_dialog_width"), width)
            .size(QStringLiteral("siz_simple_input_dialog_height"), height)
            .size(QStringLiteral("siz_simple_input_dialog_btn_width"), buttonWidth);
        QVERIFY(theme.apply());

        const QString second = QStringLiteral("不应显示的提示");
        QScopedPointer<CSimpleInputDialog> dialog(makeDialog(false, {QStringLiteral("a")}, second));
        const QSize expected(width + 2 * frameMargin, height + 2 * frameMargin + titleBarHeight);
        dialog->resize(expected + QSize(50, 50));
        QCOMPARE(dialog->size(), expected);
        dialog->show();

        auto* row = dialog->findChild<CWidgetList*>(QStringLiteral("inputRow"));
        QCOMPARE(row->geometry(),
                 QRect(QPoint(0, 0), dialog->size()).marginsRemoved(dialog->getInnerMargins()));
        const QRect area = row->rect().marginsRemoved(row->margins());
        const int fieldHeight = field(dialog.data())->height();
        const int y = area.top() + (area.height() - fieldHeight) / 2;
        const int fieldWidth = area.width() - buttonWidth - row->spacing();
        QCOMPARE(field(dialog.data())->geometry(), QRect(area.left(), y, fieldWidth, fieldHeight));
        QCOMPARE(button(dialog.data())->geometry(),
                 QRect(area.right() + 1 - buttonWidth, y, buttonWidth, fieldHeight));

        // The title shows the first string; the second is shown nowhere.
        QStringList shown{dialog->toolTip()};
        for (CSimpleTextWidget* text : dialog->findChildren<CSimpleTextWidget*>())
            shown << text->getText();
        for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
            shown << edit->text() << edit->placeholderText();
        QVERIFY(shown.contains(QStringLiteral("输入")));
        QVERIFY(!shown.join('|').contains(second));
    }

    // The text events of the field are the dialog's own (consumed, OK follows the text); any
    // other event goes to the dialog base, which knows only clicks.
    void textEvents_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("consumed");
        QTest::addColumn<bool>("okEnabled");
        QTest::newRow("edited") << 76 << "a" << true << true;
        QTest::newRow("changed to empty") << 77 << "" << true << false;
        QTest::newRow("combo text") << 104 << "b" << true << true;
        QTest::newRow("another type") << 69 << "c" << false << false;
    }
    void textEvents()
    {
        QFETCH(int, type);
        QFETCH(QString, text);
        QFETCH(bool, consumed);
        QFETCH(bool, okEnabled);
        EventProbe dialog(QStringLiteral("输入"), QString());
        QCOMPARE(dialog.handleEvent(type, 0, 0, text, nullptr), consumed);
        QCOMPARE(button(&dialog)->isEnabled(), okEnabled);
    }

    void modalRuns_data()
    {
        QTest::addColumn<bool>("choice");
        QTest::addColumn<QList<QString>>("items");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QString>("expected"); // result | callback calls, "@open" if shown
        const QList<QString> none;
        QTest::newRow("text, chinese")
            << false << items << S("自选股") << S("ok") << S("1 | 自选股@open");
        QTest::newRow("choice, first item")
            << true << items << S("") << S("ok") << S("1 | 甲@open");
        QTest::newRow("choice, typed after item")
            << true << items << S("丁2") << S("ok") << S("1 | 甲丁2@open");
        // A click on the disabled OK does nothing; the close button rejects without a call.
        QTest::newRow("text, empty") << false << items << S("") << S("ok close") << S("0 | ");
        QTest::newRow("choice, empty") << true << none << S("") << S("ok close") << S("0 | ");
    }

    void modalRuns()
    {
        QFETCH(bool, choice);
        QFETCH(QList<QString>, items);
        QFETCH(QString, typed);
        QFETCH(QString, clicks);
        QFETCH(QString, expected);
        QScopedPointer<CSimpleInputDialog> dialog(makeDialog(choice, items));
        QStringList received;
        CSimpleInputDialog* raw = dialog.data();
        testsupport::whenModal([&](QWidget* modal) {
            field(modal)->setFocus();
            QTest::keyClick(field(modal), Qt::Key_End);
            typeText(field(modal), typed);
            for (const QString& name : clicks.split(' '))
                QTest::mouseClick(button(modal, name == "ok" ? "okButton" : "closeButton"),
                                  Qt::LeftButton);
        });
        const int result = dialog->getInput(
            [&](QString text) { received << text + (raw->isVisible() ? "@open" : "@closed"); });
        QCOMPARE(QString::number(result) + " | " + received.join(' '), expected);
    }
};

QTEST_MAIN(TestSimpleInputDialog)
#include "tst_simpleinputdialog.moc"
