// The studio's host-thread side: the document, the plug-ins' session, the
// open dialogs and the recording, and the commands the page sends, each a
// named handler in one table (PageCommands.cpp). Only the host thread touches it.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Picture.h"
#include "Recorder.h"
#include "Studio.h"
#include "adm/Dialog.h"
#include "edit/Edit.h"
#include "run/PluginSession.h"
#include "suites/RegisterAISuites.h"

namespace easel {
class Document;
class Plugin;
}

namespace easel::studio {

json error(const std::string& message);

// The person on the page answers the dialog: the host thread serves the
// page's dialog commands until the dialog ends.
class StudioDriver : public adm::DialogDriver {
public:
    void run(adm::Dialog& dialog) override;
    std::vector<adm::Dialog*> open;
    std::function<void()> onOpen, serve;
};

struct Host {
    std::unique_ptr<run::PluginSession> session;
    std::unique_ptr<Document> doc;
    std::vector<std::unique_ptr<Document>> retired;  // plug-ins may still hold handles into them
    StudioDriver driver;
    json tools = json::array();
    std::vector<std::string> pluginNames;
    std::deque<json> alerts;
    std::vector<json> notices;  // non-zero results, import notes
    int32_t seed = 1;
    edit::Clipboard clipboard;  // copy, cut and paste within the studio

    struct Drag {
        std::unique_ptr<run::PluginSession::Drag> run;
        json events = json::array();
        AIRealPoint last{0, 0};
        int16_t pressure = 0;
        int32_t modifiers = 0;
        bool pen = false;
        std::string client;  // the page that started it
        bool ending = false;  // mouse up is being sent
        // A drag event the plug-in refused (its error dialog was shown): the
        // rest of the drag is dropped, mouse up alone still goes to the tool.
        bool failed = false;
    };
    std::optional<Drag> drag;
    // A drag's moves and mouse up that came while a dialog was open: carried
    // out, in order, once it closes.
    std::deque<json> deferred;

    // The recording: an `easel play` script of the whole session.
    Recorder rec;
    std::filesystem::path journal;  // the recovery journal; empty: none
    JournalLock journalLock;        // held while this studio writes it
    std::optional<json> recovery;   // the last session's unsaved work, offered until restored or discarded
    // While the last session's work is replayed: the dialogs and alerts the
    // person answered then are closed as `easel play` closes them, unseen.
    bool replaying = false;
    std::string name = "drawing";   // the document's name, for downloads
    // The file the studio was started on, which Save writes; empty once
    // another document is opened or a new one made (then Save is a download).
    std::filesystem::path file;
    std::function<void(const std::string&)> onName;  // tells the request threads the name
    uint64_t version = 0;           // counts the commands that changed what the page shows
    // The options dialog the page opened, for the recorder.
    std::optional<std::map<int32_t, double>> optionsBefore;
    std::optional<adm::DialogRecord> optionsClosed;
    std::optional<std::string> optionsTool;

    // The drawing for the running command's answer: JSON text, or for a
    // command that says which picture the page has (its "picture"), the
    // changes since that one in binary.
    std::string scene;
    std::string picture;
    std::optional<uint64_t> pictureHave;
    PictureStream stream;

    // Ends the drag in progress: mouse up where its last event was.
    void endDrag();
    // Names the document after a file (no quotes, slashes or control characters).
    void setName(std::string name);
    // Results other than success are shown on the page; Cancel is a
    // result only at start-up.
    void report(Plugin& plugin, const char* selector, ASErr r);
    // Everything the page shows; withScene also draws the picture into scene.
    json state(bool withScene);
};

// One command of the page: its name, whether it may run while a dialog is
// open, while a drag is in progress, or while the last session's unsaved work
// waits to be restored or discarded, and what it does.
struct CommandRow {
    const char* op;
    bool whileDialog;
    bool whileDrag;
    bool whileRecovery;
    json (*run)(Host&, const json&);
};

// Runs one command through the table; unknown and untimely commands are refused.
json dispatch(Host& host, const json& command);
// dispatch, with a malformed command (a member missing or of the wrong kind)
// refused by a message that names the member: every command runs through it.
json runCommand(Host& host, const json& command);
// The page ("client", "" for none) of a well-formed move; none for any
// other command. The queue coalesces only such moves.
std::optional<std::string> wellFormedMove(const json& command);
// Runs the pointer commands held back while a dialog was open, once it has closed.
void runDeferred(Host& host);

// The handlers, by the file that holds them.
// Dialogs.cpp
json dialogJson(const adm::Dialog& d);
json dismissAlertCommand(Host& h, const json& c);
json dialogSetCommand(Host& h, const json& c);
json dialogPressCommand(Host& h, const json& c);
json optionsCommand(Host& h, const json& c);
// PageCommands.cpp
json stateCommand(Host& h, const json& c);
json scriptCommand(Host& h, const json& c);
json selectCommand(Host& h, const json& c);
json selectAllCommand(Host& h, const json& c);
json deselectCommand(Host& h, const json& c);
json pointerCommand(Host& h, const json& c);
json undoCommand(Host& h, const json& c);
json redoCommand(Host& h, const json& c);
json seedCommand(Host& h, const json& c);
json openCommand(Host& h, const json& c);
json saveCommand(Host& h, const json& c);
json recoverCommand(Host& h, const json& c);
json discardRecoveryCommand(Host& h, const json& c);
json editCommand(Host& h, const json& c);
json anchorsCommand(Host& h, const json& c);

// Recovery.cpp
// Takes this studio's recovery journal for the document's `base` journal
// (claimJournal) and, when `offer`, the unsaved work left in it. What stands
// in the way (an unwritable folder, another studio, an unusable journal,
// then kept aside) is said at once, on standard error and on the page.
void openJournal(Host& h, const std::filesystem::path& base, bool offer);
// Sets the journal aside before a recovery that could not replay all of it
// writes its own: a sentence saying where it is kept, for the message.
std::string keepUnreplayedJournal(Host& h);

// Reads a document from its text by its file name's extension (.svg or JSON);
// notes has what the import could not keep.
bool readDocumentText(const std::string& name, const std::string& text, std::unique_ptr<Document>& doc,
                      std::string& message, std::string& notes);

}  // namespace easel::studio
