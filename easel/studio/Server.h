// The studio's web server: the page's own assets and the /api/ commands,
// for the browser on this machine only unless told otherwise.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "studio/Studio.h"

namespace easel::studio {

struct ServerOptions {
    std::string host = "127.0.0.1";
    int port = 0;  // 0: any free port
    size_t maxRequestBytes = size_t{64} << 20;
};

// Whether a request may be served: its Host header names this server
// (loopback names or the address it listens on, with its port), and its
// Origin, when it has one, is this server's own. Guards against DNS
// rebinding and cross-site requests.
bool hostAllowed(const std::string& hostHeader, const std::string& listenHost, int port);
bool originAllowed(const std::string& origin, const std::string& listenHost, int port);

// One of the page's assets (the files of web/) by request path ("/",
// "/studio.js", ...), or nullptr: nothing else is ever served.
struct Asset {
    const char* path;
    const char* type;
    std::string_view body;
};
const Asset* findAsset(const std::string& path);

class Server {
public:
    Server(Studio& studio, ServerOptions options);
    ~Server();
    // Binds; false with a message when the address cannot be had.
    bool bind(std::string& error);
    int port() const;
    // Serves until stop() (from any thread).
    void run();
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace easel::studio
