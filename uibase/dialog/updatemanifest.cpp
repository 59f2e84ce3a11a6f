#include "uibase/dialog/updatemanifest_p.h"

#include "uibase/dialog/contracts/bson.h"
#include "uibase/dialog/contracts/common.h"
#include "uibase/dialog/installersignature_p.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <exception>

namespace Omra {
namespace detail {

namespace {

constexpr int maxInstallerNameLength = 128;
// Above this a double no longer holds every whole number, so a size could not be exact.
constexpr double largestExactSize = 9007199254740992.0; // 2^53

QByteArray strictBase64(const QString& text, bool* ok)
{
    const auto decoded =
        QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    *ok = bool(decoded) && !text.isEmpty();
    return decoded.decoded;
}

// The manifest's "signed" bytes and "signatures", or why they are missing. A terminal with
// trusted keys reads the manifest as strict JSON; what it says is trusted only through the
// signature.
bool readEnvelope(const std::string& manifest, QByteArray* payload, QList<QByteArray>* signatures,
                  QString* whyNot)
{
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(manifest), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        *whyNot = QStringLiteral("the manifest is not a JSON object");
        return false;
    }
    const QJsonObject object = document.object();
    bool ok = false;
    *payload = strictBase64(object.value(QLatin1String("signed")).toString(), &ok);
    if (!ok) {
        *whyNot = QStringLiteral("the manifest has no base64 \"signed\" payload");
        return false;
    }
    for (const QJsonValue entry : object.value(QLatin1String("signatures")).toArray()) {
        if (signatures->size() == maxSignaturesTried)
            break;
        const QByteArray signature = strictBase64(entry.toString(), &ok);
        if (ok && signature.size() == CInstallerSignature::signatureSize)
            signatures->append(signature);
    }
    return true;
}

bool signedByOneOf(const QByteArray& payload, const QList<QByteArray>& signatures,
                   const QList<QByteArray>& keys)
{
    const auto* bytes = reinterpret_cast<const uchar*>(payload.constData());
    for (const QByteArray& signature : signatures) {
        for (const QByteArray& key : keys) {
            if (CInstallerSignature::verify(key, bytes, std::size_t(payload.size()), signature))
                return true;
        }
    }
    return false;
}

// An RFC 3339 time in UTC ("2027-03-01T00:00:00Z", fractions of a second allowed); an
// invalid QDateTime for anything else, offsets included.
QDateTime utcTime(const QString& text)
{
    static const QRegularExpression form(QStringLiteral(
        "^(\\d{4})-(\\d{2})-(\\d{2})[Tt](\\d{2}):(\\d{2}):(\\d{2})(\\.\\d{1,9})?[Zz]$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return QDateTime();
    const auto number = [&match](int group) { return match.captured(group).toInt(); };
    const QDate date(number(1), number(2), number(3));
    const QTime time(number(4), number(5), number(6));
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

bool readPayload(const QByteArray& payload, SignedRelease* release, QString* whyNot)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        *whyNot = QStringLiteral("the signed payload is not a JSON object");
        return false;
    }
    const QJsonObject object = document.object();
    const auto missing = [whyNot](const char* field) {
        *whyNot =
            QStringLiteral("the signed payload has no valid \"%1\"").arg(QLatin1String(field));
        return false;
    };
    if (!object.value(QLatin1String("version")).isString())
        return missing("version");
    if (!object.value(QLatin1String("exe_url")).isString())
        return missing("exe_url");
    static const QRegularExpression sha256Form(QStringLiteral("^[0-9a-f]{64}$"));
    const QString sha256 = object.value(QLatin1String("exe_sha256")).toString();
    if (!sha256Form.match(sha256).hasMatch())
        return missing("exe_sha256");
    const QJsonValue size = object.value(QLatin1String("exe_size"));
    const double bytes = size.toDouble(-1);
    if (!size.isDouble() || bytes < 1 || bytes > largestExactSize || std::floor(bytes) != bytes)
        return missing("exe_size");
    const QDateTime expires = utcTime(object.value(QLatin1String("expires")).toString());
    if (!expires.isValid())
        return missing("expires");

    release->version = object.value(QLatin1String("version")).toString();
    release->exeUrl = object.value(QLatin1String("exe_url")).toString();
    release->exeSha256 = QByteArray::fromHex(sha256.toLatin1());
    release->exeSize = qint64(bytes);
    release->expires = expires;
    return true;
}

bool isVersion(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]+(\\.[0-9]+)*$"));
    return form.match(text).hasMatch();
}

// A part of a version without its leading zeros, so that longer means larger.
QStringView significant(QStringView part)
{
    while (part.size() > 1 && part.front() == QLatin1Char('0'))
        part = part.mid(1);
    return part;
}

bool sameName(const QString& a, const QString& b)
{
    return !b.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

int parseManifest(const std::string& bytes, QString* version, QString* exeUrl)
{
    int read = 0;
    // The BSON library reports malformed text and values of the wrong type by throwing;
    // either ends the reading here and keeps what was read before.
    try {
        const bson::BSONObj manifest = bson::fromjson(bytes);
        if (manifest.hasField("version")) {
            const QString text = sToQs(manifest["version"].String());
            if (version)
                *version = text;
            read |= ManifestVersion;
        }
        if (manifest.hasField("exe_url")) {
            const QString text = sToQs(manifest["exe_url"].String());
            if (exeUrl)
                *exeUrl = text;
            read |= ManifestExeUrl;
        }
    } catch (const std::exception&) {
    } catch (...) {
    }
    return read;
}

bool readSignedRelease(const std::string& manifest, const QList<QByteArray>& keys,
                       const QDateTime& now, SignedRelease* release, QString* whyNot)
{
    QByteArray payload;
    QList<QByteArray> signatures;
    if (!readEnvelope(manifest, &payload, &signatures, whyNot))
        return false;
    // Nothing of the payload is looked at before its signature holds.
    if (!signedByOneOf(payload, signatures, keys)) {
        *whyNot = QStringLiteral("no signature of a trusted key holds for the signed payload");
        return false;
    }
    SignedRelease read;
    if (!readPayload(payload, &read, whyNot))
        return false;
    if (read.expires <= now) {
        *whyNot = QStringLiteral("the signed payload expired at %1")
                      .arg(read.expires.toString(Qt::ISODate));
        return false;
    }
    *release = read;
    return true;
}

int compareVersions(const QString& a, const QString& b, bool* ok)
{
    *ok = isVersion(a) && isVersion(b);
    if (!*ok)
        return 0;
    const QStringList left = a.split(QLatin1Char('.'));
    const QStringList right = b.split(QLatin1Char('.'));
    for (int i = 0; i < qMax(left.size(), right.size()); ++i) {
        const QStringView x = significant(i < left.size() ? QStringView(left.at(i)) : u"0");
        const QStringView y = significant(i < right.size() ? QStringView(right.at(i)) : u"0");
        if (x.size() != y.size())
            return x.size() < y.size() ? -1 : 1;
        const int order = x.compare(y);
        if (order != 0)
            return order < 0 ? -1 : 1;
    }
    return 0;
}

QString installerNameProblem(const QString& name, const QString& manifestName,
                             const QString& executableName)
{
    if (name.isEmpty() || name.size() > maxInstallerNameLength || name.startsWith(QLatin1Char('.')))
        return QStringLiteral("it is empty, longer than %1 characters or starts with '.'")
            .arg(maxInstallerNameLength);
    for (const QChar c : name) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                           QStringLiteral("._-+").contains(c);
        if (!plain)
            return QStringLiteral("it holds characters other than letters, digits, '.', '_', "
                                  "'-' and '+'");
    }
    if (sameName(name, QLatin1String(upgradeProgramName)) || sameName(name, manifestName) ||
        sameName(name, QLatin1String(stagingDirName)) || sameName(name, executableName))
        return QStringLiteral("it names one of the terminal's own files");
    static const QRegularExpression library(QStringLiteral("\\.(dll|so)$|\\.so\\."),
                                            QRegularExpression::CaseInsensitiveOption);
    if (library.match(name).hasMatch())
        return QStringLiteral("it names a library");
    return QString();
}

} // namespace detail
} // namespace Omra
