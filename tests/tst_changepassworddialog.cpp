#include "testsupport.h"

#include "uibase/dialog/cchangepassworddialog.h"

#include <QCryptographicHash>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

using namespace Omra;

namespace {

class Dialog : public CChangePasswordDialog
{
public:
    Dialog()
        : CChangePasswordDialog(7, QStringLiteral("修改密码"), QStringLiteral("a"),
                                QStringLiteral("b"))
    {
    }
    using CChangePasswordDialog::cancelButton;
    using CChangePasswordDialog::confirmPasswordEdit;
    using CChangePasswordDialog::confirmPasswordLabel;
    using CChangePasswordDialog::errorText;
    using CChangePasswordDialog::handleEvent;
    using CChangePasswordDialog::isMatch;
    using CChangePasswordDialog::newPasswordEdit;
    using CChangePasswordDialog::newPasswordLabel;
    using CChangePasswordDialog::okButton;
    using CChangePasswordDialog::oldPasswordEdit;
    using CChangePasswordDialog::oldPasswordLabel;

    void fill(const QString& oldText, const QString& newText, const QString& confirmText)
    {
        oldPasswordEdit->setText(oldText);
        newPasswordEdit->setText(newText);
        confirmPasswordEdit->setText(confirmText);
    }
};

// An independent SHA-1 of the UTF-8 bytes, in lower-case hex.
QString sha1Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
}

void applySize(testsupport::TestTheme& theme, int width, int height)
{
    theme.size(QStringLiteral("siz_modify_password_dialog_width"), width)
        .size(QStringLiteral("siz_modify_password_dialog_height"), height);
}

// Clicks the named button of the dialog inside its modal loop.
void clickWhenModal(const QString& button)
{
    testsupport::whenModal([button](QWidget* modal) {
        auto* target = modal->findChild<CPushButton*>(button);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton);
    });
}

} // namespace

class TestChangePasswordDialog : public QObject
{
    Q_OBJECT

private slots:
    void init() { before = testsupport::topLevelSnapshot(); }
    void cleanup();

    void layout_data();
    void layout();
    void painting();
    void isMatch_data();
    void isMatch();
    void encrypt_data();
    void encrypt();
    void checks_data();
    void checks();
    void buttons_data();
    void buttons();
    void otherEvents();

private:
    QSet<QWidget*> before;
};

void TestChangePasswordDialog::cleanup()
{
    CMessageTip::hideTip();
    QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>());
}

void TestChangePasswordDialog::layout_data()
{
    QTest::addColumn<int>("labelFont");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("small labels") << 12 << 360 << 190;
    QTest::newRow("large labels, taller") << 20 << 420 << 230;
    QTest::newRow("labels taller than a row") << 30 << 400 << 190;
    QTest::newRow("smaller than the frame's minimum") << 12 << 300 << 150;
}

void TestChangePasswordDialog::layout()
{
    QFETCH(int, labelFont);
    QFETCH(int, width);
    QFETCH(int, height);
    testsupport::TestTheme theme;
    applySize(theme, width, height);
    theme.font(QStringLiteral("fnt_default_normal"), labelFont);
    QVERIFY(theme.apply());
    Dialog dialog;
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QSize expected(width + 2 * 12, height + 2 * 12 + 30); // frame margins and title bar
    QCOMPARE(dialog.minimumSize(), expected);
    QCOMPARE(dialog.maximumSize(), expected);

    const int M = 12, T = 30, W = dialog.width();
    const int y0 = M + 15 + T;
    const CSimpleTextWidget* labels[] = {dialog.oldPasswordLabel, dialog.newPasswordLabel,
                                         dialog.confirmPasswordLabel};
    const CLineEdit* edits[] = {dialog.oldPasswordEdit, dialog.newPasswordEdit,
                                dialog.confirmPasswordEdit};
    for (int row = 0; row < 3; ++row) {
        const int y = y0 + 34 * row;
        const int labelHeight = labels[row]->sizeHint().height();
        QCOMPARE(labels[row]->pos(), QPoint(M + 20, y + (24 - labelHeight) / 2));
        const int x = M + 30 + labels[row]->width();
        QCOMPARE(edits[row]->geometry(), QRect(x, y, W - 20 - x - M, 24));
        QCOMPARE(edits[row]->echoMode(), QLineEdit::Password);
    }
    const int errorHeight = dialog.errorText->sizeHint().height();
    QCOMPARE(dialog.errorText->pos(), QPoint(M + 20, y0 + 117 + (24 - errorHeight) / 2));
    QCOMPARE(dialog.cancelButton->geometry(), QRect(W - 85 - M, y0 + 117, 65, 24));
    QCOMPARE(dialog.okButton->geometry(), QRect(W - 85 - M - 75 - M, y0 + 117, 65, 24));
}

void TestChangePasswordDialog::painting()
{
    testsupport::TestTheme theme;
    applySize(theme, 360, 190);
    theme.color(QStringLiteral("clr_warn_background_color"), QColor(10, 200, 30))
        .image(QStringLiteral("img_custom_dialog_bg"), QSize(100, 100), QColor(200, 10, 10));
    QVERIFY(theme.apply());
    Dialog dialog;
    const QImage image = dialog.grab().toImage();
    const int M = 12, T = 30, W = dialog.width(), H = dialog.height();
    const QColor fill(10, 200, 30);
    // The client area's corners are filled, the frame line, title bar and bottom line not.
    for (const QPoint& p : {QPoint(M + 1, T + M), QPoint(W - M - 2, T + M),
                            QPoint(M + 1, H - M - 2), QPoint(W - M - 2, H - M - 2)})
        QCOMPARE(image.pixelColor(p), fill);
    for (const QPoint& p : {QPoint(M, T + M + 5), QPoint(W - M - 1, T + M + 5),
                            QPoint(M + 5, T + M - 1), QPoint(M + 5, H - M - 1)})
        QVERIFY(image.pixelColor(p) != fill);
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
    QTest::newRow("ideographs, 17 bytes") << QStringLiteral("中文中文中a1") << false;
    QTest::newRow("ideographs, 16 bytes") << QStringLiteral("中文中文a1bc") << true;
    QTest::newRow("bytes around ASCII letters") << "[`{~1234" << false;
    QTest::newRow("zero byte ends the text") << QString::fromLatin1("ab1!\0xyz9", 9) << false;
    QTest::newRow("accented letter is special") << QStringLiteral("abcdéf12") << true;
}

void TestChangePasswordDialog::isMatch()
{
    QFETCH(QString, password);
    QFETCH(bool, match);
    Dialog dialog;
    QCOMPARE(dialog.isMatch(password), match);
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
    QTest::newRow("FIPS two blocks") << "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"
                                     << QStringLiteral("84983e441c3bd26ebaae4aa1f95129e5e54670f1");
    QTest::newRow("40 characters pass unchanged") << forty << forty;
    QTest::newRow("20 emoji are 40 UTF-16 units") << emoji << emoji;
    QTest::newRow("39 characters are hashed") << forty.left(39) << sha1Hex(forty.left(39).toUtf8());
    QTest::newRow("41 characters are hashed") << forty + "0" << sha1Hex((forty + "0").toUtf8());
    QTest::newRow("ideographs hash their UTF-8 bytes")
        << QStringLiteral("中文") << sha1Hex(QByteArray("\xE4\xB8\xAD\xE6\x96\x87"));
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
    row("all empty", {"", "", ""}, "oldPasswordEdit", empty);
    row("old empty, others fine", {"", "abcd123!", "abcd123!"}, "oldPasswordEdit", empty);
    row("new empty", {"old", "", "abcd123!"}, "newPasswordEdit", empty);
    row("confirmation empty", {"old", "abcd123!", ""}, "confirmPasswordEdit", empty);
    row("confirmation differs", {"old", "abcd123!", "abcd123?"}, "confirmPasswordEdit", mismatch);
    row("mismatch before rule", {"old", "a", "b"}, "confirmPasswordEdit", mismatch);
    row("differ only in case", {"old", "Abcd123!", "abcd123!"}, "confirmPasswordEdit", mismatch);
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
    dialog.fill(texts[0], texts[1], texts[2]);
    dialog.cancelButton->setFocus();

    QTest::mouseClick(dialog.okButton, Qt::LeftButton);

    CMessageTip* tip = CMessageTip::current();
    QVERIFY(tip);
    QCOMPARE(tip->text(), message);
    auto* anchor = dialog.findChild<CLineEdit*>(field);
    QCOMPARE(tip->anchor(), static_cast<QWidget*>(anchor));
    QCOMPARE(tip->pos(), anchor->mapToGlobal(QPoint(0, anchor->height() + 4))); // below the field
    QTRY_VERIFY(anchor->hasFocus());
    QCOMPARE(changed.count(), 0);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(dialog.newPasswordEdit->text(), texts[1]);
}

void TestChangePasswordDialog::buttons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("oldDigest"); // null: rejected, nothing sent
    const QString stored = QStringLiteral("A9993E364706816ABA3E25717850C26C9CD0D89D");
    const QString ok = QStringLiteral("okButton");
    QTest::newRow("ok") << ok << "abc" << QStringLiteral("abcd123!")
                        << QStringLiteral("a9993e364706816aba3e25717850c26c9cd0d89d");
    QTest::newRow("old of 40 characters sent as typed")
        << ok << stored << QStringLiteral("新密码ab12") << stored;
    QTest::newRow("old password is not put to the rule")
        << ok << "x" << QStringLiteral("Zz9 Zz9 Zz9") << sha1Hex("x");
    QTest::newRow("cancel button") << "cancelButton"
                                   << "abcd123!" << QStringLiteral("abcd123?") << QString();
    QTest::newRow("close button of the frame")
        << "closeButton"
        << "abcd123!" << QStringLiteral("abcd123?") << QString();
}

void TestChangePasswordDialog::buttons()
{
    QFETCH(QString, button);
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    QFETCH(QString, oldDigest);

    QPointer<Dialog> dialog = new Dialog;
    QSignalSpy changed(dialog.data(), &CChangePasswordDialog::sigChangePassword);
    // The signal comes before the dialog closes.
    bool visibleAtSignal = false;
    connect(dialog.data(), &CChangePasswordDialog::sigChangePassword, this,
            [&] { visibleAtSignal = dialog && dialog->isVisible(); });
    dialog->fill(oldPassword, newPassword, newPassword);

    clickWhenModal(button);
    const int result = dialog->exec();
    if (oldDigest.isNull()) {
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(changed.count(), 0);
    } else {
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toString(), oldDigest);
        QCOMPARE(changed.first().at(1).toString(), sha1Hex(newPassword.toUtf8()));
        QVERIFY(visibleAtSignal);
        QVERIFY(!CMessageTip::current());
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog.isNull()); // deletes itself once closed
}

void TestChangePasswordDialog::otherEvents()
{
    Dialog dialog;
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    dialog.show();
    QSignalSpy changed(&dialog, &CChangePasswordDialog::sigChangePassword);
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.fill(QStringLiteral("abcd123!"), QStringLiteral("abcd123?"), QStringLiteral("abcd123?"));

    // Clicks on other ids are consumed and do nothing, the confirm id 102 included.
    for (int id : {0, 1, 2, 3, 6, 102, -1})
        QVERIFY(dialog.handleEvent(UiEventClick, id, 0, QString(), nullptr));
    // Other event types go to the dialog base, even with the ok button's id.
    const bool baseResult =
        dialog.CBaseDialog::handleEvent(UiEventTextEdited, 101, 0, QString(), nullptr);
    QCOMPARE(dialog.handleEvent(UiEventTextEdited, 4, 0, QString(), nullptr), baseResult);
    QVERIFY(dialog.isVisible());
    QCOMPARE(finished.count(), 0);
    QCOMPARE(changed.count(), 0);
    QVERIFY(!CMessageTip::current());

    // A failed check clears an earlier error line.
    dialog.errorText->setText(QStringLiteral("an earlier error"));
    dialog.handleEvent(UiEventClick, 4, 0, QString(), nullptr);
    QCOMPARE(dialog.errorText->getText(), QStringLiteral(" "));
}

QTEST_MAIN(TestChangePasswordDialog)
#include "tst_changepassworddialog.moc"
