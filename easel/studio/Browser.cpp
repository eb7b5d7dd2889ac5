#include "Browser.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

extern char** environ;

namespace easel::studio {

namespace {

std::string envText(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

}  // namespace

std::vector<std::string> browserCommand(const std::string& url) {
    const std::string browser = envText("BROWSER");
    const std::string first = browser.substr(0, browser.find(':'));
    std::vector<std::string> words;
    std::istringstream in(first);
    bool placed = false;
    for (std::string w; in >> w;) {
        if (const size_t at = w.find("%s"); at != std::string::npos) {
            w.replace(at, 2, url);
            placed = true;
        }
        words.push_back(w);
    }
    if (!words.empty()) {
        if (!placed) words.push_back(url);
        return words;
    }
    if (envText("DISPLAY").empty() && envText("WAYLAND_DISPLAY").empty()) return {};
    return {"xdg-open", url};
}

bool openInBrowser(const std::string& url, std::string& error) {
    const std::vector<std::string> command = browserCommand(url);
    if (command.empty()) {
        error = "no display and no $BROWSER to open it with";
        return false;
    }
    std::vector<char*> argv;
    for (const auto& w : command) argv.push_back(const_cast<char*>(w.c_str()));
    argv.push_back(nullptr);
    // The browser's messages would mix with the studio's: they are dropped.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // The studio blocks interrupts in its threads; the browser takes them as usual.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    const int r = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (r != 0) {
        error = "cannot run " + command[0] + ": " + std::strerror(r);
        return false;
    }
    // Reaped when it ends (xdg-open hands the page to a browser and ends);
    // the studio does not wait for it.
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

}  // namespace easel::studio
