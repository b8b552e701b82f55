// vantorelctl: a command-line front end over the program's device worker and store.
#include <iostream>

#include "app/VantorelCtl.h"

int main(int argc, char** argv) {
    return RunVantorelCtl(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
