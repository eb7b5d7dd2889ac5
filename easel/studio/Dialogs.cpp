// Dialogs and alerts on the page: a plug-in's modal dialog as the page draws
// it, the person's answers to it, and the options dialog the page opens,
// which the recorder keeps as a step.
#include <climits>
#include <cmath>

#include "model/Document.h"
#include "core/Input.h"
#include "adm/Resources.h"
#include "run/PluginSession.h"
#include "studio/StudioHost.h"

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

// The items whose values differ from `before`, as the `set` of an options
// step: popups first, then check boxes, then numbers, so that a replay meets
// every item enabled as the person did.
json changedItems(const std::map<int32_t, double>& before, const adm::DialogRecord& now) {
    const auto after = itemValues(now);
    json sets = json::object();
    for (int pass = 0; pass < 3; ++pass)
        for (const auto& i : now.items) {
            const int want = i.kind == adm::ItemKind::PopupList ? 0 : i.kind == adm::ItemKind::CheckBox ? 1 : 2;
            if (want != pass || !after.count(i.id)) continue;
            auto was = before.find(i.id);
            if (was != before.end() && was->second == after.at(i.id)) continue;
            if (i.kind == adm::ItemKind::CheckBox)
                sets[std::to_string(i.id)] = i.value != 0;
            else
                sets[std::to_string(i.id)] = after.at(i.id);
        }
    return sets;
}

// A number typed into a dialog: the dialog clamps it to the item's range;
// past this it is no number a person types.
constexpr double kMostDialogValue = 1e15;

// dialogSet and dialogPress: the person's change to the open dialog.
json answerDialog(Host& m, const json& c, bool press) {
    const Input in(c);
    const int32_t id = in.integer("id", INT32_MIN, INT32_MAX);
    adm::SetAction a;
    a.id = id;
    if (!press && in.has("value")) a.number = in.number("value", -kMostDialogValue, kMostDialogValue);
    if (!press && in.has("text")) a.text = in.text("text");
    if (!press && !a.number && !a.text) refuseInput("dialogSet takes \"value\" (a number) or \"text\"");
    if (m.driver.open.empty()) return error("no dialog is open");
    adm::Dialog& d = *m.driver.open.back();
    std::string e;
    // The options dialog the page opened (not a dialog on top of it).
    const bool options = m.optionsBefore && !m.optionsBefore->empty() && m.driver.open.size() == 1;
    if (press) {
        const std::map<int32_t, double> before = options ? *m.optionsBefore : std::map<int32_t, double>{};
        const adm::DialogRecord pressedOn = adm::snapshot(d);
        e = adm::pressItem(d, std::to_string(id));
        // A button that keeps the dialog open (Reset) acts on the plug-in at
        // once: the recorder keeps what was changed up to it and the press
        // as a step of its own, closed with Cancel, and the changes after it
        // are counted from the values it left.
        if (e.empty() && options && !d.ended && m.optionsTool) {
            m.rec.options({{"tool", *m.optionsTool}, {"set", changedItems(before, pressedOn)},
                           {"press", json::array({std::to_string(id), "Cancel"})}});
            m.optionsBefore = itemValues(adm::snapshot(d));
        }
    } else {
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
    const std::string title = Input(c).text("tool");
    RegisteredTool* tool = run::findTool(title);
    if (!tool) return error("unknown tool \"" + title + "\"");
    if (!m.session->pluginOf(*tool)) return error("the tool's plug-in is not loaded");
    m.optionsBefore.emplace();
    m.optionsClosed.reset();
    m.optionsTool = tool->title;
    // The values the dialog opened with are taken when it is shown.
    auto onOpen = m.driver.onOpen;
    m.driver.onOpen = [&m, onOpen] {
        if (m.driver.open.size() == 1 && m.optionsBefore && m.optionsBefore->empty())
            m.optionsBefore = itemValues(adm::snapshot(*m.driver.open.back()));
        onOpen();
    };
    m.session->editOptions(*tool, nullptr);
    m.driver.onOpen = onOpen;
    // The recorder keeps what the person changed, as sets and the closing
    // button. Cancel is kept too when items changed: a colour mode takes
    // effect as it is chosen, whichever button closes the dialog.
    if (m.optionsClosed) {
        const int32_t result = m.optionsClosed->result;
        json sets = changedItems(*m.optionsBefore, *m.optionsClosed);
        if (result != 2 || !sets.empty())
            m.rec.options({{"tool", tool->title}, {"set", sets}, {"press", result == 1 ? json("OK") : result == 2 ? json("Cancel") : json(std::to_string(result))}});
    }
    m.optionsBefore.reset();
    m.optionsClosed.reset();
    m.optionsTool.reset();
    return m.state(false);
}

}  // namespace easel::studio
