#include "testsupport.h"

#include "uibase/dialog/cchangepassworddialog.h"

#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

using namespace Omra;

namespace {

const char* const fields[] = {"old", "new", "confirm"};

class Dialog : public CChangePasswordDialog
{
public:
    Dialog()
        : CChangePasswordDialog(7, QStringLiteral("修改密码"), QStringLiteral("a"),
                                QStringLiteral("b"))
    {
    }
    using CChangePasswordDialog::isMatch;
    template <typename T = QWidget> T* child(const QString& name) const
    {
        return findChild<T*>(name);
    }
    // A subclass that lost the old password's field (0) or the confirmation's (2).
    void forget(int field) { (field == 0 ? oldPasswordEdit : confirmPasswordEdit) = nullptr; }
    // Old, new and confirmation texts.
    void fill(const QStringList& texts)
    {
        for (int i = 0; i < 3; ++i)
            child<QLineEdit>(QLatin1String(fields[i]) + QStringLiteral("PasswordEdit"))
                ->setText(texts[i]);
    }
};

} // namespace

class TestChangePasswordDialog : public QObject
{
    Q_OBJECT

private slots:
    void init() { before = testsupport::topLevelSnapshot(); }
    void cleanup();

    void isMatch_data();
    void isMatch();
    void encrypt_data();
    void encrypt();
    void checks_data();
    void checks();
    void buttons_data();
    void missingField_data();
    void missingField();
    void buttons();

private:
    QSet<QWidget*> before;
};

void TestChangePasswordDialog::cleanup()
{
    CMessageTip::hideTip();
    QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>());
}

void TestChangePasswordDialog::isMatch_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("match");
    QTest::newRow("8 bytes, letters digits punctuation") << "abcd123!" << true;
    QTest::newRow("letters and digits only") << "abcd1234" << false;
    QTest::newRow("no digit") << "abcdefg!" << false;
    QTest::newRow("7 bytes") << "abc123!" << false;
    QTest::newRow("16 bytes") << "abcdefgh1234567!" << true;
    QTest::newRow("17 bytes") << "abcdefgh12345678!" << false;
    QTest::newRow("space counts as special") << "abcd 1234" << true;
    QTest::newRow("ideographs count as special (11 bytes)") << QStringLiteral("abcd1中文") << true;
    QTest::newRow("bytes around ASCII letters") << "[`{~1234" << false;
    // The first and last letters and digits of each range count.
    QTest::newRow("A and 0") << "AAAA000!" << true;
    QTest::newRow("Z and 9") << "ZZZZ999!" << true;
    QTest::newRow("a") << "aaaa123!" << true;
    QTest::newRow("z") << "zzzz123!" << true;
    QTest::newRow("zero byte ends the text") << QString::fromLatin1("ab1!\0xyz9", 9) << false;
}

void TestChangePasswordDialog::isMatch()
{
    QFETCH(QString, password);
    QFETCH(bool, match);
    QCOMPARE(Dialog().isMatch(password), match);
}

void TestChangePasswordDialog::encrypt_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("digest");
    const QString forty = QStringLiteral("0123456789012345678901234567890123456789");
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80").repeated(20);
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("FIPS abc") << "abc"
                              << QStringLiteral("a9993e364706816aba3e25717850c26c9cd0d89d");
    QTest::newRow("40 characters pass unchanged") << forty << forty;
    QTest::newRow("20 emoji are 40 UTF-16 units") << emoji << emoji;
    QTest::newRow("41 characters are hashed") << forty + "0"
                                              << "b23af0b62c100a70c86c2b0d74af2a1d018e103b";
    QTest::newRow("ideographs hash their UTF-8 bytes")
        << QStringLiteral("中文") << "7be2d2d20c106eee0836c9bc2b939890a78e8fb3";
    QTest::newRow("zero byte ends the text")
        << QString::fromLatin1("ab\0cd", 5)
        << QStringLiteral("da23614e02469a0d7c7bd1bdab5c9c474b1904dc");
}

void TestChangePasswordDialog::encrypt()
{
    QFETCH(QString, password);
    QFETCH(QString, digest);
    const QString result = CChangePasswordDialog::encrypt(password);
    QCOMPARE(result, digest);
    QCOMPARE(result.isNull(), digest.isNull());
}

void TestChangePasswordDialog::checks_data()
{
    const QString empty = QStringLiteral("密码不能为空");
    const QString mismatch = QStringLiteral("新密码不一致");
    const QString rule = QStringLiteral("请输入8~16位同时包含字母、数字和特殊字符的密码");
    QTest::addColumn<QStringList>("texts"); // old, new, confirmation
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("message");
    auto row = [](const char* name, const QStringList& texts, const char* field,
                  const QString& message) {
        QTest::newRow(name) << texts << QString::fromLatin1(field) << message;
    };
    row("old empty, others fine", {"", "abcd123!", "abcd123!"}, "oldPasswordEdit", empty);
    row("confirmation empty", {"old", "abcd123!", ""}, "confirmPasswordEdit", empty);
    row("confirmation differs", {"old", "abcd123!", "abcd123?"}, "confirmPasswordEdit", mismatch);
    row("mismatch before rule", {"old", "a", "b"}, "confirmPasswordEdit", mismatch);
    row("rule broken", {"old", "abcd1234", "abcd1234"}, "newPasswordEdit", rule);
}

void TestChangePasswordDialog::checks()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, field);
    QFETCH(QString, message);
    Dialog dialog;
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QSignalSpy changed(&dialog, &CChangePasswordDialog::sigChangePassword);
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.fill(texts);
    auto* error = dialog.child<CSimpleTextWidget>(QStringLiteral("errorText"));
    error->setText(QStringLiteral("an earlier error"));
    dialog.child(QStringLiteral("cancelButton"))->setFocus();

    QTest::mouseClick(dialog.child(QStringLiteral("okButton")), Qt::LeftButton);
    CMessageTip* tip = CMessageTip::current();
    QVERIFY(tip);
    QWidget* anchor = dialog.child(field);
    QCOMPARE(tip->text(), message);
    QCOMPARE(tip->anchor(), anchor);
    QCOMPARE(tip->pos(), anchor->mapToGlobal(QPoint(0, anchor->height() + 4))); // below the field
    QTRY_VERIFY(anchor->hasFocus());
    QCOMPARE(changed.count() + finished.count(), 0);
    QCOMPARE(error->getText(), QStringLiteral(" ")); // a failed check clears the error line
}

void TestChangePasswordDialog::buttons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("sent"); // the two digests; empty: rejected, nothing sent
    const QString stored = QStringLiteral("A9993E364706816ABA3E25717850C26C9CD0D89D");
    QTest::newRow("ok") << "okButton"
                        << "abc" << QStringLiteral("abcd123!")
                        << "a9993e364706816aba3e25717850c26c9cd0d89d "
                           "717c62c001136c26f5ee831b991fa375f24a8585";
    QTest::newRow("old of 40 characters sent as typed")
        << "okButton" << stored << QStringLiteral("新密码ab12")
        << stored + " fb9bfa8ef5a149eaf622446f0008a1759e1d4fbf";
    QTest::newRow("old password is not put to the rule")
        << "okButton"
        << "x" << QStringLiteral("Zz9 Zz9 Zz9")
        << "11f6ad8ec52a2984abaafd7c3b516503785c2072 d5137166f0aed693c915e85bfb03a522a5d7b42b";
    QTest::newRow("cancel button") << "cancelButton"
                                   << "abcd123!" << QStringLiteral("abcd123?") << "";
}

// Through the user's path: a click inside the modal loop. The digests are sent while the
// dialog still shows; it deletes itself once closed.
void TestChangePasswordDialog::buttons()
{
    QFETCH(QString, button);
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    QFETCH(QString, sent);
    QPointer<Dialog> dialog = new Dialog;
    QStringList seen;
    connect(dialog.data(), &CChangePasswordDialog::sigChangePassword, this,
            [&](const QString& o, const QString& n) {
                seen << o + QLatin1Char(' ') + n + (dialog && dialog->isVisible() ? "" : " hidden");
            });
    dialog->fill({oldPassword, newPassword, newPassword});
    testsupport::whenModal([button](QWidget* modal) {
        QTest::mouseClick(modal->findChild<CPushButton*>(button), Qt::LeftButton);
    });
    QCOMPARE(dialog->exec(), int(sent.isEmpty() ? QDialog::Rejected : QDialog::Accepted));
    QCOMPARE(seen, sent.isEmpty() ? QStringList() : QStringList{sent});
    QVERIFY(!CMessageTip::current());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog.isNull());
}

// Without one of its fields OK checks nothing, sends nothing and shows no tip.
void TestChangePasswordDialog::missingField_data()
{
    QTest::addColumn<int>("field");
    QTest::newRow("old password") << 0;
    QTest::newRow("confirmation") << 2;
}

void TestChangePasswordDialog::missingField()
{
    QFETCH(int, field);
    Dialog dialog;
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    dialog.fill({QStringLiteral("old"), QStringLiteral("abcd123!"), QStringLiteral("abcd123!")});
    dialog.forget(field);
    QSignalSpy changed(&dialog, &CChangePasswordDialog::sigChangePassword);
    CEventDeliverer& deliverer = dialog;
    QVERIFY(deliverer.handleEvent(UiEventClick, 4, 0, QString(), nullptr));
    QCOMPARE(changed.count(), 0);
    QVERIFY(!CMessageTip::current());
}

QTEST_MAIN(TestChangePasswordDialog)
#include "tst_changepassworddialog.moc"
