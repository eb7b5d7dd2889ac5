// The easel program.
#include <iostream>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/Program.h"
#ifndef EASEL_HAS_STUDIO
#include <CLI/CLI.hpp>
#endif

namespace {

#ifndef EASEL_HAS_STUDIO
// A build without the studio (Windows) still knows the command and says why it cannot run it.
easel::cli::ExtraCommand addMissingStudio(CLI::App& app, std::ostream&, std::ostream& err) {
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
    std::vector<easel::cli::AddCommand> extra;
#ifdef EASEL_HAS_STUDIO
    extra.push_back(easel::cli::addStudioCommand);
#else
    extra.push_back(addMissingStudio);
#endif
    return easel::cli::easelMain(argc, argv, std::cout, std::cerr, extra);
}
