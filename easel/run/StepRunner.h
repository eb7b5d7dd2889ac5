// Carrying out the steps of a script that change the document: shared by
// `easel play` and the studio, which replays its recovery journal with it.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "edit/Edit.h"
#include "run/Script.h"

namespace easel {
class Document;
}

namespace easel::run {

class PluginSession;

// A step that cannot be carried out: the message names the step and why.
struct StepFailure {
    std::string message;
};

class StepRunner {
public:
    // `doc` is the session's document; an open step replaces it and moves the
    // old one to `retired` (plug-ins may still hold handles into it: keep it
    // until the plug-ins are shut down). Relative file names are read from
    // `base`; import notes go to `err`.
    StepRunner(PluginSession& session, std::unique_ptr<Document>& doc, std::vector<std::unique_ptr<Document>>& retired,
               std::filesystem::path base, std::ostream& err)
        : session_(session), doc_(doc), retired_(retired), base_(std::move(base)), err_(err) {}

    // Runs select, options, drag, edit, undo, redo, seed and open steps;
    // throws StepFailure. A drag stops sending drag events once `stop` is set.
    // Returns the ids of the art an edit made.
    std::vector<int64_t> run(const Step& step, const bool& stop);

private:
    // The handlers, one per kind of step, each returning the ids of the art it made.
    using Run = std::vector<int64_t> (StepRunner::*)(const Step& step, const bool& stop);
    struct Handler {
        Step::Kind kind;
        Run run;
    };
    static const Handler kHandlers[];
    std::vector<int64_t> runSelect(const Step& step, const bool& stop);
    std::vector<int64_t> runOptions(const Step& step, const bool& stop);
    std::vector<int64_t> runDrag(const Step& step, const bool& stop);
    std::vector<int64_t> runUndoRedo(const Step& step, const bool& stop);
    std::vector<int64_t> runSeed(const Step& step, const bool& stop);
    std::vector<int64_t> runOpen(const Step& step, const bool& stop);
    std::vector<int64_t> runEdit(const Step& step, const bool& stop);

    PluginSession& session_;
    std::unique_ptr<Document>& doc_;
    std::vector<std::unique_ptr<Document>>& retired_;
    std::filesystem::path base_;
    std::ostream& err_;
    edit::Clipboard clipboard_;  // copy, cut and paste edits share it across steps
};

// The document of an open step (or a script's own): a file name relative to
// `base`, or the inline document. false with a message.
bool readStepDocument(const std::optional<std::string>& path, const std::string& inlineDocument,
                      const std::filesystem::path& base, std::unique_ptr<Document>& doc, std::string& error,
                      std::ostream& err);

}  // namespace easel::run
