#pragma once

// The downloader as the dialogs may use it: declarations only. Error codes are plain
// numbers; the dialogs rely on the value 1 alone.

#include <QObject>
#include <QString>

namespace Omra {

class CHttpDownLoader : public QObject
{
    Q_OBJECT
public:
    CHttpDownLoader();

    void setFilePath(QString dir);
    bool startRequest(QString url, bool overwrite);
    int getErrorCode() const;
    void stopDownLoad();

Q_SIGNALS:
    void sigDownFinish();
    void sigDownProgress(qint64 received, qint64 total);
};

} // namespace Omra
