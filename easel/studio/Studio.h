// The studio: a person uses the plug-ins' tools live, from a browser page.
//
// One host thread owns the document, the loader and the plug-ins. Requests
// (from HTTP threads, or from tests) are handed to it as JSON commands and
// answered with JSON. A modal dialog a plug-in opens is run by the person on
// the page: the host thread waits inside the dialog for "dialog" commands,
// and the request that opened it is answered at once with the dialog.
// Pointer moves of a drag are coalesced: a move still waiting when a newer
// one arrives is answered without being sent, so the picture is never more
// than one event behind.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace easel {
class Document;
}

namespace easel::studio {

using json = nlohmann::ordered_json;

struct Host;

struct StudioOptions {
    std::filesystem::path document;                // empty: a new document
    std::vector<std::filesystem::path> pluginDirs;  // searched before EASEL_PLUGINS and the build tree
    std::vector<std::string> plugins;               // empty: every bundle on the search path
    std::optional<int32_t> seed;                    // default: the document's seed
    std::filesystem::path journal;                  // the recovery journal; empty: none
    // A journal left unsaved by the last session: offered on the page, restored, or dropped.
    enum class Recover { Ask, Yes, No } recover = Recover::Ask;
};

class Studio {
public:
    explicit Studio(StudioOptions options);
    ~Studio();  // stops the host thread
    Studio(const Studio&) = delete;
    Studio& operator=(const Studio&) = delete;

    // Starts the host thread: reads the document, loads and starts the
    // plug-ins. false with a message when that fails (nothing keeps running).
    bool start(std::string& error);
    void stop();

    // Runs one command on the host thread and returns its answer. Commands:
    //   {"op": "state"}                       everything the page shows
    //   {"op": "select", "mode": "set"|"add"|"toggle", "ids": [..]}
    //   {"op": "selectAll"} {"op": "deselect"}
    //   {"op": "down"|"move"|"up", "tool": T, "x": h, "y": v, "modifiers": m, "pressure": p,
    //    "pen": true|false (down), "client": C}  an up without x, y ends at the last point;
    //                                         while a dialog is open a drag's moves and up wait
    //                                         and are carried out, in order, once it closes
    //   {"op": "recover"} {"op": "discardRecovery"}   the last session's unsaved work
    //   {"op": "options", "tool": T}           opens the tool's dialog
    //   {"op": "dialogSet", "id": n, "value": x | "text": s}
    //   {"op": "dialogPress", "id": n}
    //   {"op": "dismissAlert"}
    //   {"op": "undo"} {"op": "redo"} {"op": "seed", "seed": n}
    //   {"op": "open", "name": "file.json"|"file.svg", "text": ...}
    //   {"op": "save", "format": "json"|"svg", "download": b}  the document's text; a download saves
    //   {"op": "save", "file": true}          writes the file the studio was started on
    //   {"op": "script"}                      the recording, as an `easel play` script
    //   {"op": "edit", "edit": {"op": NAME, ...}}  a host edit (easel/edit), recorded
    //   {"op": "anchors", "ids": [..]}        anchors of the listed art's paths (default: selected paths)
    // Every answer has "ok"; a refused command has "error" with the reason
    // (and "dialog" when a dialog waits for the person). The answer to the
    // command that closes a dialog comes once the command that opened it
    // has finished, or the next dialog opens.
    json call(const json& command);
    // The same, answered as JSON text (what the page is sent); ok tells
    // whether the command was taken.
    std::string callText(const json& command, bool& ok);
    // The same for the page: a command with "picture": the version of the
    // picture the page has gets the changes since then, after the JSON, in
    // binary (binary is then true; docs/formats.md has the layout).
    std::string callPage(const json& command, bool& ok, bool& binary);
    // The document drawn as PNG file contents (run on the host thread).
    bool renderPng(int width, std::string& png, std::string& error);
    // The document as a PDF for print (run on the host thread).
    bool renderPdf(std::string& pdf, std::string& error);
    // Records the page's address with the journal's lock, for a studio started
    // later on the same document to open this page.
    void recordAddress(const std::string& address);

    // Read without the host thread: what it is doing now, for progress.
    json status() const;
    // The document's name without its extension ("drawing" for a new one), for downloads.
    std::string documentName() const;

private:
    struct Answer;
    struct Task;
    // The host thread: start-up (reported through `started`), the commands, shut-down.
    void hostThread(std::promise<std::string>& started);
    // Start-up on the host thread, each "" or what stopped it: the document,
    // then the plug-ins, then the tools and the recording.
    std::string openDocument();
    std::string startPlugins();
    void prepareSession();
    Answer send(const json& command);
    void hostLoop();
    void runTask(const std::shared_ptr<Task>& task);
    // Answers, with what the page shows now, the commands held until the
    // command at `depth` of running_ (or one above it) finished.
    void answerHeld(size_t depth);
    // Takes and runs commands while a modal dialog is open.
    void serveDialog();
    void answerWaiting();
    std::shared_ptr<Task> nextTask();
    // Runs `work` on the host thread and returns its answer.
    json onHost(std::function<json()> work);
    std::unique_ptr<Host> impl_;  // host thread only

    StudioOptions options_;
    std::thread host_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::shared_ptr<Task>> queue_;
    bool stopping_ = false;
    std::vector<std::shared_ptr<Task>> running_;  // host thread only: outer tasks in progress
    // Host thread only: commands that closed a dialog, each with the depth in
    // running_ of the command that waited in it. They are answered once that
    // command has finished (the drag's held-back events included) or another
    // dialog opens, so the page sees what the host does next.
    std::vector<std::pair<std::shared_ptr<Task>, size_t>> held_;
    std::atomic<bool> busy_{false};
    std::atomic<uint64_t> events_{0};
    std::string busyOp_;  // under mutex_
    std::string name_ = "drawing";  // under mutex_
    std::chrono::steady_clock::time_point busySince_;
};

// A drawing of the document for the page, as JSON text: per layer, per
// top-level object, its bounds and its painted paths as SVG path data in
// page points, rounded to a hundredth of a point.
std::string sceneText(const Document& doc);
// Lines (one per kind) naming what of the document the page draws otherwise
// than `easel render` and the SVG export do; empty when nothing.
std::string drawnApartText(const Document& doc);

}  // namespace easel::studio
