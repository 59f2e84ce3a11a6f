#pragma once

// What the version check tests share: the dialog with its workings in reach, a local server,
// an upgrade program that records how it was started, the "omra.update" log, and someone who
// answers the upgrade question.

#include "localhttpserver.h"

#include "uibase/dialog/ccheckversiondialog.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

namespace testsupport {

class CheckVersionDialog : public Omra::CCheckVersionDialog
{
public:
    using CCheckVersionDialog::CCheckVersionDialog;
    using CCheckVersionDialog::currentVersionText;
    using CCheckVersionDialog::downloadButton;
    using CCheckVersionDialog::downloader;
    using CCheckVersionDialog::downloadStage;
    using CCheckVersionDialog::exeUrl;
    using CCheckVersionDialog::handleEvent;
    using CCheckVersionDialog::latestVersionText;
    void clickDownload() { handleEvent(5, 0, 0, QString(), nullptr); }
    void clickCancel() { handleEvent(5, 1, 0, QString(), nullptr); }
};

QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& data);

class UpdateRig
{
public:
    UpdateRig();
    ~UpdateRig();
    UpdateRig(const UpdateRig&) = delete;
    UpdateRig& operator=(const UpdateRig&) = delete;

    // False when the server or the folder could not be set up.
    bool isReady() const;
    // A file name in the application folder that no other test uses; removed at the end.
    QString uniqueName(const QString& suffix);
    // The application folder's file name, removed at the end.
    QString appFile(const QString& name);

    // Puts an Upgrade.exe into the application folder that writes its arguments, one per line,
    // to record(); executable false leaves it without the permission to run.
    bool installUpgradeProgram(bool executable = true);
    QString record() const { return base.filePath(QStringLiteral("record")); }
    // What the upgrade program was started with (empty while it has not run).
    QStringList recorded() const;
    QString staging() const { return base.filePath(QStringLiteral("bin_tmp")); }

    // Serves body as a new manifest and runs a check of it; the sigDownConfigFinish
    // argument (0 or 1), or -1 when none came within 10 s.
    int check(CheckVersionDialog& dialog, const QByteArray& manifest, const QString& current);

    // The next upgrade questions are answered with these button texts ("确定", "否"), in turn;
    // a box that comes up with no answer left is closed.
    void answer(const QStringList& answers) { pending = answers; }
    // Runs right before a box is answered (while the question is open).
    std::function<void()> beforeAnswer;
    // Each box that came up: its title and question, or "(closed)" when nobody answered it.
    QStringList asked;
    // Lines logged in "omra.update" meanwhile.
    QStringList log;

    LocalHttpServer server;
    QTemporaryDir base;

private:
    QStringList created;
    QStringList pending;
    QTimer answerer;
    bool ready = false;
};

} // namespace testsupport
