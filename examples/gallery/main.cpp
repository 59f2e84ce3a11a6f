// dialog-gallery: shows every dialog of the library. Without arguments it opens the
// interactive gallery; with --screenshots DIR it renders every dialog into PNG files.

#include "gallery.h"

#include "uibase/dialog/contracts/uiresource.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
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

void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// The window and the visible top-level windows it owns (tips), composed in their screen
// positions into one picture.
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

    QImage image(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.drawPixmap(window->pos() - bounds.topLeft(), window->grab());
    for (QWidget* w : owned)
        painter.drawPixmap(w->pos() - bounds.topLeft(), w->grab());
    return image;
}

int takeScreenshots(const QString& directory)
{
    QDir dir;
    if (!dir.mkpath(directory)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(directory));
        return 1;
    }
    const QString absolute = QDir(directory).absolutePath();
    int written = 0;
    int failed = 0;
    for (const Page& page : pages()) {
        for (const Shot& shot : page.shots) {
            QWidget* window = shot.make();
            if (!window) {
                ++failed;
                continue;
            }
            window->show();
            settle();
            if (shot.prepare)
                shot.prepare(window);
            settle();
            const QString file = absolute + QLatin1Char('/') + shot.name + QStringLiteral(".png");
            if (renderWithOwnedWindows(window).save(file)) {
                ++written;
            } else {
                ++failed;
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            }
            window->hide();
            delete window;
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    std::printf("%d screenshots written to %s\n", written, qPrintable(absolute));
    return failed == 0 ? 0 : 1;
}

QWidget* makeGalleryWindow()
{
    auto* window = new QWidget;
    window->setWindowTitle(QStringLiteral("Dialog gallery"));
    window->resize(760, 480);

    auto* list = new QListWidget(window);
    list->setObjectName(QStringLiteral("pageList"));
    list->setMaximumWidth(220);
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
    QObject::connect(list, &QListWidget::currentRowChanged, stack, &QStackedWidget::setCurrentIndex);
    list->setCurrentRow(0);

    auto* layout = new QHBoxLayout(window);
    layout->addWidget(list);
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
    const QCommandLineOption screenshots(QStringLiteral("screenshots"),
                                         QStringLiteral("Render every dialog into PNG files in <dir>."),
                                         QStringLiteral("dir"));
    const QCommandLineOption theme(QStringLiteral("theme"),
                                   QStringLiteral("Load the theme file <file> over the default theme."),
                                   QStringLiteral("file"));
    parser.addOption(screenshots);
    parser.addOption(theme);
    parser.process(app);

    if (parser.isSet(theme)) {
        QString error;
        if (!utils::CSingletonT<Omra::CUiResource>::instance()->loadTheme(parser.value(theme), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 2;
        }
    }
    if (parser.isSet(screenshots))
        return gallery::takeScreenshots(parser.value(screenshots));

    QWidget* window = gallery::makeGalleryWindow();
    window->show();
    const int result = app.exec();
    delete window;
    return result;
}
