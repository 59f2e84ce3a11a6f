#include "testsupport.h"

#include "uibase/dialog/csimpleinputdialog.h"

#include <QPointer>
#include <QRegularExpressionValidator>
#include <QtTest>

using namespace Omra;

namespace {

constexpr int frameMargin = 12;
constexpr int titleBarHeight = 30;

// Exposes the protected hooks so that a test can reach them without the button.
class Probe : public CSimpleInputDialog
{
public:
    using CSimpleInputDialog::CSimpleInputDialog;
    using CSimpleInputDialog::handleEvent;
    using CSimpleInputDialog::onOK;
};

// Builds the form the data row asks for: no items means the free-text form.
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

CPushButton* okButton(QWidget* dialog)
{
    return dialog->findChild<CPushButton*>(QStringLiteral("okButton"));
}

// The editing line of either form: the line edit itself or the combo box's.
QLineEdit* editLine(QWidget* dialog)
{
    if (auto* edit = dialog->findChild<CLineEdit*>(QStringLiteral("lineEdit")))
        return edit;
    auto* combo = dialog->findChild<CComboBox*>(QStringLiteral("comboBox"));
    return combo ? combo->lineEdit() : nullptr;
}

// Types like a keyboard: key clicks for ASCII, key events carrying the text otherwise
// (QTest cannot type Chinese through keyClicks).
void typeText(QWidget* target, const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClicks(target, QString(ch));
        else
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

void eraseAll(QWidget* target, int count)
{
    QTest::keyClick(target, Qt::Key_End);
    for (int i = 0; i < count; ++i)
        QTest::keyClick(target, Qt::Key_Backspace);
}

} // namespace

class TestSimpleInputDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fixedSizeFromTheme_data();
    void fixedSizeFromTheme();
    void rowLayout_data();
    void rowLayout();
    void titleAndUnusedSecondString_data();
    void titleAndUnusedSecondString();
    void choiceFormItems_data();
    void choiceFormItems();
    void typingTogglesButton_data();
    void typingTogglesButton();
    void choosingItemEnablesButton();
    void setTextUpdatesButton_data();
    void setTextUpdatesButton();
    void textChangeEvents_data();
    void textChangeEvents();
    void confirmCallsCallback_data();
    void confirmCallsCallback();
    void emptyTextCannotBeConfirmed_data();
    void emptyTextCannotBeConfirmed();
    void closeButtonCallsNothing_data();
    void closeButtonCallsNothing();
    void emptyCallback_data();
    void emptyCallback();
    void secondCallbackReplacesFirst();
    void onOKDoesNotTestText_data();
    void onOKDoesNotTestText();
    void echoModeAndLength_data();
    void echoModeAndLength();
    void validator_data();
    void validator();

private:
    QSet<QWidget*> before;
};

void TestSimpleInputDialog::init()
{
    before = testsupport::topLevelSnapshot();
}

void TestSimpleInputDialog::cleanup()
{
    QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>());
}

void TestSimpleInputDialog::fixedSizeFromTheme_data()
{
    QTest::addColumn<bool>("choice");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("buttonWidth");
    QTest::newRow("text, small") << false << 300 << 60 << 90;
    QTest::newRow("text, large") << false << 520 << 110 << 64;
    QTest::newRow("choice, small") << true << 300 << 60 << 90;
    QTest::newRow("choice, large") << true << 520 << 110 << 64;
}

void TestSimpleInputDialog::fixedSizeFromTheme()
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

    QScopedPointer<Probe> dialog(makeDialog(choice, {QStringLiteral("a")}));
    const QSize expected(width + 2 * frameMargin, height + 2 * frameMargin + titleBarHeight);
    QCOMPARE(dialog->size(), expected);
    QCOMPARE(dialog->minimumSize(), expected);
    QCOMPARE(dialog->maximumSize(), expected);
    dialog->resize(expected + QSize(50, 50));
    QCOMPARE(dialog->size(), expected);
    QCOMPARE(okButton(dialog.data())->width(), buttonWidth);
}

void TestSimpleInputDialog::rowLayout_data()
{
    QTest::addColumn<bool>("choice");
    QTest::newRow("text") << false;
    QTest::newRow("choice") << true;
}

void TestSimpleInputDialog::rowLayout()
{
    QFETCH(bool, choice);
    QScopedPointer<Probe> dialog(makeDialog(choice, {QStringLiteral("a")}));
    dialog->show();
    auto* row = dialog->findChild<CWidgetList*>(QStringLiteral("inputRow"));
    QVERIFY(row);
    QCOMPARE(dialog->getInnerWidget(), row);
    QCOMPARE(row->orientation(), Qt::Horizontal);
    QCOMPARE(row->geometry(),
             QRect(QPoint(0, 0), dialog->size()).marginsRemoved(dialog->getInnerMargins()));

    QWidget* input = field(dialog.data());
    CPushButton* button = okButton(dialog.data());
    QCOMPARE(input->parentWidget(), row);
    QCOMPARE(button->parentWidget(), row);
    const QRect area = row->rect().marginsRemoved(row->margins());
    // The field takes what the button leaves; both are centred across the row and neither
    // leaves the row.
    QCOMPARE(input->x(), area.left());
    QCOMPARE(button->geometry().right(), area.right());
    QCOMPARE(button->x() - input->geometry().right() - 1, row->spacing());
    QCOMPARE(input->height(), button->height());
    QCOMPARE(input->y(), area.top() + (area.height() - input->height()) / 2);
    QCOMPARE(button->y(), input->y());
    QVERIFY(input->y() >= 0 && button->geometry().bottom() < row->height());
    QCOMPARE(button->getID(), 102);
    QCOMPARE(button->text(), QStringLiteral("确定"));
}

void TestSimpleInputDialog::titleAndUnusedSecondString_data()
{
    QTest::addColumn<bool>("choice");
    QTest::newRow("text") << false;
    QTest::newRow("choice") << true;
}

void TestSimpleInputDialog::titleAndUnusedSecondString()
{
    QFETCH(bool, choice);
    const QString second = QStringLiteral("不应显示的提示");
    QScopedPointer<Probe> dialog(makeDialog(choice, {QStringLiteral("甲")}, second));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("输入"));
    QCOMPARE(dialog->findChild<CSimpleTextWidget*>(QStringLiteral("titleText"))->getText(),
             QStringLiteral("输入"));
    // The second string turns up in no text of the dialog.
    for (CSimpleTextWidget* text : dialog->findChildren<CSimpleTextWidget*>())
        QVERIFY(!text->getText().contains(second));
    for (QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
        QVERIFY(!edit->text().contains(second));
        QVERIFY(!edit->placeholderText().contains(second));
    }
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        QVERIFY(!button->text().contains(second));
    QVERIFY(!dialog->toolTip().contains(second));
}

void TestSimpleInputDialog::choiceFormItems_data()
{
    QTest::addColumn<QList<QString>>("items");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("no items") << QList<QString>() << false;
    QTest::newRow("one item") << QList<QString>{QStringLiteral("甲")} << true;
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
    QVERIFY(combo);
    QVERIFY(combo->isEditable());
    QCOMPARE(combo->getID(), 0);
    QCOMPARE(combo->count(), items.size());
    for (int i = 0; i < items.size(); ++i) {
        QCOMPARE(combo->itemText(i), items.at(i));
        QVERIFY(!combo->itemData(i).isValid());
    }
    QCOMPARE(combo->currentText(), items.value(0));
    QCOMPARE(okButton(dialog.data())->isEnabled(), enabled);

    QScopedPointer<Probe> text(makeDialog(false));
    QVERIFY(!text->findChild<CComboBox*>());
    QCOMPARE(text->findChild<CLineEdit*>(QStringLiteral("lineEdit"))->getID(), 0);
    QVERIFY(!okButton(text.data())->isEnabled());
}

void TestSimpleInputDialog::typingTogglesButton_data()
{
    QTest::addColumn<bool>("choice");
    QTest::addColumn<QString>("typed");
    QTest::newRow("text, ascii") << false << QStringLiteral("abc");
    QTest::newRow("text, chinese") << false << QStringLiteral("自选股");
    QTest::newRow("text, one char") << false << QStringLiteral("x");
    QTest::newRow("choice, ascii") << true << QStringLiteral("abc");
    QTest::newRow("choice, chinese") << true << QStringLiteral("账户二");
}

void TestSimpleInputDialog::typingTogglesButton()
{
    QFETCH(bool, choice);
    QFETCH(QString, typed);
    QScopedPointer<Probe> dialog(makeDialog(choice)); // empty combo box in the choice form
    dialog->show();
    QWidget* input = field(dialog.data());
    CPushButton* button = okButton(dialog.data());
    QVERIFY(!button->isEnabled());

    typeText(input, typed);
    QCOMPARE(editLine(dialog.data())->text(), typed);
    QVERIFY(button->isEnabled());

    eraseAll(input, typed.size() - 1);
    QVERIFY(button->isEnabled()); // one character left
    QTest::keyClick(input, Qt::Key_Backspace);
    QCOMPARE(editLine(dialog.data())->text(), QString());
    QVERIFY(!button->isEnabled());
}

void TestSimpleInputDialog::choosingItemEnablesButton()
{
    // The empty first item leaves the button off until a real item is picked.
    QScopedPointer<Probe> dialog(
        makeDialog(true, {QString(), QStringLiteral("乙"), QStringLiteral("丙")}));
    dialog->show();
    auto* combo = dialog->findChild<CComboBox*>(QStringLiteral("comboBox"));
    CPushButton* button = okButton(dialog.data());
    QVERIFY(!button->isEnabled());
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), QStringLiteral("乙"));
    QVERIFY(button->isEnabled());
    QTest::keyClick(combo, Qt::Key_Up);
    QCOMPARE(combo->currentText(), QString());
    QVERIFY(!button->isEnabled());
}

void TestSimpleInputDialog::setTextUpdatesButton_data()
{
    QTest::addColumn<bool>("choice");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("text");
    QTest::newRow("text, empty after text") << false << QStringLiteral("x") << QString();
    QTest::newRow("text, text after empty") << false << QString() << QStringLiteral("abc");
    QTest::newRow("text, chinese") << false << QString() << QStringLiteral("中文");
    QTest::newRow("choice, empty after text") << true << QStringLiteral("x") << QString();
    QTest::newRow("choice, text after empty") << true << QString() << QStringLiteral("abc");
    QTest::newRow("choice, not an item") << true << QString() << QStringLiteral("其他");
}

void TestSimpleInputDialog::setTextUpdatesButton()
{
    QFETCH(bool, choice);
    QFETCH(QString, start);
    QFETCH(QString, text);
    QScopedPointer<Probe> dialog(makeDialog(choice, {QStringLiteral("甲"), QStringLiteral("乙")}));
    dialog->setText(start);
    QCOMPARE(okButton(dialog.data())->isEnabled(), !start.isEmpty());
    dialog->setText(text);
    QCOMPARE(editLine(dialog.data())->text(), text);
    QCOMPARE(okButton(dialog.data())->isEnabled(), !text.isEmpty());
    if (choice) // the items stay as they were
        QCOMPARE(dialog->findChild<CComboBox*>()->count(), 2);
}

void TestSimpleInputDialog::textChangeEvents_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("consumed");
    QTest::addColumn<bool>("enabledAfter");
    // The button starts enabled ("x" was set); the id of a text change does not matter.
    QTest::newRow("76 empty") << 76 << 0 << QString() << true << false;
    QTest::newRow("77 empty, other id") << 77 << 55 << QString() << true << false;
    QTest::newRow("104 empty") << 104 << 0 << QString() << true << false;
    QTest::newRow("104 text") << 104 << 9 << QStringLiteral("a") << true << true;
    QTest::newRow("69 empty is not a text change") << 69 << 0 << QString() << false << true;
    QTest::newRow("5 on another id") << 5 << 7 << QString() << false << true;
}

void TestSimpleInputDialog::textChangeEvents()
{
    QFETCH(int, type);
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(bool, consumed);
    QFETCH(bool, enabledAfter);
    QScopedPointer<Probe> dialog(makeDialog(false));
    dialog->setText(QStringLiteral("x"));
    QCOMPARE(dialog->handleEvent(type, id, 0, text, nullptr), consumed);
    QCOMPARE(okButton(dialog.data())->isEnabled(), enabledAfter);
}

void TestSimpleInputDialog::confirmCallsCallback_data()
{
    QTest::addColumn<bool>("choice");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("text, ascii") << false << QStringLiteral("group 1") << QStringLiteral("group 1");
    QTest::newRow("text, chinese") << false << QStringLiteral("自选股") << QStringLiteral("自选股");
    QTest::newRow("choice, first item kept") << true << QString() << QStringLiteral("甲");
    QTest::newRow("choice, typed after item")
        << true << QStringLiteral("2") << QStringLiteral("甲2");
    QTest::newRow("choice, chinese typed")
        << true << QStringLiteral("丁") << QStringLiteral("甲丁");
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
        QWidget* input = field(modal);
        input->setFocus();
        QTest::keyClick(input, Qt::Key_End);
        typeText(input, typed);
        QTest::mouseClick(okButton(modal), Qt::LeftButton);
    });
    const int result = dialog->getInput([&](QString text) {
        received << text;
        openWhenCalled = raw->isVisible();
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(received, QStringList{expected});
    QVERIFY(openWhenCalled); // the callback runs before the dialog closes
}

void TestSimpleInputDialog::emptyTextCannotBeConfirmed_data()
{
    QTest::addColumn<bool>("choice");
    QTest::newRow("text") << false;
    QTest::newRow("choice") << true;
}

void TestSimpleInputDialog::emptyTextCannotBeConfirmed()
{
    QFETCH(bool, choice);
    QScopedPointer<Probe> dialog(makeDialog(choice));
    int calls = 0;
    bool stillOpen = false;
    testsupport::whenModal([&](QWidget* modal) {
        QTest::mouseClick(okButton(modal), Qt::LeftButton); // disabled: no effect
        stillOpen = modal->isVisible();
        QTest::mouseClick(modal->findChild<CPushButton*>(QStringLiteral("closeButton")),
                          Qt::LeftButton);
    });
    QCOMPARE(dialog->getInput([&](QString) { ++calls; }), int(QDialog::Rejected));
    QVERIFY(stillOpen);
    QCOMPARE(calls, 0);
}

void TestSimpleInputDialog::closeButtonCallsNothing_data()
{
    QTest::addColumn<bool>("choice");
    QTest::newRow("text") << false;
    QTest::newRow("choice") << true;
}

void TestSimpleInputDialog::closeButtonCallsNothing()
{
    QFETCH(bool, choice);
    QScopedPointer<Probe> dialog(makeDialog(choice, {QStringLiteral("甲")}));
    int calls = 0;
    testsupport::whenModal([](QWidget* modal) {
        typeText(field(modal), QStringLiteral("abc"));
        QTest::mouseClick(modal->findChild<CPushButton*>(QStringLiteral("closeButton")),
                          Qt::LeftButton);
    });
    QCOMPARE(dialog->getInput([&](QString) { ++calls; }), int(QDialog::Rejected));
    QCOMPARE(calls, 0);
}

void TestSimpleInputDialog::emptyCallback_data()
{
    QTest::addColumn<bool>("choice");
    QTest::newRow("text") << false;
    QTest::newRow("choice") << true;
}

void TestSimpleInputDialog::emptyCallback()
{
    QFETCH(bool, choice);
    QScopedPointer<Probe> dialog(makeDialog(choice, {QStringLiteral("甲")}));
    // A first run stores a callback; the empty one of the second run clears it, so
    // confirming the second time calls nothing and still closes the dialog as accepted.
    int calls = 0;
    testsupport::whenModal([](QWidget* modal) {
        typeText(field(modal), QStringLiteral("a"));
        QTest::mouseClick(okButton(modal), Qt::LeftButton);
    });
    QCOMPARE(dialog->getInput([&](QString) { ++calls; }), int(QDialog::Accepted));
    QCOMPARE(calls, 1);

    testsupport::whenModal([](QWidget* modal) {
        typeText(field(modal), QStringLiteral("b"));
        QTest::mouseClick(okButton(modal), Qt::LeftButton);
    });
    QCOMPARE(dialog->getInput(boost::function<void(QString)>()), int(QDialog::Accepted));
    QCOMPARE(calls, 1);
}

void TestSimpleInputDialog::secondCallbackReplacesFirst()
{
    QScopedPointer<Probe> dialog(makeDialog(false));
    QStringList first, second;
    testsupport::whenModal([](QWidget* modal) {
        typeText(field(modal), QStringLiteral("one"));
        QTest::mouseClick(okButton(modal), Qt::LeftButton);
    });
    QCOMPARE(dialog->getInput([&](QString text) { first << text; }), int(QDialog::Accepted));

    testsupport::whenModal([](QWidget* modal) {
        typeText(field(modal), QStringLiteral("two"));
        QTest::mouseClick(okButton(modal), Qt::LeftButton);
    });
    QCOMPARE(dialog->getInput([&](QString text) { second << text; }), int(QDialog::Accepted));
    QCOMPARE(first, QStringList{QStringLiteral("one")});
    QCOMPARE(second, QStringList{QStringLiteral("onetwo")});
}

void TestSimpleInputDialog::onOKDoesNotTestText_data()
{
    QTest::addColumn<bool>("choice");
    QTest::newRow("text") << false;
    QTest::newRow("choice") << true;
}

void TestSimpleInputDialog::onOKDoesNotTestText()
{
    QFETCH(bool, choice);
    QScopedPointer<Probe> dialog(makeDialog(choice));
    QStringList received;
    bool openAfterOnOK = false;
    testsupport::whenModal([&](QWidget* modal) {
        auto* probe = static_cast<Probe*>(modal);
        probe->onOK(); // the empty text goes through, and the dialog stays open
        openAfterOnOK = probe->isVisible();
        probe->reject();
    });
    QCOMPARE(dialog->getInput([&](QString text) { received << text; }), int(QDialog::Rejected));
    QCOMPARE(received, QStringList{QString()});
    QVERIFY(openAfterOnOK);
}

void TestSimpleInputDialog::echoModeAndLength_data()
{
    QTest::addColumn<bool>("choice");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("text, cut to 3")
        << false << 3 << QStringLiteral("abcdef") << QStringLiteral("abc");
    QTest::newRow("text, chinese cut to 2")
        << false << 2 << QStringLiteral("交易密码") << QStringLiteral("交易");
    QTest::newRow("text, under the limit")
        << false << 8 << QStringLiteral("abc") << QStringLiteral("abc");
    QTest::newRow("choice, no effect")
        << true << 3 << QStringLiteral("abcdef") << QStringLiteral("abcdef");
}

void TestSimpleInputDialog::echoModeAndLength()
{
    QFETCH(bool, choice);
    QFETCH(int, maxLength);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QScopedPointer<Probe> dialog(makeDialog(choice));
    const QLineEdit* line = editLine(dialog.data());
    const int defaultLength = line->maxLength();
    dialog->setEchoMode(QLineEdit::Password);
    dialog->setMaxTextLength(maxLength);
    QCOMPARE(line->echoMode(), choice ? QLineEdit::Normal : QLineEdit::Password);
    QCOMPARE(line->maxLength(), choice ? defaultLength : maxLength);

    QStringList received;
    testsupport::whenModal([&](QWidget* modal) {
        typeText(field(modal), typed);
        QTest::mouseClick(okButton(modal), Qt::LeftButton);
    });
    QCOMPARE(dialog->getInput([&](QString text) { received << text; }), int(QDialog::Accepted));
    QCOMPARE(received, QStringList{expected});
}

void TestSimpleInputDialog::validator_data()
{
    QTest::addColumn<bool>("choice");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    // Four digits are acceptable; fewer are intermediate and can still be confirmed.
    QTest::newRow("text, letters refused")
        << false << QStringLiteral("1a2b") << QStringLiteral("12");
    QTest::newRow("text, acceptable") << false << QStringLiteral("2024") << QStringLiteral("2024");
    QTest::newRow("text, too long") << false << QStringLiteral("123456") << QStringLiteral("1234");
    QTest::newRow("choice, letters refused")
        << true << QStringLiteral("x9y") << QStringLiteral("9");
    QTest::newRow("choice, acceptable") << true << QStringLiteral("0001") << QStringLiteral("0001");
}

void TestSimpleInputDialog::validator()
{
    QFETCH(bool, choice);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{4}")));
    QPointer<QValidator> guard(digits);
    QStringList received;
    bool enabledBeforeClick = false;
    {
        QScopedPointer<Probe> dialog(makeDialog(choice));
        dialog->setValidator(digits);
        QCOMPARE(editLine(dialog.data())->validator(), digits);
        testsupport::whenModal([&](QWidget* modal) {
            typeText(field(modal), typed);
            enabledBeforeClick = okButton(modal)->isEnabled();
            QTest::mouseClick(okButton(modal), Qt::LeftButton);
        });
        QCOMPARE(dialog->getInput([&](QString text) { received << text; }), int(QDialog::Accepted));
    }
    QVERIFY(enabledBeforeClick);
    QCOMPARE(received, QStringList{expected});
    // The dialog is gone and the validator is still the caller's.
    QVERIFY(guard);
    delete digits;
}

QTEST_MAIN(TestSimpleInputDialog)
#include "tst_simpleinputdialog.moc"
