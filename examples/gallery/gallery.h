#pragma once

// The gallery shows every dialog of the library. Each page lives in its own file under
// pages/ and registers itself with GALLERY_PAGE, so pages can be added without touching
// the rest of the gallery.

#include <QList>
#include <QString>

#include <functional>

class QWidget;

namespace gallery {

// One picture of the screenshot mode. make() returns a window that is not shown yet; the
// gallery shows it, runs prepare() (which may click, type or tick timers), renders it
// together with the transient windows it owns (tips) and deletes it.
struct Shot
{
    QString name; // file name without ".png"
    std::function<QWidget*()> make;
    std::function<void(QWidget*)> prepare;
};

// One button of the interactive gallery.
struct Demo
{
    QString label;
    std::function<void(QWidget* galleryWindow)> run;
};

struct Page
{
    QString title;
    QString description;
    QList<Shot> shots;
    QList<Demo> demos;
};

using PageFactory = Page (*)();

bool registerPage(PageFactory factory);
QList<Page> pages();

} // namespace gallery

#define GALLERY_PAGE(factory)                                                                      \
    static const bool galleryRegistered_##factory = gallery::registerPage(&factory);
