// The table of suites the host answers: SP Basic's AcquireSuite looks a
// suite up here by its exact name and version.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace easel {

class SuiteRegistry {
public:
    // Adds (or replaces) the table answered for name and version.
    void add(const char* name, int32_t version, const void* table);
    // The table for name and version, or nullptr.
    const void* find(const char* name, int32_t version) const;
    // Acquisition count bookkeeping, so leaks of suite references show up in tests.
    void noteAcquired(const char* name, int32_t version);
    bool noteReleased(const char* name, int32_t version);  // false if never acquired
    int outstanding() const;  // acquisitions not yet released

    struct Entry {
        std::string name;
        int32_t version;
        const void* table;
        int acquired = 0;
    };
    const std::vector<Entry>& entries() const { return entries_; }

private:
    Entry* lookup(const char* name, int32_t version);
    std::vector<Entry> entries_;
};

}  // namespace easel
