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
