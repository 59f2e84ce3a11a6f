#include "uibase/dialog/contracts/basewidget.h"
#include "uibase/dialog/contracts/theme_p.h"

#include <QFontMetrics>
#include <QPainter>

namespace Omra {

CPushButton::CPushButton(const QString& imageKey, int controlId, QWidget* parent)
    : CPushButton(imageKey, controlId, 0, 0, 0, 0, parent)
{
}

CPushButton::CPushButton(const QString& imageKey, int controlId, int left, int top, int right,
                         int bottom, QWidget* parent)
    : QPushButton(parent), id(controlId), image(true, imageKey, 4, left, top, right, bottom),
      fontKey(QLatin1String(detail::buttonFontKey))
{
    for (QString& key : textColorKeys)
        key = QLatin1String(detail::defaultTextColorKey);
    init();
}

CPushButton::~CPushButton() = default;

void CPushButton::init()
{
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    const QSize frame = image.getSize();
    if (!frame.isEmpty())
        resize(frame);
    connect(this, &QPushButton::clicked, this,
            [this] { deliverEvent(UiEventClick, id, 0, text(), this); });
}

void CPushButton::setImageKey(const QString& key)
{
    image.setImage(key);
    updateGeometry();
    update();
}

void CPushButton::setTextColorKey(const char* normal, const char* hover, const char* down,
                                  const char* disabled)
{
    const char* keys[4] = {normal, hover, down, disabled};
    for (int i = 0; i < 4; ++i)
        textColorKeys[i] = QString::fromLatin1(keys[i] ? keys[i] : detail::defaultTextColorKey);
    update();
}

QString CPushButton::getTextColorKey(int state) const
{
    return textColorKeys[qBound(0, state, 3)];
}

void CPushButton::setFontKey(const QString& key)
{
    fontKey = key;
    updateGeometry();
    update();
}

int CPushButton::currentState() const
{
    if (!isEnabled())
        return 3;
    if (isDown() || isChecked())
        return 2;
    if (underMouse())
        return 1;
    return 0;
}

QSize CPushButton::sizeHint() const
{
    const QSize frame = image.getSize();
    const QFont& font = *detail::theme()->getFont(fontKey);
    const int textWidth =
        text().isEmpty() ? 0 : detail::textAdvance(text(), font, QFontMetrics(font)) + 16;
    return QSize(qMax(frame.width(), textWidth),
                 qMax(frame.height(), detail::lineMetrics(font).height() + 6));
}

QSize CPushButton::minimumSizeHint() const
{
    return sizeHint();
}

void CPushButton::themeChanged()
{
    updateGeometry();
    update();
}

void CPushButton::scaleChanged()
{
    themeChanged();
}

void CPushButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int state = currentState();
    image.drawImage(&painter, state, rect());

    // The keyboard focus is a dotted outline in the text colour, which the theme keeps
    // readable on the face; a picture-only button (a close button) gets it at its edge.
    const QRect inner =
        text().isEmpty() ? rect().adjusted(0, 0, -1, -1) : rect().adjusted(2, 2, -3, -3);
    if (hasFocus()) {
        painter.setPen(QPen(*detail::theme()->getColor(textColorKeys[state]), 1, Qt::DotLine));
        painter.drawRect(inner);
    }
    if (text().isEmpty())
        return;
    if (isDefault() && isEnabled() && !hasFocus()) {
        // The default button is marked by a thin inner outline in its text colour.
        QColor outline = *detail::theme()->getColor(textColorKeys[state]);
        outline.setAlpha(90);
        detail::drawOutline(&painter, inner, outline);
    }
    const QFont font = *detail::theme()->getFont(fontKey);
    painter.setFont(font);
    painter.setPen(*detail::theme()->getColor(textColorKeys[state]));
    // The padding is given up before the text is: a short caption on a small fixed-size
    // button stays whole as long as it fits the button at all.
    const QFontMetrics metrics(font);
    const int advance = detail::textAdvance(text(), font, metrics);
    const int room = advance <= width() ? width() : width() - 4;
    // A caption whose rounded advance is below the room fits whatever the fraction, and
    // eliding it would give it back unchanged; only a close or long one is measured again.
    // (U+009C separates length variants, which only eliding picks from.)
    const bool fits = advance < room && !text().contains(QChar(0x9c));
    const QString shown = fits ? text() : metrics.elidedText(text(), Qt::ElideRight, room);
    detail::drawTextLine(&painter, rect(), Qt::AlignCenter | Qt::TextSingleLine, shown);
}

CMediumNormalButton::CMediumNormalButton(int controlId, bool emphasis, QWidget* parent)
    : CPushButton(emphasis ? QStringLiteral("img_btn_normal_medium_emphasis")
                           : QStringLiteral("img_btn_normal_medium"),
                  controlId, 4, 4, 4, 4, parent)
{
    const char* key = emphasis ? "clr_btn_text_positive" : "clr_btn_text_normal";
    setTextColorKey(key, key, key, "clr_btn_text_disabled");
}

CSmallNormalButton::CSmallNormalButton(int controlId, bool, ENormalButtonType type, QWidget* parent)
    : CPushButton(type == NormalButtonEmphasis ? QStringLiteral("img_btn_normal_small_emphasis")
                                               : QStringLiteral("img_btn_normal_small"),
                  controlId, 4, 4, 4, 4, parent)
{
    const char* key =
        type == NormalButtonEmphasis ? "clr_btn_text_positive" : "clr_btn_text_normal";
    setTextColorKey(key, key, key, "clr_btn_text_disabled");
}

CSmallNoNormalButton::CSmallNoNormalButton(int controlId, bool, QWidget* parent, bool)
    : CPushButton(QStringLiteral("img_btn_no_normal_small"), controlId, 2, 2, 2, 2, parent)
{
    setTextColorKey("clr_global_blue", "clr_global_blue", "clr_global_blue",
                    "clr_btn_text_disabled");
}

} // namespace Omra
