// What the benchmarks share: the plug-ins started once in an easel session,
// documents read from examples/, drags sent as `easel play` sends them.
#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/Document.h"
#include "io/json/DocumentJson.h"
#include "core/HostState.h"
#include "adm/Dialog.h"
#include "run/DocumentFiles.h"
#include "run/PluginSession.h"

namespace bench {

inline std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// examples/grid-shapes.json: three small paths on a 600 x 420 page.
inline std::unique_ptr<easel::Document> gridShapes() {
    std::unique_ptr<easel::Document> doc;
    std::string error;
    if (!easel::readDocumentJson(readText(EASEL_SOURCE_DIR "/examples/grid-shapes.json"), doc, error)) return nullptr;
    return doc;
}

inline size_t artCount(const easel::Document& doc) {
    size_t n = 0;
    doc.forEachArt([&](easel::Art*) { ++n; });
    return n;
}

// Brivane and Kestova loaded and started from the build tree.
class Host {
public:
    Host() : session_({EASEL_PLUGIN_DIR}) { ok_ = session_.start({"Brivane", "Kestova"}, error_); }
    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }

    // Sets dialog items (each clamped to its range) and presses OK.
    bool options(const std::string& tool, const std::vector<easel::adm::SetAction>& sets, std::string& error) {
        easel::RegisteredTool* t = easel::run::findTool(tool);
        if (!t) {
            error = "no tool " + tool;
            return false;
        }
        easel::adm::ScriptedDriver driver(sets, {"OK"});
        session_.editOptions(*t, &driver);
        error = driver.error();
        return error.empty() && driver.ran();
    }

    // Mouse down at `from`, one drag event at `to`, mouse up: the seconds the
    // drag event took.
    double drag(easel::Document& doc, const std::string& tool, AIRealPoint from, AIRealPoint to) {
        easel::RegisteredTool* t = easel::run::findTool(tool);
        if (!t) return -1;
        easel::hostState().document = &doc;
        easel::hostState().random.reseed(1);
        easel::run::PluginSession::Drag d(session_, doc, *t);
        d.down(from, 0, 0);
        const auto start = std::chrono::steady_clock::now();
        d.move(to, 0, 0);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        d.up(to, 0, 0);
        return took.count();
    }

    easel::run::PluginSession& session() { return session_; }

private:
    easel::run::PluginSession session_;
    bool ok_ = false;
    std::string error_;
};

inline Host& host() {
    static Host h;
    return h;
}

}  // namespace bench
