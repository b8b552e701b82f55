// Writes the udev rule of the catalog: udevgen <folder holding config.xml> <rule file>.
// Fails when the catalog is malformed or names no device, so a broken catalog stops
// the build instead of shipping a rule that reaches no mouse.
#include <cstdio>
#include <fstream>

#include "device/DeviceCatalog.h"
#include "device/UdevRule.h"
#include "base/TextConv.h"
#include "base/FileUtil.h"

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
    if (!ReplaceFileAtomically(argv[2], BuildUdevRules(catalog.modes))) {
        std::fprintf(stderr, "udevgen: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
