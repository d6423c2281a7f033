#include "loopback/LoopbackServer.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include <dirent.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <zlib.h>

namespace {

QByteArray gzipData(const QByteArray &data)
{
    z_stream z{};
    deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray out;
    out.resize(qsizetype(deflateBound(&z, uLong(data.size())) + 32));
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

QByteArray lower(const std::string &s)
{
    return QByteArray::fromStdString(s).toLower();
}

// httplib keeps serving an idle keep-alive connection until its time-out
// and only then notices a stop. Shutting down every socket of this process
// that is bound to our port (the accepted ones; the listener is closed by
// then) lets the server wind down at once.
void shutdownSocketsOnPort(int port)
{
    DIR *dir = opendir("/proc/self/fd");
    if (!dir)
        return;
    while (dirent *entry = readdir(dir)) {
        const int fd = atoi(entry->d_name);
        if (fd <= 2 || fd == dirfd(dir))
            continue;
        sockaddr_storage local{};
        socklen_t length = sizeof(local);
        if (getsockname(fd, reinterpret_cast<sockaddr *>(&local), &length) != 0 || local.ss_family != AF_INET)
            continue;
        if (ntohs(reinterpret_cast<sockaddr_in *>(&local)->sin_port) == port)
            shutdown(fd, SHUT_RDWR);
    }
    closedir(dir);
}

} // namespace

LoopbackResponse LoopbackResponse::page(QByteArray html, QByteArray contentType)
{
    LoopbackResponse r;
    r.body = std::move(html);
    r.contentType = std::move(contentType);
    return r;
}

LoopbackResponse LoopbackResponse::redirect(const QString &location, int status)
{
    LoopbackResponse r;
    r.status = status;
    r.location = location;
    r.body = "moved";
    return r;
}

QByteArray LoopbackResponse::gzipped(const QByteArray &data)
{
    return gzipData(data);
}

QByteArray LoopbackRequest::header(const QByteArray &name) const
{
    auto it = headers.find(name.toLower());
    return it == headers.end() ? QByteArray() : it->second;
}

struct LoopbackServer::Impl {
    httplib::Server server;
    std::thread thread;
    int port = 0;

    mutable std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    int stallGeneration = 0;
    std::map<QString, LoopbackResponse> fixed;
    std::vector<std::pair<QString, Handler>> prefixes;
    std::vector<LoopbackRequest> log;
    std::set<QString> connections;
    bool recording = true;

    // Waits for the given time unless the server stops first; false when stopping.
    bool pause(std::chrono::milliseconds duration)
    {
        std::unique_lock lock(mutex);
        return !wake.wait_for(lock, duration, [this] { return stopping; });
    }

    LoopbackResponse answerFor(const LoopbackRequest &request)
    {
        Handler handler;
        {
            std::lock_guard lock(mutex);
            auto exact = fixed.find(request.path);
            if (exact != fixed.end())
                return exact->second;
            size_t best = 0;
            for (const auto &[prefix, h] : prefixes) {
                if (request.path.startsWith(prefix) && size_t(prefix.size()) >= best) {
                    best = size_t(prefix.size());
                    handler = h;
                }
            }
        }
        if (handler)
            return handler(request);
        LoopbackResponse notFound = LoopbackResponse::page("<html><body>Not Found</body></html>");
        notFound.status = 404;
        return notFound;
    }

    void handle(const httplib::Request &req, httplib::Response &res)
    {
        LoopbackRequest request;
        request.method = QByteArray::fromStdString(req.method);
        request.path = QString::fromStdString(req.path);
        request.target = QString::fromStdString(req.target);
        for (const auto &[name, value] : req.headers)
            request.headers[lower(name)] = QByteArray::fromStdString(value);
        request.connection =
            QString::fromStdString(req.remote_addr) + QLatin1Char(':') + QString::number(req.remote_port);
        {
            std::lock_guard lock(mutex);
            if (recording) {
                log.push_back(request);
                connections.insert(request.connection);
            }
        }

        LoopbackResponse answer = answerFor(request);
        if (answer.stall) {
            std::unique_lock lock(mutex);
            const int generation = stallGeneration;
            wake.wait(lock, [&] { return stopping || stallGeneration != generation; });
            res.status = 500;
            res.set_header("Connection", "close");
            return;
        }
        if (answer.delay.count() > 0 && !pause(answer.delay))
            return;

        res.status = answer.status;
        if (!answer.location.isEmpty())
            res.set_header("Location", answer.location.toStdString());
        for (const auto &[name, value] : answer.headers)
            res.set_header(name.toStdString(), value.toStdString());

        QByteArray body = answer.body;
        if (answer.gzip && request.header("accept-encoding").contains("gzip")) {
            body = gzipData(body);
            res.set_header("Content-Encoding", "gzip");
        }
        auto shared = std::make_shared<QByteArray>(std::move(body));
        const size_t total = size_t(shared->size());
        const size_t dropAt = answer.dropAfter >= 0 ? size_t(answer.dropAfter) : total + 1;
        const size_t chunk = answer.chunkSize > 0 ? size_t(answer.chunkSize) : total;
        const auto chunkDelay = answer.chunkDelay;
        const std::string type = answer.contentType.toStdString();

        // Bodies always go through a content provider: httplib would otherwise
        // compress text on its own and the test could not choose the encoding.
        auto provide = [this, shared, total, dropAt, chunk, chunkDelay](size_t offset,
                                                                        httplib::DataSink &sink) {
            if (offset >= dropAt)
                return false;
            if (offset >= total) {
                sink.done();
                return true;
            }
            if (offset > 0 && chunkDelay.count() > 0 && !pause(chunkDelay))
                return false;
            const size_t n = std::min({chunk, total - offset, dropAt - offset});
            return sink.write(shared->constData() + offset, n);
        };
        if (answer.omitContentLength) {
            // Without a length the body ends when the connection closes.
            res.set_header("Connection", "close");
            // httplib keeps such a connection open after done(), so the
            // provider ends it by refusing to go on.
            res.set_content_provider(type, [provide, total](size_t offset, httplib::DataSink &sink) {
                return offset < total && provide(offset, sink);
            });
        } else if (total == 0) {
            res.set_content(std::string(), type);
        } else {
            res.set_content_provider(total, type, [provide](size_t offset, size_t, httplib::DataSink &sink) {
                return provide(offset, sink);
            });
        }
    }
};

LoopbackServer::LoopbackServer(int port) : d(std::make_unique<Impl>())
{
    d->server.new_task_queue = [] { return new httplib::ThreadPool(32); };
    d->server.set_keep_alive_max_count(1000000);
    d->server.set_keep_alive_timeout(30);
    d->server.set_tcp_nodelay(true);
    d->server.Get(".*", [this](const httplib::Request &req, httplib::Response &res) { d->handle(req, res); });
    if (port == 0)
        d->port = d->server.bind_to_any_port("127.0.0.1");
    else
        d->port = d->server.bind_to_port("127.0.0.1", port) ? port : -1;
    if (d->port > 0)
        d->thread = std::thread([this] { d->server.listen_after_bind(); });
}

LoopbackServer::~LoopbackServer()
{
    {
        std::lock_guard lock(d->mutex);
        d->stopping = true;
    }
    d->wake.notify_all();
    d->server.stop();
    shutdownSocketsOnPort(d->port);
    if (d->thread.joinable())
        d->thread.join();
}

int LoopbackServer::port() const
{
    return d->port;
}

QString LoopbackServer::url(const QString &path, const QString &host) const
{
    return QStringLiteral("http://%1:%2%3").arg(host).arg(d->port).arg(path);
}

void LoopbackServer::serve(const QString &path, LoopbackResponse response)
{
    std::lock_guard lock(d->mutex);
    d->fixed[path] = std::move(response);
}

void LoopbackServer::servePage(const QString &path, const QByteArray &html)
{
    serve(path, LoopbackResponse::page(html));
}

void LoopbackServer::handlePrefix(const QString &prefix, Handler handler)
{
    std::lock_guard lock(d->mutex);
    d->prefixes.emplace_back(prefix, std::move(handler));
}

void LoopbackServer::releaseStalls()
{
    {
        std::lock_guard lock(d->mutex);
        ++d->stallGeneration;
    }
    d->wake.notify_all();
}

int LoopbackServer::requestCount() const
{
    std::lock_guard lock(d->mutex);
    return int(d->log.size());
}

int LoopbackServer::requestCount(const QString &path) const
{
    std::lock_guard lock(d->mutex);
    return int(std::count_if(d->log.begin(), d->log.end(), [&](const auto &r) { return r.path == path; }));
}

int LoopbackServer::connectionCount() const
{
    std::lock_guard lock(d->mutex);
    return int(d->connections.size());
}

std::vector<LoopbackRequest> LoopbackServer::requests() const
{
    std::lock_guard lock(d->mutex);
    return d->log;
}

void LoopbackServer::setRecording(bool on)
{
    std::lock_guard lock(d->mutex);
    d->recording = on;
}

void LoopbackServer::resetCounts()
{
    std::lock_guard lock(d->mutex);
    d->log.clear();
    d->connections.clear();
}
