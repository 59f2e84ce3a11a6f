#include "testsupport.h"

#include "uibase/dialog/csimpleinputdialog.h"

#include <QPointer>
#include <QRegularExpressionValidator>
#include <QtTest>

using namespace Omra;

namespace {

constexpr int frameMargin = 12;
constexpr int titleBarHeight = 30;

class Probe : public CSimpleInputDialog
{
public:
    using CSimpleInputDialog::CSimpleInputDialog;
};

// No items means the free-text form.
Probe* makeDialog(bool choice, const QList<QString>& items = {}, const QString& second = QString())
{
    if (choice)
        return new Probe(QStringLiteral("输入"), second, items);
    return new Probe(QStringLiteral("输入"), second);
}

QWidget* field(QWidget* dialog)
{
    if (auto* edit = dialog->findChild<CLineEdit*>(QStringLiteral("lineEdit")))
        return edit;
    return dialog->findChild<CComboBox*>(QStringLiteral("comboBox"));
}

CPushButton* button(QWidget* dialog, const char* name = "okButton")
{
    return dialog->findChild<CPushButton*>(QLatin1String(name));
}

QLineEdit* editLine(QWidget* dialog)
{
    if (auto* edit = dialog->findChild<CLineEdit*>(QStringLiteral("lineEdit")))
        return edit;
    return dialog->findChild<CComboBox*>(QStringLiteral("comboBox"))->lineEdit();
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

// Runs the dialog modally, types into it and clicks the named button; returns exec's result.
int runTyping(Probe* dialog, const QString& typed, QStringList* received,
              const char* click = "okButton")
{
    testsupport::whenModal([typed, click](QWidget* modal) {
        typeText(field(modal), typed);
        QTest::mouseClick(button(modal, click), Qt::LeftButton);
    });
    return dialog->getInput([received](QString text) { *received << text; });
}

} // namespace

class TestSimpleInputDialog : public QObject
{
    Q_OBJECT

private slots:
    void init() { before = testsupport::topLevelSnapshot(); }
    void cleanup() { QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>()); }
    void sizeAndLayout_data();
    void sizeAndLayout();
    void choiceFormItems_data();
    void choiceFormItems();
    void typingTogglesButton_data();
    void typingTogglesButton();
    void setTextUpdatesButton_data();
    void setTextUpdatesButton();
    void confirmCallsCallback_data();
    void confirmCallsCallback();
    void rejectedCallsNothing_data();
    void rejectedCallsNothing();
    void callbackOfTheLastRunOnly();
    void restrictions_data();
    void restrictions();

private:
    QSet<QWidget*> before;
};

void TestSimpleInputDialog::sizeAndLayout_data()
{
    QTest::addColumn<bool>("choice");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("buttonWidth");
    QTest::newRow("text") << false << 300 << 60 << 90;
    QTest::newRow("choice") << true << 520 << 110 << 64;
}

void TestSimpleInputDialog::sizeAndLayout()
{
    QFETCH(bool, choice);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, buttonWidth);
    testsupport::TestTheme theme;
    theme.size(QStringLiteral("siz_simple_input_dialog_width"), width)
        .size(QStringLiteral("siz_simple_input_dialog_height"), height)
        .size(QStringLiteral("siz_simple_input_dialog_btn_width"), buttonWidth);
    QVERIFY(theme.apply());

    const QString second = QStringLiteral("不应显示的提示");
    QScopedPointer<Probe> dialog(makeDialog(choice, {QStringLiteral("a")}, second));
    const QSize expected(width + 2 * frameMargin, height + 2 * frameMargin + titleBarHeight);
    dialog->resize(expected + QSize(50, 50));
    QCOMPARE(dialog->size(), expected);
    dialog->show();

    auto* row = dialog->findChild<CWidgetList*>(QStringLiteral("inputRow"));
    QCOMPARE(row->geometry(),
             QRect(QPoint(0, 0), dialog->size()).marginsRemoved(dialog->getInnerMargins()));
    QWidget* input = field(dialog.data());
    CPushButton* ok = button(dialog.data());
    QCOMPARE(ok->width(), buttonWidth);
    // The field takes what the button leaves; both centred across the row.
    const QRect area = row->rect().marginsRemoved(row->margins());
    QCOMPARE(input->x(), area.left());
    QCOMPARE(ok->geometry().right(), area.right());
    QCOMPARE(ok->x() - input->geometry().right() - 1, row->spacing());
    QCOMPARE(input->height(), ok->height());
    QCOMPARE(input->y(), area.top() + (area.height() - input->height()) / 2);
    QCOMPARE(ok->y(), input->y());

    QCOMPARE(dialog->findChild<CSimpleTextWidget*>(QStringLiteral("titleText"))->getText(),
             QStringLiteral("输入"));
    // The second constructor string is shown nowhere.
    for (CSimpleTextWidget* text : dialog->findChildren<CSimpleTextWidget*>())
        QVERIFY(!text->getText().contains(second));
    for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
        QVERIFY(!edit->text().contains(second) && !edit->placeholderText().contains(second));
    QVERIFY(!dialog->toolTip().contains(second));
}

void TestSimpleInputDialog::choiceFormItems_data()
{
    QTest::addColumn<QList<QString>>("items");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("no items") << QList<QString>() << false;
    QTest::newRow("three items") << QList<QString>{QStringLiteral("b"), QStringLiteral("a"),
                                                   QStringLiteral("c")}
                                 << true;
    QTest::newRow("empty first item")
        << QList<QString>{QString(), QStringLiteral("a"), QStringLiteral("b")} << false;
}

void TestSimpleInputDialog::choiceFormItems()
{
    QFETCH(QList<QString>, items);
    QFETCH(bool, enabled);
    QScopedPointer<Probe> dialog(makeDialog(true, items));
    QVERIFY(!dialog->findChild<CLineEdit*>(QStringLiteral("lineEdit")));
    auto* combo = dialog->findChild<CComboBox*>(QStringLiteral("comboBox"));
    QVERIFY(combo->isEditable());
    QCOMPARE(combo->count(), items.size());
    for (int i = 0; i < items.size(); ++i)
        QCOMPARE(combo->itemText(i), items.at(i));
    QCOMPARE(combo->currentText(), items.value(0));
    QCOMPARE(button(dialog.data())->isEnabled(), enabled);
    if (items.isEmpty())
        return;
    // Picking a real item enables the button, going back to an empty one disables it.
    dialog->show();
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), items.at(1));
    QVERIFY(button(dialog.data())->isEnabled());
    QTest::keyClick(combo, Qt::Key_Up);
    QCOMPARE(button(dialog.data())->isEnabled(), enabled);
}

void TestSimpleInputDialog::typingTogglesButton_data()
{
    QTest::addColumn<bool>("choice");
    QTest::addColumn<QString>("typed");
    QTest::newRow("text, ascii") << false << QStringLiteral("abc");
    QTest::newRow("text, chinese") << false << QStringLiteral("自选股");
    QTest::newRow("choice, chinese") << true << QStringLiteral("账户二");
}

void TestSimpleInputDialog::typingTogglesButton()
{
    QFETCH(bool, choice);
    QFETCH(QString, typed);
    QScopedPointer<Probe> dialog(makeDialog(choice)); // empty combo box in the choice form
    dialog->show();
    QWidget* input = field(dialog.data());
    CPushButton* ok = button(dialog.data());
    QVERIFY(!ok->isEnabled());
    typeText(input, typed);
    QCOMPARE(editLine(dialog.data())->text(), typed);
    QVERIFY(ok->isEnabled());
    for (int i = 0; i < typed.size() - 1; ++i)
        QTest::keyClick(input, Qt::Key_Backspace);
    QVERIFY(ok->isEnabled()); // one character left
    QTest::keyClick(input, Qt::Key_Backspace);
    QCOMPARE(editLine(dialog.data())->text(), QString());
    QVERIFY(!ok->isEnabled());
}

void TestSimpleInputDialog::setTextUpdatesButton_data()
{
    QTest::addColumn<bool>("choice");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("text");
    QTest::newRow("text, empty after text") << false << QStringLiteral("x") << QString();
    QTest::newRow("text, chinese") << false << QString() << QStringLiteral("中文");
    QTest::newRow("choice, empty after text") << true << QStringLiteral("x") << QString();
    QTest::newRow("choice, not an item") << true << QString() << QStringLiteral("其他");
}

void TestSimpleInputDialog::setTextUpdatesButton()
{
    QFETCH(bool, choice);
    QFETCH(QString, start);
    QFETCH(QString, text);
    QScopedPointer<Probe> dialog(makeDialog(choice, {QStringLiteral("甲"), QStringLiteral("乙")}));
    dialog->setText(start);
    QCOMPARE(button(dialog.data())->isEnabled(), !start.isEmpty());
    dialog->setText(text);
    QCOMPARE(editLine(dialog.data())->text(), text);
    QCOMPARE(button(dialog.data())->isEnabled(), !text.isEmpty());
    if (choice) // the items stay as they were
        QCOMPARE(dialog->findChild<CComboBox*>()->count(), 2);
}

void TestSimpleInputDialog::confirmCallsCallback_data()
{
    QTest::addColumn<bool>("choice");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("text, chinese") << false << QStringLiteral("自选股") << QStringLiteral("自选股");
    QTest::newRow("choice, first item kept") << true << QString() << QStringLiteral("甲");
    QTest::newRow("choice, typed after item")
        << true << QStringLiteral("丁2") << QStringLiteral("甲丁2");
}

void TestSimpleInputDialog::confirmCallsCallback()
{
    QFETCH(bool, choice);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QScopedPointer<Probe> dialog(makeDialog(choice, {QStringLiteral("甲"), QStringLiteral("乙")}));
    QStringList received;
    bool openWhenCalled = false;
    Probe* raw = dialog.data();
    testsupport::whenModal([&](QWidget* modal) {
        field(modal)->setFocus();
        QTest::keyClick(field(modal), Qt::Key_End);
        typeText(field(modal), typed);
        QTest::mouseClick(button(modal), Qt::LeftButton);
    });
    const int result = dialog->getInput([&](QString text) {
        received << text;
        openWhenCalled = raw->isVisible();
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(received, QStringList{expected});
    QVERIFY(openWhenCalled); // the callback runs before the dialog closes
}

void TestSimpleInputDialog::rejectedCallsNothing_data()
{
    QTest::addColumn<bool>("choice");
    QTest::addColumn<QString>("typed");
    QTest::newRow("text, empty") << false << QString();
    QTest::newRow("text, typed") << false << QStringLiteral("abc");
    QTest::newRow("choice, empty") << true << QString();
    QTest::newRow("choice, typed") << true << QStringLiteral("abc");
}

// A click on the disabled OK does nothing; the close button rejects without a call.
void TestSimpleInputDialog::rejectedCallsNothing()
{
    QFETCH(bool, choice);
    QFETCH(QString, typed);
    QScopedPointer<Probe> dialog(makeDialog(choice));
    QStringList received;
    bool stillOpen = false;
    testsupport::whenModal([&](QWidget* modal) {
        typeText(field(modal), typed);
        if (typed.isEmpty()) {
            QTest::mouseClick(button(modal), Qt::LeftButton);
            stillOpen = modal->isVisible();
        }
        QTest::mouseClick(button(modal, "closeButton"), Qt::LeftButton);
    });
    QCOMPARE(dialog->getInput([&](QString text) { received << text; }), int(QDialog::Rejected));
    QCOMPARE(received, QStringList());
    QCOMPARE(stillOpen, typed.isEmpty());
}

// Each run replaces the stored callback; an empty one clears it and still accepts.
void TestSimpleInputDialog::callbackOfTheLastRunOnly()
{
    QScopedPointer<Probe> dialog(makeDialog(false));
    QStringList first, second;
    QCOMPARE(runTyping(dialog.data(), QStringLiteral("one"), &first), int(QDialog::Accepted));
    QCOMPARE(runTyping(dialog.data(), QStringLiteral("two"), &second), int(QDialog::Accepted));
    testsupport::whenModal([](QWidget* modal) {
        typeText(field(modal), QStringLiteral("3"));
        QTest::mouseClick(button(modal), Qt::LeftButton);
    });
    QCOMPARE(dialog->getInput(boost::function<void(QString)>()), int(QDialog::Accepted));
    QCOMPARE(first, QStringList{QStringLiteral("one")});
    QCOMPARE(second, QStringList{QStringLiteral("onetwo")});
}

void TestSimpleInputDialog::restrictions_data()
{
    QTest::addColumn<bool>("choice");
    QTest::addColumn<int>("maxLength"); // 0: four-digit validator instead
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("text, cut to 3") << false << 3 << "abcdef"
                                    << "abc";
    QTest::newRow("text, chinese cut to 2")
        << false << 2 << QStringLiteral("交易密码") << QStringLiteral("交易");
    QTest::newRow("choice, length has no effect") << true << 3 << "abcdef"
                                                  << "abcdef";
    // Fewer than four digits are intermediate and can still be confirmed.
    QTest::newRow("text, letters refused") << false << 0 << "1a2b"
                                           << "12";
    QTest::newRow("text, too long") << false << 0 << "123456"
                                    << "1234";
    QTest::newRow("choice, letters refused") << true << 0 << "x9y"
                                             << "9";
}

void TestSimpleInputDialog::restrictions()
{
    QFETCH(bool, choice);
    QFETCH(int, maxLength);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{4}")));
    QPointer<QValidator> guard(digits);
    QStringList received;
    {
        QScopedPointer<Probe> dialog(makeDialog(choice));
        if (maxLength > 0) {
            dialog->setEchoMode(QLineEdit::Password);
            dialog->setMaxTextLength(maxLength);
            QCOMPARE(editLine(dialog.data())->echoMode(),
                     choice ? QLineEdit::Normal : QLineEdit::Password);
        } else {
            dialog->setValidator(digits);
        }
        QCOMPARE(runTyping(dialog.data(), typed, &received), int(QDialog::Accepted));
    }
    QCOMPARE(received, QStringList{expected});
    QVERIFY(guard); // the validator is still the caller's
    delete digits;
}

QTEST_MAIN(TestSimpleInputDialog)
#include "tst_simpleinputdialog.moc"
