#pragma once

// Stand-in for the platform's widget toolkit (BaseWidget.dll): frameless dialog bases and
// themed widgets. Every widget takes an integer id, which the UI events it sends carry,
// and answers it through getID().

#include "uibase/dialog/contracts/platform_global.h"
#include "uibase/dialog/contracts/uievent.h"
#include "uibase/dialog/contracts/uiresource.h"
#include "uibase/dialog/contracts/uiutil.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMargins>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QTextEdit>
#include <QVector>
#include <QWidget>

class QTimer;

namespace Omra {

// A Qt widget class T that takes part in the event bus and can hold one inner widget,
// which it keeps inside four margins whenever it is resized.
template <class T> class CEventWidgetT : public T, public CEventDeliverer
{
public:
    explicit CEventWidgetT(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags())
        : T(parent, flags)
    {
    }

    QWidget* getInnerWidget() const { return innerWidget; }
    bool hasInnerWidget() const { return innerWidgetFlag; }
    QMargins getInnerMargins() const
    {
        return QMargins(innerLeft, innerTop, innerRight, innerBottom);
    }
    bool isShownFlag() const { return shownFlag; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        T::resizeEvent(event);
        layoutInnerWidget(event->size());
    }

    void hideEvent(QHideEvent* event) override
    {
        T::hideEvent(event);
        shownFlag = false;
    }

    void changeEvent(QEvent* event) override { T::changeEvent(event); }

    void layoutInnerWidget(const QSize& size)
    {
        if (!innerWidgetFlag || !innerWidget)
            return;
        innerWidget->setGeometry(innerLeft, innerTop,
                                 qMax(0, size.width() - innerLeft - innerRight),
                                 qMax(0, size.height() - innerTop - innerBottom));
    }

    // The inner widget may be deleted by its owner at any time; a guarded pointer keeps
    // the next resize from touching it.
    QPointer<QWidget> innerWidget;
    int innerLeft = 0;
    int innerTop = 0;
    int innerRight = 0;
    int innerBottom = 0;
    bool innerWidgetFlag = false;
    bool shownFlag = false;
};

// Dialog base: confirm (id 102) and close (id 101) handling, activation on show, theme
// change hooks.
class OMRA_PLATFORM_EXPORT CBaseDialog : public CEventWidgetT<QDialog>,
                                         public CUiResourceChangeHandler
{
    Q_OBJECT
public:
    explicit CBaseDialog(QWidget* parent = nullptr);
    ~CBaseDialog() override;

    // With false, showing the window does not activate it (notification popups).
    void setAutoActivate(bool autoActivate);
    bool isAutoActivate() const { return autoActivate; }

    // Asked before onOK(); a dialog that returns false stays open.
    virtual bool checkOK();
    virtual void onOK();

    void themeChanged() override;
    void scaleChanged() override;

    // Type 5 with id 101 rejects; type 5 with id 102 calls onOK() and accepts.
    bool handleEvent(int type, int id, int param, QString text, void* data) override;

    // The visible part of the window, without any shadow band.
    virtual QRect getMaskRect() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool autoActivate = true;
};

// Frameless dialog painting the nine-grid background image of its key. frameMargin is the
// band around the visible frame, titleBarHeight the title bar below it; subclasses lay
// out their content from these two numbers. The window can be dragged with the mouse: the
// window system moves it where it can (QWindow::startSystemMove), else it follows by hand.
class OMRA_PLATFORM_EXPORT CCustomDialog : public CBaseDialog
{
    Q_OBJECT
public:
    CCustomDialog(int frameMargin, int titleBarHeight, const char* imageKey, int left, int top,
                  int right, int bottom, QWidget* parent = nullptr);
    ~CCustomDialog() override;

    int getFrameMargin() const { return frameMargin; }
    int getTitleBarHeight() const { return titleBarHeight; }
    QString getBackgroundKey() const { return background.imageKey(); }
    QRect getMaskRect() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    int frameMargin;
    int titleBarHeight;

private:
    CNStateJiuGongImage background;
    QPoint dragOffset;
    bool dragging = false;
    bool draggingByHand = false;
};

// Plain container widget that takes part in the event bus and accepts a layout.
class OMRA_PLATFORM_EXPORT CBaseWidget : public CEventWidgetT<QWidget>,
                                         public CUiResourceChangeHandler
{
    Q_OBJECT
public:
    CBaseWidget(const QString& name, bool fillBackground, QWidget* parent = nullptr);
    ~CBaseWidget() override;

    // Activation gives the keyboard focus to the first child that takes it.
    virtual void setActive(bool active, bool giveFocus);
    bool isActive() const { return active; }

    void themeChanged() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool fillBackground;
    bool active = false;
};

// Text label drawn from theme keys. Word wrap follows the Qt::TextWordWrap text flag; the
// second argument of setText limits the number of lines shown. sizeHint().width() is the
// unwrapped width, so a caller can cap it and ask heightForWidth() for the wrapped height.
// The clickable form reports a left click as an activation event (type 10) with its id.
// A change of the text is announced to screen readers as a name change.
class OMRA_PLATFORM_EXPORT CSimpleTextWidget : public QWidget,
                                               public CEventDeliverer,
                                               public CUiResourceChangeHandler
{
    Q_OBJECT
public:
    CSimpleTextWidget(const QString& text, QWidget* parent = nullptr);
    CSimpleTextWidget(bool clickable, int id, const QString& text, QWidget* parent = nullptr);
    ~CSimpleTextWidget() override;

    int getID() const { return id; }
    bool isClickable() const { return clickable; }
    void setText(const QString& text, int maxLines = 100000);
    QString getText() const { return text; }
    int getMaxLines() const { return maxLines; }

    void setFontKey(const QString& key);
    void setColorKey(const QString& key);
    QString getFontKey() const { return fontKey; }
    QString getColorKey() const { return colorKey; }
    void setFlag(int flags);
    int getFlag() const { return flags; }
    void setLineSpace(int pixels);
    void setTextLineHeight(int pixels);

    // Number of lines the text takes at the given width (after the line limit).
    int lineCountForWidth(int width) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

    void themeChanged() override;
    void scaleChanged() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // A clickable line takes the keyboard focus; Space, Enter and Return activate it.
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Line
    {
        QString text;
        int width = 0;
        bool elided = false;
    };
    struct Layout
    {
        int width = -1;
        QVector<Line> lines;
    };

    void invalidate();
    const Layout& layoutFor(int width) const;
    int lineHeight() const;
    int blockHeight(int lineCount) const;
    QFont currentFont() const;

    int id;
    bool clickable;
    QString text;
    int maxLines = 100000;
    QString fontKey;
    QString colorKey;
    int flags;
    int lineSpace = 0;
    int textLineHeight = 0;
    mutable Layout cachedLayout;
    mutable QSize cachedHint;
};

// Image-faced push button: a four-state picture (normal, hover, down, disabled) drawn as a
// nine-grid with the given margins, and its text in the colour key of the current state.
// A click is reported as type 5 with the button's id.
class OMRA_PLATFORM_EXPORT CPushButton : public QPushButton,
                                         public CEventDeliverer,
                                         public CUiResourceChangeHandler
{
    Q_OBJECT
public:
    CPushButton(const QString& imageKey, int id, QWidget* parent = nullptr);
    CPushButton(const QString& imageKey, int id, int left, int top, int right, int bottom,
                QWidget* parent = nullptr);
    ~CPushButton() override;

    int getID() const { return id; }
    QString getImageKey() const { return image.imageKey(); }
    void setImageKey(const QString& key);
    void setTextColorKey(const char* normal, const char* hover, const char* down,
                         const char* disabled);
    QString getTextColorKey(int state) const;
    void setFontKey(const QString& key);
    // 0 normal, 1 hover, 2 down, 3 disabled.
    int currentState() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    void themeChanged() override;
    void scaleChanged() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void init();

    int id;
    CNStateJiuGongImage image;
    QString textColorKeys[4];
    QString fontKey;
};

enum ENormalButtonType {
    NormalButtonDefault = 0,  // neutral look
    NormalButtonEmphasis = 1, // accent look
};

// Themed text buttons in the toolkit's standard sizes.
class OMRA_PLATFORM_EXPORT CMediumNormalButton : public CPushButton
{
    Q_OBJECT
public:
    CMediumNormalButton(int id, bool emphasis, QWidget* parent = nullptr);
};

class OMRA_PLATFORM_EXPORT CSmallNormalButton : public CPushButton
{
    Q_OBJECT
public:
    CSmallNormalButton(int id, bool bold, ENormalButtonType type, QWidget* parent = nullptr);
};

// Link-style small button without a visible face.
class OMRA_PLATFORM_EXPORT CSmallNoNormalButton : public CPushButton
{
    Q_OBJECT
public:
    CSmallNoNormalButton(int id, bool bold, QWidget* parent = nullptr, bool underline = false);
};

// Line edit reporting text changes: type 76 when the user edits, type 77 for every change,
// both with the current text.
class OMRA_PLATFORM_EXPORT CLineEdit : public QLineEdit,
                                       public CEventDeliverer,
                                       public CUiResourceChangeHandler
{
    Q_OBJECT
public:
    CLineEdit(int id, QWidget* parent = nullptr, bool readOnlyLook = false);
    ~CLineEdit() override;

    int getID() const { return id; }
    void setTextFontKey(const QString& key);
    void themeChanged() override;
    void scaleChanged() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void applyTheme();

    int id;
    QString fontKey;
};

// Combo box reporting changes of its edit text (type 104) when editable.
class OMRA_PLATFORM_EXPORT CComboBox : public QComboBox,
                                       public CEventDeliverer,
                                       public CUiResourceChangeHandler
{
    Q_OBJECT
public:
    CComboBox(int id, QWidget* parent = nullptr);
    ~CComboBox() override;

    int getID() const { return id; }
    void setEditable(bool editable);
    void setFontKey(const QString& key);
    void themeChanged() override;
    void scaleChanged() override;

private:
    void applyTheme();

    int id;
    QString fontKey;
};

class OMRA_PLATFORM_EXPORT CTextEdit : public QTextEdit,
                                       public CEventDeliverer,
                                       public CUiResourceChangeHandler
{
    Q_OBJECT
public:
    CTextEdit(int id, QWidget* parent = nullptr, bool plainText = true, bool frame = false);
    ~CTextEdit() override;

    int getID() const { return id; }
    void setText(const QString& text);
    void setFontKey(const QString& key);
    void themeChanged() override;
    void scaleChanged() override;

private:
    void applyTheme();

    int id;
    bool plainText;
    QString fontKey;
};

// Check box reporting each toggle by the user (type 69, param the new state) after
// isChecked() has changed; setChecked() from code reports nothing.
class OMRA_PLATFORM_EXPORT CCheckBox : public QCheckBox,
                                       public CEventDeliverer,
                                       public CUiResourceChangeHandler
{
    Q_OBJECT
public:
    CCheckBox(int id, const QString& text, QWidget* parent = nullptr);
    ~CCheckBox() override;

    int getID() const { return id; }
    void setTextColorKey(const QString& key);
    QString getTextColorKey() const { return textColorKey; }
    void setFontKey(const QString& key);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    void themeChanged() override;
    void scaleChanged() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    int id;
    QString textColorKey;
    QString fontKey;
};

// Shows one theme image at its own size.
class OMRA_PLATFORM_EXPORT CImageWidget : public QWidget,
                                          public CEventDeliverer,
                                          public CUiResourceChangeHandler
{
    Q_OBJECT
public:
    CImageWidget(int id, const QString& imageKey, QWidget* parent = nullptr);
    ~CImageWidget() override;

    int getID() const { return id; }
    void setImageKey(const QString& key);
    QString getImageKey() const { return imageKey; }

    QSize sizeHint() const override;
    void themeChanged() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void fitToImage();

    int id;
    QString imageKey;
};

// Where an entry of a widget list sits across the list's direction.
enum EWidgetAnchor {
    WidgetAnchorLeading = 1,  // left or top edge
    WidgetAnchorTrailing = 2, // right or bottom edge
    WidgetAnchorCenter = 3,   // centred
};

// Lays out widgets and spaces along one direction. Fixed entries keep their size along the
// direction (the size they were given, or else their size hint); stretch widgets and
// spaces share what is left by their stretch factors. Across the direction an entry keeps
// its own size and sits at its anchor, unless it was added with fillAcross. Adjacent
// widgets are spaced by spacing() pixels.
class OMRA_PLATFORM_EXPORT CWidgetList : public QWidget,
                                         public CEventDeliverer,
                                         public CUiResourceChangeHandler
{
    Q_OBJECT
public:
    explicit CWidgetList(Qt::Orientation orientation, QWidget* parent = nullptr);
    ~CWidgetList() override;

    void addFixedWidget(QWidget* widget, EWidgetAnchor anchor, bool fillAcross = false);
    void addStretchWidget(QWidget* widget, int stretch, EWidgetAnchor anchor,
                          bool fillAcross = false);
    void addFixedSpace(int pixels);
    void addStretchSpace(int stretch);
    void setMargin(int left, int top, int right, int bottom);
    QMargins margins() const { return margin; }
    void setSpacing(int pixels);
    int spacing() const { return space; }
    Qt::Orientation orientation() const { return direction; }

    // Places the entries now (it also happens on every resize).
    void relayout();

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Entry
    {
        QPointer<QWidget> widget; // null for a space
        int pixels = 0;           // fixed space
        int stretch = 0;          // stretch widget or stretch space
        EWidgetAnchor anchor = WidgetAnchorCenter;
        bool fillAcross = false;
        bool isSpace = false;
    };

    void addWidget(QWidget* widget, int stretch, EWidgetAnchor anchor, bool fillAcross);
    QSize preferredSize(const QWidget* widget) const;

    Qt::Orientation direction;
    QVector<Entry> entries;
    QMargins margin;
    int space = 8;
};

enum EAlign {
    TipAlignLeft = 0x01,
    TipAlignRight = 0x02,
    TipAlignHCenter = 0x04,
    TipAlignTop = 0x20,
    TipAlignBottom = 0x40,
    TipAlignVCenter = 0x80,
};
Q_DECLARE_FLAGS(EAligns, EAlign)

// A transient tip beside a widget. Only one tip is on screen: a new one replaces it. It
// hides after the given number of seconds, when the anchor's window hides, or when the
// anchor is destroyed. Vertical flags put it below (bottom, the default) or above (top) the
// anchor; horizontal flags align it with the anchor's left or right edge or centre it.
class OMRA_PLATFORM_EXPORT CMessageTip : public QWidget
{
    Q_OBJECT
public:
    static void showTip(QWidget* anchor, QFlags<EAlign> align, const QString& text, int seconds,
                        int maxWidth);
    // The tip on screen, or null.
    static CMessageTip* current();
    static void hideTip();

    QString text() const { return message; }
    QWidget* anchor() const { return anchorWidget; }

    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CMessageTip(QWidget* anchor, QFlags<EAlign> align, const QString& text, int seconds,
                int maxWidth);
    QRect textRect(int width) const;
    void place();

    QPointer<QWidget> anchorWidget;
    QFlags<EAlign> alignment;
    QString message;
    int maxWidth;
    QTimer* hideTimer;
};

} // namespace Omra

Q_DECLARE_OPERATORS_FOR_FLAGS(Omra::EAligns)
