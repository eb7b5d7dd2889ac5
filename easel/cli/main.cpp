// The easel program. The studio, which serves its page over HTTP, is a
// program of its own (easel-studio, beside this one): `easel studio ...`
// runs it in this process's place, so that the other commands start
// without loading the HTTP server and the TLS libraries it brings.
#include <iostream>
#include <vector>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#endif

#include <CLI/CLI.hpp>

#include "cli/Program.h"

namespace {

#ifdef EASEL_STUDIO_PROGRAM
char** programArgs = nullptr;

// `easel studio ARGS...` runs `easel-studio ARGS...`: the same command line
// (its --help too), the same process.
easel::cli::ExtraCommand addStudio(CLI::App& app, std::ostream&, std::ostream& err) {
    CLI::App* cmd = app.add_subcommand("studio", easel::cli::kStudioDescription);
    cmd->set_help_flag();  // the studio program's own help
    cmd->allow_extras();
    cmd->prefix_command();
    return {cmd, [&err] {
                std::error_code ec;
                const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
                const std::filesystem::path studio =
                    (ec ? std::filesystem::path(".") : self.parent_path()) / EASEL_STUDIO_PROGRAM;
                std::vector<char*> args{const_cast<char*>(EASEL_STUDIO_PROGRAM)};
                // What follows the command's name (no option of easel's own takes a value).
                char** a = programArgs + 1;
                while (*a && std::strcmp(*a, "studio") != 0) ++a;
                for (a += *a ? 1 : 0; *a; ++a) args.push_back(*a);
                args.push_back(nullptr);
                err.flush();
                std::cout.flush();
                execv(studio.c_str(), args.data());
                err << "easel: cannot start the studio, " << studio.string() << ": " << std::strerror(errno)
                    << " (it is installed beside easel; install easel again)\n";
                return 1;
            }};
}
#elif !defined(EASEL_HAS_STUDIO)
// A build without the studio (Windows) still knows the command and says why it cannot run it.
easel::cli::ExtraCommand addStudio(CLI::App& app, std::ostream&, std::ostream& err) {
    CLI::App* cmd = app.add_subcommand("studio", "Not available in this build (needs cpp-httplib and a browser page)");
    cmd->allow_extras();
    return {cmd, [&err] {
                err << "easel: the studio is not available in this build of easel (Windows builds run "
                       "play, tools, dialog and convert between .json documents); use easel on Linux for it\n";
                return 1;
            }};
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Documents written to standard output keep their bytes: no "\r\n" for "\n".
    _setmode(_fileno(stdout), _O_BINARY);
#endif
#ifdef EASEL_HAS_STUDIO
    // easel-studio: the studio command alone, its arguments as given.
    return easel::cli::studioMain(argc, argv, std::cout, std::cerr);
#else
#ifdef EASEL_STUDIO_PROGRAM
    programArgs = argv;
#endif
    return easel::cli::easelMain(argc, argv, std::cout, std::cerr, {addStudio});
#endif
}
