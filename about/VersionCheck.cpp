// The update check without a window: address, download, parsing, comparison.
#include "about/VersionCheck.h"

#include "support/Error.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringList>
#include <QUrlQuery>
#include <QVariant>
#include <memory>

namespace bitonix {

namespace {

// Part i of a version text as an integer; 0 when missing or not an integer.
int VersionPart(const QStringList& parts, qsizetype i) {
    if (i >= parts.size()) {
        return 0;
    }
    bool ok = false;
    const int value = parts[i].toInt(&ok, 10);
    return ok ? value : 0;
}

// The server address with `path` in place of its own path and no query.
QUrl OnServer(const QUrl& server, const QString& path) {
    QUrl url = server;
    url.setPath(path);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

// A member's value as text: strings trimmed, numbers in their shortest form,
// anything else empty.
QString MemberText(const QJsonObject& object, const QString& name) {
    const QJsonValue value = object.value(name);
    if (value.isString()) {
        return value.toString().trimmed();
    }
    if (value.isDouble()) {
        return value.toVariant().toString();
    }
    return {};
}

} // namespace

QUrl UpdateServer() {
    return QUrl(QStringLiteral(BITONIX_UPDATE_SERVER));
}

int CompareVersionText(const QString& a, const QString& b) {
    const QStringList pa = a.split(QLatin1Char('.'));
    const QStringList pb = b.split(QLatin1Char('.'));
    const qsizetype n = qMax(pa.size(), pb.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int x = VersionPart(pa, i);
        const int y = VersionPart(pb, i);
        if (x > y) {
            return 1;
        }
        if (x < y) {
            return -1;
        }
    }
    return 0;
}

bool IsWebUrl(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

QUrl VersionDocumentUrl(const QUrl& server, const QString& random) {
    QUrl url = OnServer(server, QStringLiteral("/bitonix/version.json"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("r"), random);
    url.setQuery(query);
    return url;
}

QUrl DefaultInfoUrl(const QUrl& server) {
    return OnServer(server, QStringLiteral("/bitonix/"));
}

TVersionAnswer FetchVersionDocument(const QUrl& url) {
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setTransferTimeout(30000);
    const std::unique_ptr<QNetworkReply> reply(manager.get(request));

    TVersionAnswer answer;
    bool tooLarge = false;
    // Takes what has arrived; stops the transfer once the answer is too long.
    const auto take = [&] {
        answer.Body += reply->read(KMaxVersionDocumentSize + 1 - answer.Body.size());
        if (answer.Body.size() > KMaxVersionDocumentSize && !tooLarge) {
            tooLarge = true;
            reply->abort();
        }
    };
    QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), take);
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!tooLarge) {
        take();
    }
    if (tooLarge) {
        throw TError("Version file too large");
    }

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) {
        throw TError(reply->errorString());
    }
    answer.Status = status.toInt();
    // A 200 whose body broke off is a transfer failure, not a version file.
    if (answer.Status == 200 && reply->error() != QNetworkReply::NoError) {
        throw TError(reply->errorString());
    }
    return answer;
}

TVersionInfo ParseVersionDocument(const TVersionAnswer& answer, const QUrl& defaultInfoUrl) {
    if (answer.Status != 200) {
        throw TError(QStringLiteral("HTTP %1").arg(answer.Status));
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(answer.Body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        throw TError("Invalid version file");
    }
    const QJsonObject object = document.object();
    TVersionInfo info;
    info.Version = MemberText(object, QStringLiteral("version"));
    if (info.Version.isEmpty()) {
        throw TError("Missing version");
    }
    const QString infoUrl = MemberText(object, QStringLiteral("infoUrl"));
    const QUrl offered(infoUrl, QUrl::StrictMode);
    info.InfoUrl = (!infoUrl.isEmpty() && object.value(QStringLiteral("infoUrl")).isString() &&
                    IsWebUrl(offered))
                       ? offered
                       : defaultInfoUrl;
    return info;
}

} // namespace bitonix
