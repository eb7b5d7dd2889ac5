// The easel program.
#include <iostream>

#include "Commands.h"

int main(int argc, char** argv) { return easel::cli::easelMain(argc, argv, std::cout, std::cerr); }
