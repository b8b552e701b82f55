#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Vantorel Mouse 1.0.0\n");
            return 0;
        }
    }
    std::printf("Vantorel Mouse: the main window is not built yet.\n");
    return 0;
}
