#include "FileWrite.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace easel {

namespace fs = std::filesystem;

namespace {

// Symbolic links followed at most (as the kernel's own limit).
constexpr int kMaxLinks = 40;
// The destination's name in a temporary file's name is cut to this many
// bytes, so the temporary name stays within the file system's limit.
constexpr size_t kMaxNameInTemporary = 200;

std::string failure(const std::string& path, int err) {
    std::string e = "cannot write " + path + ": " + std::strerror(err);
    if (err == ENOENT) e += " (does its folder exist?)";
    return e;
}

// The file a write to `path` replaces: the end of its chain of symbolic
// links (a link with a relative target is read from the link's folder).
bool resolveTarget(const std::string& path, fs::path& target, std::string& error) {
    target = path;
    for (int i = 0; i <= kMaxLinks; ++i) {
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(target, ec);
        if (!fs::is_symlink(st)) return true;
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) {
            error = "cannot write " + path + ": " + ec.message();
            return false;
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    error = failure(path, ELOOP);
    return false;
}

// The start of easel's temporary files for `target`: ".NAME.easel-tmp-".
std::string temporaryPrefix(const fs::path& target) {
    std::string name = target.filename().string();
    if (name.size() > kMaxNameInTemporary) name.resize(kMaxNameInTemporary);
    return "." + name + ".easel-tmp-";
}

// The process id in an easel temporary file's name after its prefix
// ("PID-N"), or 0 when the rest is not of that form.
pid_t writerOf(std::string_view rest) {
    pid_t pid = 0;
    size_t i = 0;
    for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9' && i < 10; ++i) pid = pid * 10 + (rest[i] - '0');
    if (i == 0 || i >= rest.size() || rest[i] != '-' || i + 1 == rest.size()) return 0;
    for (size_t j = i + 1; j < rest.size(); ++j)
        if (rest[j] < '0' || rest[j] > '9') return 0;
    return pid;
}

// Removes the temporary files of `target` whose writer has gone (a process
// killed mid-write). Those of live processes, this one's included, stay.
void removeStaleTemporaries(const fs::path& target) {
    const std::string prefix = temporaryPrefix(target);
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const pid_t pid = writerOf(std::string_view(name).substr(prefix.size()));
        if (pid <= 0 || pid == ::getpid()) continue;
        if (::kill(pid, 0) == -1 && errno == ESRCH) ::unlink(it->path().c_str());
    }
}

// Makes a new temporary file for `target`; -1 with errno set when it cannot.
int makeTemporary(const fs::path& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    const std::string base = (target.parent_path() / temporaryPrefix(target)).string() + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = base + std::to_string(counter++);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Writes every piece to `fd`; the errno of the first failed write, EFBIG
// once the pieces pass `maxBytes` (`tooLarge` set), or 0.
int writeAll(int fd, const std::function<void(const FilePieceSink&)>& produce, std::uintmax_t maxBytes, bool& tooLarge) {
    int failed = 0;
    std::uintmax_t total = 0;
    produce([&](std::string_view data) {
        total += data.size();
        if (failed == 0 && total > maxBytes) {
            tooLarge = true;
            failed = EFBIG;
        }
        size_t done = 0;
        while (failed == 0 && done < data.size()) {
            const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
            if (n < 0) {
                if (errno != EINTR) failed = errno;
                continue;
            }
            done += static_cast<size_t>(n);
        }
    });
    return failed;
}

void syncFolder(const fs::path& target) {
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // the rename itself survives a power cut; nothing to do if it cannot
    ::close(fd);
}

}  // namespace

bool writeFileAtomically(const std::string& path, const std::string& data, std::string& error) {
    return writeFileAtomically(path, [&](const FilePieceSink& sink) { sink(data); }, error);
}

bool writeFileAtomically(const std::string& path, const std::function<void(const FilePieceSink&)>& produce,
                         std::string& error, std::uintmax_t maxBytes) {
    fs::path target;
    if (!resolveTarget(path, target, error)) return false;
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        error = "cannot write " + path + ": " + (S_ISDIR(existing.st_mode) ? "it is a folder" : "it is not a plain file");
        return false;
    }
    removeStaleTemporaries(target);
    std::string name;
    const int fd = makeTemporary(target, name);
    if (fd < 0) {
        error = failure(path, errno);
        return false;
    }
    auto fail = [&](int err) {
        error = failure(path, err);
        ::close(fd);
        ::unlink(name.c_str());
        return false;
    };
    bool tooLarge = false;
    if (const int err = writeAll(fd, produce, maxBytes, tooLarge); err != 0) {
        fail(err);
        if (tooLarge)
            error = "cannot write " + path + ": it would be more than " + std::to_string(maxBytes) +
                    " bytes (the limit of a file easel reads); nothing was written";
        return false;
    }
    if (exists) {
        // The file replaced keeps its permissions; its owner where this
        // process may give it (a file of another user written by root).
        if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())
            (void)!::fchown(fd, existing.st_uid, existing.st_gid);
        if (::fchmod(fd, existing.st_mode & 07777) != 0) return fail(errno);
    }
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        error = failure(path, errno);
        ::unlink(name.c_str());
        return false;
    }
    if (std::rename(name.c_str(), target.c_str()) != 0) {
        error = failure(path, errno);
        ::unlink(name.c_str());
        return false;
    }
    syncFolder(target);
    return true;
}

bool checkFolderWritable(const std::string& folder, std::string& error) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        error = "cannot make the folder " + folder + ": " + ec.message();
        return false;
    }
    std::string name;
    const int fd = makeTemporary(fs::path(folder) / "probe", name);
    if (fd < 0) {
        error = "cannot make files in " + folder + ": " + std::strerror(errno);
        return false;
    }
    ::close(fd);
    ::unlink(name.c_str());
    return true;
}

}  // namespace easel
