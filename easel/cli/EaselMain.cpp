// The program's command line: each command adds its subcommand and options
// to the CLI11 application and says what runs it once it is named.
#include <CLI/CLI.hpp>
#include <memory>
#include <new>
#include <ostream>

#include "cli/Program.h"
#include "core/Input.h"

namespace easel::cli {

namespace fs = std::filesystem;

namespace {

// A command that runs out of memory ends with a message and a failure, and
// writes no output: every output file is written whole or not at all.
template <class Run>
int outOfMemoryGuard(const char* command, std::ostream& err, Run run) {
    try {
        return run();
    } catch (const std::bad_alloc&) {
        err << "easel " << command << ": out of memory; nothing was written (the input may be too large "
            << "for this machine)\n";
        return 1;
    }
}

std::vector<fs::path> paths(const std::vector<std::string>& v) { return std::vector<fs::path>(v.begin(), v.end()); }

ExtraCommand addPlay(CLI::App& app, std::ostream& out, std::ostream& err) {
    struct Args {
        PlayOptions options;
        std::vector<std::string> dirs;
        std::string seedText;
    };
    auto a = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("play", "Runs a script: opens its document, loads its plug-ins, carries out its "
                                           "steps (select, options, inspect, drag, edit, undo, redo, seed, open) and writes the result.");
    cmd->add_option("SCRIPT", a->options.script, "The script (.json)")->required();
    cmd->add_option("-o,--output", a->options.output, "Output document (.json, or .svg); overrides the script's \"output\"");
    cmd->add_option("--log", a->options.log, "Writes the record of the run as JSON");
    cmd->add_flag("--strict", a->options.strict, "Stops at the first non-zero result, alert or dialog a plug-in shows");
    auto* seedOpt = cmd->add_option("--seed", a->seedText, "Seed of the random numbers (default: the script's \"seed\", else the document's, else 1)");
    repeatable(cmd->add_option("--plugins", a->dirs, "A folder with plug-in bundles (repeatable)"));
    return {cmd, [a, seedOpt, &out, &err] {
                if (seedOpt->count() > 0) {
                    try {
                        a->options.seed = seedOf(a->seedText, "--seed");
                    } catch (const InputError& e) {
                        err << "easel: " << e.what() << "\n";
                        return 2;
                    }
                }
                a->options.pluginDirs = paths(a->dirs);
                return outOfMemoryGuard("play", err, [&] { return play(a->options, out, err); });
            }};
}

ExtraCommand addTools(CLI::App& app, std::ostream& out, std::ostream& err) {
    struct Args {
        ToolsOptions options;
        std::vector<std::string> dirs;
        std::string iconDir;
    };
    auto a = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("tools", "Lists the tools the plug-ins register: titles, tooltips, groups, icons.");
    cmd->add_option("--icons", a->iconDir, "Writes each tool's icon as a PNG file into this folder");
    repeatable(
        cmd->add_option("--plugin", a->options.plugins, "A plug-in to load by name (repeatable; default: every bundle found)"));
    repeatable(cmd->add_option("--plugins", a->dirs, "A folder with plug-in bundles (repeatable)"));
    return {cmd, [a, &out, &err] {
                a->options.pluginDirs = paths(a->dirs);
                a->options.iconDir = a->iconDir;
                return tools(a->options, out, err);
            }};
}

ExtraCommand addDialog(CLI::App& app, std::ostream& out, std::ostream& err) {
    struct Args {
        DialogOptions options;
        std::vector<std::string> dirs;
    };
    auto a = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("dialog", "Shows a tool's option dialog: every item with its id, kind, label, "
                                             "range and current value.");
    cmd->add_option("--tool", a->options.tool, "The tool, by title (\"Drag\" or \" ZR5 Drag\")")->required();
    repeatable(
        cmd->add_option("--plugin", a->options.plugins, "A plug-in to load by name (repeatable; default: every bundle found)"));
    repeatable(cmd->add_option("--plugins", a->dirs, "A folder with plug-in bundles (repeatable)"));
    return {cmd, [a, &out, &err] {
                a->options.pluginDirs = paths(a->dirs);
                return dialog(a->options, out, err);
            }};
}

ExtraCommand addConvert(CLI::App& app, std::ostream& out, std::ostream& err) {
    struct Args {
        std::string in, out;
    };
    auto a = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("convert", "Converts a document between the JSON file and SVG, by extension.");
    cmd->add_option("IN", a->in, "The document to read (.json or .svg)")->required();
    cmd->add_option("OUT", a->out, "The document to write (.json or .svg)")->required();
    return {cmd, [a, &out, &err] {
                ConvertOptions o;
                o.input = a->in;
                o.output = a->out;
                return outOfMemoryGuard("convert", err, [&] { return convert(o, out, err); });
            }};
}

ExtraCommand addRender(CLI::App& app, std::ostream& out, std::ostream& err) {
    struct Args {
        RenderOptions options;
        std::string doc, out;
    };
    auto a = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("render", "Draws a document (.json or .svg) as a PNG picture, or as a PDF for print\n"
                                               "(OUT.pdf: vector paths, text with its fonts embedded, the page size of the\n"
                                               "document; CMYK colours as the RGB the picture shows).");
    cmd->add_option("DOC", a->doc, "The document")->required();
    cmd->add_option("-o,--output", a->out, "The file to write: a PNG picture, or a PDF (.pdf)")->required();
    auto* widthOpt = cmd->add_option("--width", a->options.width, "Width in pixels (height to scale)");
    cmd->add_option("--scale", a->options.scale, "Scale of the page's size (1: one pixel a CSS pixel)")->excludes(widthOpt);
    return {cmd, [a, &out, &err] {
                a->options.document = a->doc;
                a->options.output = a->out;
                return outOfMemoryGuard("render", err, [&] { return render(a->options, out, err); });
            }};
}

// The program's own commands, in the order --help lists them.
constexpr AddCommand kCommands[] = {addPlay, addTools, addDialog, addConvert, addRender};

}  // namespace

CLI::Option* repeatable(CLI::Option* option) { return option->allow_extra_args(false); }

int easelMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
              const std::vector<AddCommand>& extra) {
    CLI::App app{"easel: runs drawing-tool plug-ins over vector documents.\n"
                 "Plug-in bundles (<Name>.aip) are found in the --plugins folders, then in EASEL_PLUGINS\n"
                 "(folders separated by ':', on Windows by ';'), then in PREFIX/lib/easel/plugins beside an installed\n"
                 "easel (PREFIX/bin/easel), or in the build tree of an easel run from it.",
                 "easel"};
    // Options are -x and --name on every platform: "/path" stays a path on Windows too.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", "easel " EASEL_VERSION);
    app.require_subcommand(1);

    std::vector<ExtraCommand> commands;
    for (AddCommand add : kCommands) commands.push_back(add(app, out, err));
    for (AddCommand add : extra) commands.push_back(add(app, out, err));

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e, out, err) == 0 ? 0 : 2;
    }
    for (auto& [cmd, run] : commands)
        if (cmd->parsed()) return run();
    return 2;  // require_subcommand(1) leaves no other way out of parse
}

}  // namespace easel::cli
