#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QString>

// What the loopback server answers for one path. The defaults give a plain
// 200 page with a Content-Length; every other field makes the answer
// misbehave in one way that a test needs.
struct LoopbackResponse {
    int status = 200;
    QByteArray body;
    QByteArray contentType = "text/html; charset=utf-8";
    std::vector<std::pair<QByteArray, QByteArray>> headers; // extra headers, sent as given
    QString location;                                       // for redirects: sent as "Location"

    bool gzip = false;                       // gzip the body when the client accepts gzip
    bool omitContentLength = false;          // no Content-Length: the body ends with the connection
    std::chrono::milliseconds delay{0};      // silence before the headers
    bool stall = false;                      // never answer (until releaseStalls() or the server stops)
    int chunkSize = 0;                       // slow body: send the body in pieces of this size ...
    std::chrono::milliseconds chunkDelay{0}; // ... with this much silence between them
    qint64 dropAfter = -1;                   // close the connection after this many body bytes

    static LoopbackResponse page(QByteArray html, QByteArray contentType = "text/html; charset=utf-8");
    static LoopbackResponse redirect(const QString &location, int status = 302);
    static QByteArray gzipped(const QByteArray &data);
};

struct LoopbackRequest {
    QByteArray method;
    QString path;                             // without the query
    QString target;                           // path and query as sent
    std::map<QByteArray, QByteArray> headers; // names in lower case
    QString connection;                       // identifies the TCP connection the request came on

    QByteArray header(const QByteArray &name) const;
};

// An HTTP server on 127.0.0.1, for tests, benchmarks and the demo site. It
// serves fixed answers per path and, for whole fake sites, handlers per path
// prefix (the longest matching prefix wins; exact paths win over prefixes).
// Unknown paths get a 404 page. Every request is recorded unless recording
// is switched off (a long-running server would otherwise grow without end).
//
// Thread contract: configure from any thread; handlers run on the server's
// own threads. Destruction ends stalls and joins the server.
class LoopbackServer
{
public:
    using Handler = std::function<LoopbackResponse(const LoopbackRequest &)>;

    // Port 0 takes any free port. When the port cannot be bound, port() is -1.
    explicit LoopbackServer(int port = 0);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    int port() const;
    // "http://127.0.0.1:PORT/path"; a host such as "www.mangafox.localhost"
    // also reaches this server because libcurl resolves *.localhost to loopback.
    QString url(const QString &path, const QString &host = QStringLiteral("127.0.0.1")) const;

    void serve(const QString &path, LoopbackResponse response);
    void servePage(const QString &path, const QByteArray &html);
    void handlePrefix(const QString &prefix, Handler handler);
    // Lets stalled answers go (they then close the connection without answering).
    void releaseStalls();

    int requestCount() const;
    int requestCount(const QString &path) const;
    // Distinct TCP connections that carried at least one request.
    int connectionCount() const;
    std::vector<LoopbackRequest> requests() const;
    void resetCounts();
    void setRecording(bool on);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
