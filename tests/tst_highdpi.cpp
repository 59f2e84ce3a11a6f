// A dialog on a screen of device pixel ratio 2 draws the 2x theme pictures, pixel for pixel.

#include "uibase/dialog/cmessagebox.h"
#include "uibase/dialog/contracts/uiresource.h"
#include "uibase/dialog/contracts/utils.h"

#include <QtTest>

#include <algorithm>

using namespace Omra;

namespace {

// The whole process runs at ratio 2, as on a high-DPI screen; set before the application
// object reads it.
const bool scaledScreen = qputenv("QT_SCALE_FACTOR", "2");

class Box : public CMessageBox
{
public:
    explicit Box(QMessageBox::Icon icon)
        : CMessageBox(nullptr, icon, QStringLiteral("标题"), QStringLiteral("内容"),
                      QMessageBox::Ok, QMessageBox::Ok, nullptr, nullptr, QPoint(-1, -1))
    {
    }
};

// Whether the opaque pixels of picture appear unchanged somewhere in shot (the others blend
// with what lies under them). A 1x picture blown up to 2x, smoothly or not, differs along
// every edge.
bool containsExactly(const QImage& shotImage, const QImage& pictureImage)
{
    const QImage shot = shotImage.convertToFormat(QImage::Format_ARGB32);
    const QImage picture = pictureImage.convertToFormat(QImage::Format_ARGB32);
    QVector<QPoint> opaque;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) == 255)
                opaque << QPoint(x, y);
    if (opaque.size() < 16)
        return false; // too little to tell
    const QPoint first = opaque.first();
    for (int y = 0; y + picture.height() <= shot.height(); ++y)
        for (int x = 0; x + picture.width() <= shot.width(); ++x) {
            const QPoint at(x, y);
            if (shot.pixel(at + first) == picture.pixel(first) &&
                std::all_of(opaque.cbegin(), opaque.cend(), [&](const QPoint& p) {
                    return shot.pixel(at + p) == picture.pixel(p);
                }))
                return true;
        }
    return false;
}

} // namespace

class TestHighDpi : public QObject
{
    Q_OBJECT

private slots:
    void pictureDrawnNatively_data();
    void pictureDrawnNatively();
};

void TestHighDpi::pictureDrawnNatively_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QRect>("part"); // of the picture, in 1x pixels; empty for all of it

    QTest::newRow("icon, painted by the box") << "img_messagebox_warning" << QRect();
    QTest::newRow("close button, first state") << "img_sys_btn_exit" << QRect(0, 0, 30, 30);
    QTest::newRow("frame corner, nine-grid") << "img_custom_dialog_bg" << QRect(0, 0, 16, 41);
}

void TestHighDpi::pictureDrawnNatively()
{
    QFETCH(QString, key);
    QFETCH(QRect, part);
    QVERIFY(scaledScreen);
    QCOMPARE(qApp->devicePixelRatio(), 2.0);

    const QPixmap picture = *utils::CSingletonT<CUiResource>::instance()->getPixmap(key);
    QCOMPARE(picture.devicePixelRatio(), 2.0);
    // It takes the room of the 1x picture.
    const QString file =
        QStringLiteral(DIALOG_SOURCE_DIR "/uibase/dialog/contracts/theme/default/%1.png").arg(key);
    QCOMPARE(picture.size(), QImage(file).size() * 2);

    Box box(QMessageBox::Warning);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QPixmap shot = box.grab();
    QCOMPARE(shot.devicePixelRatio(), 2.0);
    const QRect region =
        part.isEmpty() ? picture.rect() : QRect(part.topLeft() * 2, part.size() * 2);
    QVERIFY(containsExactly(shot.toImage(), picture.toImage().copy(region)));
}

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
