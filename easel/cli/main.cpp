// The easel program.
#include <iostream>

#include "Commands.h"
#ifdef EASEL_HAS_STUDIO
#include "Server.h"
#endif

int main(int argc, char** argv) {
    std::vector<easel::cli::AddCommand> extra;
#ifdef EASEL_HAS_STUDIO
    extra.push_back(easel::studio::addStudioCommand);
#endif
    return easel::cli::easelMain(argc, argv, std::cout, std::cerr, extra);
}
