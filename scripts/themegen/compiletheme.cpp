#include "compiletheme.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace themegen {

namespace {

// A C string literal of any UTF-8 text; octal escapes, which end after three digits, keep a
// following digit from being read as part of the escape.
QByteArray literal(const QString& text)
{
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && c != '"' && c != '\\' && c != '?')
            out += c;
        else
            out += QByteArray::number(byte, 8).rightJustified(3, '0').prepend('\\');
    }
    return out + '"';
}

// The premultiplied pixels as the library's QImage will hold them, eight to a line.
void emitPixels(QByteArray& out, const QByteArray& name, const QImage& image)
{
    out += "alignas(16) const quint32 " + name + "[] = {\n";
    int column = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            out += row[x] ? "0x" + QByteArray::number(row[x], 16).rightJustified(8, '0') : "0";
            out += ++column % 8 ? "," : ",\n";
        }
    }
    out += "};\n";
}

struct Failure
{
    QString message;
};

[[noreturn]] void fail(const QString& key, const QString& problem)
{
    throw Failure{QStringLiteral("key \"%1\": %2").arg(key, problem)};
}

QJsonObject section(const QJsonObject& root, const char* name)
{
    const QJsonValue value = root.value(QLatin1String(name));
    if (!value.isUndefined() && !value.isObject())
        fail(QLatin1String(name), QStringLiteral("not an object"));
    return value.toObject();
}

int wholeNumber(const QString& key, const QJsonValue& value, double lowest, double highest)
{
    const double number = value.toDouble(NAN);
    if (!value.isDouble() || number != std::floor(number) || number < lowest || number > highest)
        fail(key, QStringLiteral("expected a whole number from %1 to %2").arg(lowest).arg(highest));
    return int(number);
}

// The values are checked as the theme table checks a theme file, so that the library never
// carries a theme its own reader would refuse.
QByteArray compile(const QJsonObject& root, const Palette& pal)
{
    QByteArray table;

    table += "const CompiledColor colors[] = {\n";
    const QJsonObject colors = section(root, "colors");
    for (auto it = colors.begin(); it != colors.end(); ++it) {
        const QString text = it.value().toString();
        const QColor color(text);
        if (!text.startsWith(QLatin1Char('#')) || (text.size() != 7 && text.size() != 9) ||
            !color.isValid())
            fail(it.key(), QStringLiteral("expected a colour \"#rrggbb\" or \"#aarrggbb\""));
        table += "    {" + literal(it.key()) + ", 0x" +
                 QByteArray::number(color.rgba(), 16).rightJustified(8, '0') + "u},\n";
    }

    table += "};\nconst CompiledFont fonts[] = {\n";
    const QJsonObject fonts = section(root, "fonts");
    for (auto it = fonts.begin(); it != fonts.end(); ++it) {
        const QJsonObject font = it.value().toObject();
        const QJsonValue family = font.value(QLatin1String("family"));
        const QJsonValue bold = font.value(QLatin1String("bold"));
        const QJsonValue underline = font.value(QLatin1String("underline"));
        if (!it.value().isObject() || !family.isString() ||
            !(bold.isUndefined() || bold.isBool()) ||
            !(underline.isUndefined() || underline.isBool()))
            fail(it.key(), QStringLiteral("expected {\"family\": string, \"pixelSize\": number, "
                                          "\"bold\" and \"underline\" true or false}"));
        const int pixelSize =
            wholeNumber(it.key(), font.value(QLatin1String("pixelSize")), 1, 1000);
        table += "    {" + literal(it.key()) + ", " + literal(family.toString()) + ", " +
                 QByteArray::number(pixelSize) + (bold.toBool() ? ", true" : ", false") +
                 (underline.toBool() ? ", true},\n" : ", false},\n");
    }

    table += "};\nconst CompiledSize sizes[] = {\n";
    const QJsonObject sizes = section(root, "sizes");
    for (auto it = sizes.begin(); it != sizes.end(); ++it)
        table += "    {" + literal(it.key()) + ", " +
                 QByteArray::number(wholeNumber(it.key(), it.value(), -100000, 100000)) + "},\n";

    // One picture per file, however many keys name it.
    QByteArray pixels;
    QByteArray pictures = "const CompiledPicture pictures[] = {\n";
    QHash<QString, int> pictureOf;
    table += "};\nconst CompiledImage images[] = {\n";
    const QJsonObject images = section(root, "images");
    const QVector<Asset> drawn = assets(pal);
    for (auto it = images.begin(); it != images.end(); ++it) {
        const QString file = it.value().toString();
        if (!pictureOf.contains(file)) {
            const auto asset = std::find_if(drawn.begin(), drawn.end(),
                                            [&](const Asset& a) { return a.file == file; });
            if (asset == drawn.end())
                fail(it.key(), QStringLiteral("\"%1\" is not a picture themegen draws").arg(file));
            const int index = pictureOf.size();
            pictureOf.insert(file, index);
            const QByteArray name = "picture" + QByteArray::number(index);
            pixels += "// " + file.toUtf8() + "\n";
            emitPixels(pixels, name, render(*asset, 1));
            emitPixels(pixels, name + "x2", render(*asset, 2));
            pictures += "    {" + QByteArray::number(asset->frame.width() * asset->frames) + ", " +
                        QByteArray::number(asset->frame.height()) + ", " + name + ", " + name +
                        "x2},\n";
        }
        table += "    {" + literal(it.key()) + ", " + literal(file) + ", &pictures[" +
                 QByteArray::number(pictureOf.value(file)) + "]},\n";
    }
    table += "};\n";
    pictures += "};\n";

    const auto count = [](const QJsonObject& object) { return QByteArray::number(object.size()); };
    return pixels + pictures + table + "const CompiledTheme theme = {colors, " + count(colors) +
           ", fonts, " + count(fonts) + ", sizes, " + count(sizes) + ", images, " + count(images) +
           "};\n";
}

} // namespace

int compileTheme(const QString& jsonPath, const QString& outPath, const Palette& pal)
{
    QFile json(jsonPath);
    if (!json.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "themegen: cannot read %s\n", qPrintable(jsonPath));
        return 1;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.readAll(), &error);
    if (!document.isObject()) {
        std::fprintf(stderr, "themegen: %s: not a JSON object: %s\n", qPrintable(jsonPath),
                     qPrintable(error.errorString()));
        return 1;
    }
    QByteArray source = "// Generated by themegen from " + QFileInfo(jsonPath).fileName().toUtf8() +
                        " and the drawing code of its pictures. Do not edit.\n\n"
                        "#include \"uibase/dialog/contracts/compiledtheme_p.h\"\n\n"
                        "namespace Omra {\nnamespace detail {\nnamespace {\n\n";
    try {
        source += compile(document.object(), pal);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "themegen: %s: %s\n", qPrintable(jsonPath),
                     qPrintable(failure.message));
        return 1;
    }
    source += "\n} // namespace\n\nconst CompiledTheme& defaultCompiledTheme()\n{\n"
              "    return theme;\n}\n\n} // namespace detail\n} // namespace Omra\n";

    // An unchanged file keeps its date, so the library is not compiled again for nothing.
    QFile existing(outPath);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == source)
        return 0;
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(source) != source.size() || !out.commit()) {
        std::fprintf(stderr, "themegen: cannot write %s\n", qPrintable(outPath));
        return 1;
    }
    return 0;
}

} // namespace themegen
