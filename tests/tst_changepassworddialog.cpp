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
    int frame() const { return frameMargin; }
    int titleBar() const { return titleBarHeight; }
};

// An independent SHA-1 of the UTF-8 bytes, in lower-case hex.
QString sha1Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
}

const QString emptyMessage = QStringLiteral("密码不能为空");
const QString mismatchMessage = QStringLiteral("新密码不一致");
const QString ruleMessage = QStringLiteral("请输入8~16位同时包含字母、数字和特殊字符的密码");

} // namespace

class TestChangePasswordDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void construction();
    void fixedSizeFollowsTheme_data();
    void fixedSizeFollowsTheme();
    void layout_data();
    void layout();
    void painting();

    void isMatch_data();
    void isMatch();
    void encrypt_data();
    void encrypt();

    void checks_data();
    void checks();
    void submitEmitsDigestsAndAccepts_data();
    void submitEmitsDigestsAndAccepts();
    void rejectWithoutSignal_data();
    void rejectWithoutSignal();
    void otherEvents();
    void ruleTipClearsErrorLine();

private:
    QSet<QWidget*> before;
};

void TestChangePasswordDialog::init()
{
    before = testsupport::topLevelSnapshot();
}

void TestChangePasswordDialog::cleanup()
{
    CMessageTip::hideTip();
    QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>());
}

void TestChangePasswordDialog::construction()
{
    QPointer<Dialog> dialog = new Dialog;
    QCOMPARE(dialog->windowTitle(), QStringLiteral("修改密码"));
    QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));

    QCOMPARE(dialog->findChild<CLineEdit*>(QStringLiteral("oldPasswordEdit")),
             dialog->oldPasswordEdit);
    QCOMPARE(dialog->findChild<CLineEdit*>(QStringLiteral("newPasswordEdit")),
             dialog->newPasswordEdit);
    QCOMPARE(dialog->findChild<CLineEdit*>(QStringLiteral("confirmPasswordEdit")),
             dialog->confirmPasswordEdit);
    QCOMPARE(dialog->findChild<CPushButton*>(QStringLiteral("okButton")),
             static_cast<CPushButton*>(dialog->okButton));
    QCOMPARE(dialog->findChild<CPushButton*>(QStringLiteral("cancelButton")), dialog->cancelButton);

    const CLineEdit* edits[] = {dialog->oldPasswordEdit, dialog->newPasswordEdit,
                                dialog->confirmPasswordEdit};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(edits[i]->getID(), i);
        QCOMPARE(edits[i]->echoMode(), QLineEdit::Password);
        QCOMPARE(edits[i]->parentWidget(), static_cast<QWidget*>(dialog.data()));
        QVERIFY(edits[i]->text().isEmpty());
    }
    QCOMPARE(dialog->oldPasswordLabel->getText(), QStringLiteral("\u3000旧密码"));
    QCOMPARE(dialog->newPasswordLabel->getText(), QStringLiteral("\u3000新密码"));
    QCOMPARE(dialog->confirmPasswordLabel->getText(), QStringLiteral("确认密码"));
    QCOMPARE(dialog->oldPasswordLabel->getText().size(), 4);

    QCOMPARE(dialog->errorText->getID(), 3);
    QCOMPARE(dialog->errorText->getText(), QStringLiteral(" "));
    QCOMPARE(dialog->errorText->getColorKey(), QStringLiteral("clr_text_error"));

    QCOMPARE(dialog->okButton->getID(), 4);
    QCOMPARE(dialog->okButton->text(), QStringLiteral("确定"));
    QCOMPARE(dialog->cancelButton->getID(), 5);
    QCOMPARE(dialog->cancelButton->text(), QStringLiteral("取消"));
    QCOMPARE(dialog->cancelButton->getImageKey(), QStringLiteral("img_btn_negative"));
    for (int state = 0; state < 4; ++state)
        QCOMPARE(dialog->cancelButton->getTextColorKey(state),
                 QStringLiteral("clr_btn_text_negative"));
    delete dialog;
}

void TestChangePasswordDialog::fixedSizeFollowsTheme_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("360 x 190") << 360 << 190;
    QTest::newRow("smaller than the frame's minimum") << 300 << 150;
    QTest::newRow("420 x 230") << 420 << 230;
}

void TestChangePasswordDialog::fixedSizeFollowsTheme()
{
    QFETCH(int, width);
    QFETCH(int, height);
    testsupport::TestTheme theme;
    theme.size(QStringLiteral("siz_modify_password_dialog_width"), width)
        .size(QStringLiteral("siz_modify_password_dialog_height"), height);
    QVERIFY(theme.apply());
    Dialog dialog;
    const QSize expected(width + 2 * 12, height + 2 * 12 + 30);
    QCOMPARE(dialog.frame(), 12);
    QCOMPARE(dialog.titleBar(), 30);
    QCOMPARE(dialog.size(), expected);
    QCOMPARE(dialog.minimumSize(), expected);
    QCOMPARE(dialog.maximumSize(), expected);
}

void TestChangePasswordDialog::layout_data()
{
    QTest::addColumn<int>("labelFont");
    QTest::addColumn<int>("width");
    QTest::newRow("small labels") << 12 << 360;
    QTest::newRow("large labels") << 20 << 420;
    QTest::newRow("labels taller than a row") << 30 << 400;
}

void TestChangePasswordDialog::layout()
{
    QFETCH(int, labelFont);
    QFETCH(int, width);
    testsupport::TestTheme theme;
    theme.size(QStringLiteral("siz_modify_password_dialog_width"), width)
        .size(QStringLiteral("siz_modify_password_dialog_height"), 190)
        .font(QStringLiteral("fnt_default_normal"), labelFont);
    QVERIFY(theme.apply());
    Dialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    const int M = 12, T = 30, W = dialog.width();
    const int y0 = M + 15 + T;
    const CSimpleTextWidget* labels[] = {dialog.oldPasswordLabel, dialog.newPasswordLabel,
                                         dialog.confirmPasswordLabel};
    const CLineEdit* edits[] = {dialog.oldPasswordEdit, dialog.newPasswordEdit,
                                dialog.confirmPasswordEdit};
    for (int row = 0; row < 3; ++row) {
        const int y = y0 + 34 * row;
        const int labelHeight = labels[row]->sizeHint().height();
        QCOMPARE(labelHeight > 24, labelFont >= 30);
        QCOMPARE(labels[row]->pos(), QPoint(M + 20, y + (24 - labelHeight) / 2));
        const int x = M + 30 + labels[row]->width();
        QCOMPARE(edits[row]->geometry(), QRect(x, y, W - 20 - x - M, 24));
    }
    const int errorHeight = dialog.errorText->sizeHint().height();
    QCOMPARE(dialog.errorText->pos(), QPoint(M + 20, y0 + 117 + (24 - errorHeight) / 2));
    QCOMPARE(dialog.cancelButton->geometry(), QRect(W - 85 - M, y0 + 117, 65, 24));
    QCOMPARE(dialog.okButton->geometry(), QRect(W - 85 - M - 75 - M, y0 + 117, 65, 24));
    // Ten pixels and a frame margin between the buttons.
    QCOMPARE(dialog.cancelButton->x() - dialog.okButton->geometry().right() - 1, 10 + M);
}

void TestChangePasswordDialog::painting()
{
    testsupport::TestTheme theme;
    theme.size(QStringLiteral("siz_modify_password_dialog_width"), 360)
        .size(QStringLiteral("siz_modify_password_dialog_height"), 190)
        .color(QStringLiteral("clr_warn_background_color"), QColor(10, 200, 30))
        .image(QStringLiteral("img_custom_dialog_bg"), QSize(100, 100), QColor(200, 10, 10));
    QVERIFY(theme.apply());
    Dialog dialog;
    const QImage image = dialog.grab().toImage();
    const int M = 12, T = 30, W = dialog.width(), H = dialog.height();
    const QColor fill(10, 200, 30);
    // The four inner corners of the client area are filled...
    QCOMPARE(image.pixelColor(M + 1, T + M), fill);
    QCOMPARE(image.pixelColor(W - M - 2, T + M), fill);
    QCOMPARE(image.pixelColor(M + 1, H - M - 2), fill);
    QCOMPARE(image.pixelColor(W - M - 2, H - M - 2), fill);
    // ...and nothing outside it: the frame line, the title bar and the bottom line.
    QVERIFY(image.pixelColor(M, T + M + 5) != fill);
    QVERIFY(image.pixelColor(W - M - 1, T + M + 5) != fill);
    QVERIFY(image.pixelColor(M + 5, T + M - 1) != fill);
    QVERIFY(image.pixelColor(M + 5, H - M - 1) != fill);
}

void TestChangePasswordDialog::isMatch_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("match");
    QTest::newRow("8 bytes, letters digits punctuation") << "abcd123!" << true;
    QTest::newRow("8 bytes, letters and digits only") << "abcd1234" << false;
    QTest::newRow("letters and punctuation, no digit") << "abcdefg!" << false;
    QTest::newRow("digits and punctuation, no letter") << "1234567!" << false;
    QTest::newRow("7 bytes") << "abc123!" << false;
    QTest::newRow("16 bytes") << "abcdefgh1234567!" << true;
    QTest::newRow("17 bytes") << "abcdefgh12345678!" << false;
    QTest::newRow("space counts as special") << "abcd 1234" << true;
    QTest::newRow("upper-case letters") << "ABCD123#" << true;
    QTest::newRow("4 letters, 1 digit, 2 ideographs (11 bytes)")
        << QStringLiteral("abcd1中文") << true;
    QTest::newRow("6 ideographs, 1 letter, 1 digit (20 bytes)")
        << QStringLiteral("中文中文中文a1") << false;
    QTest::newRow("5 ideographs, letter, digit (17 bytes)")
        << QStringLiteral("中文中文中a1") << false;
    QTest::newRow("4 ideographs, letter, digit, 2 letters (16 bytes)")
        << QStringLiteral("中文中文a1bc") << true;
    QTest::newRow("ideographs only") << QStringLiteral("中文中文") << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("letters before the letter range") << "@@@@1234" << false;
    QTest::newRow("bytes past ASCII letters") << "[`{~1234" << false;
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
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("FIPS abc") << "abc"
                              << "a9993e364706816aba3e25717850c26c9cd0d89d";
    QTest::newRow("FIPS two blocks") << "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"
                                     << "84983e441c3bd26ebaae4aa1f95129e5e54670f1";
    QTest::newRow("quick brown fox") << "The quick brown fox jumps over the lazy dog"
                                     << "2fd4e1c67a2d28fced849ee1bb76e7391b93eb12";
    QTest::newRow("one space") << " "
                               << "b858cb282617fb0956d960215c8e84d1ccf909c6";
    const QString forty = QStringLiteral("0123456789012345678901234567890123456789");
    QTest::newRow("40 characters pass unchanged") << forty << forty;
    QTest::newRow("40 upper-case hex digits pass unchanged")
        << "A9993E364706816ABA3E25717850C26C9CD0D89D"
        << "A9993E364706816ABA3E25717850C26C9CD0D89D";
    const QString ideographs = QString(40, QChar(0x4e2d));
    QTest::newRow("40 ideographs pass unchanged") << ideographs << ideographs;
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80").repeated(20);
    QTest::newRow("20 emoji are 40 UTF-16 units") << emoji << emoji;
    QTest::newRow("39 characters are hashed") << forty.left(39) << sha1Hex(forty.left(39).toUtf8());
    QTest::newRow("41 characters are hashed") << forty + "0" << sha1Hex((forty + "0").toUtf8());
    QTest::newRow("ideographs hash their UTF-8 bytes")
        << QStringLiteral("中文") << sha1Hex(QByteArray("\xE4\xB8\xAD\xE6\x96\x87"));
    QTest::newRow("zero byte ends the text")
        << QString::fromLatin1("ab\0cd", 5) << "da23614e02469a0d7c7bd1bdab5c9c474b1904dc";
}

void TestChangePasswordDialog::encrypt()
{
    QFETCH(QString, password);
    QFETCH(QString, digest);
    const QString result = CChangePasswordDialog::encrypt(password);
    QCOMPARE(result, digest);
    QCOMPARE(result.isNull(), digest.isNull() && password.isEmpty());
}

void TestChangePasswordDialog::checks_data()
{
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("confirmPassword");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("message");
    QTest::newRow("all empty") << ""
                               << ""
                               << ""
                               << "oldPasswordEdit" << emptyMessage;
    QTest::newRow("old empty, others fine") << ""
                                            << "abcd123!"
                                            << "abcd123!"
                                            << "oldPasswordEdit" << emptyMessage;
    QTest::newRow("new empty") << "old"
                               << ""
                               << "abcd123!"
                               << "newPasswordEdit" << emptyMessage;
    QTest::newRow("confirmation empty") << "old"
                                        << "abcd123!"
                                        << ""
                                        << "confirmPasswordEdit" << emptyMessage;
    QTest::newRow("confirmation differs") << "old"
                                          << "abcd123!"
                                          << "abcd123?"
                                          << "confirmPasswordEdit" << mismatchMessage;
    QTest::newRow("differ and break the rule: mismatch first")
        << "old"
        << "a"
        << "b"
        << "confirmPasswordEdit" << mismatchMessage;
    QTest::newRow("differ only in case") << "old"
                                         << "Abcd123!"
                                         << "abcd123!"
                                         << "confirmPasswordEdit" << mismatchMessage;
    QTest::newRow("rule broken, tip at the new field") << "old"
                                                       << "abcd1234"
                                                       << "abcd1234"
                                                       << "newPasswordEdit" << ruleMessage;
    QTest::newRow("too long") << "old"
                              << "abcdefgh12345678!"
                              << "abcdefgh12345678!"
                              << "newPasswordEdit" << ruleMessage;
}

void TestChangePasswordDialog::checks()
{
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    QFETCH(QString, confirmPassword);
    QFETCH(QString, field);
    QFETCH(QString, message);

    QPointer<Dialog> dialog = new Dialog;
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QSignalSpy changed(dialog.data(), &CChangePasswordDialog::sigChangePassword);
    QSignalSpy finished(dialog.data(), &QDialog::finished);
    dialog->oldPasswordEdit->setText(oldPassword);
    dialog->newPasswordEdit->setText(newPassword);
    dialog->confirmPasswordEdit->setText(confirmPassword);
    dialog->cancelButton->setFocus();

    QTest::mouseClick(dialog->okButton, Qt::LeftButton);

    CMessageTip* tip = CMessageTip::current();
    QVERIFY(tip);
    QCOMPARE(tip->text(), message);
    auto* anchor = dialog->findChild<CLineEdit*>(field);
    QCOMPARE(tip->anchor(), static_cast<QWidget*>(anchor));
    // Left-aligned below the field.
    QCOMPARE(tip->pos(), anchor->mapToGlobal(QPoint(0, anchor->height() + 4)));
    QTRY_VERIFY(anchor->hasFocus());

    QCOMPARE(changed.count(), 0);
    QCOMPARE(finished.count(), 0);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->oldPasswordEdit->text(), oldPassword);
    QCOMPARE(dialog->newPasswordEdit->text(), newPassword);
    QCOMPARE(dialog->confirmPasswordEdit->text(), confirmPassword);
    delete dialog;
}

void TestChangePasswordDialog::submitEmitsDigestsAndAccepts_data()
{
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("oldDigest");
    QTest::addColumn<QString>("newDigest");
    QTest::newRow("ordinary") << "abc"
                              << "abcd123!"
                              << "a9993e364706816aba3e25717850c26c9cd0d89d" << sha1Hex("abcd123!");
    QTest::newRow("new equals old") << "abcd123!"
                                    << "abcd123!" << sha1Hex("abcd123!") << sha1Hex("abcd123!");
    const QString stored = QStringLiteral("A9993E364706816ABA3E25717850C26C9CD0D89D");
    QTest::newRow("old of 40 characters sent as typed")
        << stored << QStringLiteral("新密码ab12") << stored
        << sha1Hex(QStringLiteral("新密码ab12").toUtf8());
    QTest::newRow("old password is not put to the rule")
        << "x"
        << "Zz9 Zz9 Zz9" << sha1Hex("x") << sha1Hex("Zz9 Zz9 Zz9");
}

void TestChangePasswordDialog::submitEmitsDigestsAndAccepts()
{
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    QFETCH(QString, oldDigest);
    QFETCH(QString, newDigest);

    QPointer<Dialog> dialog = new Dialog;
    QSignalSpy changed(dialog.data(), &CChangePasswordDialog::sigChangePassword);
    QSignalSpy finished(dialog.data(), &QDialog::finished);
    QSignalSpy accepted(dialog.data(), &QDialog::accepted);
    // The signal comes before the dialog closes.
    bool visibleAtSignal = false;
    connect(dialog.data(), &CChangePasswordDialog::sigChangePassword, this,
            [&] { visibleAtSignal = dialog && dialog->isVisible(); });
    dialog->oldPasswordEdit->setText(oldPassword);
    dialog->newPasswordEdit->setText(newPassword);
    dialog->confirmPasswordEdit->setText(newPassword);

    int result = -1;
    testsupport::whenModal([](QWidget* modal) {
        auto* ok = modal->findChild<CPushButton*>(QStringLiteral("okButton"));
        QVERIFY(ok);
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    result = dialog->exec();

    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().at(0).toString(), oldDigest);
    QCOMPARE(changed.first().at(1).toString(), newDigest);
    QVERIFY(visibleAtSignal);
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!CMessageTip::current());
    // The dialog deletes itself once closed.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog.isNull());
}

void TestChangePasswordDialog::rejectWithoutSignal_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("cancel button") << "cancelButton";
    QTest::newRow("close button of the frame") << "closeButton";
}

void TestChangePasswordDialog::rejectWithoutSignal()
{
    QFETCH(QString, button);
    QPointer<Dialog> dialog = new Dialog;
    QSignalSpy changed(dialog.data(), &CChangePasswordDialog::sigChangePassword);
    QSignalSpy rejected(dialog.data(), &QDialog::rejected);
    // Everything filled and valid: only the button decides.
    dialog->oldPasswordEdit->setText(QStringLiteral("abcd123!"));
    dialog->newPasswordEdit->setText(QStringLiteral("abcd123?"));
    dialog->confirmPasswordEdit->setText(QStringLiteral("abcd123?"));
    testsupport::whenModal([button](QWidget* modal) {
        auto* target = modal->findChild<CPushButton*>(button);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton);
    });
    QCOMPARE(dialog->exec(), int(QDialog::Rejected));
    QCOMPARE(rejected.count(), 1);
    QCOMPARE(changed.count(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog.isNull());
}

void TestChangePasswordDialog::otherEvents()
{
    Dialog dialog;
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    dialog.show();
    QSignalSpy changed(&dialog, &CChangePasswordDialog::sigChangePassword);
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.oldPasswordEdit->setText(QStringLiteral("abcd123!"));
    dialog.newPasswordEdit->setText(QStringLiteral("abcd123?"));
    dialog.confirmPasswordEdit->setText(QStringLiteral("abcd123?"));

    // Clicks on other ids are consumed and do nothing, the confirm id 102 included.
    for (int id : {0, 1, 2, 3, 6, 102, -1})
        QVERIFY(dialog.handleEvent(UiEventClick, id, 0, QString(), nullptr));
    QVERIFY(dialog.isVisible());
    QCOMPARE(finished.count(), 0);
    QCOMPARE(changed.count(), 0);
    QVERIFY(!CMessageTip::current());

    // Other event types go to the dialog base, which leaves a close-button id alone there.
    const bool baseResult =
        dialog.CBaseDialog::handleEvent(UiEventTextEdited, 101, 0, QString(), nullptr);
    QCOMPARE(dialog.handleEvent(UiEventTextEdited, 101, 0, QString(), nullptr), baseResult);
    QCOMPARE(dialog.handleEvent(UiEventTextEdited, 4, 0, QString(), nullptr), baseResult);
    QVERIFY(dialog.isVisible());
    QCOMPARE(changed.count(), 0);
}

void TestChangePasswordDialog::ruleTipClearsErrorLine()
{
    Dialog dialog;
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    dialog.errorText->setText(QStringLiteral("an earlier error"));
    dialog.handleEvent(UiEventClick, 4, 0, QString(), nullptr);
    QCOMPARE(dialog.errorText->getText(), QStringLiteral(" "));
    QCOMPARE(dialog.errorText->getMaxLines(), 100000);
}

QTEST_MAIN(TestChangePasswordDialog)
#include "tst_changepassworddialog.moc"
