#include "Server.h"

#include <signal.h>

#include <CLI/CLI.hpp>
#include <httplib.h>
#include <optional>
#include <ostream>

#include "Browser.h"
#include "Input.h"
#include "JournalFile.h"
#include "Recorder.h"
#include "StudioAssets.h"

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
        Impl& s = *impl_;
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
        if (!hostAllowed(req.get_header_value("Host"), s.options.host, s.port))
            return refuse("refused: this server answers to its own address only\n");
        if (req.has_header("Origin") && !originAllowed(req.get_header_value("Origin"), s.options.host, s.port))
            return refuse("refused: requests from other sites are not served\n");
        if (req.get_header_value("Sec-Fetch-Site") == "cross-site")
            return refuse("refused: requests from other sites are not served\n");
        // Commands must say they are JSON: a cross-site form cannot, and a
        // cross-site script must ask first (which is never granted).
        if (req.method == "POST" && req.get_header_value("Content-Type").rfind("application/json", 0) != 0)
            return refuse("refused: commands are JSON\n");
        return httplib::Server::HandlerResponse::Unhandled;
    });
    m.http.Get(R"(/[A-Za-z0-9_-]*(\.[a-z]+)?)", [](const httplib::Request& req, httplib::Response& res) {
        const Asset* a = findAsset(req.path);
        if (!a) {
            res.status = 404;
            return;
        }
        res.set_content(std::string(a->body), a->type);
    });
    m.http.Get("/api/status", [this](const httplib::Request&, httplib::Response& res) {
        res.set_content(impl_->studio.status().dump(), kJsonType);
    });
    m.http.Get("/api/picture.png", [this](const httplib::Request& req, httplib::Response& res) {
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
        if (!impl_->studio.renderPng(width, png, error)) {
            res.status = 409;
            res.set_content(error + "\n", "text/plain");
            return;
        }
        res.set_header("Content-Disposition", "attachment; filename=\"" + impl_->studio.documentName() + ".png\"");
        res.set_content(png, "image/png");
    });
    m.http.Get("/api/picture.pdf", [this](const httplib::Request&, httplib::Response& res) {
        std::string pdf, error;
        if (!impl_->studio.renderPdf(pdf, error)) {
            res.status = 409;
            res.set_content(error + "\n", "text/plain");
            return;
        }
        res.set_header("Content-Disposition", "attachment; filename=\"" + impl_->studio.documentName() + ".pdf\"");
        res.set_content(pdf, "application/pdf");
    });
    m.http.Post("/api/call", [this](const httplib::Request& req, httplib::Response& res) {
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
        std::string answer = impl_->studio.callPage(command, ok, binary);
        if (!ok) res.status = 422;
        res.set_content(answer, binary ? "application/octet-stream" : kJsonType);
    });
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

namespace {

struct StudioArgs {
    std::string doc, host = "127.0.0.1";
    std::optional<std::string> seedText;
    int port = 0;
    std::vector<std::string> dirs, plugins;
    bool recover = false, noRecover = false, noBrowser = false;
};

int runStudio(const StudioArgs& args, std::ostream& out, std::ostream& err);

}  // namespace

cli::ExtraCommand addStudioCommand(CLI::App& app, std::ostream& out, std::ostream& err) {
    auto args = std::make_shared<StudioArgs>();
    CLI::App* cmd = app.add_subcommand(
        "studio", "Uses the plug-ins' tools live in a browser: starts a local web server and prints the address to open.\n"
                  "After every step the work is kept in a recovery journal (in $XDG_STATE_HOME or ~/.local/state,\n"
                  "easel/recovery/); started again after a crash or a kill, the page offers to restore it.\n"
                  "The page opens in the browser. Started on a document a running studio has open, easel opens\n"
                  "that studio's page and ends; a document open in a studio not yet serving gets a second studio\n"
                  "with a journal of its own.\n"
                  "A journal that cannot be read, or a restore that stops part way, keeps the journal as\n"
                  "NAME.kept-DATE-TIME.json beside it and says what is wrong.");
    cmd->add_option("DOC", args->doc, "The document to open (.json or .svg; default: a new one); Save writes it back");
    cmd->add_option("--port", args->port, "The port (default: any free one)")->check(CLI::Range(0, 65535));
    cmd->add_option("--host", args->host, "The address to listen on (default 127.0.0.1: this machine only)");
    cli::repeatable(cmd->add_option("--plugins", args->dirs, "A folder with plug-in bundles (repeatable)"));
    cli::repeatable(
        cmd->add_option("--plugin", args->plugins, "A plug-in to load by name (repeatable; default: every bundle found)"));
    cmd->add_option("--seed", args->seedText, "Seed of the random numbers (default: the document's)");
    auto* recover = cmd->add_flag("--recover", args->recover,
                                  "Restores the unsaved work a crashed or killed studio left for DOC, without asking");
    cmd->add_flag("--no-recover", args->noRecover, "Drops that unsaved work without asking")->excludes(recover);
    cmd->add_flag("--no-browser", args->noBrowser,
                  "Only prints the address: opens no browser (by default the page opens in $BROWSER, or through\n"
                  "xdg-open when there is a display)");
    return {cmd, [args, &out, &err] { return runStudio(*args, out, err); }};
}

int studioMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    // The program's own command line, as if "easel studio ..." was typed.
    std::vector<const char*> full{"easel", "studio"};
    for (int i = 1; i < argc; ++i) full.push_back(argv[i]);
    return cli::easelMain(static_cast<int>(full.size()), full.data(), out, err, {addStudioCommand});
}

namespace {

void showPage(const std::string& address, bool noBrowser, std::ostream& err) {
    std::string why;
    if (!noBrowser && !openInBrowser(address, why))
        err << "easel: cannot open the page in a browser (" << why << "); open the address above\n";
}

int runStudio(const StudioArgs& args, std::ostream& out, std::ostream& err) {
    const std::string& doc = args.doc;
    const std::string& host = args.host;
    const int port = args.port;
    const auto& dirs = args.dirs;
    const auto& plugins = args.plugins;
    StudioOptions so;
    so.document = doc;
    so.pluginDirs.assign(dirs.begin(), dirs.end());
    so.plugins = plugins;
    // The recovery journal lives in the user's state folder, one per document.
    so.journal = journalPathFor(doc);
    so.recover = args.recover ? StudioOptions::Recover::Yes
                 : args.noRecover ? StudioOptions::Recover::No
                                  : StudioOptions::Recover::Ask;
    if (args.seedText) {
        try {
            so.seed = seedOf(*args.seedText, "--seed");
        } catch (const InputError& e) {
            err << "easel: " << e.what() << "\n";
            return 2;
        }
    }

    // Interrupts are taken by one thread that stops the server; every other
    // thread (started below) inherits the blocked mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    // The document open in a running studio: its page, not a second studio.
    if (!doc.empty()) {
        if (auto running = runningStudio(so.journal)) {
            out << "easel studio: " << doc << " is open in the studio of process " << running->pid << ": "
                << running->address << std::endl;
            showPage(running->address, args.noBrowser, err);
            return 0;
        }
    }

    Studio studio(so);
    std::string error;
    if (!studio.start(error)) {
        err << "easel: " << error << "\n";
        return 1;
    }
    ServerOptions serverOptions;
    serverOptions.host = host;
    serverOptions.port = port;
    Server server(studio, serverOptions);
    if (!server.bind(error)) {
        err << "easel: " << error << "\n";
        return 1;
    }
    const bool loopback = host == "127.0.0.1" || host == "localhost" || host == "::1";
    if (!loopback) err << "easel: listening on " << host << ": other machines can reach the studio\n";
    const std::string shownHost = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    const std::string address =
        "http://" + (host == "0.0.0.0" ? std::string("127.0.0.1") : shownHost) + ":" + std::to_string(server.port()) + "/";
    out << "easel studio: " << address << std::endl;
    studio.recordAddress(address);
    showPage(address, args.noBrowser, err);
    std::thread waiter([&] {
        int sig = 0;
        sigwait(&signals, &sig);
        server.stop();
    });
    server.run();
    // Wake the waiter if the server ended by itself.
    pthread_kill(waiter.native_handle(), SIGTERM);
    waiter.join();
    studio.stop();
    return 0;
}

}  // namespace

}  // namespace easel::studio
