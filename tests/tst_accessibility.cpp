// Every dialog driven from the keyboard alone, and read the way a screen reader reads it:
// roles, names and states of the accessible tree, its press actions and the events sent.

#include "testsupport.h"

#include "uibase/dialog/cchangepassworddialog.h"
#include "uibase/dialog/ccheckversiondialog.h"
#include "uibase/dialog/ccountdowndialog.h"
#include "uibase/dialog/cfloatbutton.h"
#include "uibase/dialog/cglobalmessagedialog.h"
#include "uibase/dialog/cmessagebox.h"
#include "uibase/dialog/cmultimessagedialog.h"
#include "uibase/dialog/csimpleinputdialog.h"
#include "uibase/dialog/cuseragreementdialog.h"
#include "uibase/dialog/cviewvariabledialog.h"

#include <QAccessible>
#include <QApplication>
#include <QMetaEnum>
#include <QPointer>
#include <QtTest>

#include <memory>

using namespace Omra;

namespace {

const QString agreementName = QStringLiteral("《风险揭示书》");

struct Box : CMessageBox
{
    Box()
        : CMessageBox(nullptr, QMessageBox::Question, QStringLiteral("撤单确认"),
                      QStringLiteral("确定撤销吗？"), QMessageBox::Yes | QMessageBox::No,
                      QMessageBox::No, nullptr, nullptr, QPoint(-1, -1))
    {
    }
};

// One line per accessible object: role, [ ] or [x] when checkable, name.
QString entry(QAccessibleInterface* iface)
{
    const QAccessible::State s = iface->state();
    return QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(iface->role())) +
           (s.checkable ? (s.checked ? "[x]" : "[ ]") : "") + ' ' + iface->text(QAccessible::Name);
}

QAccessibleInterface* find(QAccessibleInterface* iface, const QString& name, QStringList* all)
{
    if (all)
        *all << entry(iface);
    QAccessibleInterface* found =
        iface->text(QAccessible::Name) == name && iface->childCount() == 0 ? iface : nullptr;
    for (int i = 0; i < iface->childCount(); ++i) {
        if (QAccessibleInterface* hit = find(iface->child(i), name, all))
            found = found ? found : hit;
    }
    return found;
}

// The dialogs under test, built with fixed texts; `extra` collects what they hand out.
QDialog* make(const QString& kind, QString* extra, QWidget* parent)
{
    if (kind == "messagebox")
        return new Box;
    if (kind == "countdown")
        return new CCountDownDialog(nullptr, QMessageBox::Information, QStringLiteral("自动重启"),
                                    QStringLiteral("系统将在"), 30, QStringLiteral("秒后重启"),
                                    CountDownWithRestartLink, true, QStringLiteral("立即重启"),
                                    QStringLiteral("稍后提醒"), QString());
    if (kind == "password") {
        auto* dialog = new CChangePasswordDialog(0, QStringLiteral("修改密码"), {}, {});
        QObject::connect(dialog, &CChangePasswordDialog::sigChangePassword,
                         [extra](QString a, QString b) { *extra += " " + a + " " + b; });
        return dialog;
    }
    if (kind == "version") {
        auto* dialog = new CCheckVersionDialog(QDir::tempPath(), {}, QDir::tempPath());
        dialog->setCurrentVersion(QStringLiteral("1.0.10"));
        return dialog;
    }
    if (kind == "input")
        return new CSimpleInputDialog(QStringLiteral("新建分组"), {});
    if (kind.startsWith("agreement")) {
        auto* dialog = new CUserAgreementDialog(agreementName, {}, {});
        dialog->load(kind == "agreement" ? QString() : QString("第一条\n").repeated(80));
        return dialog;
    }
    if (kind == "viewer")
        return new CViewVariableDialog;
    if (kind == "multimessage") {
        auto* dialog = new CMultiMessageDialog;
        dialog->updateMessage(QStringLiteral("成交回报"));
        QMetaObject::invokeMethod(dialog, "slotTimeOut");
        return dialog;
    }
    if (kind == "popup") {
        CGlobalMessageDialog::showSingleMessage(QStringLiteral("公告"),
                                                QStringLiteral("今日新股申购"), 30, 17, true,
                                                parent, false, false, true, false);
        return CGlobalMessageDialog::instance(parent);
    }
    auto* button = new CFloatButton("img_float_button_bg", 7, 8, 8, 8, 8, parent);
    button->setText(QStringLiteral("下单"));
    button->setAutoDown(FloatButtonDownToggle);
    return button;
}

// Runs a key script against the focused widget: key names, 'text typed, press:NAME through
// the accessible press action. What a key posts is handled before the next, as when typed.
void play(QWidget* window, const QString& script)
{
    static const QHash<QString, Qt::Key> keys = {
        {"Tab", Qt::Key_Tab},     {"Backtab", Qt::Key_Backtab}, {"Return", Qt::Key_Return},
        {"Enter", Qt::Key_Enter}, {"Escape", Qt::Key_Escape},   {"Space", Qt::Key_Space},
        {"End", Qt::Key_End}};
    for (const QString& step : script.split(' ', Qt::SkipEmptyParts)) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
        if (step.startsWith('\''))
            QTest::keyClicks(target, step.mid(1));
        else if (step.startsWith("press:"))
            find(QAccessible::queryAccessibleInterface(window), step.mid(6), nullptr)
                ->actionInterface()
                ->doAction(QAccessibleActionInterface::pressAction());
        else
            QTest::keyClick(target, keys.value(step));
        QCoreApplication::processEvents();
    }
}

// Where a bridge was asked for (tests/e2e/atspi.py) and none came up, the events tests fail
// rather than pass by skipping.
bool bridgeActive()
{
    if (!QAccessible::isActive() && qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"))
        qFatal("the accessibility bridge did not come up");
    return QAccessible::isActive();
}

QList<QString> seen;

// "Type name", and for a state change the states it names.
void recordEvent(QAccessibleEvent* event)
{
    QAccessibleInterface* iface = event->accessibleInterface();
    QString line =
        QString::fromLatin1(QMetaEnum::fromType<QAccessible::Event>().valueToKey(event->type())) +
        ' ' + (iface ? iface->text(QAccessible::Name) : QString());
    if (event->type() == QAccessible::StateChanged) {
        const QAccessible::State changed =
            static_cast<QAccessibleStateChangeEvent*>(event)->changedStates();
        line += QString(changed.pressed ? " pressed" : "") + (changed.checked ? " checked" : "");
    }
    seen << line;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // A bridge switches itself on from the event loop once it has reached its bus.
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            (void)QTest::qWaitFor([] { return QAccessible::isActive(); }, 5000);
    }

    void cleanup()
    {
        QAccessible::installUpdateHandler(nullptr);
        seen.clear();
    }

    void tree_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("expected");
        auto row = [](const char* kind, QStringList expected) {
            QTest::newRow(kind) << QString::fromLatin1(kind) << expected;
        };
        row("messagebox", {"Dialog 撤单确认", "StaticText 确定撤销吗？", "Button 是", "Button 否",
                           "Button 关闭"});
        row("countdown", {"Dialog 自动重启", "StaticText 系统将在", "StaticText 30",
                          "Link 点击设置重启时间", "Button 立即重启"});
        row("popup", {"AlertMessage 公告", "StaticText 今日新股申购",
                      "StaticText 30秒后本消息自动关闭", "CheckBox[ ] 不再提示", "Button 关闭"});
        row("password", {"Dialog 修改密码", "EditableText 旧密码", "EditableText 新密码",
                         "EditableText 确认密码", "Button 确定", "Button 取消"});
        row("version",
            {"Dialog 检测版本", "StaticText 当前版本", "StaticText 1.0.10", "Button 下载"});
        row("input", {"Dialog 新建分组", "EditableText 新建分组", "Button 确定"});
        row("agreement text",
            {"Dialog " + agreementName, "EditableText " + agreementName,
             "CheckBox[ ] 我已阅读、充分理解并接受" + agreementName + "，不再提醒", "Button 接受"});
        row("multimessage", {"Dialog 提示", "StaticText 成交回报", "Button 确定"});
        row("floatbutton", {"Button[ ] 下单"});
    }

    void tree()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, expected);
        QWidget parent;
        QString extra;
        QPointer<QDialog> dialog = make(kind, &extra, &parent);
        dialog->show();
        QStringList all;
        find(QAccessible::queryAccessibleInterface(dialog), QString(), &all);
        for (const QString& line : expected)
            QVERIFY2(all.contains(line), qPrintable(line + " not in: " + all.join(" | ")));
        delete dialog;
    }

    void drive_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, const char* kind, const char* script, QString expected) {
            QTest::newRow(name) << QString(kind) << QString::fromUtf8(script) << expected;
        };
        const QString no = QString::number(QMessageBox::No);
        const QString yes = QString::number(QMessageBox::Yes);
        row("box Enter: default", "messagebox", "Return", no);
        row("box Esc: rejected", "messagebox", "Escape", "0");
        row("box Tab Space", "messagebox", "Tab Space", yes);
        row("box press", "messagebox", "press:是", yes);
        row("countdown link Space", "countdown", "Space", "4");
        row("countdown Tab Tab Return", "countdown", "Tab Tab Return", "2");
        row("countdown Esc", "countdown", "Escape", "0");
        const QString digests = " " + CChangePasswordDialog::encrypt("Old-pw-1") + " " +
                                CChangePasswordDialog::encrypt("New-pw-12");
        row("password typed", "password", "'Old-pw-1 Tab 'New-pw-12 Tab 'New-pw-12 Return",
            "1" + digests);
        // A refused OK keeps the dialog open with the focus on the field to fix.
        row("password refused", "password", "'Old-pw-1 Return 'New-pw-12 Tab 'New-pw-12 Tab Space",
            "1" + digests);
        row("input Enter", "input", "'abc Return", "1 abc");
        row("agreement ticked", "agreement", "Space Tab Space", "1 1 1");
        row("agreement unticked", "agreement", "Tab Space", "1 1 0");
        // The text has the focus first; 接受 is out of the tab order until its end is seen.
        row("agreement text unread", "agreement text", "Tab Tab Space", "-1");
        row("agreement text read", "agreement text", "End Tab Tab Space", "1 1 0");
        row("float Space, Esc", "floatbutton", "Space Escape", "shown [x]");
        row("float press", "floatbutton", "press:下单", "shown [x]");
    }

    void drive()
    {
        QFETCH(QString, kind);
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QWidget parent;
        QString extra;
        QPointer<QDialog> dialog = make(kind, &extra, &parent);
        QString outcome;
        if (kind == "floatbutton") {
            dialog->show();
            dialog->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            play(dialog, script);
            QStringList all;
            find(QAccessible::queryAccessibleInterface(dialog), QString(), &all);
            outcome = QString(dialog->isVisible() ? "shown " : "hidden ") + all.value(0).mid(6, 3);
        } else {
            testsupport::whenModal([&](QWidget* modal) {
                QVERIFY(QTest::qWaitForWindowActive(modal));
                play(modal, script);
                // An accessible press clicks the way a mouse does, after a moment.
                if (script.contains("press:"))
                    (void)QTest::qWaitFor([&] { return !dialog || !dialog->isVisible(); }, 2000);
                if (dialog && dialog->isVisible())
                    dialog->done(-1); // the keys did not end it
            });
            int result = -2;
            if (auto* input = dynamic_cast<CSimpleInputDialog*>(dialog.data()))
                result = input->getInput([&](QString text) { extra += " " + text; });
            else if (auto* agreement = dynamic_cast<CUserAgreementDialog*>(dialog.data()))
                result = agreement->display([&](bool accepted, bool ticked) {
                    extra += QString(" %1 %2").arg(accepted).arg(ticked);
                });
            else
                result = dialog->exec();
            outcome = QString::number(result) + extra;
        }
        delete dialog;
        QCOMPARE(outcome, expected);
    }

    // Shown without taking the focus; once the user activates it, Esc dismisses it as the
    // close button does, so a message that may not be replaced no longer blocks the next.
    void popupKeyboard()
    {
        QWidget main;
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        const auto show = [&](const char* text, bool replaceable) {
            CGlobalMessageDialog::showSingleMessage(QStringLiteral("公告"), text, -1, 1, true,
                                                    &main, false, false, replaceable, false);
        };
        show("一", false);
        CGlobalMessageDialog* popup = CGlobalMessageDialog::instance(&main);
        QVERIFY(popup->isVisible());
        QCOMPARE(QApplication::activeWindow(), &main);
        // As a click on it does; activateWindow() takes a window whose parent is active
        // for active already.
        popup->windowHandle()->requestActivate();
        QTRY_COMPARE(QApplication::activeWindow(), popup);
        play(popup, "Tab");
        QVERIFY(popup->isAncestorOf(QApplication::focusWidget()));
        play(popup, "Escape");
        QVERIFY(!popup->isVisible());
        show("二", true);
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->findChild<CSimpleTextWidget*>("contentText")->getText(), QString("二"));
    }

    void events_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QStringList>("expected");
        // The float button rows name what is done to it after its kind.
        auto row = [](const char* name, const char* slot, QStringList expected) {
            const QString kind = QString(name).startsWith("floatbutton") ? "floatbutton" : name;
            QTest::newRow(name) << kind << QString(slot) << expected;
        };
        row("countdown", "slot_MessageTimeout", {"NameChanged 29"});
        row("popup", "slotTimeout", {"NameChanged 29秒后本消息自动关闭"});
        row("multimessage", "slotTimeOut", {"NameChanged 第二条", "Alert 提示"});
        row("floatbutton", "", {"NameChanged 买入"});
        row("agreement text", "", {"StateChanged 接受"}); // read to the end
        // For the float button the statuses set in turn: its pressed and checked states change
        // only when it goes into or out of the down state.
        const QString change = QStringLiteral("StateChanged 下单 pressed checked");
        row("floatbutton down", "2", {change});
        row("floatbutton hover", "1", {});
        row("floatbutton down, then up", "2 1", {change, change});
        row("floatbutton down twice", "2 2", {change});
    }

    // Qt hands events on only while a platform bridge is active, which the offscreen
    // platform never has: tests/e2e/atspi.py runs these under X with the AT-SPI bridge on.
    void events()
    {
        if (!bridgeActive())
            QSKIP("no accessibility bridge is active");
        QFETCH(QString, kind);
        QFETCH(QString, slot);
        QFETCH(QStringList, expected);
        QWidget parent;
        QString extra;
        QPointer<QDialog> dialog = make(kind, &extra, &parent);
        dialog->show();
        if (auto* multi = dynamic_cast<CMultiMessageDialog*>(dialog.data()))
            multi->updateMessage(QStringLiteral("第二条"));
        QAccessible::installUpdateHandler(recordEvent);
        auto* button = dynamic_cast<CFloatButton*>(dialog.data());
        if (button && slot.isEmpty())
            button->setText(QStringLiteral("买入"));
        else if (auto* text = dialog->findChild<QTextEdit*>("agreementText")) {
            QTest::keyClick(text, Qt::Key_End);
            QCoreApplication::processEvents();
        } else if (button)
            for (const QString& status : slot.split(' '))
                button->setButtonStatus(EFloatButtonStatus(status.toInt()));
        else
            QVERIFY(QMetaObject::invokeMethod(dialog, slot.toLatin1().constData()));
        for (const QString& line : expected)
            QVERIFY2(seen.contains(line), qPrintable(line + " not in: " + seen.join(" | ")));
        if (button)
            QCOMPARE(seen.filter("StateChanged"), expected.filter("StateChanged"));
        if (kind != "popup")
            delete dialog;
    }

    void popupAnnounced()
    {
        if (!bridgeActive())
            QSKIP("no accessibility bridge is active");
        QAccessible::installUpdateHandler(recordEvent);
        for (const char* content : {"一", "二"})
            CGlobalMessageDialog::showSingleMessage(QStringLiteral("公告"), content, -1, 1, false,
                                                    nullptr, false, false, true, false);
        QCOMPARE(seen.filter("Alert").size(), 2);
        QVERIFY(seen.contains("NameChanged 二"));
        delete CGlobalMessageDialog::instance(nullptr);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
