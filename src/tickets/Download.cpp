#include "tickets/Download.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QTimer>

bool DownloadToFile(const QString& url, const QString& path, std::chrono::milliseconds timeout) {
    // The body goes to a temporary file beside the target, renamed over it on commit.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;

    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(QNetworkRequest(QUrl(url)));
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop,
                     [&file, reply] { file.write(reply->readAll()); });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(timeout);
    // The caller blocks here; the tray menu must not act on a half-started server meanwhile.
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status < 200 || status >= 300)
        return false;
    file.write(reply->readAll());
    // A failed write is remembered by QSaveFile and makes the commit fail.
    return file.commit();
}
