#pragma once

// The widget toolkit as the dialogs may use it: declarations only, nothing beyond what the
// dialogs are allowed to rely on. Where only values are fixed (anchors, tip alignment, the
// button type), the enumeration has no enumerators and the dialogs name the values
// themselves.

#include "uibase/dialog/contracts/uievent.h"
#include "uibase/dialog/contracts/uiresource.h"
#include "uibase/dialog/contracts/uiutil.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QWidget>

namespace Omra {

// Holds the inner widget, its four margins and the inner-widget flag, and keeps the inner
// widget inside those margins on every resize. Hiding clears the shown flag.
template <class T> class CEventWidgetT : public T, public CEventDeliverer
{
protected:
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

    QPointer<QWidget> innerWidget;
    int innerLeft;
    int innerTop;
    int innerRight;
    int innerBottom;
    bool innerWidgetFlag;
    bool shownFlag;
};

class CBaseDialog : public CEventWidgetT<QDialog>, public CUiResourceChangeHandler
{
public:
    void setAutoActivate(bool autoActivate);
    virtual bool checkOK();
    virtual void onOK();
    void themeChanged() override;
    void scaleChanged() override;
    bool handleEvent(int type, int id, int param, QString text, void* data) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
};

class CCustomDialog : public CBaseDialog
{
public:
    CCustomDialog(int frameMargin, int titleBarHeight, const char* imageKey, int left, int top,
                  int right, int bottom, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

    int frameMargin;
    int titleBarHeight;
};

class CBaseWidget : public QWidget, public CEventDeliverer, public CUiResourceChangeHandler
{
public:
    CBaseWidget(QString name, bool fillBackground, QWidget* parent);
    virtual void setActive(bool active, bool giveFocus);
};

class CSimpleTextWidget : public QWidget, public CEventDeliverer, public CUiResourceChangeHandler
{
public:
    CSimpleTextWidget(const QString& text, QWidget* parent);
    CSimpleTextWidget(bool clickable, int id, const QString& text, QWidget* parent);

    void setText(const QString& text, int maxLines);
    void setFontKey(const QString& key);
    void setColorKey(const QString& key);
    void setFlag(int flags);
    void setLineSpace(int pixels);
    void setTextLineHeight(int pixels);
    QString getText() const;
    QSize sizeHint() const override;
    int heightForWidth(int width) const override;
};

class CPushButton : public QPushButton, public CEventDeliverer, public CUiResourceChangeHandler
{
public:
    CPushButton(const QString& imageKey, int id, QWidget* parent);
    CPushButton(const QString& imageKey, int id, int left, int top, int right, int bottom,
                QWidget* parent);

    void setTextColorKey(const char* normal, const char* hover, const char* down,
                         const char* disabled);
};

enum ENormalButtonType : int {};

class CMediumNormalButton : public QPushButton,
                            public CEventDeliverer,
                            public CUiResourceChangeHandler
{
public:
    CMediumNormalButton(int id, bool emphasis, QWidget* parent);
};

class CSmallNormalButton : public QPushButton,
                           public CEventDeliverer,
                           public CUiResourceChangeHandler
{
public:
    CSmallNormalButton(int id, bool bold, ENormalButtonType type, QWidget* parent);
};

class CSmallNoNormalButton : public QPushButton,
                             public CEventDeliverer,
                             public CUiResourceChangeHandler
{
public:
    CSmallNoNormalButton(int id, bool bold, QWidget* parent, bool underline);
};

class CLineEdit : public QLineEdit, public CEventDeliverer, public CUiResourceChangeHandler
{
public:
    CLineEdit(int id, QWidget* parent, bool readOnlyLook);

    void setTextFontKey(const QString& key);
};

class CComboBox : public QComboBox, public CEventDeliverer, public CUiResourceChangeHandler
{
public:
    CComboBox(int id, QWidget* parent);

    void setEditable(bool editable);
    void setFontKey(const QString& key);
};

class CTextEdit : public QTextEdit, public CEventDeliverer, public CUiResourceChangeHandler
{
public:
    CTextEdit(int id, QWidget* parent, bool plainText, bool frame);

    void setText(const QString& text);
};

class CCheckBox : public QWidget, public CEventDeliverer, public CUiResourceChangeHandler
{
public:
    CCheckBox(int id, const QString& text, QWidget* parent);

    void setChecked(bool checked);
    bool isChecked() const;
    void setTextColorKey(const QString& key);
};

class CImageWidget : public QWidget, public CEventDeliverer, public CUiResourceChangeHandler
{
public:
    CImageWidget(int id, const QString& imageKey, QWidget* parent);
};

enum EWidgetAnchor : int {};

class CWidgetList : public QWidget, public CEventDeliverer, public CUiResourceChangeHandler
{
public:
    CWidgetList(Qt::Orientation orientation, QWidget* parent);

    void addFixedWidget(QWidget* widget, EWidgetAnchor anchor, bool fillAcross);
    void addStretchWidget(QWidget* widget, int stretch, EWidgetAnchor anchor, bool fillAcross);
    void addFixedSpace(int pixels);
    void addStretchSpace(int stretch);
    void setMargin(int left, int top, int right, int bottom);
};

enum EAlign : int {};

class CMessageTip
{
public:
    static void showTip(QWidget* anchor, QFlags<EAlign> align, const QString& text, int seconds,
                        int maxWidth);
};

} // namespace Omra
