#include "gallery.h"

#include "uibase/dialog/cfloatbutton.h"

#include <QLinearGradient>
#include <QList>
#include <QMoveEvent>
#include <QPainter>
#include <QPair>
#include <QShowEvent>
#include <QStringList>

namespace {

using Omra::CFloatButton;

// A stand-in for a terminal window that float buttons hover over. It keeps its buttons at
// fixed places over itself and lists the UI events they report.
class FloatStage : public QWidget,
                   public Omra::CEventDeliverer,
                   public Omra::CUiResourceChangeHandler
{
public:
    void themeChanged() override { update(); }

    FloatStage()
    {
        setWindowTitle(QStringLiteral("Float buttons"));
        resize(560, 250);
    }

    void addButton(CFloatButton* button, const QPoint& offset)
    {
        buttons << qMakePair(button, offset);
    }

    // Float buttons are windows of their own: place them over the stage and show them.
    void placeButtons()
    {
        for (const auto& entry : buttons) {
            entry.first->move(mapToGlobal(entry.second));
            entry.first->show();
        }
    }

    void setAllStatus(Omra::EFloatButtonStatus status)
    {
        for (const auto& entry : buttons)
            entry.first->setButtonStatus(status);
    }

    CFloatButton* button(int index) const { return buttons.at(index).first; }

    bool handleEvent(int type, int id, int param, QString, void*) override
    {
        static const char* const names[] = {"", "按下", "悬停", "", "", "点击", "", "离开"};
        const QString name = type >= 0 && type < 8 ? QString::fromUtf8(names[type]) : QString();
        log.prepend(
            QStringLiteral("%1 (类型 %2) 按钮 %3 参数 %4").arg(name).arg(type).arg(id).arg(param));
        while (log.size() > 4)
            log.removeLast();
        update();
        return true;
    }

protected:
    void moveEvent(QMoveEvent* event) override
    {
        QWidget::moveEvent(event);
        if (isVisible())
            placeButtons();
    }

    void paintEvent(QPaintEvent*) override
    {
        // Drawn from the theme, so the stand-in window matches the buttons in every theme.
        const Omra::CUiResource* theme = utils::CSingletonT<Omra::CUiResource>::instance();
        const QColor base = *theme->getColor(QStringLiteral("clr_warn_background_color"));
        QPainter painter(this);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, base);
        gradient.setColorAt(1, base.value() > 128 ? base.darker(112) : base.lighter(130));
        painter.fillRect(rect(), gradient);
        painter.setPen(*theme->getColor(QStringLiteral("clr_edit_border")));
        for (int y = 170; y < height(); y += 20)
            painter.drawLine(0, y, width(), y);
        painter.setPen(*theme->getColor(QStringLiteral("clr_default_text")));
        painter.setFont(*theme->getFont(QStringLiteral("fnt_default_normal")));
        int y = 185;
        const QStringList lines =
            log.isEmpty() ? QStringList(QStringLiteral("把鼠标移到按钮上，或点击它们。")) : log;
        for (const QString& line : lines) {
            painter.drawText(12, y, line);
            y += 20;
        }
    }

private:
    QList<QPair<CFloatButton*, QPoint>> buttons;
    QStringList log;
};

CFloatButton* makeButton(int id, const QString& text, QWidget* parent)
{
    auto* button = new CFloatButton("img_float_button_bg", id, 8, 8, 8, 8, parent);
    button->setTextInfo(
        QStringLiteral("clr_float_button_text_normal"),
        QStringLiteral("clr_float_button_text_hover"), QStringLiteral("clr_float_button_text_down"),
        QStringLiteral("clr_float_button_text_disabled"), QStringLiteral("fnt_float_button"));
    button->setText(text);
    button->setTextMargin(6, 2, 6, 2);
    return button;
}

FloatStage* makeStage()
{
    auto* stage = new FloatStage;
    const QString shadow = QStringLiteral("clr_float_button_shadow");

    CFloatButton* push = makeButton(1, QStringLiteral("下单"), stage);
    push->setIcon(QStringLiteral("img_float_button_icon"), Omra::IconAlignBefore, 4);
    stage->addButton(push, QPoint(16, 16));

    CFloatButton* toggle = makeButton(2, QStringLiteral("置顶"), stage);
    toggle->setAutoDown(Omra::FloatButtonDownToggle);
    toggle->setIcon(QStringLiteral("img_float_button_icon"), Omra::IconAlignAfter, 4);
    stage->addButton(toggle, QPoint(132, 16));

    CFloatButton* sticky = makeButton(3, QStringLiteral("锁定"), stage);
    sticky->setAutoDown(Omra::FloatButtonDownSticky);
    stage->addButton(sticky, QPoint(248, 16));

    CFloatButton* shadowed = makeButton(4, QStringLiteral("阴影文字"), stage);
    shadowed->setShadowInfo(1, 1, shadow, shadow, shadow, shadow);
    stage->addButton(shadowed, QPoint(16, 72));

    CFloatButton* underlined = makeButton(5, QStringLiteral("下划线"), stage);
    underlined->setAutoDown(Omra::FloatButtonDownToggle);
    underlined->setUnderlineInfo(1, 1);
    stage->addButton(underlined, QPoint(132, 72));

    CFloatButton* wide = makeButton(6, QStringLiteral("自选股"), stage);
    wide->setIcon(QStringLiteral("img_float_button_icon"), Omra::IconAlignBefore, 6);
    wide->setShadowInfo(1, 1, shadow, shadow, shadow, shadow);
    wide->setUnderlineInfo(1, 1);
    wide->resize(wide->minimumSizeHint().width() + 28, wide->height());
    stage->addButton(wide, QPoint(248, 72));

    CFloatButton* vertical = makeButton(7, QStringLiteral("竖排按钮"), stage);
    vertical->setHorizontalText(false);
    vertical->setIcon(QStringLiteral("img_float_button_icon"), Omra::IconAlignBefore, 6);
    vertical->setTextMargin(2, 8, 2, 8);
    vertical->resize(40, vertical->getMinWidth() + 24);
    stage->addButton(vertical, QPoint(380, 16));

    CFloatButton* verticalAfter = makeButton(8, QStringLiteral("图标在后"), stage);
    verticalAfter->setHorizontalText(false);
    verticalAfter->setIcon(QStringLiteral("img_float_button_icon"), Omra::IconAlignAfter, 6);
    verticalAfter->setShadowInfo(1, 1, shadow, shadow, shadow, shadow);
    verticalAfter->resize(40, verticalAfter->getMinWidth() + 24);
    stage->addButton(verticalAfter, QPoint(432, 16));
    return stage;
}

gallery::Shot stateShot(const QString& name, Omra::EFloatButtonStatus status)
{
    return gallery::Shot{name, [] { return static_cast<QWidget*>(makeStage()); },
                         [status](QWidget* window) {
                             auto* stage = static_cast<FloatStage*>(window);
                             stage->placeButtons();
                             stage->setAllStatus(status);
                         }};
}

gallery::Page floatButtonPage()
{
    gallery::Page page;
    page.title = QStringLiteral("Float button");
    page.description = QStringLiteral(
        "CFloatButton: translucent button windows floating over their parent. Push (下单), "
        "toggle (置顶, 下划线), sticky (锁定); icon before or after; shadow; dashed underline "
        "when down; vertical captions. The events they report are listed in the window.");
    page.shots << stateShot(QStringLiteral("floatbutton-normal"), Omra::FloatButtonNormal)
               << stateShot(QStringLiteral("floatbutton-hover"), Omra::FloatButtonHover)
               << stateShot(QStringLiteral("floatbutton-down"), Omra::FloatButtonDown)
               << stateShot(QStringLiteral("floatbutton-disabled"), Omra::FloatButtonDisabled);
    page.shots << gallery::Shot{QStringLiteral("floatbutton-mixed"),
                                [] { return static_cast<QWidget*>(makeStage()); },
                                [](QWidget* window) {
                                    auto* stage = static_cast<FloatStage*>(window);
                                    stage->placeButtons();
                                    stage->button(0)->setButtonStatus(Omra::FloatButtonHover);
                                    stage->button(1)->setButtonStatus(Omra::FloatButtonDown);
                                    stage->button(2)->setButtonStatus(Omra::FloatButtonDisabled);
                                    stage->button(4)->setButtonStatus(Omra::FloatButtonDown);
                                    stage->button(6)->setButtonStatus(Omra::FloatButtonHover);
                                    stage->button(7)->setButtonStatus(Omra::FloatButtonDown);
                                    stage->handleEvent(Omra::UiEventClick, 2, Omra::FloatButtonDown,
                                                       QString(), stage->button(1));
                                }};
    page.demos << gallery::Demo{QStringLiteral("Show float buttons"), [](QWidget*) {
                                    FloatStage* stage = makeStage();
                                    stage->setAttribute(Qt::WA_DeleteOnClose);
                                    stage->show();
                                    stage->placeButtons();
                                }};
    return page;
}

} // namespace

GALLERY_PAGE(floatButtonPage)
