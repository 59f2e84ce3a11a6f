#pragma once

// What the version check dialog keeps beyond the fields of its exported class, whose layout
// is fixed: a child object of the dialog. Private to the library.

#include "uibase/dialog/installercheck_p.h"
#include "uibase/dialog/updatemanifest_p.h"

#include <QHash>
#include <QObject>
#include <QTimer>

namespace Omra {
namespace detail {

// Tells a file apart from one put in its place later under the same name.
struct FileStamp
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modified = 0; // nanoseconds where the platform has them

    bool operator==(const FileStamp& other) const
    {
        return device == other.device && inode == other.inode && size == other.size &&
               modified == other.modified;
    }
    // The stamp of the file at path (not of what a link there points to); size -1 when
    // there is none.
    static FileStamp of(const QString& path);
};

class CCheckVersionState : public QObject
{
public:
    // What a check with trusted keys found: nothing usable, the running version or an older
    // one, or a newer release.
    enum EOffer { OfferNothing, OfferCurrent, OfferNewer };

    explicit CCheckVersionState(QObject* dialog);
    static CCheckVersionState* of(const QObject* dialog);

    // The path a download is saved under, with its folder resolved, so that the same file
    // reached two ways compares equal.
    static QString filePath(const QString& dir, const QString& name);
    // Remembers the file the dialog's downloader has just saved at path.
    void rememberSaved(const QString& path);
    // True when path is a file this dialog's downloader saved and nothing has replaced since.
    bool isOwnSaved(const QString& path) const;
    // Deletes path if it is such a file; anything else is left alone.
    void removeOwnSaved(const QString& path);

    // The manifest step runs while this is active; its timeout ends the step.
    QTimer* manifestDeadline;
    EOffer offer = OfferNothing;
    SignedRelease release;
    CInstallerCheck installerCheck;

private:
    QHash<QString, FileStamp> saved;
};

} // namespace detail
} // namespace Omra
