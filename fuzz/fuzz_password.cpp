// Fuzzes the password rule and the digest of the change password dialog against plain
// re-statements of both: the rule looks at the UTF-8 bytes up to the first zero byte (8 to
// 16 of them, with a digit, a letter and any other byte); the digest is empty for an empty
// text, the text itself at 40 UTF-16 units, and otherwise the lower-case hex SHA-1 of those
// bytes.

#include "uibase/dialog/cchangepassworddialog.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <cstring>

using Omra::CChangePasswordDialog;

namespace {

// isMatch is protected and not static: one dialog serves every input.
class RuleProbe : public CChangePasswordDialog
{
public:
    RuleProbe() : CChangePasswordDialog(0, QString(), QString(), QString()) {}
    bool matches(const QString& password) { return isMatch(password); }
};

RuleProbe* probe = nullptr;
QApplication* application = nullptr;

QByteArray bytesUpToZero(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const int zero = bytes.indexOf('\0');
    return zero < 0 ? bytes : bytes.left(zero);
}

bool expectedMatch(const QByteArray& bytes)
{
    if (bytes.size() < 8 || bytes.size() > 16)
        return false;
    bool digit = false, letter = false, other = false;
    for (const char c : bytes) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= '0' && u <= '9')
            digit = true;
        else if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z'))
            letter = true;
        else
            other = true; // punctuation, space, every byte of a non-ASCII character
    }
    return digit && letter && other;
}

// First byte chooses how the rest becomes text: UTF-8 (with replacement of bad sequences),
// raw UTF-16 units (lone surrogates and zeros included), or Latin-1.
QString textOf(const uint8_t* data, size_t size)
{
    if (size == 0)
        return QString();
    const char* rest = reinterpret_cast<const char*>(data + 1);
    const int n = int(size - 1);
    switch (data[0] % 3) {
    case 0:
        return QString::fromUtf8(rest, n);
    case 1: {
        QString text(n / 2, QChar());
        std::memcpy(text.data(), rest, size_t(n / 2) * sizeof(QChar)); // rest is unaligned
        return text;
    }
    default:
        return QString::fromLatin1(rest, n);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int arguments = *argc;
    application = new QApplication(arguments, *argv);
    probe = new RuleProbe;
    // The dialog goes before the application, and the application before the leak check at
    // exit: its font caches are released only by its destructor.
    std::atexit([] {
        delete probe;
        probe = nullptr;
        delete application;
        application = nullptr;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString password = textOf(data, size);

    if (probe->matches(password) != expectedMatch(bytesUpToZero(password)))
        std::abort();

    const QString digest = CChangePasswordDialog::encrypt(password);
    if (digest.isEmpty() != password.isEmpty())
        std::abort();
    if (password.isEmpty())
        return 0;
    if (digest.size() != 40)
        std::abort();
    if (password.size() == 40) {
        if (digest != password)
            std::abort();
        return 0;
    }
    const QByteArray hex =
        QCryptographicHash::hash(bytesUpToZero(password), QCryptographicHash::Sha1).toHex();
    if (digest != QString::fromLatin1(hex))
        std::abort();
    return 0;
}
