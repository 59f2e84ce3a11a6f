#include "uibase/dialog/contracts/basewidget.h"
#include "uibase/dialog/contracts/theme_p.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace Omra {

namespace {

QColor color(const char* key)
{
    return *detail::theme()->getColor(QLatin1String(key));
}

// Palette of the text input widgets, from the theme.
void applyInputPalette(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, color("clr_edit_background"));
    palette.setColor(QPalette::Text, color("clr_edit_text"));
    palette.setColor(QPalette::WindowText, color("clr_edit_text"));
    palette.setColor(QPalette::ButtonText, color("clr_edit_text"));
    // The drop-down part of a combo box is drawn in the button colour; keep it on the
    // field's background so that it does not stand out in a dark theme.
    palette.setColor(QPalette::Button, color("clr_edit_background"));
    palette.setColor(QPalette::Highlight, color("clr_global_blue"));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    widget->setPalette(palette);
}

} // namespace

CLineEdit::CLineEdit(int controlId, QWidget* parent, bool)
    : QLineEdit(parent), id(controlId), fontKey(QLatin1String(detail::defaultFontKey))
{
    // The border is drawn by paintEvent in the theme's colours.
    setFrame(false);
    setTextMargins(6, 0, 6, 0);
    applyTheme();
    connect(this, &QLineEdit::textEdited, this, [this](const QString& current) {
        deliverEvent(UiEventTextEdited, id, 0, current, this);
    });
    connect(this, &QLineEdit::textChanged, this, [this](const QString& current) {
        deliverEvent(UiEventTextChanged, id, 0, current, this);
    });
}

CLineEdit::~CLineEdit() = default;

void CLineEdit::setTextFontKey(const QString& key)
{
    // Only the font depends on the key. Setting the palette again as well cost a palette
    // change on every field of every dialog while it was built.
    fontKey = key;
    setFont(*detail::theme()->getFont(fontKey));
}

void CLineEdit::applyTheme()
{
    setFont(*detail::theme()->getFont(fontKey));
    applyInputPalette(this);
    update();
}

void CLineEdit::themeChanged()
{
    applyTheme();
}

void CLineEdit::scaleChanged()
{
    applyTheme();
}

void CLineEdit::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Base));
    }
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    detail::drawOutline(&painter, rect().adjusted(0, 0, -1, -1),
                        color(hasFocus() ? "clr_global_blue" : "clr_edit_border"));
}

CComboBox::CComboBox(int controlId, QWidget* parent)
    : QComboBox(parent), id(controlId), fontKey(QLatin1String(detail::defaultFontKey))
{
    applyTheme();
    connect(this, &QComboBox::editTextChanged, this, [this](const QString& current) {
        if (isEditable())
            deliverEvent(UiEventComboTextChanged, id, 0, current, this);
    });
}

CComboBox::~CComboBox() = default;

void CComboBox::setEditable(bool editable)
{
    QComboBox::setEditable(editable);
    applyTheme();
}

void CComboBox::setFontKey(const QString& key)
{
    // As for the line edit: the palette does not depend on the key.
    fontKey = key;
    setFont(*detail::theme()->getFont(fontKey));
}

void CComboBox::applyTheme()
{
    setFont(*detail::theme()->getFont(fontKey));
    applyInputPalette(this);
    update();
}

void CComboBox::themeChanged()
{
    applyTheme();
}

void CComboBox::scaleChanged()
{
    applyTheme();
}

CTextEdit::CTextEdit(int controlId, QWidget* parent, bool plain, bool frame)
    : QTextEdit(parent), id(controlId), plainText(plain),
      fontKey(QLatin1String(detail::defaultFontKey))
{
    setAcceptRichText(!plain);
    if (!frame)
        setFrameShape(QFrame::NoFrame);
    applyTheme();
}

CTextEdit::~CTextEdit() = default;

void CTextEdit::setText(const QString& text)
{
    setWordWrapMode(detail::wrapModeFor(text));
    if (plainText)
        setPlainText(text);
    else
        QTextEdit::setText(text);
}

void CTextEdit::setFontKey(const QString& key)
{
    fontKey = key;
    applyTheme();
}

void CTextEdit::applyTheme()
{
    setFont(*detail::theme()->getFont(fontKey));
    applyInputPalette(this);
    update();
}

void CTextEdit::themeChanged()
{
    applyTheme();
}

void CTextEdit::scaleChanged()
{
    applyTheme();
}

namespace {

constexpr int indicatorSize = 12;
constexpr int indicatorGap = 4;

} // namespace

CCheckBox::CCheckBox(int controlId, const QString& text, QWidget* parent)
    : QCheckBox(text, parent), id(controlId),
      textColorKey(QLatin1String(detail::defaultTextColorKey)),
      fontKey(QLatin1String(detail::defaultFontKey))
{
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    // Only the user's toggles (mouse, keyboard) are reported: a dialog resetting its boxes
    // from code must not read as a choice the user made.
    connect(this, &QCheckBox::clicked, this, [this](bool checked) {
        deliverEvent(UiEventCheckToggled, id, checked ? 1 : 0, QCheckBox::text(), this);
    });
}

CCheckBox::~CCheckBox() = default;

void CCheckBox::setTextColorKey(const QString& key)
{
    textColorKey = key;
    update();
}

void CCheckBox::setFontKey(const QString& key)
{
    fontKey = key;
    updateGeometry();
    update();
}

QSize CCheckBox::sizeHint() const
{
    const QFont& font = *detail::theme()->getFont(fontKey);
    const int textWidth =
        text().isEmpty() ? 0 : indicatorGap + QFontMetrics(font).horizontalAdvance(text());
    return QSize(indicatorSize + textWidth,
                 qMax(indicatorSize, detail::lineMetrics(font).height()));
}

QSize CCheckBox::minimumSizeHint() const
{
    return sizeHint();
}

void CCheckBox::themeChanged()
{
    updateGeometry();
    update();
}

void CCheckBox::scaleChanged()
{
    themeChanged();
}

bool CCheckBox::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

void CCheckBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0.5, (height() - indicatorSize) / 2 + 0.5, indicatorSize - 1,
                     indicatorSize - 1);
    const QColor accent = color("clr_global_blue");
    const bool enabled = isEnabled();
    if (isChecked()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(enabled ? accent : color("clr_edit_border"));
        painter.drawRoundedRect(box, 2, 2);
        QPainterPath tick;
        tick.moveTo(box.left() + 2.5, box.center().y());
        tick.lineTo(box.left() + 4.8, box.bottom() - 3);
        tick.lineTo(box.right() - 2.2, box.top() + 3);
        painter.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
    } else {
        painter.setPen(underMouse() && enabled ? accent : color("clr_edit_border"));
        painter.setBrush(color("clr_edit_background"));
        painter.drawRoundedRect(box, 2, 2);
    }
    if (hasFocus()) {
        // The keyboard focus is a dotted outline round box and text in the accent colour.
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(accent, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        painter.setRenderHint(QPainter::Antialiasing);
    }
    if (text().isEmpty())
        return;
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QFont font = *detail::theme()->getFont(fontKey);
    painter.setFont(font);
    QColor textColor = *detail::theme()->getColor(textColorKey);
    if (!enabled)
        textColor.setAlpha(120);
    painter.setPen(textColor);
    const QRect textRect(indicatorSize + indicatorGap, 0, width() - indicatorSize - indicatorGap,
                         height());
    detail::drawTextLine(&painter, textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         QFontMetrics(font).elidedText(text(), Qt::ElideRight, textRect.width()));
}

CImageWidget::CImageWidget(int controlId, const QString& key, QWidget* parent)
    : QWidget(parent), id(controlId), imageKey(key)
{
    fitToImage();
}

CImageWidget::~CImageWidget() = default;

void CImageWidget::setImageKey(const QString& key)
{
    imageKey = key;
    fitToImage();
    update();
}

void CImageWidget::fitToImage()
{
    const QPixmap* image = detail::theme()->getPixmap(imageKey);
    if (!image->isNull())
        resize(detail::logicalSize(*image));
}

QSize CImageWidget::sizeHint() const
{
    return detail::logicalSize(*detail::theme()->getPixmap(imageKey));
}

void CImageWidget::themeChanged()
{
    fitToImage();
    update();
}

void CImageWidget::paintEvent(QPaintEvent*)
{
    const QPixmap* image = detail::theme()->getPixmap(imageKey);
    if (image->isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform,
                          detail::needsSmoothScaling(&painter, *image));
    painter.drawPixmap(QRect(QPoint(0, 0), size()), *image);
}

} // namespace Omra
