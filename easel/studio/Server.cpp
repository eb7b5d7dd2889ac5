#include "Server.h"

#include <httplib.h>
#include <optional>
#include <ostream>

#include "core/Input.h"
#include "Recorder.h"
#include "StudioAssets.h"
#include "io/svg/TextLayout.h"

namespace easel::studio {

namespace {

// The command answers travel over loopback, where compressing them only
// costs time: the library compresses a body whose type is exactly
// "application/json" (brotli took about 0.7 s for a 2,000-object picture),
// and leaves this spelling of the same type alone.
constexpr const char* kJsonType = "application/json; charset=utf-8";

// The server's limits: seconds a request may pause while it is sent (or its
// answer while it is taken), and the threads that serve connections (each
// connection holds one while it is open, the page's for the whole session).
constexpr time_t kReadTimeoutSeconds = 5;
constexpr size_t kRequestThreads = 64;

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The names this server answers to: loopback names and the address it listens on.
std::vector<std::string> ownNames(const std::string& listenHost) {
    std::vector<std::string> names = {"127.0.0.1", "localhost", "[::1]"};
    std::string h = lower(listenHost);
    if (h.find(':') != std::string::npos && h.front() != '[') h = "[" + h + "]";
    // Listening on every address still only answers to this machine's names.
    if (h != "0.0.0.0" && h != "[::]" && !h.empty()) names.push_back(h);
    return names;
}

}  // namespace

bool hostAllowed(const std::string& hostHeader, const std::string& listenHost, int port) {
    const std::string h = lower(hostHeader);
    for (const auto& n : ownNames(listenHost))
        if (h == n + ":" + std::to_string(port)) return true;
    return false;
}

bool originAllowed(const std::string& origin, const std::string& listenHost, int port) {
    const std::string o = lower(origin);
    for (const auto& n : ownNames(listenHost))
        if (o == "http://" + n + ":" + std::to_string(port)) return true;
    return false;
}

const Asset* findAsset(const std::string& path) {
    static const std::vector<Asset> assets = [] {
        std::vector<Asset> list;
        for (const WebFile& f : kWebFiles) {
            list.push_back({f.path, f.type, f.body});
            if (std::string_view(f.path) == "/index.html") list.push_back({"/", f.type, f.body});
        }
        return list;
    }();
    for (const auto& a : assets)
        if (path == a.path) return &a;
    return nullptr;
}

struct Server::Impl {
    Studio& studio;
    ServerOptions options;
    httplib::Server http;
    int port = 0;
    Impl(Studio& s, ServerOptions o) : studio(s), options(std::move(o)) {}
};

namespace {

// Every answer carries these headers; a request that is not this page's own
// (another host name, another site, a command that is not JSON) is refused.
httplib::Server::HandlerResponse guardRequest(const httplib::Request& req, httplib::Response& res,
                                              const std::string& listenHost, int port) {
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_header("Cache-Control", "no-store");
    res.set_header("Referrer-Policy", "no-referrer");
    res.set_header("X-Frame-Options", "DENY");
    res.set_header("Content-Security-Policy",
                   "default-src 'self'; img-src 'self' data: blob:; style-src 'self'; frame-ancestors 'none'");
    auto refuse = [&](const char* why) {
        res.status = 403;
        res.set_content(why, "text/plain");
        return httplib::Server::HandlerResponse::Handled;
    };
    if (!hostAllowed(req.get_header_value("Host"), listenHost, port))
        return refuse("refused: this server answers to its own address only\n");
    if (req.has_header("Origin") && !originAllowed(req.get_header_value("Origin"), listenHost, port))
        return refuse("refused: requests from other sites are not served\n");
    if (req.get_header_value("Sec-Fetch-Site") == "cross-site")
        return refuse("refused: requests from other sites are not served\n");
    // Commands must say they are JSON: a cross-site form cannot, and a
    // cross-site script must ask first (which is never granted).
    if (req.method == "POST" && req.get_header_value("Content-Type").rfind("application/json", 0) != 0)
        return refuse("refused: commands are JSON\n");
    return httplib::Server::HandlerResponse::Unhandled;
}

void serveAsset(Studio&, const httplib::Request& req, httplib::Response& res) {
    const Asset* a = findAsset(req.path);
    if (!a) {
        res.status = 404;
        return;
    }
    res.set_content(std::string(a->body), a->type);
}

void serveStatus(Studio& studio, const httplib::Request&, httplib::Response& res) {
    res.set_content(studio.status().dump(), kJsonType);
}

void servePicture(Studio& studio, const httplib::Request& req, httplib::Response& res) {
    int width = 0;
    if (req.has_param("width")) {
        const std::string w = req.get_param_value("width");
        char* end = nullptr;
        const long v = std::strtol(w.c_str(), &end, 10);
        if (w.empty() || *end != '\0' || v < 1 || v > 8192) {
            res.status = 400;
            res.set_content("width: a whole number from 1 to 8192\n", "text/plain");
            return;
        }
        width = static_cast<int>(v);
    }
    std::string png, error;
    if (!studio.renderPng(width, png, error)) {
        res.status = 409;
        res.set_content(error + "\n", "text/plain");
        return;
    }
    res.set_header("Content-Disposition", "attachment; filename=\"" + studio.documentName() + ".png\"");
    res.set_content(png, "image/png");
}

void servePdf(Studio& studio, const httplib::Request&, httplib::Response& res) {
    std::string pdf, error;
    if (!studio.renderPdf(pdf, error)) {
        res.status = 409;
        res.set_content(error + "\n", "text/plain");
        return;
    }
    res.set_header("Content-Disposition", "attachment; filename=\"" + studio.documentName() + ".pdf\"");
    res.set_content(pdf, "application/pdf");
}

// The font families the renderer has (fontconfig's list), which the text
// panel offers, and the family it draws each generic one with, which the
// page draws it with too; read once.
void serveFonts(Studio&, const httplib::Request&, httplib::Response& res) {
    static const std::string families = [] {
        json generic = json::object();
        for (const char* name : {"sans-serif", "serif", "monospace"}) generic[name] = matchedFamily(name);
        return json{{"families", fontFamilies()}, {"generic", generic}}.dump(-1, ' ', false, json::error_handler_t::replace);
    }();
    res.set_header("Cache-Control", "max-age=3600");
    res.set_content(families, kJsonType);
}

void serveCall(Studio& studio, const httplib::Request& req, httplib::Response& res) {
    // Parsed only once its nesting is known to be shallow: every later
    // copy and walk of the command recurses as deep as it nests.
    json command;
    try {
        command = parseInput(req.body, "the command");
    } catch (const InputError& e) {
        res.status = 422;
        const json refused = {{"ok", false}, {"error", e.what()}};
        res.set_content(refused.dump(-1, ' ', false, json::error_handler_t::replace), kJsonType);
        return;
    }
    bool ok = false, binary = false;
    std::string answer = studio.callPage(command, ok, binary);
    if (!ok) res.status = 422;
    res.set_content(answer, binary ? "application/octet-stream" : kJsonType);
}

// What the server answers: the page's assets and the /api/ requests.
struct Route {
    bool post;
    const char* pattern;
    void (*serve)(Studio&, const httplib::Request&, httplib::Response&);
};
constexpr Route kRoutes[] = {
    {false, R"(/[A-Za-z0-9_-]*(\.[a-z]+)?)", serveAsset},
    {false, "/api/status", serveStatus},
    {false, "/api/picture.png", servePicture},
    {false, "/api/picture.pdf", servePdf},
    {false, "/api/fonts", serveFonts},
    {true, "/api/call", serveCall},
};

}  // namespace

Server::Server(Studio& studio, ServerOptions options) : impl_(std::make_unique<Impl>(studio, std::move(options))) {
    Impl& m = *impl_;
    m.http.set_payload_max_length(m.options.maxRequestBytes);
    // A client that stops sending mid-request is dropped after the read
    // timeout, and the pool has threads to spare for slow clients: a few
    // dozen connections that send their headers a byte at a time leave
    // threads to answer the page.
    m.http.set_read_timeout(kReadTimeoutSeconds, 0);
    m.http.set_write_timeout(kReadTimeoutSeconds, 0);
    m.http.new_task_queue = [] { return new httplib::ThreadPool(kRequestThreads); };
    // Answers go out as soon as they are written, not held back to fill a packet.
    m.http.set_tcp_nodelay(true);
    // The page's connection stays open for the whole session: a drag is
    // hundreds of requests, each without a new connection.
    m.http.set_keep_alive_max_count(1000000);
    m.http.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        return guardRequest(req, res, impl_->options.host, impl_->port);
    });
    for (const Route& r : kRoutes) {
        auto serve = [this, r](const httplib::Request& req, httplib::Response& res) { r.serve(impl_->studio, req, res); };
        if (r.post)
            m.http.Post(r.pattern, serve);
        else
            m.http.Get(r.pattern, serve);
    }
    m.http.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty()) res.set_content("not found\n", "text/plain");
    });
}

Server::~Server() { stop(); }

bool Server::bind(std::string& error) {
    Impl& m = *impl_;
    if (m.options.port == 0)
        m.port = m.http.bind_to_any_port(m.options.host);
    else
        m.port = m.http.bind_to_port(m.options.host, m.options.port) ? m.options.port : -1;
    if (m.port <= 0) {
        error = "cannot listen on " + m.options.host + ":" + std::to_string(m.options.port) +
                " (is the port in use, or the address not this machine's?)";
        return false;
    }
    return true;
}

int Server::port() const { return impl_->port; }

void Server::run() { impl_->http.listen_after_bind(); }

void Server::stop() {
    if (impl_->http.is_running()) impl_->http.stop();
}

}  // namespace easel::studio
