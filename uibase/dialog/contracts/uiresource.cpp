#include "uibase/dialog/contracts/uiresource.h"

#include "uibase/dialog/contracts/compiledtheme_p.h"
#include "uibase/dialog/contracts/pngdecoder_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QResource>

#include <cmath>

Q_LOGGING_CATEGORY(lcOmraTheme, "omra.theme")

template <> Omra::CUiResource* utils::CSingletonT<Omra::CUiResource>::instance()
{
    static Omra::CUiResource* const object = new Omra::CUiResource;
    return object;
}

namespace Omra {

namespace {

CUiResource* table()
{
    return utils::CSingletonT<CUiResource>::instance();
}

int scaled(int base, double scale)
{
    return int(std::lround(base * scale));
}

struct FontStyle
{
    QString family;
    int pixelSize = 12;
    bool bold = false;
    bool underline = false;
};

// Everything a theme file defines, parsed and checked before any of it is applied.
struct ThemeData
{
    QHash<QString, QColor> colors;
    QHash<QString, FontStyle> fonts;
    QHash<QString, int> sizes;
    QHash<QString, QImage> images;
};

bool highDpiScreens()
{
    const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return app && app->devicePixelRatio() > 1.0;
}

// Screens of device pixel ratio above 1 get the 2x picture, name@2x.png beside name.png, when
// the theme has one (the file name gives the picture its ratio, as in Qt's own image
// loading); otherwise the 1x picture is scaled.
QString imagePathForScreens(const QString& path)
{
    if (!highDpiScreens())
        return path;
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= path.lastIndexOf(QLatin1Char('/')))
        return path;
    const QString hiDpi = path.left(dot) + QLatin1String("@2x") + path.mid(dot);
    return QFileInfo::exists(hiDpi) ? hiDpi : path;
}

// A picture of the default theme, at ratio 2 for screens above ratio 1, wrapped without a copy
// around the library's read-only pixels. Qt changes an image's pixels in place only while no
// other image holds them, so each one made here is also held in this never-freed list: whatever
// changes a picture copies it first. (QImage's read-only form would not do: giving such an
// image its device pixel ratio copies it.)
QImage compiledImage(const detail::CompiledPicture& picture)
{
    static auto* const held = new QHash<const quint32*, QImage>;
    const int ratio = highDpiScreens() ? 2 : 1;
    const quint32* pixels = ratio == 2 ? picture.pixels2x : picture.pixels;
    QImage& image = (*held)[pixels];
    if (image.isNull()) {
        const int width = picture.width * ratio;
        image = QImage(reinterpret_cast<uchar*>(const_cast<quint32*>(pixels)), width,
                       picture.height * ratio, width * 4, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
    }
    return image;
}

// Every image of a theme file is read here. Pictures compiled into the program as resources
// are decoded straight from their bytes when they are plain PNGs; anything else goes through
// Qt's reader.
QImage readThemeImage(const QString& path, QString* error)
{
    if (path.startsWith(QLatin1Char(':'))) {
        const QResource resource(path);
        if (resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression) {
            QImage image = detail::decodePlainPng(resource.data(), resource.size());
            if (!image.isNull()) {
                // Qt's reader gives name@2x pictures their ratio; so does this path.
                if (path.contains(QLatin1String("@2x.")))
                    image.setDevicePixelRatio(2.0);
                return image;
            }
        }
    }
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull() && error)
        *error = reader.errorString();
    return image;
}

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

bool parseTheme(const QString& path, ThemeData& data, QString* error)
{
    const QFileInfo info(path);
    if (info.isDir())
        return fail(error, QStringLiteral("theme file %1: is a directory").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(
            error,
            QStringLiteral("theme file %1: cannot be read: %2").arg(path, file.errorString()));
    // Theme files are small; refuse anything absurd before reading it.
    if (file.size() > 16 * 1024 * 1024)
        return fail(error, QStringLiteral("theme file %1: larger than 16 MiB").arg(path));

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return fail(error, QStringLiteral("theme file %1: not valid JSON at offset %2: %3")
                               .arg(path)
                               .arg(parseError.offset)
                               .arg(parseError.errorString()));
    if (!document.isObject())
        return fail(error,
                    QStringLiteral("theme file %1: the top level is not an object").arg(path));

    const QJsonObject root = document.object();
    const auto section = [&](const char* name, QJsonObject& out) {
        const QJsonValue value = root.value(QLatin1String(name));
        if (value.isUndefined())
            return true;
        if (!value.isObject())
            return fail(error, QStringLiteral("theme file %1: key \"%2\": not an object")
                                   .arg(path, QLatin1String(name)));
        out = value.toObject();
        return true;
    };
    QJsonObject colors, fonts, sizes, images;
    if (!section("colors", colors) || !section("fonts", fonts) || !section("sizes", sizes) ||
        !section("images", images))
        return false;

    const auto keyError = [&](const QString& key, const QString& problem) {
        return fail(error, QStringLiteral("theme file %1: key \"%2\": %3").arg(path, key, problem));
    };

    for (auto it = colors.constBegin(); it != colors.constEnd(); ++it) {
        const QString text = it.value().toString();
        const bool wellFormed = it.value().isString() && text.startsWith(QLatin1Char('#')) &&
                                (text.size() == 7 || text.size() == 9);
        const QColor color(text);
        if (!wellFormed || !color.isValid())
            return keyError(it.key(),
                            QStringLiteral("expected a colour \"#rrggbb\" or \"#aarrggbb\""));
        data.colors.insert(it.key(), color);
    }

    for (auto it = fonts.constBegin(); it != fonts.constEnd(); ++it) {
        if (!it.value().isObject())
            return keyError(it.key(), QStringLiteral("expected a font object"));
        const QJsonObject object = it.value().toObject();
        FontStyle style;
        const QJsonValue family = object.value(QLatin1String("family"));
        const QJsonValue pixelSize = object.value(QLatin1String("pixelSize"));
        const QJsonValue bold = object.value(QLatin1String("bold"));
        const QJsonValue underline = object.value(QLatin1String("underline"));
        if (!family.isString())
            return keyError(it.key(), QStringLiteral("\"family\" must be a string"));
        if (!pixelSize.isDouble() || pixelSize.toDouble() < 1 || pixelSize.toDouble() > 1000 ||
            pixelSize.toDouble() != std::floor(pixelSize.toDouble()))
            return keyError(it.key(),
                            QStringLiteral("\"pixelSize\" must be a whole number from 1 to 1000"));
        if (!bold.isUndefined() && !bold.isBool())
            return keyError(it.key(), QStringLiteral("\"bold\" must be true or false"));
        if (!underline.isUndefined() && !underline.isBool())
            return keyError(it.key(), QStringLiteral("\"underline\" must be true or false"));
        style.family = family.toString();
        style.pixelSize = pixelSize.toInt();
        style.bold = bold.toBool(false);
        style.underline = underline.toBool(false);
        data.fonts.insert(it.key(), style);
    }

    for (auto it = sizes.constBegin(); it != sizes.constEnd(); ++it) {
        const double value = it.value().toDouble(-1e300);
        if (!it.value().isDouble() || value != std::floor(value) || std::fabs(value) > 100000)
            return keyError(it.key(), QStringLiteral("expected a whole number of pixels"));
        data.sizes.insert(it.key(), int(value));
    }

    const QDir base = info.absoluteDir();
    for (auto it = images.constBegin(); it != images.constEnd(); ++it) {
        if (!it.value().isString() || it.value().toString().isEmpty())
            return keyError(it.key(), QStringLiteral("expected an image file name"));
        const QString name = it.value().toString();
        const QString imagePath =
            name.startsWith(QLatin1Char(':')) ? name : base.absoluteFilePath(name);
        QString readError;
        const QImage image = readThemeImage(imagePathForScreens(imagePath), &readError);
        if (image.isNull())
            return keyError(it.key(),
                            QStringLiteral("cannot read image %1: %2").arg(imagePath, readError));
        data.images.insert(it.key(), image);
    }
    return true;
}

} // namespace

CUiResourceChangeHandler::CUiResourceChangeHandler()
{
    table()->addHandler(this);
}

CUiResourceChangeHandler::~CUiResourceChangeHandler()
{
    table()->removeHandler(this);
}

void CUiResourceChangeHandler::setFixFont(bool fixed)
{
    fixFont = fixed;
}

void CUiResourceChangeHandler::themeChanged() {}

void CUiResourceChangeHandler::scaleChanged() {}

CUiResource::CUiResource() : fallbackColor(Qt::black)
{
    fallbackFont.setPixelSize(12);
    loadDefault();
}

CUiResource::~CUiResource() = default;

int CUiResource::getSize(const QString& key) const
{
    const auto it = sizes.constFind(key);
    if (it == sizes.constEnd() || !it->defined) {
        reportMissing(key);
        return 0;
    }
    return it->scaled;
}

const QColor* CUiResource::getColor(const QString& key) const
{
    const auto it = colors.constFind(key);
    if (it == colors.constEnd()) {
        reportMissing(key);
        return &fallbackColor;
    }
    if (!it->defined)
        reportMissing(key);
    return &it->color;
}

const QFont* CUiResource::getFont(const QString& key) const
{
    const auto it = fonts.constFind(key);
    if (it == fonts.constEnd()) {
        reportMissing(key);
        return &fallbackFont;
    }
    if (!it->defined)
        reportMissing(key);
    return &it->font;
}

const QPixmap* CUiResource::getPixmap(const QString& key) const
{
    const auto it = pixmaps.find(key);
    if (it == pixmaps.end() || !it->defined) {
        reportMissing(key);
        return &nullPixmap;
    }
    // A pixmap needs the GUI application, which may come after the table.
    if (it->compiled && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        it->pixmap = QPixmap::fromImage(compiledImage(*it->compiled));
        it->compiled = nullptr;
    }
    return &it->pixmap;
}

namespace {

template <class Hash> void collectDefined(const Hash& hash, QStringList& out)
{
    for (auto it = hash.constBegin(); it != hash.constEnd(); ++it) {
        if (it->defined)
            out << it.key();
    }
}

template <class Hash> bool isDefined(const Hash& hash, const QString& key)
{
    const auto it = hash.constFind(key);
    return it != hash.constEnd() && it->defined;
}

} // namespace

bool CUiResource::contains(const QString& key) const
{
    return isDefined(colors, key) || isDefined(fonts, key) || isDefined(sizes, key) ||
           isDefined(pixmaps, key);
}

QStringList CUiResource::keys() const
{
    QStringList all;
    collectDefined(colors, all);
    collectDefined(fonts, all);
    collectDefined(sizes, all);
    collectDefined(pixmaps, all);
    all.sort();
    return all;
}

QStringList CUiResource::missingKeys() const
{
    return missing;
}

bool CUiResource::loadTheme(const QString& path, QString* error)
{
    if (!load(path, error))
        return false;
    notifyHandlers(&CUiResourceChangeHandler::themeChanged);
    return true;
}

void CUiResource::resetToDefault()
{
    forgetAll();
    loadDefault();
    notifyHandlers(&CUiResourceChangeHandler::themeChanged);
}

void CUiResource::clear()
{
    forgetAll();
    notifyHandlers(&CUiResourceChangeHandler::themeChanged);
}

void CUiResource::forgetAll()
{
    // Entries are reset in place rather than removed: callers may hold pointers to them.
    for (auto it = colors.begin(); it != colors.end(); ++it)
        *it = ColorEntry{fallbackColor, false};
    for (auto it = fonts.begin(); it != fonts.end(); ++it)
        *it = FontEntry{fallbackFont, fallbackFont.pixelSize(), false};
    for (auto it = sizes.begin(); it != sizes.end(); ++it)
        *it = SizeEntry{0, 0, false};
    for (auto it = pixmaps.begin(); it != pixmaps.end(); ++it)
        *it = PixmapEntry{QPixmap(), nullptr, false};
}

void CUiResource::setScale(double newScale)
{
    if (!std::isfinite(newScale) || newScale <= 0 || newScale > 16)
        return;
    currentScale = newScale;
    applyScale();
    notifyHandlers(&CUiResourceChangeHandler::scaleChanged);
}

void CUiResource::applyScale()
{
    for (auto it = sizes.begin(); it != sizes.end(); ++it)
        it->scaled = scaled(it->base, currentScale);
    for (auto it = fonts.begin(); it != fonts.end(); ++it) {
        if (it->defined)
            it->font.setPixelSize(qMax(1, scaled(it->basePixelSize, currentScale)));
    }
}

bool CUiResource::load(const QString& path, QString* error)
{
    ThemeData data;
    if (!parseTheme(path, data, error))
        return false;

    for (auto it = data.colors.constBegin(); it != data.colors.constEnd(); ++it)
        colors[it.key()] = ColorEntry{it.value(), true};
    for (auto it = data.fonts.constBegin(); it != data.fonts.constEnd(); ++it)
        setFont(it.key(), it->family, it->pixelSize, it->bold, it->underline);
    for (auto it = data.sizes.constBegin(); it != data.sizes.constEnd(); ++it)
        setSize(it.key(), it.value());
    for (auto it = data.images.constBegin(); it != data.images.constEnd(); ++it)
        pixmaps[it.key()] = PixmapEntry{QPixmap::fromImage(it.value()), nullptr, true};
    return true;
}

void CUiResource::loadDefault()
{
    const detail::CompiledTheme& theme = detail::defaultCompiledTheme();
    for (const auto* c = theme.colors; c != theme.colors + theme.colorCount; ++c)
        colors[QString::fromUtf8(c->key)] = ColorEntry{QColor::fromRgba(c->argb), true};
    for (const auto* f = theme.fonts; f != theme.fonts + theme.fontCount; ++f)
        setFont(QString::fromUtf8(f->key), QString::fromUtf8(f->family), f->pixelSize, f->bold,
                f->underline);
    for (const auto* s = theme.sizes; s != theme.sizes + theme.sizeCount; ++s)
        setSize(QString::fromUtf8(s->key), s->pixels);
    for (const auto* i = theme.images; i != theme.images + theme.imageCount; ++i)
        pixmaps[QString::fromUtf8(i->key)] = PixmapEntry{QPixmap(), i->picture, true};
}

void CUiResource::setFont(const QString& key, const QString& family, int pixelSize, bool bold,
                          bool underline)
{
    FontEntry& entry = fonts[key];
    entry.font = QFont(family);
    entry.font.setPixelSize(qMax(1, scaled(pixelSize, currentScale)));
    entry.font.setBold(bold);
    entry.font.setUnderline(underline);
    entry.basePixelSize = pixelSize;
    entry.defined = true;
}

void CUiResource::setSize(const QString& key, int pixels)
{
    sizes[key] = SizeEntry{pixels, scaled(pixels, currentScale), true};
}

void CUiResource::reportMissing(const QString& key) const
{
    // An empty key means "no key" (an unset colour slot), not a gap in the theme.
    if (key.isEmpty() || reported.contains(key))
        return;
    reported.insert(key);
    missing << key;
    qCWarning(lcOmraTheme, "theme key \"%s\" is not defined", qPrintable(key));
}

void CUiResource::addHandler(CUiResourceChangeHandler* handler)
{
    handlers.insert(handler);
}

void CUiResource::removeHandler(CUiResourceChangeHandler* handler)
{
    handlers.remove(handler);
}

void CUiResource::notifyHandlers(void (CUiResourceChangeHandler::*change)())
{
    // A handler may delete others (or itself) while it reacts, so every one is looked up
    // again before it is called.
    const QList<CUiResourceChangeHandler*> snapshot = handlers.values();
    for (CUiResourceChangeHandler* handler : snapshot) {
        if (handlers.contains(handler))
            (handler->*change)();
    }
}

} // namespace Omra
