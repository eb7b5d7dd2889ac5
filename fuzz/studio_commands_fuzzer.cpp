// libFuzzer target for the studio's command dispatcher: an input is a
// sequence of commands, one JSON text a line, run on one host with the test
// plug-in loaded, as the page's requests reach the host thread (a plug-in's
// dialog takes the next lines as the page's answers; held-back drag events
// run once it closes). A line "!EVENT" makes the test tool fail with an
// error dialog at that event ("down", "drag", "up"; "!" alone: never).
//
// Every command must be answered with "ok"; a refused one must change
// nothing: no step recorded, no drag opened or ended.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "model/Document.h"
#include "io/json/DocumentJson.h"
#include "studio/StudioHost.h"
#include "core/Input.h"
#include "adm/RegisterADM.h"

namespace {

using easel::studio::Host;
using easel::studio::json;

// Three squares on one layer, the first selected: drags have art to work on.
const char* kDocument = R"({"format": "easel-document", "version": 1, "seed": 1, "page": {"width": 400, "height": 300},
 "layers": [{"name": "Layer 1", "visible": true, "locked": false, "art": [
  {"id": 1, "type": "path", "selected": true, "closed": true, "segments": [[10,10,10,10,10,10,1],[60,10,60,10,60,10,1],[60,60,60,60,60,60,1]]},
  {"id": 2, "type": "path", "closed": true, "segments": [[100,10,100,10,100,10,1],[160,10,160,10,160,10,1],[160,60,160,60,160,60,1]]},
  {"id": 3, "type": "path", "closed": true, "segments": [[200,10,200,10,200,10,1],[260,10,260,10,260,10,1],[260,60,260,60,260,60,1]]}]}]})";

struct Run {
    std::istringstream lines;
    bool next(std::string& line) { return static_cast<bool>(std::getline(lines, line)); }
};
Run* current = nullptr;

void command(Host& m, const std::string& line);

// The page answering a plug-in's dialog: the next lines, until it ends or
// the input does (the dialog manager then closes it with Cancel).
void serveDialog(Host& m) {
    easel::adm::Dialog* dialog = m.driver.open.back();
    std::string line;
    while (!dialog->ended && current && current->next(line)) command(m, line);
}

void command(Host& m, const std::string& line) {
    if (!line.empty() && line[0] == '!') {
        const std::string at = line.substr(1);
        if (at.empty())
            ::unsetenv("EASEL_TEST_FAIL_AT");
        else
            ::setenv("EASEL_TEST_FAIL_AT", at.c_str(), 1);
        return;
    }
    json c;
    try {
        c = easel::parseInput(line, "the command");
    } catch (const easel::InputError&) {
        return;
    }
    const std::string before = m.rec.script().dump();
    const bool dragging = m.drag.has_value();
    const json r = easel::studio::runCommand(m, c);
    if (!r.is_object() || !r.contains("ok") || !r["ok"].is_boolean()) std::abort();
    if (!r["ok"].get<bool>()) {
        if (!r.contains("error") || !r["error"].is_string()) std::abort();
        if (m.drag.has_value() != dragging) std::abort();  // a refused command opened or ended a drag
        if (m.rec.script().dump() != before) std::abort();  // or was recorded
    }
    // As the host thread does after every command the page sends.
    if (m.driver.open.empty()) easel::studio::runDeferred(m);
}

Host& host() {
    static Host* h = [] {
        ::setenv("EASEL_PLUGINS", "", 1);
        auto* m = new Host;
        std::string e;
        if (!easel::readDocumentJson(kDocument, m->doc, e)) std::abort();
        m->session = std::make_unique<easel::run::PluginSession>(std::vector<std::filesystem::path>{EASEL_FUZZ_PLUGIN_DIR});
        easel::hostState().document = m->doc.get();
        easel::adm::dialogManager().setDefaultDriver(&m->driver);
        m->driver.onOpen = [] {};
        m->driver.serve = [m] { serveDialog(*m); };
        if (!m->session->startOne("EaselTest", e)) std::abort();
        m->pluginNames.push_back("EaselTest");
        m->rec.start(*m->doc, m->pluginNames, m->seed);
        return m;
    }();
    return *h;
}

// Back to the start: the document read again, no drag, nothing recorded.
void reset(Host& m) {
    ::unsetenv("EASEL_TEST_FAIL_AT");
    if (m.drag) m.endDrag();
    m.deferred.clear();
    m.retired.push_back(std::move(m.doc));
    std::string e;
    if (!easel::readDocumentJson(kDocument, m.doc, e)) std::abort();
    easel::hostState().document = m.doc.get();
    m.seed = 1;
    easel::hostState().random.reseed(1);
    m.alerts.clear();
    m.clipboard.clear();
    m.notices.clear();
    m.rec.start(*m.doc, m.pluginNames, m.seed);
    // The test tool takes the selection afresh at every mouse down, so no
    // handle into the documents of earlier inputs is used again.
    m.retired.clear();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Host& m = host();
    Run run;
    run.lines.str(std::string(reinterpret_cast<const char*>(data), size));
    current = &run;
    std::string line;
    while (run.next(line)) command(m, line);
    current = nullptr;
    reset(m);
    return 0;
}
