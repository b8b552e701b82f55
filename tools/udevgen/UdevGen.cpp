// Writes the udev rule of the catalog: udevgen <folder holding config.xml> <rule file>.
// Fails when the catalog is malformed or names no device, so a broken catalog stops
// the build instead of shipping a rule that reaches no mouse.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "device/DeviceCatalog.h"
#include "device/UdevRule.h"
#include "orvix/core/TextConv.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: udevgen CATALOG_FOLDER RULE_FILE\n");
        return 2;
    }
    DeviceCatalog catalog;
    if (!ReadCatalog(Orvix::Utf8ToWide(argv[1]), L"", catalog)) {
        std::fprintf(stderr, "udevgen: %s/config.xml cannot be read\n", argv[1]);
        return 1;
    }
    if (catalog.modes.empty()) {
        std::fprintf(stderr, "udevgen: %s/config.xml names no device\n", argv[1]);
        return 1;
    }
    const std::filesystem::path out = argv[2];
    const std::filesystem::path temp = out.string() + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file << BuildUdevRules(catalog.modes);
        if (!file.flush()) {
            std::fprintf(stderr, "udevgen: cannot write %s\n", temp.c_str());
            return 1;
        }
    }
    std::error_code error;
    std::filesystem::rename(temp, out, error);
    if (error) {
        std::fprintf(stderr, "udevgen: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
