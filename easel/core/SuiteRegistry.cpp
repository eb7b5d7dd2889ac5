#include "SuiteRegistry.h"

#include <cstring>

namespace easel {

SuiteRegistry::Entry* SuiteRegistry::lookup(const char* name, int32_t version) {
    if (name == nullptr) return nullptr;
    for (auto& e : entries_)
        if (e.version == version && e.name == name) return &e;
    return nullptr;
}

void SuiteRegistry::add(const char* name, int32_t version, const void* table) {
    if (Entry* e = lookup(name, version)) {
        e->table = table;
        return;
    }
    entries_.push_back(Entry{name, version, table, 0});
}

const void* SuiteRegistry::find(const char* name, int32_t version) const {
    auto* self = const_cast<SuiteRegistry*>(this);
    Entry* e = self->lookup(name, version);
    return e ? e->table : nullptr;
}

void SuiteRegistry::noteAcquired(const char* name, int32_t version) {
    if (Entry* e = lookup(name, version)) ++e->acquired;
}

bool SuiteRegistry::noteReleased(const char* name, int32_t version) {
    Entry* e = lookup(name, version);
    if (e == nullptr || e->acquired == 0) return false;
    --e->acquired;
    return true;
}

int SuiteRegistry::outstanding() const {
    int n = 0;
    for (const auto& e : entries_) n += e.acquired;
    return n;
}

}  // namespace easel
