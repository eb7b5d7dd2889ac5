// `easel tools` and `easel dialog`: what the plug-ins register, and a tool's
// option dialog, as text.
#include <algorithm>
#include <cmath>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "io/FileWrite.h"
#include "adm/Dialog.h"
#include "adm/RegisterADM.h"
#include "adm/Resources.h"
#include "cli/Program.h"
#include "model/Document.h"
#include "run/PluginSession.h"

namespace easel::cli {

namespace fs = std::filesystem;
using namespace run;

namespace {

bool startForListing(PluginSession& session, const std::vector<fs::path>& dirs, std::vector<std::string> plugins,
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
        if (t->number == number) return "\"" + shortToolTitle(t->title) + "\"";
    return std::to_string(number);
}

}  // namespace

int tools(const ToolsOptions& o, std::ostream& out, std::ostream& err) {
    PluginSession session(o.pluginDirs);
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
            std::string file = shortToolTitle(t->title);
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
    PluginSession session(o.pluginDirs);
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

}  // namespace easel::cli
