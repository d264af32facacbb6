#include <cstdio>
#include <string_view>

#include "app/Startup.h"

int main(int argc, char** argv) {
    // Answered before Qt starts, so it needs no display.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::puts("rolvik " ROLVIK_VERSION);
        return 0;
    }
    return rolvik::RunRolvik(argc, argv);
}
