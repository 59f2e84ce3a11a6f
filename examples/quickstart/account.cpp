// The change-password dialog and the version check.
// Run it to answer the dialogs yourself; with --smoke it answers them by itself.

#include "smoke.h"

#include "uibase/dialog/cchangepassworddialog.h"
#include "uibase/dialog/ccheckversiondialog.h"

#include <QApplication>

#include <cstdio>

using namespace Omra;

namespace {

// Stands for the terminal's account service, which sends the digests to the server.
struct Account
{
    void change(const QString& oldDigest, const QString& newDigest)
    {
        std::printf("change password from %s to %s\n", qPrintable(oldDigest),
                    qPrintable(newDigest));
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    quickstart::parseArguments(argc, argv);
    QWidget mainWindow;
    QWidget* window = &mainWindow;
    Account account;

    // Change password: the SHA-1 digests of the old and the new password.
    quickstart::answer("okButton", {{"oldPasswordEdit", "old-Secret1"},
                                    {"newPasswordEdit", "new-Secret2"},
                                    {"confirmPasswordEdit", "new-Secret2"}});
    auto* password = new CChangePasswordDialog(0, "修改密码", QString(), QString(), window);
    QObject::connect(
        password, &CChangePasswordDialog::sigChangePassword,
        [&](QString oldDigest, QString newDigest) { account.change(oldDigest, newDigest); });
    password->exec(); // deletes itself when closed

    // Version check and upgrade hand-over. Nothing listens at this address, so the check
    // finds no manifest and offers nothing to download.
    const QString appDir = QCoreApplication::applicationDirPath();
    // In the terminal, before the first version check (an empty array switches the check off).
    // (This is RFC 8032's first test key: put your own public key here.)
    CCheckVersionDialog::setInstallerPublicKey(
        QByteArray::fromBase64("11qYAYKxCrfVS/7TyWQHOg7hcvPapiMlrwIaaPcHURo="));
    CCheckVersionDialog check(appDir, "--silent", appDir, window);
    check.setCurrentVersion("1.0.10");
    check.setGetVersionUrl("http://127.0.0.1:9/terminal/version.json");
    QObject::connect(&check, &CCheckVersionDialog::sigDownConfigFinish, [&](bool latest) {
        std::printf("version check: %s\n", latest ? "up to date" : "not the published version");
        quickstart::answer("cancelButton");
    });
    QObject::connect(&check, &CCheckVersionDialog::sigDownProgress,
                     [](qint64 received, qint64 total) {
                         std::printf("installer: %lld of %lld bytes\n", received, total);
                     });
    check.startGetLatestVersion();
    check.exec();
    return 0;
}
