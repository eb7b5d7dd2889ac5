// The studio's host-thread side: the document, the plug-ins' session, the
// open dialogs and the recording, and the commands the page sends, each a
// named handler in one table (Commands.cpp). Only the host thread touches it.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Edit.h"
#include "Picture.h"
#include "Studio.h"
#include "adm/Dialog.h"
#include "suites/AISuites.h"
#include "cli/Session.h"

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
    std::unique_ptr<cli::Session> session;
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
        std::unique_ptr<cli::Session::Drag> run;
        json events = json::array();
        AIRealPoint last{0, 0};
    };
    std::optional<Drag> drag;

    // The recording: an `easel play` script from the last restart on.
    json recordDoc;
    json steps = json::array();
    // The options dialog the page opened, for the recorder.
    std::optional<std::map<int32_t, double>> optionsBefore;
    std::optional<adm::DialogRecord> optionsClosed;

    // The drawing for the running command's answer: JSON text, or for a
    // command that says which picture the page has (its "picture"), the
    // changes since that one in binary.
    std::string scene;
    std::string picture;
    std::optional<uint64_t> pictureHave;
    PictureStream stream;

    void restartRecording();
    // Results other than success are shown on the page; Cancel is a
    // result only at start-up.
    void report(Plugin& plugin, const char* selector, ASErr r);
    // Everything the page shows; withScene also draws the picture into scene.
    json state(bool withScene);
};

// One command of the page: its name, whether it may run while a dialog is
// open or a drag is in progress, and what it does.
struct CommandRow {
    const char* op;
    bool whileDialog;
    bool whileDrag;
    json (*run)(Host&, const json&);
};

// Runs one command through the table; unknown and untimely commands are refused.
json dispatch(Host& host, const json& command);

// The handlers, by the file that holds them.
// Dialogs.cpp
json dialogJson(const adm::Dialog& d);
json dismissAlertCommand(Host& h, const json& c);
json dialogSetCommand(Host& h, const json& c);
json dialogPressCommand(Host& h, const json& c);
json optionsCommand(Host& h, const json& c);
// Commands.cpp
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
json editCommand(Host& h, const json& c);
json anchorsCommand(Host& h, const json& c);

// Reads a document from its text by its file name's extension (.svg or JSON);
// notes has what the import could not keep.
bool readDocumentText(const std::string& name, const std::string& text, std::unique_ptr<Document>& doc,
                      std::string& message, std::string& notes);

}  // namespace easel::studio
