// dialog-gallery: shows every dialog of the library. Without arguments it opens the
// interactive gallery; with --screenshots DIR it renders every dialog, in every theme, into
// PNG files and writes an index.html contact sheet beside them.

#include "e2e.h"
#include "gallery.h"

#include "uibase/dialog/contracts/uiresource.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextStream>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cstdio>

namespace gallery {

namespace {

QList<PageFactory>& factories()
{
    static QList<PageFactory> list;
    return list;
}

struct Theme
{
    QString name;
    QString label;
    QString file; // empty: the embedded default theme
};

QList<Theme> shippedThemes()
{
    return {{QStringLiteral("light"), QStringLiteral("Light (default)"), QString()},
            {QStringLiteral("dark"), QStringLiteral("Dark"),
             QStringLiteral(":/gallery/themes/dark/theme.json")}};
}

Omra::CUiResource* table()
{
    return utils::CSingletonT<Omra::CUiResource>::instance();
}

// Every theme starts from the default, so that a theme file may leave keys out.
bool applyTheme(const QString& file, QString* error)
{
    table()->resetToDefault();
    return file.isEmpty() || table()->loadTheme(file, error);
}

void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// The window and the visible top-level windows it owns (tips, float buttons), composed in
// their screen positions into one picture.
QImage renderWithOwnedWindows(QWidget* window)
{
    QList<QWidget*> owned;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top == window || !top->isVisible())
            continue;
        for (QWidget* p = top->parentWidget(); p; p = p->parentWidget()) {
            if (p == window) {
                owned << top;
                break;
            }
        }
    }
    QRect bounds = window->frameGeometry();
    for (QWidget* w : owned)
        bounds |= w->frameGeometry();

    // At the screen's own ratio: run with QT_SCALE_FACTOR=2 for 2x pictures.
    const qreal ratio = window->devicePixelRatioF();
    QImage image(bounds.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.drawPixmap(window->pos() - bounds.topLeft(), window->grab());
    for (QWidget* w : owned)
        painter.drawPixmap(w->pos() - bounds.topLeft(), w->grab());
    return image;
}

int shootPages(const QString& folder, const QList<Page>& pageList, int* failed)
{
    int written = 0;
    for (const Page& page : pageList) {
        for (const Shot& shot : page.shots) {
            QWidget* window = shot.make ? shot.make() : nullptr;
            if (!window) {
                ++*failed;
                continue;
            }
            window->show();
            settle();
            if (shot.prepare)
                shot.prepare(window);
            settle();
            const QString file = folder + QLatin1Char('/') + shot.name + QStringLiteral(".png");
            if (renderWithOwnedWindows(window).save(file)) {
                ++written;
            } else {
                ++*failed;
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            }
            window->hide();
            delete window;
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    return written;
}

// A contact sheet of every picture: one section per page, the themes side by side.
bool writeIndex(const QString& directory, const QList<Page>& pageList, const QList<Theme>& themes)
{
    QFile file(directory + QStringLiteral("/index.html"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    // Composed as text, written as UTF-8 (QTextStream's own encoding differs between Qt 5 and 6).
    QString html;
    QTextStream out(&html);
    out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Dialog gallery</title>\n"
           "<style>body{font-family:sans-serif;margin:24px;background:#f4f6f9;color:#1f2d3d}"
           "figure{display:inline-block;margin:8px;vertical-align:top}"
           "figcaption{font-size:12px;color:#555}</style></head><body>\n"
           "<h1>Dialog gallery</h1>\n";
    for (const Page& page : pageList) {
        if (page.shots.isEmpty())
            continue;
        out << "<h2>" << page.title.toHtmlEscaped() << "</h2>\n<p>"
            << page.description.toHtmlEscaped() << "</p>\n";
        for (const Shot& shot : page.shots) {
            for (const Theme& theme : themes) {
                const QString source =
                    theme.name + QLatin1Char('/') + shot.name + QStringLiteral(".png");
                out << "<figure><img src=\"" << source.toHtmlEscaped() << "\" alt=\""
                    << shot.name.toHtmlEscaped() << "\"><figcaption>" << shot.name.toHtmlEscaped()
                    << " (" << theme.name << ")</figcaption></figure>\n";
            }
        }
    }
    out << "</body></html>\n";
    out.flush();
    const QByteArray bytes = html.toUtf8();
    return file.write(bytes) == bytes.size();
}

int takeScreenshots(const QString& directory, const QList<Theme>& themes)
{
    const QString absolute = QDir(directory).absolutePath();
    const QList<Page> pageList = pages();
    int written = 0;
    int failed = 0;
    for (const Theme& theme : themes) {
        QString error;
        if (!applyTheme(theme.file, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        const QString folder = absolute + QLatin1Char('/') + theme.name;
        if (!QDir().mkpath(folder)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
            return 1;
        }
        written += shootPages(folder, pageList, &failed);
    }
    applyTheme(QString(), nullptr);
    if (!writeIndex(absolute, pageList, themes)) {
        std::fprintf(stderr, "cannot write %s/index.html\n", qPrintable(absolute));
        ++failed;
    }
    std::printf("%d screenshots written to %s (contact sheet: %s/index.html)\n", written,
                qPrintable(absolute), qPrintable(absolute));
    return failed == 0 ? 0 : 1;
}

// Theme and display scale pickers. A theme change repaints every open dialog; a new scale
// applies to dialogs opened afterwards.
QWidget* makeSettings(QWidget* window, QList<Theme> themes)
{
    auto* settings = new QWidget(window);
    auto* form = new QFormLayout(settings);
    auto* themeBox = new QComboBox(settings);
    themeBox->setObjectName(QStringLiteral("themeBox"));
    for (const Theme& theme : themes)
        themeBox->addItem(theme.label, theme.file);
    themeBox->addItem(QStringLiteral("Theme file..."));
    auto* scaleBox = new QComboBox(settings);
    scaleBox->setObjectName(QStringLiteral("scaleBox"));
    for (double scale : {1.0, 1.5, 2.0})
        scaleBox->addItem(QString::number(scale, 'f', 1), scale);
    form->addRow(QStringLiteral("Theme"), themeBox);
    form->addRow(QStringLiteral("Scale"), scaleBox);

    const int fileRow = themeBox->count() - 1;
    QObject::connect(themeBox, QOverload<int>::of(&QComboBox::activated), window,
                     [themeBox, window, fileRow](int row) {
                         QString file = themeBox->itemData(row).toString();
                         if (row == fileRow) {
                             file = QFileDialog::getOpenFileName(
                                 window, QStringLiteral("Theme file"), QString(),
                                 QStringLiteral("Themes (*.json)"));
                             if (file.isEmpty())
                                 return;
                         }
                         QString error;
                         if (!applyTheme(file, &error))
                             QMessageBox::warning(window, QStringLiteral("Theme"), error);
                     });
    QObject::connect(
        scaleBox, QOverload<int>::of(&QComboBox::activated), window,
        [scaleBox](int row) { table()->setScale(scaleBox->itemData(row).toDouble()); });
    return settings;
}

QWidget* makeGalleryWindow(const QList<Theme>& themes)
{
    auto* window = new QWidget;
    window->setWindowTitle(QStringLiteral("Dialog gallery"));
    window->resize(800, 520);

    auto* list = new QListWidget(window);
    list->setObjectName(QStringLiteral("pageList"));
    list->setMaximumWidth(240);
    auto* stack = new QStackedWidget(window);

    for (const Page& page : pages()) {
        list->addItem(page.title);
        auto* pageWidget = new QWidget(stack);
        auto* layout = new QVBoxLayout(pageWidget);
        auto* description = new QLabel(page.description, pageWidget);
        description->setWordWrap(true);
        layout->addWidget(description);
        for (const Demo& demo : page.demos) {
            auto* button = new QPushButton(demo.label, pageWidget);
            const auto run = demo.run;
            QObject::connect(button, &QPushButton::clicked, window, [run, window] { run(window); });
            layout->addWidget(button);
        }
        layout->addStretch(1);
        stack->addWidget(pageWidget);
    }
    QObject::connect(list, &QListWidget::currentRowChanged, stack,
                     &QStackedWidget::setCurrentIndex);
    list->setCurrentRow(0);

    auto* left = new QVBoxLayout;
    left->addWidget(list, 1);
    left->addWidget(makeSettings(window, themes));
    auto* layout = new QHBoxLayout(window);
    layout->addLayout(left);
    layout->addWidget(stack, 1);
    return window;
}

} // namespace

bool registerPage(PageFactory factory)
{
    factories().append(factory);
    return true;
}

QList<Page> pages()
{
    QList<Page> result;
    for (PageFactory factory : factories())
        result << factory();
    std::sort(result.begin(), result.end(),
              [](const Page& a, const Page& b) { return a.title < b.title; });
    return result;
}

} // namespace gallery

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dialog-gallery"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows every dialog of the Dialog library."));
    parser.addHelpOption();
    const QCommandLineOption screenshots(
        QStringLiteral("screenshots"),
        QStringLiteral("Render every dialog in every theme into PNG files in <dir>."),
        QStringLiteral("dir"));
    const QCommandLineOption themeFile(
        QStringLiteral("theme"),
        QStringLiteral("Use the theme file <file> (over the default theme)."),
        QStringLiteral("file"));
    const QCommandLineOption endToEnd(
        QStringLiteral("e2e"),
        QStringLiteral("Open a message box, the popup and a float button at known places and "
                       "print their window ids and geometry, for an outside checker."));
    const QCommandLineOption anchoredEndToEnd(
        QStringLiteral("e2e-anchored"),
        QStringLiteral("The same relative to a main window, for platforms without global "
                       "positions (Wayland)."));
    const QCommandLineOption endToEndSeconds(
        QStringLiteral("e2e-seconds"),
        QStringLiteral("With --e2e(-anchored): quit after <n> seconds."), QStringLiteral("n"),
        QStringLiteral("0"));
    parser.addOption(screenshots);
    parser.addOption(themeFile);
    parser.addOption(endToEnd);
    parser.addOption(anchoredEndToEnd);
    parser.addOption(endToEndSeconds);
    parser.process(app);

    QList<gallery::Theme> themes = gallery::shippedThemes();
    if (parser.isSet(themeFile)) {
        const QString file = QFileInfo(parser.value(themeFile)).absoluteFilePath();
        QString error;
        if (!gallery::applyTheme(file, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 2;
        }
        const gallery::Theme given{QStringLiteral("custom"), QFileInfo(file).fileName(), file};
        themes = parser.isSet(screenshots) ? QList<gallery::Theme>{given} : themes << given;
    }
    if (parser.isSet(endToEnd))
        return gallery::runEndToEnd(parser.value(endToEndSeconds).toInt());
    if (parser.isSet(anchoredEndToEnd))
        return gallery::runAnchoredEndToEnd(parser.value(endToEndSeconds).toInt());
    if (parser.isSet(screenshots))
        return gallery::takeScreenshots(parser.value(screenshots), themes);

    QWidget* window = gallery::makeGalleryWindow(themes);
    window->show();
    const int result = app.exec();
    delete window;
    return result;
}
