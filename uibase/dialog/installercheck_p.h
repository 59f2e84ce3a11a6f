#pragma once

// Checks a downloaded installer against the size and SHA-256 its signed release names, on a
// worker thread, while copying its bytes to a new file: what was checked is the copy, so
// replacing or truncating the downloaded file afterwards changes nothing, and the GUI thread
// never waits for the disk. Private to the library (exported only for its tests).

#include "uibase/dialog/dialog_global.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QObject;
class QThread;

namespace Omra {

class DIALOG_EXPORT CInstallerCheck
{
public:
    CInstallerCheck();
    // Stops a running check and waits for its thread; its result is then never reported.
    ~CInstallerCheck();
    CInstallerCheck(const CInstallerCheck&) = delete;
    CInstallerCheck& operator=(const CInstallerCheck&) = delete;

    // Starts checking source into copy (a new file, readable and writable by its owner
    // alone; the check fails if something is already there). done runs once on context's
    // thread with an empty text on success, or with why the installer was refused (the copy
    // removed). context must outlive this object (it is meant to own it). A check started
    // while one runs stops the first.
    void start(const QString& source, const QString& copy, qint64 size, const QByteArray& sha256,
               QObject* context, std::function<void(const QString& whyNot)> done);
    bool isRunning() const;
    // Stops a running check (the copy it was making is removed) without reporting it.
    void stop();

    // The check itself, on the calling thread; stops early once cancel turns true.
    static QString run(const QString& source, const QString& copy, qint64 size,
                       const QByteArray& sha256, const std::atomic<bool>& cancel);

private:
    std::unique_ptr<QThread> thread;
    std::shared_ptr<std::atomic<bool>> cancel;
};

} // namespace Omra
