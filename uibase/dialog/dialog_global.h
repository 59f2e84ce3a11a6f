#pragma once

#include <QtCore/qglobal.h>

/// \file
/// \brief Export macro of the Dialog library.
///
/// \def DIALOG_EXPORT
/// Marks a class as exported from the Dialog shared library (imported by its users).
#if defined(DIALOG_LIBRARY)
#define DIALOG_EXPORT Q_DECL_EXPORT
#else
#define DIALOG_EXPORT Q_DECL_IMPORT
#endif

class QEvent;
class QEnterEvent;

namespace Omra {

/// The event type of QWidget::enterEvent: QEnterEvent from Qt 6 on, QEvent before. The one
/// place where Qt 5 and Qt 6 differ in a signature the dialogs override.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
using EnterEvent = QEnterEvent;
#else
using EnterEvent = QEvent;
#endif

} // namespace Omra
