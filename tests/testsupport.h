#pragma once

// Helpers shared by the tests: a theme with known sizes and solid-colour images, acting
// inside a modal run, and checking that no window outlives a test.

#include <QColor>
#include <QHash>
#include <QList>
#include <QSet>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

class QWidget;

namespace testsupport {

// Writes a theme file into a temporary folder and loads it over the current theme. Images
// are solid colours of the given size (a strip of `states` frames of frameSize each).
// The destructor restores the default theme.
class TestTheme
{
public:
    TestTheme();
    ~TestTheme();

    TestTheme& size(const QString& key, int pixels);
    TestTheme& color(const QString& key, const QColor& color);
    TestTheme& font(const QString& key, int pixelSize, bool bold = false);
    TestTheme& image(const QString& key, const QSize& frameSize, const QColor& color,
                     int states = 1);
    // A strip with one solid colour per frame.
    TestTheme& image(const QString& key, const QSize& frameSize, const QList<QColor>& frames);
    // Writes and loads the file; fails the test (returns false) when loading fails.
    bool apply();
    QString path() const;

private:
    QTemporaryDir dir;
    QHash<QString, int> sizes;
    QHash<QString, QColor> colors;
    QHash<QString, QPair<int, bool>> fonts;
    struct Image
    {
        QSize frame;
        QList<QColor> frames;
    };
    QHash<QString, Image> images;
};

// count divided by OMRA_SOAK_SCALE (at least 8): the sanitizer build sets 10, so soak and
// bad-input loads stay well inside their time limits there while still finding leaks.
int scaled(int count);

// Runs action on the active modal widget as soon as one is running (polling every 10 ms,
// giving up after timeoutMs).
void whenModal(std::function<void(QWidget*)> action, int timeoutMs = 5000);

// Deletes what deleteLater scheduled and returns the top-level widgets that are alive now
// but were not in `before`.
QSet<QWidget*> topLevelSnapshot();
QList<QWidget*> leakedTopLevels(const QSet<QWidget*>& before);

// The message box theme the box tests work their layouts out from: every spacing 10 px and
// icons 32 x 32, in the frame's 12 px band below a 30 px title bar.
namespace box {
constexpr int spacing = 10;
constexpr int iconSize = 32;
const QColor informationColor(0, 0, 255);
const QColor warningColor(255, 128, 0);
const QColor backgroundColor(250, 250, 210);
} // namespace box
// Adds the sizes, font, background, information/warning icons and 72 x 29 buttons above.
TestTheme& addBoxTheme(TestTheme& theme);

} // namespace testsupport
