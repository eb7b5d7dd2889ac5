// Dialogs and alerts on the page: a plug-in's modal dialog as the page draws
// it, the person's answers to it, and the options dialog the page opens,
// which the recorder keeps as a step.
#include <cmath>

#include "Document.h"
#include "Host.h"
#include "adm/Resources.h"
#include "cli/Commands.h"

namespace easel::studio {

void StudioDriver::run(adm::Dialog& dialog) {
    open.push_back(&dialog);
    onOpen();
    serve();
    open.pop_back();
}

namespace {

// The page's names of item kinds.
const char* kindName(adm::ItemKind k) {
    switch (k) {
    case adm::ItemKind::StaticText: return "static";
    case adm::ItemKind::SpinEdit: return "spin";
    case adm::ItemKind::PopupList: return "popup";
    case adm::ItemKind::CheckBox: return "check";
    case adm::ItemKind::PushButton: return "button";
    case adm::ItemKind::Frame: return "frame";
    }
    return "static";
}

json rectJson(const ASRect& r) { return json::array({r.left, r.top, r.right, r.bottom}); }

// The value of every item a user can change, for the recorder.
std::map<int32_t, double> itemValues(const adm::DialogRecord& r) {
    std::map<int32_t, double> v;
    for (const auto& i : r.items) {
        if (i.kind == adm::ItemKind::PopupList) v[i.id] = i.selected;
        if (i.kind == adm::ItemKind::SpinEdit || i.kind == adm::ItemKind::CheckBox) v[i.id] = i.value;
    }
    return v;
}

// dialogSet and dialogPress: the person's change to the open dialog.
json answerDialog(Host& m, const json& c, bool press) {
    if (m.driver.open.empty()) return error("no dialog is open");
    adm::Dialog& d = *m.driver.open.back();
    std::string e;
    if (press) {
        e = adm::pressItem(d, std::to_string(c.at("id").get<int32_t>()));
    } else {
        adm::SetAction a;
        a.id = c.at("id").get<int32_t>();
        if (c.contains("value")) a.number = c["value"].get<double>();
        if (c.contains("text")) a.text = c["text"].get<std::string>();
        e = adm::userSet(d, a);
    }
    if (!e.empty()) return error(e);
    json s = m.state(false);
    // The dialog is gone once it ended; the answer shows what is open next.
    if (d.ended) s["dialog"] = nullptr;
    return s;
}

}  // namespace

json dialogJson(const adm::Dialog& d) {
    json items = json::array();
    for (const auto& p : d.items) {
        const adm::Item& i = *p;
        json ji = {{"id", i.id}, {"kind", kindName(i.kind)}, {"rect", rectJson(i.rect)},
                   {"text", adm::itemText(i)}, {"enabled", i.enabled}};
        if (i.kind == adm::ItemKind::SpinEdit) {
            ji["value"] = i.value;
            ji["precision"] = i.precision;
            if (std::isfinite(i.min)) ji["min"] = i.min;
            if (std::isfinite(i.max)) ji["max"] = i.max;
        } else if (i.kind == adm::ItemKind::CheckBox) {
            ji["value"] = i.value;
        } else if (i.kind == adm::ItemKind::PopupList && i.list) {
            json entries = json::array();
            for (const auto& e : i.list->entries) entries.push_back(e->text);
            ji["entries"] = entries;
            ji["selected"] = i.list->indexOf(i.list->active);
        }
        items.push_back(ji);
    }
    return {{"caption", d.caption}, {"bounds", rectJson(d.bounds)}, {"items", items}};
}

json dismissAlertCommand(Host& m, const json&) {
    if (!m.alerts.empty()) m.alerts.pop_front();
    return m.state(false);
}

json dialogSetCommand(Host& m, const json& c) { return answerDialog(m, c, false); }

json dialogPressCommand(Host& m, const json& c) { return answerDialog(m, c, true); }

json optionsCommand(Host& m, const json& c) {
    RegisteredTool* tool = cli::findTool(c.at("tool").get<std::string>());
    if (!tool) return error("unknown tool " + c["tool"].dump());
    if (!m.session->pluginOf(*tool)) return error("the tool's plug-in is not loaded");
    m.optionsBefore.emplace();
    m.optionsClosed.reset();
    // The values the dialog opened with are taken when it is shown.
    auto onOpen = m.driver.onOpen;
    m.driver.onOpen = [&m, onOpen] {
        if (m.driver.open.size() == 1 && m.optionsBefore && m.optionsBefore->empty())
            m.optionsBefore = itemValues(adm::snapshot(*m.driver.open.back()));
        onOpen();
    };
    m.session->editOptions(*tool, nullptr);
    m.driver.onOpen = onOpen;
    // The recorder keeps what the person changed, as sets and the closing button.
    if (m.optionsClosed && m.optionsClosed->result != 2) {
        const auto after = itemValues(*m.optionsClosed);
        json sets = json::object();
        for (int pass = 0; pass < 3; ++pass)
            for (const auto& i : m.optionsClosed->items) {
                const int want = i.kind == adm::ItemKind::PopupList ? 0 : i.kind == adm::ItemKind::CheckBox ? 1 : 2;
                if (want != pass || !after.count(i.id)) continue;
                auto before = m.optionsBefore->find(i.id);
                if (before != m.optionsBefore->end() && before->second == after.at(i.id)) continue;
                if (i.kind == adm::ItemKind::CheckBox)
                    sets[std::to_string(i.id)] = i.value != 0;
                else
                    sets[std::to_string(i.id)] = after.at(i.id);
            }
        const int32_t result = m.optionsClosed->result;
        m.rec.options({{"tool", tool->title}, {"set", sets}, {"press", result == 1 ? json("OK") : json(std::to_string(result))}});
    }
    m.optionsBefore.reset();
    m.optionsClosed.reset();
    return m.state(false);
}

}  // namespace easel::studio
