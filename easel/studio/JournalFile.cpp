#include "JournalFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

#include "model/Document.h"
#include "io/json/DocumentJson.h"
#include "io/FileWrite.h"
#include "core/Input.h"
#include "run/Script.h"

namespace easel::studio {

namespace fs = std::filesystem;

JournalContents parseJournal(std::string_view text) {
    const InputJson j = parseInput(text, "its text");
    const Input in(j);
    in.word("format", {"easel-recovery"});
    in.integer("version", 1, kJournalVersion);
    JournalContents c;
    in.raw("unsaved");
    c.unsaved = in.flag("unsaved", false);
    c.script = in.raw("script");
    if (!c.script.is_object()) refuseInput("\"script\" must be an object (an easel play script)");
    // The script as `easel play` reads it; a journal always holds its document.
    run::Script script;
    std::string e;
    if (!run::parseScript(c.script.dump(), script, e)) refuseInput("\"script\": " + e);
    if (script.inlineDocument.empty()) refuseInput("\"script\": \"document\" must be an inline document");
    std::unique_ptr<Document> doc;
    if (!readDocumentJson(script.inlineDocument, doc, e)) refuseInput("\"script\": \"document\": " + e);
    return c;
}

std::optional<json> readJournal(const fs::path& path, std::string& error) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (st.type() == fs::file_type::not_found) return std::nullopt;
    const std::string where = "the recovery journal " + path.string();
    if (!fs::is_regular_file(st)) {
        error = where + " is not a file" + (fs::is_directory(st) ? " (a folder is in its place)" : "");
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        error = where + " cannot be read";
        return std::nullopt;
    }
    try {
        JournalContents c = parseJournal(text);
        if (!c.unsaved || c.script["steps"].empty()) return std::nullopt;
        return std::move(c.script);
    } catch (const InputError& e) {
        error = where + " cannot be used: " + e.what();
        return std::nullopt;
    }
}

fs::path keepJournalAside(const fs::path& path, std::string& error) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string stem = path.stem().string() + ".kept-" + stamp;
    for (int n = 1; n < 100; ++n) {
        const fs::path kept = path.parent_path() / (stem + (n > 1 ? "-" + std::to_string(n) : "") + ".json");
        std::error_code ec;
        if (fs::exists(fs::symlink_status(kept, ec))) continue;
        fs::rename(path, kept, ec);
        if (ec) {
            error = "cannot rename " + path.string() + " to " + kept.string() + ": " + ec.message();
            return {};
        }
        return kept;
    }
    error = "cannot rename " + path.string() + ": too many kept journals of that time beside it";
    return {};
}

JournalLock& JournalLock::operator=(JournalLock&& other) noexcept {
    if (this != &other) {
        unlock();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void JournalLock::unlock() {
    if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the lock
    fd_ = -1;
}

bool JournalLock::tryLock(const fs::path& lockFile, pid_t& holder, std::string& error) {
    unlock();
    holder = 0;
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot make the lock file " + lockFile.string() + ": " + std::strerror(errno);
        return false;
    }
    int r;
    do r = ::flock(fd, LOCK_EX | LOCK_NB);
    while (r != 0 && errno == EINTR);
    if (r != 0) {
        const int err = errno;
        char text[24] = {};
        if (::pread(fd, text, sizeof text - 1, 0) > 0) holder = static_cast<pid_t>(std::atol(text));
        ::close(fd);
        if (err != EWOULDBLOCK) error = "cannot lock " + lockFile.string() + ": " + std::strerror(err);
        return false;
    }
    // Who holds it, for the message another studio shows.
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, pid.data(), pid.size(), 0) < 0) {
        // The lock holds all the same; only the message names no process.
    }
    fd_ = fd;
    return true;
}

void JournalLock::recordAddress(const std::string& address) {
    if (fd_ < 0) return;
    const std::string text = std::to_string(::getpid()) + "\n" + address + "\n";
    if (::ftruncate(fd_, 0) != 0 || ::pwrite(fd_, text.data(), text.size(), 0) < 0) {
        // Without it a second studio keeps a journal of its own instead of opening this page.
    }
}

namespace {

fs::path journalSlot(const fs::path& base, int n) {
    if (n == 1) return base;
    return base.parent_path() / (base.stem().string() + "." + std::to_string(n) + base.extension().string());
}

fs::path lockFileOf(const fs::path& journal) {
    fs::path p = journal;
    p += ".lock";
    return p;
}

bool present(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

}  // namespace

JournalClaim claimJournal(const fs::path& base) {
    JournalClaim c;
    if (!checkFolderWritable(base.parent_path().string(), c.error)) return c;
    pid_t otherStudio = 0;
    bool busy = false;
    for (int n = 1; n <= kMaxJournals; ++n) {
        const fs::path slot = journalSlot(base, n);
        // A slot never used is only needed while none is held yet.
        if (c.lock.locked() && !present(slot) && !present(lockFileOf(slot))) continue;
        JournalLock lock;
        pid_t holder = 0;
        if (!lock.tryLock(lockFileOf(slot), holder, c.error)) {
            if (!c.error.empty()) {
                c.lock.unlock();
                return c;
            }
            if (!busy) otherStudio = holder;
            busy = true;
            continue;
        }
        if (present(slot) || !c.lock.locked()) {
            c.lock = std::move(lock);
            c.path = slot;
            if (present(slot)) break;  // work left behind in it: offered by this studio
        }
    }
    if (!c.lock.locked()) {
        c.error = "the document is open in " + std::to_string(kMaxJournals) +
                  " other studios, each with its recovery journal in " + base.parent_path().string() +
                  ": close one first";
        return c;
    }
    if (busy) {
        c.note = "this document is open in another studio" +
                 (otherStudio > 0 ? " (process " + std::to_string(otherStudio) + ")" : std::string()) +
                 ": this studio keeps a recovery journal of its own, " + c.path.string();
    }
    return c;
}

std::optional<RunningStudio> runningStudio(const fs::path& base) {
    for (int n = 1; n <= kMaxJournals; ++n) {
        const fs::path lockFile = lockFileOf(journalSlot(base, n));
        if (!present(lockFile)) continue;
        const int fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        // A shared lock had at once means nobody holds it: a studio that ended.
        const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        char text[512] = {};
        const ssize_t got = held ? ::pread(fd, text, sizeof text - 1, 0) : 0;
        ::close(fd);
        if (got <= 0) continue;
        const std::string_view lines(text, static_cast<size_t>(got));
        const size_t first = lines.find('\n');
        if (first == std::string_view::npos) continue;
        std::string_view address = lines.substr(first + 1);
        address = address.substr(0, address.find('\n'));
        if (address.rfind("http://", 0) != 0) continue;  // started, not yet serving
        return RunningStudio{static_cast<pid_t>(std::atol(text)), std::string(address)};
    }
    return std::nullopt;
}

}  // namespace easel::studio
