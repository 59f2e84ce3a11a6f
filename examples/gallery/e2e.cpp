#include "e2e.h"

#include "uibase/dialog/cfloatbutton.h"
#include "uibase/dialog/cglobalmessagedialog.h"
#include "uibase/dialog/cmessagebox.h"
#include "uibase/dialog/contracts/uiresource.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <memory>

namespace gallery {

namespace {

// Places an outside checker can rely on; they fit a 1280 x 800 screen.
const QPoint boxPosition(60, 60);
const QPoint popupAnchor(1000, 700);
const QRect stageGeometry(640, 60, 400, 240);
const QPoint buttonOffset(40, 40);
const QSize buttonSize(120, 36);
const QColor stageColor(0x20, 0x40, 0x60);
// The main window of the anchored run; it fits a 1024 x 640 screen with room to spare.
const QSize anchoredStageSize(640, 400);

QString themeColor(const char* key)
{
    return utils::CSingletonT<Omra::CUiResource>::instance()
        ->getColor(QString::fromLatin1(key))
        ->name();
}

// Shown without exec, so that the program stays free to report and to be killed.
class ModelessBox : public Omra::CMessageBox
{
public:
    ModelessBox()
        : CMessageBox(nullptr, QMessageBox::Information, QStringLiteral("提示"),
                      QStringLiteral("委托已提交。"), QMessageBox::Ok, QMessageBox::Ok, nullptr,
                      nullptr, boxPosition)
    {
        setAttribute(Qt::WA_DeleteOnClose, false);
    }
    int margin() const { return frameMargin; }
    int titleHeight() const { return titleBarHeight; }
};

// A plain window of one known colour for the float button to hover over.
class Stage : public QWidget
{
public:
    Stage() { setWindowFlags(Qt::Window | Qt::FramelessWindowHint); }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), stageColor); }
};

QString rectText(const QRect& r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

void report(const QString& line)
{
    std::printf("e2e %s\n", qPrintable(line));
    std::fflush(stdout);
}

void showPopup(QWidget* parent, bool showDontRemind = false)
{
    Omra::CGlobalMessageDialog::showSingleMessage(
        QStringLiteral("系统公告"), QStringLiteral("今晚22:00起系统升级维护。"), -1, 1,
        showDontRemind, parent, false, false, true, false);
}

// A left click at a point of a window, delivered as the window system's own clicks are.
void clickAt(QWidget* window, const QPoint& at)
{
    QWindow* handle = window->windowHandle();
    const QPointF global = window->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(handle, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(handle, &release);
    QApplication::processEvents();
}

Omra::CFloatButton* showFloatButton(QWidget* parent, const QPoint& at)
{
    auto* button = new Omra::CFloatButton("img_float_button_bg", 1, 8, 8, 8, 8, parent);
    button->setTextInfo(
        QStringLiteral("clr_float_button_text_normal"),
        QStringLiteral("clr_float_button_text_hover"), QStringLiteral("clr_float_button_text_down"),
        QStringLiteral("clr_float_button_text_disabled"), QStringLiteral("fnt_float_button"));
    button->setText(QStringLiteral("下单"));
    button->resize(buttonSize);
    button->move(at);
    button->show();
    return button;
}

// Windows come up asynchronously; a checker looking too early would see nothing.
void waitUntilExposed(QWidget* window)
{
    QElapsedTimer timer;
    timer.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed()) &&
           timer.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

QString colorAt(QWidget* window, int x, int y)
{
    return window->grab().toImage().pixelColor(x, y).name();
}

int runUntilQuit(int seconds)
{
    if (seconds > 0)
        QTimer::singleShot(seconds * 1000, qApp, &QApplication::quit);
    return QApplication::exec();
}

} // namespace

int runEndToEnd(int seconds)
{
    const QString background = themeColor("clr_warn_background_color");

    ModelessBox box;
    box.show();
    // The client area: inside the frame's shadow band and below the title bar.
    const QRect boxClient(box.margin(), box.margin() + box.titleHeight(),
                          box.width() - 2 * box.margin(),
                          box.height() - 2 * box.margin() - box.titleHeight());

    Omra::CGlobalMessageDialog::setRightBottom(popupAnchor);
    showPopup(nullptr);
    Omra::CGlobalMessageDialog* popup = Omra::CGlobalMessageDialog::instance(nullptr);
    // The popup is built on the same frame as the message box.
    const QRect popupClient(boxClient.x(), boxClient.y(), popup->width() - 2 * box.margin(),
                            popup->height() - 2 * box.margin() - box.titleHeight());

    Stage stage;
    stage.setGeometry(stageGeometry);
    stage.show();
    auto* button = showFloatButton(&stage, stageGeometry.topLeft() + buttonOffset);

    QApplication::processEvents();
    report(QStringLiteral("window=messagebox wid=%1 geometry=%2 client=%3 background=%4")
               .arg(box.winId())
               .arg(rectText(QRect(boxPosition, box.size())), rectText(boxClient), background));
    report(QStringLiteral("window=popup wid=%1 anchor=%2,%3 size=%4,%5 client=%6 background=%7")
               .arg(popup->winId())
               .arg(popupAnchor.x())
               .arg(popupAnchor.y())
               .arg(popup->width())
               .arg(popup->height())
               .arg(rectText(popupClient), background));
    report(QStringLiteral("window=stage wid=%1 geometry=%2 background=%3")
               .arg(stage.winId())
               .arg(rectText(stageGeometry), stageColor.name()));
    report(QStringLiteral("window=floatbutton wid=%1 parent=%2 geometry=%3")
               .arg(button->winId())
               .arg(stage.winId())
               .arg(rectText(QRect(stageGeometry.topLeft() + buttonOffset, buttonSize))));
    report(QStringLiteral("ready"));

    const int result = runUntilQuit(seconds);
    Omra::CGlobalMessageDialog::closeMessage();
    delete popup;
    return result;
}

int runAnchoredEndToEnd(int seconds)
{
    Stage stage;
    stage.resize(anchoredStageSize);
    stage.show();
    waitUntilExposed(&stage);

    // A dialog that takes activation when shown comes and goes before anything is reported,
    // so that whatever the platform says about it is in the error output by then.
    {
        ModelessBox box;
        box.show();
        waitUntilExposed(&box);
    }

    // The anchor as a caller computes it, from the main window's geometry as Qt reports it.
    // A first message goes to the middle of the window; the second one, anchored at its
    // bottom-right corner, must move the popup that is still shown.
    Omra::CGlobalMessageDialog::setRightBottom(stage.geometry().center());
    showPopup(&stage);
    Omra::CGlobalMessageDialog* popup = Omra::CGlobalMessageDialog::instance(nullptr);
    waitUntilExposed(popup);
    const QPoint anchor = stage.geometry().bottomRight();
    Omra::CGlobalMessageDialog::setRightBottom(anchor);
    showPopup(&stage, true);
    // The float button too is moved once shown.
    auto* button = showFloatButton(&stage, stage.mapToGlobal(QPoint(0, 0)));
    waitUntilExposed(button);
    button->move(stage.mapToGlobal(buttonOffset));
    waitUntilExposed(popup);

    // A click on the main window must leave the popup open, and its check box must take one.
    clickAt(&stage, QPoint(10, 10));
    auto* dontRemind = popup->findChild<QAbstractButton*>(QStringLiteral("dontRemindCheckBox"));
    clickAt(popup, dontRemind->geometry().center());

    const int margin = popup->getFrameMargin();
    const QPoint relativeAnchor = anchor - stage.geometry().topLeft();
    report(QStringLiteral("window=stage size=%1,%2 background=%3")
               .arg(stage.width())
               .arg(stage.height())
               .arg(stageColor.name()));
    report(QStringLiteral("window=popup anchor=%1,%2 size=%3,%4 margin=%5 titlebar=%6 "
                          "shown=%7 checked=%8")
               .arg(relativeAnchor.x())
               .arg(relativeAnchor.y())
               .arg(popup->width())
               .arg(popup->height())
               .arg(margin)
               .arg(colorAt(popup, popup->width() / 2, margin + popup->getTitleBarHeight() / 2))
               .arg(popup->isVisible())
               .arg(dontRemind->isChecked()));
    report(QStringLiteral("window=floatbutton offset=%1,%2 size=%3,%4 face=%5")
               .arg(buttonOffset.x())
               .arg(buttonOffset.y())
               .arg(button->width())
               .arg(button->height())
               .arg(colorAt(button, 4, button->height() / 2)));
    report(QStringLiteral("ready"));

    const int result = runUntilQuit(seconds);
    Omra::CGlobalMessageDialog::closeMessage();
    delete popup;
    return result;
}

} // namespace gallery
