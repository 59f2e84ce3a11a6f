#include "gallery.h"

#include "uibase/dialog/cchangepassworddialog.h"
#include "uibase/dialog/ccheckversiondialog.h"
#include "uibase/dialog/cdialoghelper.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QLabel>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include <openssl/evp.h>

#include <memory>

namespace {

// A tiny HTTP server on 127.0.0.1 that the version check can fetch its manifest and
// installer from, so the gallery needs no network. A body marked slow is sent in small
// pieces a few times a second, so the download can be watched (and cancelled).
class LocalServer : public QObject
{
public:
    LocalServer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection())
                handle(socket);
        });
    }

    QString url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path);
    }
    void serve(const QString& path, const QByteArray& body, bool slow = false)
    {
        files.insert(path, qMakePair(body, slow));
    }

private:
    void handle(QTcpSocket* socket)
    {
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            QByteArray request = socket->property("request").toByteArray() + socket->readAll();
            socket->setProperty("request", request);
            if (!request.contains("\r\n\r\n") || socket->property("answered").toBool())
                return;
            socket->setProperty("answered", true);
            const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
            const QString target = line.size() > 1 ? QString::fromUtf8(line.at(1)) : QString();
            const QString path = target.section(QLatin1Char('?'), 0, 0);
            if (!files.contains(path)) {
                socket->write("HTTP/1.1 404 Not Found\r\nConnection: close\r\n"
                              "Content-Length: 0\r\n\r\n");
                socket->disconnectFromHost();
                return;
            }
            const QByteArray body = files.value(path).first;
            socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: " +
                          QByteArray::number(body.size()) + "\r\n\r\n");
            if (!files.value(path).second) {
                socket->write(body);
                socket->disconnectFromHost();
                return;
            }
            auto* timer = new QTimer(socket);
            auto offset = std::make_shared<int>(0);
            QObject::connect(timer, &QTimer::timeout, socket, [socket, timer, offset, body] {
                const int piece = qMax(1, body.size() / 40);
                socket->write(body.mid(*offset, piece));
                *offset += piece;
                if (*offset >= body.size()) {
                    timer->stop();
                    socket->disconnectFromHost();
                }
            });
            timer->start(100);
        });
    }

    QTcpServer server;
    QHash<QString, QPair<QByteArray, bool>> files;
};

// ---- change password ------------------------------------------------------------------

Omra::CChangePasswordDialog* makePasswordDialog()
{
    return new Omra::CChangePasswordDialog(0, QStringLiteral("修改密码"), QString(), QString());
}

std::function<void(QWidget*)> submitWith(const QString& oldPassword, const QString& newPassword,
                                         const QString& confirmPassword)
{
    return [=](QWidget* window) {
        auto edit = [window](const char* name) {
            return window->findChild<Omra::CLineEdit*>(QLatin1String(name));
        };
        edit("oldPasswordEdit")->setText(oldPassword);
        edit("newPasswordEdit")->setText(newPassword);
        edit("confirmPasswordEdit")->setText(confirmPassword);
        window->activateWindow();
        window->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    };
}

// ---- version check --------------------------------------------------------------------

// How the demo's installer is published: without a signature (checking off), signed with the
// demo key, or signed and then changed on the server.
enum class Publish { Unsigned, Signed, Tampered };

// A key pair made once per run, standing in for the publisher's; the terminal side only ever
// sees the public half.
class DemoSigner
{
public:
    DemoSigner()
    {
        EVP_PKEY_CTX* context = EVP_PKEY_CTX_new_id(EVP_PKEY_ED25519, nullptr);
        if (context && EVP_PKEY_keygen_init(context) == 1)
            EVP_PKEY_keygen(context, &key);
        EVP_PKEY_CTX_free(context);
    }
    ~DemoSigner() { EVP_PKEY_free(key); }

    QByteArray publicKey() const
    {
        QByteArray raw(32, '\0');
        size_t size = 32;
        if (!key ||
            EVP_PKEY_get_raw_public_key(key, reinterpret_cast<uchar*>(raw.data()), &size) != 1)
            return QByteArray();
        return raw;
    }
    // The base64 signature as the manifest carries it.
    QByteArray sign(const QByteArray& bytes) const
    {
        QByteArray signature(64, '\0');
        size_t size = 64;
        EVP_MD_CTX* context = EVP_MD_CTX_new();
        const bool done = key && context &&
                          EVP_DigestSignInit(context, nullptr, nullptr, nullptr, key) == 1 &&
                          EVP_DigestSign(context, reinterpret_cast<uchar*>(signature.data()), &size,
                                         reinterpret_cast<const uchar*>(bytes.constData()),
                                         size_t(bytes.size())) == 1;
        EVP_MD_CTX_free(context);
        return done ? signature.toBase64() : QByteArray();
    }

private:
    EVP_PKEY* key = nullptr;
};

const DemoSigner& demoSigner()
{
    static const DemoSigner signer;
    return signer;
}

struct VersionCheck
{
    std::unique_ptr<LocalServer> server = std::make_unique<LocalServer>();
    std::unique_ptr<QTemporaryDir> baseDir = std::make_unique<QTemporaryDir>();
    QString manifestName;
    QString installerName;

    VersionCheck()
    {
        static int counter = 0;
        const QString tag =
            QStringLiteral("gallery_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
        manifestName = tag + QStringLiteral("_version.json");
        installerName = tag + QStringLiteral("_Setup-1.1.0.exe");
    }

    ~VersionCheck()
    {
        // The downloads land in the application directory; leave nothing behind.
        QDir dir(QCoreApplication::applicationDirPath());
        dir.remove(manifestName);
        dir.remove(installerName);
    }

    Omra::CCheckVersionDialog* makeDialog(const QString& current, const QString& latest,
                                          bool slowInstaller, Publish publish = Publish::Unsigned)
    {
        QByteArray installer(400000, 'x');
        const QString installerUrl = server->url(QLatin1Char('/') + installerName);
        QByteArray manifest = QStringLiteral("{\"version\": \"%1\", \"exe_url\": \"%2\"")
                                  .arg(latest, installerUrl)
                                  .toUtf8();
        if (publish != Publish::Unsigned) {
            // The release as its publisher signs it: version, installer URL, size, SHA-256
            // and a week of validity bound together.
            const QByteArray payload =
                QStringLiteral("{\"version\":\"%1\",\"exe_url\":\"%2\",\"exe_sha256\":\"%3\","
                               "\"exe_size\":%4,\"expires\":\"%5\"}")
                    .arg(latest, installerUrl,
                         QString::fromLatin1(
                             QCryptographicHash::hash(installer, QCryptographicHash::Sha256)
                                 .toHex()))
                    .arg(installer.size())
                    .arg(QDateTime::currentDateTimeUtc().addDays(7).toString(
                        QStringLiteral("yyyy-MM-dd'T'hh:mm:ss'Z'")))
                    .toUtf8();
            manifest += ", \"signed\": \"" + payload.toBase64() + "\", \"signatures\": [\"" +
                        demoSigner().sign(payload) + "\"]";
        }
        manifest += '}';
        if (publish == Publish::Tampered)
            installer[200000] = 'y';
        server->serve(QLatin1Char('/') + manifestName, manifest);
        server->serve(QLatin1Char('/') + installerName, installer, slowInstaller);
        auto* dialog = new Omra::CCheckVersionDialog(QCoreApplication::applicationDirPath(),
                                                     QStringLiteral("--upgrade"), baseDir->path());
        dialog->setCurrentVersion(current);
        dialog->setGetVersionUrl(server->url(QLatin1Char('/') + manifestName));
        return dialog;
    }
};

// The screenshot's dialog carries its server and files along and drops them with itself.
QWidget* makeCheckedVersionDialog(const QString& current, const QString& latest)
{
    auto* check = new VersionCheck;
    Omra::CCheckVersionDialog* dialog = check->makeDialog(current, latest, true);
    QObject::connect(dialog, &QObject::destroyed, [check] { delete check; });
    QEventLoop loop;
    QObject::connect(dialog, &Omra::CCheckVersionDialog::sigDownConfigFinish, &loop,
                     &QEventLoop::quit);
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    dialog->startGetLatestVersion();
    loop.exec();
    return dialog;
}

void clickButton(QWidget* window, const char* name)
{
    window->activateWindow();
    window->findChild<QPushButton*>(QLatin1String(name))->click();
}

// The demo's status line shows why an installer was refused (the dialog itself shows nothing).
QPointer<QLabel> updateStatus;
QtMessageHandler previousHandler = nullptr;

void showUpdateLog(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (updateStatus && context.category && qstrcmp(context.category, "omra.update") == 0) {
        updateStatus->setText(text);
        updateStatus->window()->adjustSize();
    }
    previousHandler(type, context, text);
}

void runVersionCheckDemo(QWidget* galleryWindow, const QString& current, const QString& latest,
                         Publish publish = Publish::Unsigned)
{
    VersionCheck check;
    Omra::CCheckVersionDialog* dialog = check.makeDialog(current, latest, true, publish);
    // Only the signed demos trust a key: the others show the behaviour without one.
    Omra::CCheckVersionDialog::setInstallerPublicKey(
        publish == Publish::Unsigned ? QByteArray() : demoSigner().publicKey());

    // The dialog has no progress bar of its own: the caller shows the progress.
    auto* progressWindow = new QWidget(galleryWindow, Qt::Tool);
    progressWindow->setWindowTitle(QStringLiteral("Installer download"));
    auto* layout = new QVBoxLayout(progressWindow);
    auto* status =
        new QLabel(QStringLiteral("Checking %1 ...").arg(check.server->url("/")), progressWindow);
    auto* bar = new QProgressBar(progressWindow);
    // Wraps the refusal lines, which name the installer's path.
    status->setWordWrap(true);
    progressWindow->setMinimumWidth(480);
    layout->addWidget(status);
    layout->addWidget(bar);
    QObject::connect(dialog, &Omra::CCheckVersionDialog::sigDownConfigFinish, status,
                     [status](bool latest) {
                         status->setText(latest ? QStringLiteral("sigDownConfigFinish(true): "
                                                                 "up to date")
                                                : QStringLiteral("sigDownConfigFinish(false): "
                                                                 "a download is offered"));
                     });
    QObject::connect(dialog, &Omra::CCheckVersionDialog::sigDownProgress, bar,
                     [bar](qint64 received, qint64 total) {
                         bar->setMaximum(int(total > 0 ? total : 0));
                         bar->setValue(int(received));
                     });
    progressWindow->show();
    updateStatus = status;
    previousHandler = qInstallMessageHandler(showUpdateLog);

    dialog->startGetLatestVersion();
    Omra::CDialogHelper::toCenter(dialog);
    dialog->exec();
    qInstallMessageHandler(previousHandler);
    Omra::CCheckVersionDialog::setInstallerPublicKey(QByteArray());
    delete dialog;
    delete progressWindow;
}

gallery::Page accountPage()
{
    gallery::Page page;
    page.title = QStringLiteral("Account and update");
    page.description = QStringLiteral(
        "CChangePasswordDialog checks the three fields in order and shows the first problem as a "
        "tip; on success it emits the SHA-1 digests of the old and new password.\n"
        "CCheckVersionDialog fetches a JSON manifest (here from a small server inside the "
        "gallery), shows the version it names and offers the installer when it differs. With a "
        "trusted key set, only a signed, unexpired release newer than the running version is "
        "offered, and an installer whose size or SHA-256 differs from the signed one is refused; "
        "the demo's status line shows the reason logged in omra.update.");

    page.shots << gallery::Shot{
        QStringLiteral("changepassword"), [] { return makePasswordDialog(); }, {}};
    page.shots << gallery::Shot{QStringLiteral("changepassword-tip-empty"),
                                [] { return makePasswordDialog(); },
                                submitWith(QString(), QString(), QString())};
    page.shots << gallery::Shot{QStringLiteral("changepassword-tip-mismatch"),
                                [] { return makePasswordDialog(); },
                                submitWith(QStringLiteral("old-pass1"), QStringLiteral("abcd123!"),
                                           QStringLiteral("abcd123?"))};
    page.shots << gallery::Shot{QStringLiteral("changepassword-tip-rule"),
                                [] { return makePasswordDialog(); },
                                submitWith(QStringLiteral("old-pass1"), QStringLiteral("abcd1234"),
                                           QStringLiteral("abcd1234"))};

    page.shots << gallery::Shot{
        QStringLiteral("checkversion-newer"),
        [] { return makeCheckedVersionDialog(QStringLiteral("1.0.10"), QStringLiteral("1.1.0")); },
        {}};
    page.shots << gallery::Shot{
        QStringLiteral("checkversion-latest-tip"),
        [] { return makeCheckedVersionDialog(QStringLiteral("1.1.0"), QStringLiteral("1.1.0")); },
        [](QWidget* window) { clickButton(window, "downloadButton"); }};
    page.shots << gallery::Shot{
        QStringLiteral("checkversion-downloading"),
        [] { return makeCheckedVersionDialog(QStringLiteral("1.0.10"), QStringLiteral("1.1.0")); },
        [](QWidget* window) {
            clickButton(window, "downloadButton");
            QElapsedTimer clock;
            clock.start();
            while (clock.elapsed() < 300)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }};

    page.demos << gallery::Demo{QStringLiteral("Change password"), [](QWidget* galleryWindow) {
                                    auto* dialog = makePasswordDialog();
                                    QObject::connect(
                                        dialog, &Omra::CChangePasswordDialog::sigChangePassword,
                                        galleryWindow, [galleryWindow](QString o, QString n) {
                                            QMessageBox::information(
                                                galleryWindow, QStringLiteral("sigChangePassword"),
                                                QStringLiteral("old: %1\nnew: %2").arg(o, n));
                                        });
                                    Omra::CDialogHelper::toCenter(dialog);
                                    dialog->exec();
                                }};
    page.demos << gallery::Demo{QStringLiteral("Check version: 1.0.10 against a published 1.1.0"),
                                [](QWidget* galleryWindow) {
                                    runVersionCheckDemo(galleryWindow, QStringLiteral("1.0.10"),
                                                        QStringLiteral("1.1.0"));
                                }};
    page.demos << gallery::Demo{QStringLiteral("Check version: signed installer"),
                                [](QWidget* galleryWindow) {
                                    runVersionCheckDemo(galleryWindow, QStringLiteral("1.0.10"),
                                                        QStringLiteral("1.1.0"), Publish::Signed);
                                }};
    page.demos << gallery::Demo{QStringLiteral("Check version: installer changed after signing"),
                                [](QWidget* galleryWindow) {
                                    runVersionCheckDemo(galleryWindow, QStringLiteral("1.0.10"),
                                                        QStringLiteral("1.1.0"), Publish::Tampered);
                                }};
    page.demos << gallery::Demo{
        QStringLiteral("Check version: already the latest"), [](QWidget* galleryWindow) {
            runVersionCheckDemo(galleryWindow, QStringLiteral("1.1.0"), QStringLiteral("1.1.0"));
        }};
    return page;
}

} // namespace

GALLERY_PAGE(accountPage)
