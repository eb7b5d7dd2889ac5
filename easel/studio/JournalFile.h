// The studio's recovery journal on disk: reading it (every member checked),
// one studio per journal (a lock held while the studio runs), and keeping a
// journal that cannot be used aside instead of losing it.
#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace easel::studio {

using json = nlohmann::ordered_json;

constexpr int kJournalVersion = 1;
// Studios that may work on one document at once, each with its journal.
constexpr int kMaxJournals = 16;

// What a journal holds: whether its work was left unsaved, and the
// recording as an `easel play` script (with an inline document).
struct JournalContents {
    bool unsaved = false;
    json script;
};

// Reads a journal's text. Every member is checked, the script as `easel
// play` reads it and its document as a document file: anything else is an
// InputError whose message names the member.
JournalContents parseJournal(std::string_view text);

// A journal left by a studio that did not end cleanly with its work saved:
// its script, or nullopt (no journal, a saved one, or one that cannot be
// read or used: `error` says what is wrong with it, naming the file and member).
std::optional<json> readJournal(const std::filesystem::path& path, std::string& error);

// Renames a journal that cannot be used (or a folder in its place) to
// "STEM.kept-DATE-TIME.json" beside it, so nothing in it is lost: the new
// name, or empty with `error` when it cannot be renamed.
std::filesystem::path keepJournalAside(const std::filesystem::path& path, std::string& error);

// An exclusive lock (flock) on a journal's lock file "JOURNAL.lock", which
// holds the process id of the studio that has it. The kernel releases it
// when the process ends, so a crash never leaves a stale lock; lock files
// are never removed (removing one could let two studios lock apart).
class JournalLock {
public:
    JournalLock() = default;
    ~JournalLock() { unlock(); }
    JournalLock(JournalLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    JournalLock& operator=(JournalLock&& other) noexcept;
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;

    // false when another process holds it (`holder`: its id when known) or
    // when the lock file cannot be made (`error` says why).
    bool tryLock(const std::filesystem::path& lockFile, pid_t& holder, std::string& error);
    bool locked() const { return fd_ >= 0; }
    void unlock();
    // Writes the page's address after the process id, where a studio started
    // later on the same document finds it (runningStudio).
    void recordAddress(const std::string& address);

private:
    int fd_ = -1;
};

// The journal a studio takes for `base` (journalPathFor): `base` itself, or
// when other running studios hold it, the first free of "STEM.2.json" to
// "STEM.16.json"; a free one that holds a journal left behind is taken
// first, so its work is offered. `note` says when the document is open in
// another studio; `error` when the folder cannot be written or every
// journal is taken (path is then empty).
struct JournalClaim {
    std::filesystem::path path;
    JournalLock lock;
    std::string note;
    std::string error;
};
JournalClaim claimJournal(const std::filesystem::path& base);

// A studio running on the document whose journal is `base`: the first held
// journal lock (of `base` and "STEM.2.json" to "STEM.16.json") that records
// its page's address. Only a lock held by a live process counts, so an
// address left in the file of a studio that ended is never used.
struct RunningStudio {
    pid_t pid = 0;
    std::string address;
};
std::optional<RunningStudio> runningStudio(const std::filesystem::path& base);

}  // namespace easel::studio
