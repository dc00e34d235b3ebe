// The update check without a window: the version document's address, its
// download with a bounded size, its parsing, and version comparison.
//
// Operations: CompareVersionText, IsWebUrl, VersionDocumentUrl,
// DefaultInfoUrl, FetchVersionDocument, ParseVersionDocument.
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace bitonix {

// The maker's web server, fixed at build time (BITONIX_UPDATE_SERVER).
QUrl UpdateServer();

// The most the check reads of an answer, in bytes; a longer answer fails.
inline constexpr qint64 KMaxVersionDocumentSize = 64 * 1024;

// Compares two dot-separated version texts part by part: 1 when `a` is newer,
// -1 when it is older, 0 when equal.
//  1. Each part is a signed decimal integer; an empty part or one with other
//     characters counts as 0, as does a part one text lacks. So "1.1" equals
//     "1.1.0", "2.0-beta" is 2.0, and the empty text equals "0".
int CompareVersionText(const QString& a, const QString& b);

// Whether `url` may be handed to the browser: a valid absolute http or https
// address with a host. Everything else (file:, javascript:, relative) is not.
bool IsWebUrl(const QUrl& url);

// <server>/bitonix/version.json?r=<random>, keeping the server's scheme, host
// and port. `random` is the 8-character cache breaker.
QUrl VersionDocumentUrl(const QUrl& server, const QString& random);

// The program's page on the server: <server>/bitonix/.
QUrl DefaultInfoUrl(const QUrl& server);

// The answer of the server.
struct TVersionAnswer {
    int Status = 0;  // HTTP status code of the final response
    QByteArray Body; // at most KMaxVersionDocumentSize bytes
};

// GETs `url` with no extra headers and waits for the whole answer, letting
// windows repaint but no user input through (redirects that stay as safe are
// followed; the transfer gives up after 30 s without progress).
// Throws TError with the client's own message on a network, name-resolution
// or TLS failure, and "Version file too large" when the body grows beyond
// KMaxVersionDocumentSize (the transfer is aborted there).
TVersionAnswer FetchVersionDocument(const QUrl& url);

// What the version document says.
struct TVersionInfo {
    QString Version; // trimmed, never empty
    QUrl InfoUrl;    // the page to offer: always a web address (IsWebUrl)
};

// Reads an answer of the server into the published version and its page.
// Throws TError with exactly:
//  - "HTTP <status>" when the status is not 200;
//  - "Invalid version file" when the body is not JSON or not a JSON object;
//  - "Missing version" when `version` is absent or blank.
// Notes:
//  1. `version` may be a string or a number (2 reads as "2"); any other type
//     counts as missing.
//  2. An `infoUrl` that is absent, blank, not a string or not a web address
//     (IsWebUrl) gives `defaultInfoUrl`: a page that is not http or https is
//     never offered.
TVersionInfo ParseVersionDocument(const TVersionAnswer& answer, const QUrl& defaultInfoUrl);

} // namespace bitonix
