#include "app/Startup.h"

int main(int argc, char** argv) {
    return rolvik::RunRolvik(argc, argv);
}
