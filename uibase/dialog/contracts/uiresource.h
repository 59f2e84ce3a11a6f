#pragma once

// Stand-in for the platform's theme resource table (UiResource.dll).
//
// Keys come in four families: "clr_" colours, "fnt_" fonts, "img_" images (a multi-state
// image is a horizontal strip of equal frames) and "siz_" sizes in pixels at the current
// display scale. A key the table lacks never fails: the look-up gives a fallback object
// and reports the key once through the "omra.theme" logging category.
//
// Theme file format (JSON), every section optional, loaded over the current values:
//   {"colors": {"clr_x": "#rrggbb" | "#aarrggbb"},
//    "fonts":  {"fnt_x": {"family": "...", "pixelSize": 12, "bold": false, "underline": false}},
//    "sizes":  {"siz_x": 10},
//    "images": {"img_x": "path relative to the theme file, or :/resource/path"}}

#include "uibase/dialog/contracts/platform_global.h"
#include "uibase/dialog/contracts/utils.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QLoggingCategory>
#include <QPixmap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

OMRA_PLATFORM_EXPORT Q_DECLARE_LOGGING_CATEGORY(lcOmraTheme)

    namespace Omra
{
    namespace detail {
    struct CompiledPicture;
    } // namespace detail

    // Base of every dialog and toolkit widget: the table tells each live handler when the
    // theme or the display scale changes.
    class OMRA_PLATFORM_EXPORT CUiResourceChangeHandler
    {
    public:
        CUiResourceChangeHandler();
        virtual ~CUiResourceChangeHandler();

        virtual void setFixFont(bool fixFont);
        virtual void themeChanged();
        virtual void scaleChanged();

        bool isFixFont() const { return fixFont; }

        CUiResourceChangeHandler(const CUiResourceChangeHandler&) = delete;
        CUiResourceChangeHandler& operator=(const CUiResourceChangeHandler&) = delete;

    private:
        bool fixFont = false;
    };

    class OMRA_PLATFORM_EXPORT CUiResource
    {
    public:
        // The table starts with the default theme, which the library carries compiled in.
        CUiResource();
        ~CUiResource();

        int getSize(const QString& key) const;
        // Never null. The object lives as long as the table and keeps its address across
        // theme and scale changes, so a caller may keep the pointer and draw with it later.
        const QColor* getColor(const QString& key) const;
        const QFont* getFont(const QString& key) const;
        const QPixmap* getPixmap(const QString& key) const;

        bool contains(const QString& key) const;
        QStringList keys() const;
        // Keys that were asked for and not found, in the order they were first asked for.
        QStringList missingKeys() const;

        // Loads a theme file over the current values, then tells every handler. A bad file
        // (missing, not JSON, a value of the wrong type, an unreadable image) changes nothing,
        // returns false and describes the problem, naming the file and the key, in error.
        bool loadTheme(const QString& path, QString* error = nullptr);
        // Forgets every loaded value and loads the default theme again.
        void resetToDefault();
        // Forgets every value, the default theme's too: every look-up gives its fallback until
        // a theme is loaded. For checking that widgets survive a theme that lacks keys.
        void clear();

        // Display scale for sizes and font pixel sizes. Values that are not finite or not
        // positive are ignored.
        void setScale(double scale);
        double scale() const { return currentScale; }

        CUiResource(const CUiResource&) = delete;
        CUiResource& operator=(const CUiResource&) = delete;

    private:
        friend class CUiResourceChangeHandler;

        // Entries are never removed, only marked undefined, because callers may hold pointers
        // to their values.
        struct ColorEntry
        {
            QColor color;
            bool defined = true;
        };
        struct SizeEntry
        {
            int base = 0;
            int scaled = 0;
            bool defined = true;
        };
        struct FontEntry
        {
            QFont font;
            int basePixelSize = 12;
            bool defined = true;
        };
        struct PixmapEntry
        {
            QPixmap pixmap;
            // A picture of the default theme, made into the pixmap on first use.
            const detail::CompiledPicture* compiled = nullptr;
            bool defined = true;
        };

        void addHandler(CUiResourceChangeHandler* handler);
        void removeHandler(CUiResourceChangeHandler* handler);
        void notifyHandlers(void (CUiResourceChangeHandler::*change)());
        void reportMissing(const QString& key) const;
        void applyScale();
        bool load(const QString& path, QString* error);
        void loadDefault();
        void setFont(const QString& key, const QString& family, int pixelSize, bool bold,
                     bool underline);
        void setSize(const QString& key, int pixels);
        void forgetAll();

        QHash<QString, ColorEntry> colors;
        QHash<QString, FontEntry> fonts;
        QHash<QString, SizeEntry> sizes;
        mutable QHash<QString, PixmapEntry> pixmaps;

        QColor fallbackColor;
        QFont fallbackFont;
        QPixmap nullPixmap;
        mutable QSet<QString> reported;
        mutable QStringList missing;

        double currentScale = 1.0;
        QSet<CUiResourceChangeHandler*> handlers;
    };

} // namespace Omra

namespace utils {
template <> OMRA_PLATFORM_EXPORT Omra::CUiResource* CSingletonT<Omra::CUiResource>::instance();
} // namespace utils
