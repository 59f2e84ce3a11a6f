#include "uibase/dialog/installersignature_p.h"

#include "uibase/dialog/contracts/bson.h"
#include "uibase/dialog/contracts/common.h"

#include <QFileInfo>
#include <QLoggingCategory>

#include <openssl/err.h>
#include <openssl/evp.h>

#include <exception>
#include <memory>

namespace Omra {

namespace {

Q_LOGGING_CATEGORY(lcInstallerSignature, "omra.update")

QByteArray& trustedKey()
{
    static QByteArray key;
    return key;
}

struct PkeyFree
{
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct MdCtxFree
{
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

} // namespace

QByteArray CInstallerSignature::publicKey()
{
    return trustedKey();
}

bool CInstallerSignature::setPublicKey(const QByteArray& key)
{
    if (!key.isEmpty() && key.size() != keySize) {
        qCWarning(lcInstallerSignature,
                  "installer public key of %d bytes refused: an Ed25519 key has %d; checking "
                  "stays %s",
                  int(key.size()), keySize, trustedKey().isEmpty() ? "off" : "on");
        return false;
    }
    trustedKey() = key;
    return true;
}

bool CInstallerSignature::verify(const QByteArray& key, const uchar* message, std::size_t size,
                                 const QByteArray& signature)
{
    if (key.size() != keySize || signature.size() != signatureSize)
        return false;
    // OpenSSL wants a valid pointer even for an empty message.
    static const uchar nothing = 0;
    std::unique_ptr<EVP_PKEY, PkeyFree> pkey(EVP_PKEY_new_raw_public_key(
        EVP_PKEY_ED25519, nullptr, reinterpret_cast<const uchar*>(key.constData()), keySize));
    std::unique_ptr<EVP_MD_CTX, MdCtxFree> context(EVP_MD_CTX_new());
    bool valid =
        pkey && context &&
        EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, pkey.get()) == 1 &&
        EVP_DigestVerify(context.get(), reinterpret_cast<const uchar*>(signature.constData()),
                         signatureSize, message ? message : &nothing, size) == 1;
    // A refused signature leaves entries in the thread's OpenSSL error queue, which the TLS
    // code of Qt Network on this thread would otherwise find later.
    ERR_clear_error();
    return valid;
}

QString CInstallerSignature::manifestSignature(const std::string& manifest)
{
    // Read like the manifest's other strings: the BSON library throws for malformed text and
    // for a value that is not a string.
    try {
        const bson::BSONObj object = bson::fromjson(manifest);
        if (object.hasField("exe_ed25519"))
            return sToQs(object["exe_ed25519"].String());
    } catch (const std::exception&) {
    } catch (...) {
    }
    return QString();
}

CInstallerSignature::CInstallerSignature(const QString& path, const QString& signatureBase64)
    : path(path), signatureText(signatureBase64), held(path)
{
}

CInstallerSignature::~CInstallerSignature() = default;

bool CInstallerSignature::check(const char* when)
{
    const QByteArray key = publicKey();
    if (key.isEmpty())
        return true;

    const auto decoded = QByteArray::fromBase64Encoding(signatureText.toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    QString why;
    if (signatureText.isEmpty()) {
        why = QStringLiteral("the manifest names no signature");
    } else if (!decoded) {
        why = QStringLiteral("the signature is not base64");
    } else if (decoded.decoded.size() != signatureSize) {
        why = QStringLiteral("the signature has %1 bytes, not %2")
                  .arg(decoded.decoded.size())
                  .arg(signatureSize);
    } else if (!QFileInfo(path).isFile()) {
        // Opening a pipe put in its place would block.
        why = QStringLiteral("it is not a regular file");
    } else {
        // The first check reads through the file it keeps open; later ones open the path
        // again, so that a file renamed over it is what they read.
        QFile again(path);
        QFile& file = held.isOpen() ? again : held;
        if (!file.open(QIODevice::ReadOnly)) {
            why = QStringLiteral("it cannot be opened: ") + file.errorString();
        } else {
            // Ed25519 hashes the message as one piece, and OpenSSL takes it only whole.
            // Mapping the file hands it over without a copy on the heap: the pages come
            // from the file cache as the check reads them and can be dropped again.
            const qint64 size = file.size();
            uchar* bytes = size > 0 ? file.map(0, size) : nullptr;
            if (size > 0 && !bytes) {
                why = QStringLiteral("it cannot be mapped: ") + file.errorString();
            } else {
                if (!verify(key, bytes, std::size_t(size), decoded.decoded))
                    why = QStringLiteral("the signature does not match the file");
                if (bytes)
                    file.unmap(bytes);
            }
        }
    }
    if (why.isEmpty())
        return true;

    held.close();
    const bool gone = !QFileInfo::exists(path) || QFile::remove(path);
    qCWarning(lcInstallerSignature, "installer %s refused %s: %s; %s", qUtf8Printable(path), when,
              qUtf8Printable(why), gone ? "deleted" : "could not be deleted");
    return false;
}

} // namespace Omra
