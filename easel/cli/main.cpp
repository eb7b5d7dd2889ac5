// The easel program.
#include <cstring>
#include <iostream>

#include "Commands.h"
#ifdef EASEL_HAS_STUDIO
#include "Server.h"
#endif

int main(int argc, char** argv) {
#ifdef EASEL_HAS_STUDIO
    if (argc > 1 && std::strcmp(argv[1], "studio") == 0)
        return easel::studio::studioMain(argc - 1, argv + 1, std::cout, std::cerr);
#endif
    return easel::cli::easelMain(argc, argv, std::cout, std::cerr);
}
