#include "uibase/dialog/installersignature_p.h"

#include "uibase/dialog/updatelog_p.h"

#include <openssl/err.h>
#include <openssl/evp.h>

#include <memory>

namespace Omra {

namespace {

QList<QByteArray>& trustedKeys()
{
    static QList<QByteArray> keys;
    return keys;
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

QList<QByteArray> CInstallerSignature::publicKeys()
{
    return trustedKeys();
}

bool CInstallerSignature::setPublicKeys(const QList<QByteArray>& keys)
{
    for (int i = 0; i < keys.size(); ++i) {
        if (keys.at(i).size() != keySize) {
            qCWarning(lcUpdate,
                      "update public keys refused: key %d has %d bytes, an Ed25519 key has %d; "
                      "checking stays %s",
                      i + 1, int(keys.at(i).size()), keySize,
                      trustedKeys().isEmpty() ? "off" : "on");
            return false;
        }
    }
    trustedKeys() = keys;
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
    const bool valid =
        pkey && context &&
        EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, pkey.get()) == 1 &&
        EVP_DigestVerify(context.get(), reinterpret_cast<const uchar*>(signature.constData()),
                         signatureSize, message ? message : &nothing, size) == 1;
    // A refused signature leaves entries in the thread's OpenSSL error queue, which the TLS
    // code of Qt Network on this thread would otherwise find later.
    ERR_clear_error();
    return valid;
}

} // namespace Omra
