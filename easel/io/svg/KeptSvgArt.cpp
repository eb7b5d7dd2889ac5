#include "KeptSvgArt.h"

#include <mutex>
#include <unordered_map>

#include "model/Document.h"
#include "io/KeptSvg.h"
#include "SvgAllow.h"
#include "SvgShared.h"

namespace easel {

namespace {

using Json = nlohmann::ordered_json;

// Members are of their types here (dropMistypedKeptSvg has run): these
// read what is there.
const Json* member(const Json& o, const char* key) {
    const auto it = o.find(key);
    return it == o.end() ? nullptr : &*it;
}

std::optional<std::string> textMember(const Json& o, const char* key) {
    const Json* m = member(o, key);
    return m && m->is_string() ? std::optional<std::string>(m->get<std::string>()) : std::nullopt;
}

std::optional<KeptSvgAttributes> attributesMember(const Json& o, const char* key) {
    const Json* m = member(o, key);
    return m && m->is_object() ? std::optional<KeptSvgAttributes>(keptSvgAttributes(*m)) : std::nullopt;
}

template <size_t N>
std::optional<std::array<double, N>> numbersMember(const Json& o, const char* key) {
    const Json* m = member(o, key);
    if (!m || !m->is_array() || m->size() != N) return std::nullopt;
    std::array<double, N> v{};
    for (size_t i = 0; i < N; ++i) {
        if (!(*m)[i].is_number()) return std::nullopt;
        v[i] = (*m)[i].get<double>();
    }
    return v;
}

std::optional<KeptSvgPattern> patternMember(const Json& paint, const char* key) {
    const Json* r = member(paint, key);
    if (!r || !r->is_object()) return std::nullopt;
    return KeptSvgPattern{textMember(*r, "color").value_or(""), textMember(*r, "pattern").value_or(""),
                          attributesMember(*r, "tile"), numbersMember<6>(*r, "transform"),
                          textMember(*r, "definitions").value_or("")};
}

KeptSvgMembers typedMembers(const Json& m) {
    KeptSvgMembers k;
    k.attributes = attributesMember(m, "svg");
    k.element = textMember(m, kElementKey);
    k.symbol = textMember(m, kSymbolDefinitionKey);
    if (const Json* e = member(m, kKeptKey); e && e->is_object())
        k.elements = KeptSvgMembers::Elements{textMember(*e, "before"), textMember(*e, "after"), textMember(*e, "inside")};
    if (const Json* e = member(m, kEffectsKey); e && e->is_object())
        k.effects = KeptSvgMembers::Effects{attributesMember(*e, "attributes"), textMember(*e, "definitions")};
    if (const Json* p = member(m, kPaintKey); p && p->is_object()) {
        k.paint = true;
        k.fill = patternMember(*p, "fill");
        k.stroke = patternMember(*p, "stroke");
    }
    if (const Json* t = member(m, kTextKey); t && t->is_object())
        k.text = KeptSvgText{textMember(*t, "text").value_or(""), textMember(*t, "markup"),
                             attributesMember(*t, "attributes"), numbersMember<2>(*t, "origin")};
    k.strokeTransformed = textMember(m, kStrokeKey) == "transformed";
    return k;
}

// The cache: by the extra text an art holds (shared by its copies), while
// that text lives.
struct Entry {
    std::weak_ptr<const std::string> extra;
    std::shared_ptr<const KeptSvgArt> kept;
};
struct Cache {
    std::mutex mutex;
    std::unordered_map<const std::string*, Entry> entries;
    size_t pruneAt = 1024;  // entries of texts no art holds any more are dropped past this
};

Cache& cache() {
    static Cache c;
    return c;
}

bool sameOwner(const std::weak_ptr<const std::string>& a, const std::shared_ptr<const std::string>& b) {
    return !a.owner_before(b) && !b.owner_before(a);
}

}  // namespace

KeptSvgAttributes keptSvgAttributes(const Json& object) {
    KeptSvgAttributes out;
    if (!object.is_object()) return out;
    for (const auto& [k, v] : object.items()) {
        if (v.is_string()) out.emplace_back(k, v.get<std::string>());
    }
    return out;
}

const std::string* findKeptSvgAttribute(const KeptSvgAttributes& attributes, std::string_view name) {
    for (const auto& [k, v] : attributes) {
        if (k == name) return &v;
    }
    return nullptr;
}

KeptSvgArt readKeptSvgArt(const std::string& extra) {
    KeptSvgArt k;
    // Extras are written by dump(), keys spelled plainly: one without a
    // kept SVG member is written as it is.
    if (extra.find("\"svg") == std::string::npos) return k;
    Json members = Json::parse(extra, nullptr, false);
    if (!members.is_object()) {
        k.writtenExtra = std::string();
        return k;
    }
    bool changed = dropMistypedKeptSvg(KeptSvgOwner::Art, members);
    k.stored = typedMembers(members);
    if (allowKeptSvg(members)) {
        changed = true;
        k.written = typedMembers(members);
    } else {
        k.written = k.stored;
    }
    if (changed) k.writtenExtra = members.empty() ? std::string() : members.dump(-1, ' ', false, Json::error_handler_t::replace);
    return k;
}

std::shared_ptr<const KeptSvgArt> keptSvgOf(const Art& a) {
    static const auto none = std::make_shared<const KeptSvgArt>();
    const std::shared_ptr<const std::string>& extra = a.sharedExtra();
    if (!extra || extra->find("\"svg") == std::string::npos) return none;
    Cache& c = cache();
    const std::lock_guard<std::mutex> lock(c.mutex);
    Entry& e = c.entries[extra.get()];
    // The same text as when it was read (not another at the same address).
    if (e.kept && sameOwner(e.extra, extra)) return e.kept;
    e = Entry{extra, std::make_shared<const KeptSvgArt>(readKeptSvgArt(*extra))};
    std::shared_ptr<const KeptSvgArt> kept = e.kept;
    if (c.entries.size() >= c.pruneAt) {
        std::erase_if(c.entries, [](const auto& entry) { return entry.second.extra.expired(); });
        c.pruneAt = std::max<size_t>(1024, 2 * c.entries.size());
    }
    return kept;
}

}  // namespace easel
