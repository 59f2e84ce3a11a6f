#pragma once

// The theme resource table as the dialogs may use it: declarations only.

#include "uibase/dialog/contracts/utils.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>

namespace Omra {

class CUiResourceChangeHandler
{
public:
    virtual ~CUiResourceChangeHandler();
    virtual void setFixFont(bool fixFont);
    virtual void themeChanged();
    virtual void scaleChanged();
};

class CUiResource
{
public:
    int getSize(const QString& key) const;
    const QColor* getColor(const QString& key) const;
    const QFont* getFont(const QString& key) const;
    const QPixmap* getPixmap(const QString& key) const;
};

} // namespace Omra
