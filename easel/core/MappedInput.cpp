#include "core/MappedInput.h"

#include "core/Input.h"

#if defined(__unix__)
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#endif

namespace easel {

#if defined(__unix__)
namespace {

// A mapped file cut short by another program while it is read faults on the
// pages it lost (SIGBUS): while a file is mapped, that fault ends easel with
// a message naming the file rather than a crash.
std::atomic<bool> gCopyOnly{false};
char gFaultMessage[512];
struct sigaction gPreviousBusAction;
int gMappedCount = 0;

void onBusFault(int) {
    const ssize_t n = ::write(STDERR_FILENO, gFaultMessage, std::strlen(gFaultMessage));
    (void)n;
    ::_exit(1);
}

void watchMapping(const std::filesystem::path& path) {
    if (gMappedCount++ > 0) return;
    std::string m = "easel: " + path.string() + ": the file changed while it was read; nothing was written\n";
    if (m.size() >= sizeof gFaultMessage) m = "easel: a file changed while it was read; nothing was written\n";
    std::memcpy(gFaultMessage, m.c_str(), m.size() + 1);
    struct sigaction a = {};
    a.sa_handler = onBusFault;
    sigemptyset(&a.sa_mask);
    sigaction(SIGBUS, &a, &gPreviousBusAction);
}

void unwatchMapping() {
    if (--gMappedCount == 0) sigaction(SIGBUS, &gPreviousBusAction, nullptr);
}

}  // namespace
#endif

void MappedInput::copyOnly() {
#if defined(__unix__)
    gCopyOnly = true;
#endif
}

MappedInput::MappedInput(const std::filesystem::path& path) {
#if defined(__unix__)
    const int fd = gCopyOnly ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st = {};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
        static_cast<std::uintmax_t>(st.st_size) <= kMaxFileBytes) {
        const auto size = static_cast<std::size_t>(st.st_size);
        void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (p != MAP_FAILED) {
            map_ = static_cast<const char*>(p);
            size_ = size;
            watchMapping(path);
        }
    }
    if (fd >= 0) ::close(fd);
    if (map_) return;
#endif
    copy_ = readInputFile(path);
}

MappedInput::~MappedInput() {
#if defined(__unix__)
    if (map_) {
        ::munmap(const_cast<char*>(map_), size_);
        unwatchMapping();
    }
#endif
}

}  // namespace easel
