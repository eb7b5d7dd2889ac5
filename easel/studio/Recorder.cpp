#include "Recorder.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "model/Document.h"
#include "io/json/DocumentJson.h"
#include "io/FileWrite.h"

namespace easel::studio {

namespace fs = std::filesystem;

namespace {

std::string dump(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

}  // namespace

void Recorder::start(const Document& doc, const std::vector<std::string>& plugins, int32_t seed) {
    json head = {{"document", json::parse(writeDocumentJson(doc))}, {"plugins", plugins}, {"seed", seed}};
    head_ = dump(head);
    head_.pop_back();  // the closing brace: "steps" follows
    steps_.clear();
    lastKind_.clear();
    counter_ = savedCounter_ = 0;
    write();
}

void Recorder::adopt(const json& script) {
    json head = script;
    head.erase("steps");
    head.erase("output");
    head_ = dump(head);
    head_.pop_back();
    steps_.clear();
    lastKind_.clear();
    for (const auto& s : script.at("steps")) steps_.push_back(dump(s));
    // Recovered work has not been saved.
    ++counter_;
    write();
}

void Recorder::push(json step) {
    lastKind_ = step.begin().key();
    steps_.push_back(dump(step));
    ++counter_;
    write();
}

void Recorder::select(const json& ids) {
    // A selection replaces the one before it, unless that one selected art
    // and this one is empty: selecting art made its layer current, which
    // deselecting keeps and the replay must repeat.
    if (lastKind_ == "select" && (!ids.empty() || steps_.back() == dump({{"select", json::array()}})))
        steps_.pop_back();
    push({{"select", ids}});
}

void Recorder::options(const json& options) { push({{"options", options}}); }

void Recorder::drag(const std::string& tool, const json& events, bool pen) {
    push({{"drag", {{"tool", tool}, {"pen", pen}, {"events", events}}}});
}

void Recorder::counted(const char* kind) {
    if (lastKind_ == kind) {
        steps_.pop_back();
        ++lastCount_;
    } else {
        lastCount_ = 1;
    }
    push({{kind, lastCount_}});
}

void Recorder::seed(int32_t seed) { push({{"seed", seed}}); }

void Recorder::open(const Document& doc) {
    push({{"open", json::parse(writeDocumentJson(doc))}});
    // A document just opened has nothing unsaved.
    markSaved();
}

json Recorder::script() const {
    std::string text = head_ + ",\"steps\":[";
    for (size_t i = 0; i < steps_.size(); ++i) text += (i ? "," : "") + steps_[i];
    return json::parse(text + "]}");
}

void Recorder::markSaved() {
    savedCounter_ = counter_;
    write();
}

void Recorder::write() {
    if (journal_.empty() || head_.empty()) return;
    std::string text = "{\"format\":\"easel-recovery\",\"version\":1,\"unsaved\":";
    text += unsaved() ? "true" : "false";
    text += ",\"script\":" + head_ + ",\"steps\":[";
    for (size_t i = 0; i < steps_.size(); ++i) {
        if (i) text += ",\n";
        text += steps_[i];
    }
    text += "]}}\n";
    std::error_code ec;
    fs::create_directories(journal_.parent_path(), ec);
    std::string e;
    if (!writeFileAtomically(journal_.string(), text, e)) journalError_ = "recovery journal: " + e;
}

std::string Recorder::takeJournalError() {
    std::string e;
    e.swap(journalError_);
    return e;
}

void Recorder::removeJournal() {
    std::error_code ec;
    if (!journal_.empty()) fs::remove(journal_, ec);
}

fs::path journalPathFor(const fs::path& document) {
    fs::path dir;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state)
        dir = state;
    else if (const char* home = std::getenv("HOME"); home && *home)
        dir = fs::path(home) / ".local" / "state";
    else
        dir = fs::temp_directory_path();
    dir = dir / "easel" / "recovery";
    if (document.empty()) return dir / "untitled.json";
    std::error_code ec;
    fs::path abs = fs::absolute(document, ec);
    const std::string key = (ec ? document : abs).lexically_normal().string();
    // FNV-1a of the path tells documents of the same name apart.
    uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : key) h = (h ^ c) * 1099511628211ULL;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    return dir / (document.stem().string() + "-" + hex + ".json");
}

}  // namespace easel::studio
