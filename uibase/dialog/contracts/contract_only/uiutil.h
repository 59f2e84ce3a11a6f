#pragma once

// The image and text drawing utilities as the dialogs may use them: declarations only.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

namespace Omra {

class CNStateGridImage
{
public:
    QSize getSize() const;
    int width() const;
    int height() const;
    void setImage(QString imageKey);
    void drawImage(QPainter* painter, int state, const QRect& target) const;
    void drawImage(QPainter* painter, int state, int x, int y, int w, int h) const;
};

class CNStateImage : public CNStateGridImage
{
public:
    CNStateImage(QString imageKey, int stateCount);
};

class CNStateJiuGongImage : public CNStateGridImage
{
public:
    CNStateJiuGongImage(bool smoothEdges, QString imageKey, int stateCount, int left, int top,
                        int right, int bottom);
};

class CSimpleText
{
public:
    CSimpleText();
    CSimpleText(const QString& text, const QColor* color, const QFont* font);

    QSize getSize(bool emphasis) const;
    void drawText(QPainter* painter, const QRect& rect, int flags, bool elide, bool emphasis) const;

    QString text;
    const QColor* color;
    const QFont* font;
};

struct CSpaceInfo
{
    CSpaceInfo(int left, int top, int right, int bottom);

    int left;
    int top;
    int right;
    int bottom;
};

} // namespace Omra
