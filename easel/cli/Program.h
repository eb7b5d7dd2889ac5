// The commands of the easel program: play, tools, dialog, convert, render and
// studio, and its command line. Each command returns
// the process exit code (0 success, 1 a step easel could not carry out or a
// stop under --strict, 2 a usage error) and writes to the given streams.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <utility>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
}

namespace easel::cli {

struct PlayOptions {
    std::filesystem::path script;
    std::filesystem::path output;  // overrides the script's "output"
    std::filesystem::path log;
    bool strict = false;
    std::optional<int32_t> seed;  // overrides the script's seed
    std::vector<std::filesystem::path> pluginDirs;
};

struct ToolsOptions {
    std::vector<std::filesystem::path> pluginDirs;
    std::vector<std::string> plugins;  // empty: every bundle on the search path
    std::filesystem::path iconDir;     // empty: no icons written
};

struct DialogOptions {
    std::vector<std::filesystem::path> pluginDirs;
    std::vector<std::string> plugins;
    std::string tool;
};

struct ConvertOptions {
    std::filesystem::path input;   // .json or .svg
    std::filesystem::path output;  // .json or .svg
};

struct RenderOptions {
    std::filesystem::path document;  // .json or .svg
    std::filesystem::path output;    // PNG
    int width = 0;                   // pixels; 0: from the scale
    double scale = 0;                // of the page's size in pixels; 0: 1
};

int play(const PlayOptions& options, std::ostream& out, std::ostream& err);
int convert(const ConvertOptions& options, std::ostream& out, std::ostream& err);
int render(const RenderOptions& options, std::ostream& out, std::ostream& err);

int tools(const ToolsOptions& options, std::ostream& out, std::ostream& err);
int dialog(const DialogOptions& options, std::ostream& out, std::ostream& err);

// A command a library outside this one adds to the program: its subcommand,
// and what runs it once the command line names it.
using ExtraCommand = std::pair<CLI::App*, std::function<int()>>;
using AddCommand = ExtraCommand (*)(CLI::App& app, std::ostream& out, std::ostream& err);

// A repeatable option takes one value each time it is given, so that an
// argument after it ("--plugins DIR doc.json") stays the positional one.
CLI::Option* repeatable(CLI::Option* option);

// The whole program: parses the command line (CLI11) and runs a command.
int easelMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
              const std::vector<AddCommand>& extra = {});

// What `easel --help` says of the studio, in the program that serves it
// and in the one that starts that program.
inline constexpr const char* kStudioDescription =
    "Uses the plug-ins' tools live in a browser: starts a local web server and prints the address to open.\n"
    "After every step the work is kept in a recovery journal (in $XDG_STATE_HOME or ~/.local/state,\n"
    "easel/recovery/); started again after a crash or a kill, the page offers to restore it.\n"
    "The page opens in the browser. Started on a document a running studio has open, easel opens\n"
    "that studio's page and ends; a document open in a studio not yet serving gets a second studio\n"
    "with a journal of its own.\n"
    "A journal that cannot be read, or a restore that stops part way, keeps the journal as\n"
    "NAME.kept-DATE-TIME.json beside it and says what is wrong.";

#ifndef _WIN32
// Adds `easel studio [DOC] [--port N] [--host ADDR] [--plugins DIR] ...` to
// the program's command line (StudioCommand.cpp; not in Windows builds).
ExtraCommand addStudioCommand(CLI::App& app, std::ostream& out, std::ostream& err);
// The studio command alone: argv[0] is "studio", the rest its arguments.
int studioMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
#endif

}  // namespace easel::cli
