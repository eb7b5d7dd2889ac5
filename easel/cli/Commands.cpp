#include "Commands.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <new>
#include <nlohmann/json.hpp>
#include <ostream>
#include <set>
#include <sstream>

#include "Document.h"
#include "DocumentJson.h"
#include "Edit.h"
#include "Input.h"
#include "FileWrite.h"
#include "Progress.h"
#include "Script.h"
#include "Session.h"
#include "Steps.h"
#include "adm/Dialog.h"
#include "adm/RegisterADM.h"
#include "adm/Resources.h"
#include "suites/AISuites.h"

namespace easel::cli {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

namespace {

std::string trimTitle(const std::string& s) {
    std::string t = s;
    while (!t.empty() && t.front() == ' ') t.erase(t.begin());
    if (t.rfind("ZR5 ", 0) == 0) t.erase(0, 4);
    while (!t.empty() && t.back() == ' ') t.pop_back();
    return t;
}

json rectJson(const ASRect& r) { return json::array({r.left, r.top, r.right, r.bottom}); }

json dialogJson(const adm::DialogRecord& r) {
    json items = json::array();
    for (const auto& i : r.items) {
        json ji = {{"id", i.id}, {"kind", adm::itemKindShortName(i.kind)}, {"rect", rectJson(i.rect)}, {"text", i.text}};
        if (i.kind == adm::ItemKind::SpinEdit || i.kind == adm::ItemKind::CheckBox || i.kind == adm::ItemKind::PopupList)
            ji["value"] = i.value;
        if (i.hasRange) {
            if (std::isfinite(i.min)) ji["min"] = i.min;
            if (std::isfinite(i.max)) ji["max"] = i.max;
            ji["precision"] = i.precision;
        }
        if (i.kind == adm::ItemKind::PopupList) {
            json entries = json::array();
            for (const auto& e : i.entries) entries.push_back({{"text", e.text}, {"id", e.id}});
            ji["entries"] = entries;
            ji["selected"] = i.selected;
        }
        ji["enabled"] = i.enabled;
        items.push_back(ji);
    }
    return {{"name", r.name},         {"resource", r.resourceId}, {"caption", r.caption},
            {"bounds", rectJson(r.bounds)}, {"result", r.result},     {"items", items}};
}

std::string unknownToolMessage(const std::string& name) {
    std::string known;
    for (const auto& t : hostState().tools) known += (known.empty() ? "" : ", ") + std::string("\"") + trimTitle(t->title) + "\"";
    return "unknown tool \"" + name + "\"; the loaded plug-ins have " + (known.empty() ? "no tools" : known);
}

}  // namespace

std::string resultText(ASErr code) {
    const auto u = static_cast<uint32_t>(code);
    const uint32_t high = u >> 16;
    if (high == 0 || high == 0xFFFF) return std::to_string(code);
    std::string s = "'";
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((u >> shift) & 0xFF);
        s += (c >= 32 && c < 127) ? c : '?';
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", u);
    return s + "' (0x" + hex + ")";
}

std::string toolName(const std::string& title) { return trimTitle(title); }

RegisteredTool* findTool(const std::string& name) {
    for (auto& t : hostState().tools)
        if (t->title == name || t->name == name) return t.get();
    const std::string want = trimTitle(name);
    for (auto& t : hostState().tools)
        if (trimTitle(t->title) == want || trimTitle(t->name) == want) return t.get();
    return nullptr;
}

std::vector<std::string> bundlesOnPath(const std::vector<fs::path>& dirs) {
    std::vector<std::string> names;
    for (const auto& d : dirs) {
        std::error_code ec;
        std::vector<std::string> here;
        for (fs::directory_iterator it(d, ec), end; !ec && it != end; it.increment(ec))
            if (it->path().extension() == ".aip" && it->is_directory()) here.push_back(it->path().stem().string());
        std::sort(here.begin(), here.end());
        for (auto& n : here)
            if (std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);
    }
    return names;
}

int play(const PlayOptions& o, std::ostream& out, std::ostream& err) {
    json log = {{"script", o.script.string()}};
    json stepsLog = json::array();
    std::string failure;
    int problems = 0;
    auto writeLog = [&](const std::string& status) {
        if (o.log.empty()) return;
        log["status"] = status;
        if (!failure.empty()) log["error"] = failure;
        log["problems"] = problems;
        log["steps"] = stepsLog;
        std::string e;
        if (!writeFileAtomically(o.log.string(), log.dump(2) + "\n", e)) err << "easel: " << e << "\n";
    };
    auto fail = [&](const std::string& message) {
        failure = message;
        err << "easel: " << message << "\n";
        writeLog("failed");
        return 1;
    };

    std::string text;
    try {
        text = readInputFile(o.script);
    } catch (const InputError& e) {
        return fail("cannot read script " + o.script.string() + ": " + e.what());
    }
    Script script;
    std::string error;
    if (!parseScript(text, script, error)) return fail(o.script.string() + ": " + error);

    fs::path output = !o.output.empty() ? o.output : fs::path(script.output);
    if (!output.empty() && o.output.empty() && output.is_relative()) output = o.script.parent_path() / output;
    if (!output.empty()) {
        const std::string ext = output.extension().string();
        if (ext != ".json" && !isSvgPath(output))
            return fail("output " + output.string() + ": unknown format \"" + ext + "\"; write a .json or .svg file");
    }

    // The document.
    std::unique_ptr<Document> doc;
    if (script.documentPath) {
        fs::path docPath = *script.documentPath;
        if (docPath.is_relative()) docPath = o.script.parent_path() / docPath;
        if (!fs::is_regular_file(docPath))
            return fail("document: cannot read " + docPath.string() + ": check the file name in the script");
        if (!readDocumentFile(docPath, doc, error, err)) return fail("document " + docPath.string() + ": " + error);
    } else if (!readDocumentJson(script.inlineDocument, doc, error)) {
        return fail("document (inline): " + error);
    }

    std::vector<std::unique_ptr<Document>> retired;  // replaced by open steps; outlive the plug-ins
    Session session(o.pluginDirs);
    // An event that runs long says how far it has got, one line each time.
    struct ReportProgress {
        explicit ReportProgress(std::ostream& e) {
            progress().setReporter([&e](const std::string& what, uint64_t objects, double seconds) {
                e << "easel: " << progressLine(what, objects, seconds) << "\n" << std::flush;
            });
        }
        ~ReportProgress() { progress().setReporter(nullptr); }
        ReportProgress(const ReportProgress&) = delete;
        ReportProgress& operator=(const ReportProgress&) = delete;
    } reportProgress(err);
    hostState().document = doc.get();
    // The same seed as the studio takes for the same document.
    const int32_t seed = o.seed ? *o.seed : script.seed.value_or(doc->seed());
    hostState().random.reseed(seed);
    log["seed"] = seed;

    json* current = nullptr;  // the log of the step being run
    std::string where = "start-up";
    bool stop = false;
    hostState().onShown = [&](const ShownMessage& m) {
        // The dialog a step opens itself is expected; anything else a plug-in shows is reported.
        const bool expected = m.kind == "dialog" && adm::dialogManager().depth() == 1 && current &&
                              ((*current)["kind"] == "options" || (*current)["kind"] == "inspect");
        if (current) (*current)["shown"].push_back({{"kind", m.kind}, {"title", m.title}, {"texts", m.texts}});
        if (expected) return;
        ++problems;
        err << "easel: " << where << ": " << m.kind << " \"" << m.title << "\"";
        for (const auto& t : m.texts) err << " | " << t;
        err << "\n";
        if (o.strict) stop = true;
    };
    adm::dialogManager().onClosed = [&](const adm::DialogRecord& r) {
        if (current) (*current)["dialogs"].push_back(dialogJson(r));
    };
    auto report = [&](Plugin& p, const char* selector, ASErr r) {
        if (current) (*current)["results"].push_back({{"plugin", p.name()}, {"selector", selector}, {"code", r}});
        if (r == kNoErr || r == kCancelErr) return;
        ++problems;
        err << "easel: " << where << ": " << p.name() << " returned " << resultText(r) << " to \"" << selector << "\"\n";
        if (o.strict) stop = true;
    };

    session.onResult(report);

    json startupLog = {{"step", "start-up"}, {"kind", "start-up"}, {"results", json::array()}, {"shown", json::array()}};
    current = &startupLog;
    if (!session.start(script.plugins, error))
        return fail("plugins: " + error + "; give the folder with --plugins DIR or EASEL_PLUGINS");
    stepsLog.push_back(startupLog);
    if (stop) return fail("stopped at start-up (--strict)");

    json stepLog;
    StepRunner runner(session, doc, retired, o.script.parent_path(), err);
    try {
        for (const Step& step : script.steps) {
            where = step.where + " (" + stepKindName(step.kind) + ")";
            stepLog = {{"step", step.where}, {"kind", stepKindName(step.kind)}, {"results", json::array()},
                            {"shown", json::array()}, {"dialogs", json::array()}};
            current = &stepLog;
            RegisteredTool* tool = nullptr;
            if (step.kind == Step::Kind::Options || step.kind == Step::Kind::Inspect || step.kind == Step::Kind::Drag) {
                tool = findTool(step.tool);
                if (!tool) throw StepFailure{step.where + ": " + unknownToolMessage(step.tool)};
                stepLog["tool"] = tool->title;
            }
            if (step.kind == Step::Kind::Inspect) {
                adm::InspectDriver driver;
                session.editOptions(*tool, &driver);
                if (!driver.record()) throw StepFailure{step.where + ".inspect: tool \"" + step.tool + "\" opened no dialog"};
                stepLog["inspected"] = dialogJson(*driver.record());
                out << dialogJson(*driver.record()).dump(2) << "\n";
            } else {
                const std::vector<int64_t> made = runner.run(step, stop);
                if (!made.empty()) stepLog["made"] = made;
            }
            stepsLog.push_back(stepLog);
            current = nullptr;
            if (stop) return fail(step.where + ": stopped at the first reported result (--strict)");
        }
    } catch (const StepFailure& f) {
        if (current) stepsLog.push_back(*current);
        current = nullptr;
        return fail(f.message);
    }

    if (!output.empty()) {
        if (!writeDocumentFile(output, *doc, error)) return fail(error);
        log["output"] = output.string();
    }
    writeLog(problems == 0 ? "ok" : "ok with problems");
    hostState().document = nullptr;
    return 0;
}

namespace {

bool startForListing(Session& session, const std::vector<fs::path>& dirs, std::vector<std::string> plugins,
                     std::ostream& err) {
    // Named plug-ins must load; of the bundles found, one that cannot be
    // loaded is skipped with a warning and the others are listed.
    const bool named = !plugins.empty();
    if (!named) plugins = bundlesOnPath(Loader::searchPath(dirs));
    if (plugins.empty()) {
        err << "easel: no plug-in bundles found; give the folder with --plugins DIR or EASEL_PLUGINS\n";
        return false;
    }
    hostState().onShown = [&err](const ShownMessage& m) {
        if (m.kind == "dialog" && adm::dialogManager().depth() == 1) return;  // the dialog asked for
        err << "easel: " << m.kind << " \"" << m.title << "\"";
        for (const auto& t : m.texts) err << " | " << t;
        err << "\n";
    };
    session.onResult([&err](Plugin& p, const char* selector, ASErr r) {
        if (r != kNoErr) err << "easel: " << p.name() << " returned " << resultText(r) << " to \"" << selector << "\"\n";
    });
    bool ok = true;
    for (const auto& name : plugins) {
        std::string error;
        if (session.startOne(name, error)) continue;
        if (named) {
            err << "easel: " << error << "\n";
            ok = false;
        } else {
            err << "easel: warning: " << error << "; the bundle is skipped\n";
        }
    }
    if (!named && session.started().empty()) {
        err << "easel: none of the plug-in bundles found could be loaded\n";
        ok = false;
    }
    session.onResult(nullptr);
    return ok;
}

std::string toolRef(int32_t number) {
    if (number < 0) return "-";
    for (const auto& t : hostState().tools)
        if (t->number == number) return "\"" + trimTitle(t->title) + "\"";
    return std::to_string(number);
}

}  // namespace

int tools(const ToolsOptions& o, std::ostream& out, std::ostream& err) {
    Session session(o.pluginDirs);
    const bool allLoaded = startForListing(session, o.pluginDirs, o.plugins, err);
    if (!o.iconDir.empty()) {
        std::error_code ec;
        fs::create_directories(o.iconDir, ec);
    }
    int status = allLoaded ? 0 : 1;
    for (const auto& t : hostState().tools) {
        Plugin* p = session.pluginOf(*t);
        out << std::setw(3) << t->number << "  \"" << t->title << "\"  (" << (p ? p->name() : "?") << ")\n"
            << "     tooltip: \"" << t->tooltip << "\"\n"
            << "     group: " << toolRef(t->sameGroupAs) << "  toolset: " << toolRef(t->sameToolsetAs) << "\n";
        const adm::Icon* icon = adm::iconOf(t->icon);
        if (!icon || icon->type == kADMUnknownIconType) {
            out << "     icon: none\n";
            continue;
        }
        out << "     icon: " << icon->image.width << " x " << icon->image.height << ", " << icon->image.bitCount
            << " bits per pixel\n";
        if (!o.iconDir.empty()) {
            std::string file = trimTitle(t->title);
            std::replace_if(file.begin(), file.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '-');
            auto png = adm::encodePng(icon->image);
            std::string error;
            const fs::path dest = o.iconDir / (file + ".png");
            if (!writeFileAtomically(dest.string(), std::string(png.begin(), png.end()), error)) {
                err << "easel: " << error << "\n";
                status = 1;
            } else {
                out << "     written: " << dest.string() << "\n";
            }
        }
    }
    return status;
}

int dialog(const DialogOptions& o, std::ostream& out, std::ostream& err) {
    Session session(o.pluginDirs);
    startForListing(session, o.pluginDirs, o.plugins, err);
    RegisteredTool* tool = findTool(o.tool);
    if (!tool) {
        err << "easel: " << unknownToolMessage(o.tool) << "\n";
        return 1;
    }
    auto doc = newDocument();
    hostState().document = doc.get();
    adm::InspectDriver driver;
    session.editOptions(*tool, &driver);
    hostState().document = nullptr;
    if (!driver.record()) {
        err << "easel: tool \"" << o.tool << "\" opened no dialog\n";
        return 1;
    }
    const adm::DialogRecord& r = *driver.record();
    out << "\"" << r.caption << "\" (" << r.name << ", resource " << r.resourceId << "), "
        << r.bounds.right - r.bounds.left << " x " << r.bounds.bottom - r.bounds.top << " pixels\n";
    for (const auto& i : r.items) {
        std::ostringstream line;
        line << std::setw(5) << i.id << "  " << std::left << std::setw(12) << adm::itemKindShortName(i.kind)
             << std::right << "  [" << i.rect.left << ", " << i.rect.top << ", " << i.rect.right << ", " << i.rect.bottom
             << "]";
        // A spin or popup is labelled by the static text on its row to its left.
        std::string label;
        if (i.kind == adm::ItemKind::SpinEdit || i.kind == adm::ItemKind::PopupList) {
            int best = -1;
            for (const auto& l : r.items)
                if (l.kind == adm::ItemKind::StaticText && std::abs(l.rect.top - i.rect.top) <= 4 &&
                    l.rect.right <= i.rect.left && l.rect.right > best) {
                    best = l.rect.right;
                    label = l.text;
                }
        }
        if (!label.empty()) line << "  label \"" << label << "\"";
        switch (i.kind) {
        case adm::ItemKind::SpinEdit:
            line << "  value " << i.text << "  range ";
            if (std::isfinite(i.min)) line << i.min; else line << "-inf";
            line << " .. ";
            if (std::isfinite(i.max)) line << i.max; else line << "inf";
            line << "  (" << i.precision << " decimals)";
            break;
        case adm::ItemKind::CheckBox:
            line << "  \"" << i.text << "\"  " << (i.value != 0 ? "on" : "off");
            break;
        case adm::ItemKind::PopupList:
            line << "  chosen " << i.selected << " \"" << i.text << "\"";
            break;
        default:
            if (!i.text.empty()) line << "  \"" << i.text << "\"";
        }
        if (!i.enabled) line << "  (disabled)";
        out << line.str() << "\n";
        for (size_t e = 0; e < i.entries.size(); ++e)
            out << "         " << std::setw(3) << e << ": id " << i.entries[e].id << " \"" << i.entries[e].text << "\"\n";
    }
    return 0;
}

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

    PlayOptions play_;
    std::vector<std::string> playDirs;
    std::string seedText;
    auto* playCmd = app.add_subcommand("play", "Runs a script: opens its document, loads its plug-ins, carries out its "
                                                "steps (select, options, inspect, drag, edit, undo, redo, seed, open) and writes the result.");
    playCmd->add_option("SCRIPT", play_.script, "The script (.json)")->required();
    playCmd->add_option("-o,--output", play_.output, "Output document (.json, or .svg); overrides the script's \"output\"");
    playCmd->add_option("--log", play_.log, "Writes the record of the run as JSON");
    playCmd->add_flag("--strict", play_.strict, "Stops at the first non-zero result, alert or dialog a plug-in shows");
    auto* seedOpt = playCmd->add_option("--seed", seedText, "Seed of the random numbers (default: the script's \"seed\", else the document's, else 1)");
    repeatable(playCmd->add_option("--plugins", playDirs, "A folder with plug-in bundles (repeatable)"));

    ToolsOptions tools_;
    std::vector<std::string> toolsDirs;
    std::string iconDir;
    auto* toolsCmd = app.add_subcommand("tools", "Lists the tools the plug-ins register: titles, tooltips, groups, icons.");
    toolsCmd->add_option("--icons", iconDir, "Writes each tool's icon as a PNG file into this folder");
    repeatable(
        toolsCmd->add_option("--plugin", tools_.plugins, "A plug-in to load by name (repeatable; default: every bundle found)"));
    repeatable(toolsCmd->add_option("--plugins", toolsDirs, "A folder with plug-in bundles (repeatable)"));

    DialogOptions dialog_;
    std::vector<std::string> dialogDirs;
    auto* dialogCmd = app.add_subcommand("dialog", "Shows a tool's option dialog: every item with its id, kind, label, "
                                                    "range and current value.");
    dialogCmd->add_option("--tool", dialog_.tool, "The tool, by title (\"Drag\" or \" ZR5 Drag\")")->required();
    repeatable(
        dialogCmd->add_option("--plugin", dialog_.plugins, "A plug-in to load by name (repeatable; default: every bundle found)"));
    repeatable(dialogCmd->add_option("--plugins", dialogDirs, "A folder with plug-in bundles (repeatable)"));

    ConvertOptions convert_;
    std::string convertIn, convertOut;
    auto* convertCmd = app.add_subcommand("convert", "Converts a document between the JSON file and SVG, by extension.");
    convertCmd->add_option("IN", convertIn, "The document to read (.json or .svg)")->required();
    convertCmd->add_option("OUT", convertOut, "The document to write (.json or .svg)")->required();

    RenderOptions render_;
    std::string renderDoc, renderOut;
    auto* renderCmd = app.add_subcommand("render", "Draws a document (.json or .svg) as a PNG picture, or as a PDF for print\n"
                                                    "(OUT.pdf: vector paths, text with its fonts embedded, the page size of the\n"
                                                    "document; CMYK colours as the RGB the picture shows).");
    renderCmd->add_option("DOC", renderDoc, "The document")->required();
    renderCmd->add_option("-o,--output", renderOut, "The file to write: a PNG picture, or a PDF (.pdf)")->required();
    auto* widthOpt = renderCmd->add_option("--width", render_.width, "Width in pixels (height to scale)");
    renderCmd->add_option("--scale", render_.scale, "Scale of the page's size (1: one pixel a CSS pixel)")
        ->excludes(widthOpt);

    std::vector<ExtraCommand> extraCommands;
    for (AddCommand add : extra) extraCommands.push_back(add(app, out, err));

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e, out, err) == 0 ? 0 : 2;
    }
    for (auto& [cmd, run] : extraCommands)
        if (cmd->parsed()) return run();
    auto paths = [](const std::vector<std::string>& v) { return std::vector<fs::path>(v.begin(), v.end()); };
    if (playCmd->parsed()) {
        if (seedOpt->count() > 0) {
            try {
                play_.seed = seedOf(seedText, "--seed");
            } catch (const InputError& e) {
                err << "easel: " << e.what() << "\n";
                return 2;
            }
        }
        play_.pluginDirs = paths(playDirs);
        return outOfMemoryGuard("play", err, [&] { return play(play_, out, err); });
    }
    if (toolsCmd->parsed()) {
        tools_.pluginDirs = paths(toolsDirs);
        tools_.iconDir = iconDir;
        return tools(tools_, out, err);
    }
    if (convertCmd->parsed()) {
        convert_.input = convertIn;
        convert_.output = convertOut;
        return outOfMemoryGuard("convert", err, [&] { return convert(convert_, out, err); });
    }
    if (renderCmd->parsed()) {
        render_.document = renderDoc;
        render_.output = renderOut;
        return outOfMemoryGuard("render", err, [&] { return render(render_, out, err); });
    }
    dialog_.pluginDirs = paths(dialogDirs);
    return dialog(dialog_, out, err);
}

}  // namespace easel::cli
