// `easel studio`: its command line, and the studio served until interrupted.
#include <pthread.h>
#include <signal.h>

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <ostream>
#include <thread>

#include "cli/Program.h"
#include "core/Input.h"
#include "studio/Browser.h"
#include "studio/JournalFile.h"
#include "studio/Recorder.h"
#include "studio/Server.h"
#include "studio/Studio.h"

namespace easel::cli {

using studio::journalPathFor;
using studio::Server;
using studio::ServerOptions;
using studio::Studio;
using studio::StudioOptions;

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

ExtraCommand addStudioCommand(CLI::App& app, std::ostream& out, std::ostream& err) {
    auto args = std::make_shared<StudioArgs>();
    CLI::App* cmd = app.add_subcommand("studio", kStudioDescription);
    cmd->add_option("DOC", args->doc, "The document to open (.json or .svg; default: a new one); Save writes it back");
    cmd->add_option("--port", args->port, "The port (default: any free one)")->check(CLI::Range(0, 65535));
    cmd->add_option("--host", args->host, "The address to listen on (default 127.0.0.1: this machine only)");
    repeatable(cmd->add_option("--plugins", args->dirs, "A folder with plug-in bundles (repeatable)"));
    repeatable(
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
    return easelMain(static_cast<int>(full.size()), full.data(), out, err, {addStudioCommand});
}

namespace {

void showPage(const std::string& address, bool noBrowser, std::ostream& err) {
    std::string why;
    if (!noBrowser && !studio::openInBrowser(address, why))
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
        if (auto running = studio::runningStudio(so.journal)) {
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

}  // namespace easel::cli
