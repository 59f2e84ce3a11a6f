// A float button over a window that hears its clicks.
// Run it to click the button yourself; with --smoke it clicks it twice by itself.

#include "smoke.h"

#include "uibase/dialog/cfloatbutton.h"

#include <QApplication>

#include <cstdio>

using namespace Omra;

namespace {

// Float buttons report to their parent's window through the event bus, not through signals.
class TradingWindow : public CBaseWidget
{
public:
    TradingWindow() : CBaseWidget("tradingWindow", true) {}

    bool handleEvent(int type, int id, int param, QString text, void* data) override
    {
        if (type == 5 && id == 7) { // a click; param is the button's state after it
            std::printf("order button %s\n", param == FloatButtonDown ? "down" : "up");
            return true;
        }
        return CBaseWidget::handleEvent(type, id, param, text, data);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    quickstart::parseArguments(argc, argv);
    TradingWindow window;
    window.resize(400, 300);
    window.show();
    QWidget* parentWidget = &window;

    // Float button: a translucent window over its parent; reports press (1), move (2),
    // click (5, param = state after the release) and leave (7) to the parent's window.
    auto* button = new CFloatButton("img_float_button_bg", 7, 8, 8, 8, 8, parentWidget);
    button->setTextInfo("clr_float_button_text_normal", "clr_float_button_text_hover",
                        "clr_float_button_text_down", "clr_float_button_text_disabled",
                        "fnt_float_button");
    button->setText("下单");
    button->setAutoDown(FloatButtonDownToggle);
    button->move(window.mapToGlobal(QPoint(20, 20)));
    button->show();

    if (quickstart::smokeMode()) {
        quickstart::click(button); // down
        quickstart::click(button); // up again
        return 0;
    }
    return app.exec();
}
