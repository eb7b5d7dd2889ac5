// The studio's recording: everything a person did, as an `easel play` script
// that replays to the same document (selections, options, drags, undo,
// redo, seeds, opened documents, host edits), and the recovery journal written after
// every completed step.
#pragma once

#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "JournalFile.h"

namespace easel {
class Document;
}

namespace easel::studio {

using json = nlohmann::ordered_json;

class Recorder {
public:
    // Starts a recording from `doc` as it is now.
    void start(const Document& doc, const std::vector<std::string>& plugins, int32_t seed);
    // Takes over a recording read back from a journal (see readJournal).
    void adopt(const json& script);

    // Steps, in the order they were done. Consecutive selections are one
    // step (the last one), consecutive undos or redos one counted step.
    void select(const json& ids);
    void options(const json& options);
    void drag(const std::string& tool, const json& events, bool pen);
    void undo() { counted("undo"); }
    void redo() { counted("redo"); }
    void seed(int32_t seed);
    void open(const Document& doc);
    void edit(const json& e) { push({{"edit", e}}); }

    // The script, as `easel play` reads it.
    json script() const;
    size_t steps() const { return steps_.size(); }

    // Unsaved: steps were recorded since the document was last saved.
    bool unsaved() const { return counter_ != savedCounter_; }
    void markSaved();

    // The journal file (empty: none). Written atomically after every step.
    void setJournal(std::filesystem::path path) { journal_ = std::move(path); }
    const std::filesystem::path& journal() const { return journal_; }
    // The last journal write's failure, once (empty when fine).
    std::string takeJournalError();
    // Removes the journal (a clean end with nothing unsaved).
    void removeJournal();

private:
    void push(json step);
    void counted(const char* kind);
    void write();

    std::string head_;                // the script's fields before "steps", as JSON text
    std::vector<std::string> steps_;  // each step as JSON text
    std::string lastKind_;            // the kind of the last step
    int64_t lastCount_ = 0;           // its count, for undo and redo
    uint64_t counter_ = 0, savedCounter_ = 0;  // steps recorded, ever
    std::filesystem::path journal_;
    std::string journalError_;
};

// The journal's file for a document: in the user's state folder
// ($XDG_STATE_HOME, else ~/.local/state)/easel/recovery/, named after the
// document's absolute path ("untitled" for a new document).
std::filesystem::path journalPathFor(const std::filesystem::path& document);

}  // namespace easel::studio
