#pragma once

#include <QtCore/qglobal.h>

// Export macro of the platform stand-in library (toolkit, theme table, event bus,
// downloader, utilities). The real platform libraries replace this one as a whole.
#if defined(OMRA_PLATFORM_LIBRARY)
#define OMRA_PLATFORM_EXPORT Q_DECL_EXPORT
#else
#define OMRA_PLATFORM_EXPORT Q_DECL_IMPORT
#endif
