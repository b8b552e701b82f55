// Writes the AppStream metadata with the catalog's USB ids as <modalias> entries:
// metainfogen <folder holding config.xml> <template> <metadata file>. The line of the
// template that holds "@MODALIASES@" becomes one entry per id, so a model added to
// config.xml needs no second edit. Fails on a catalog without ids or a template
// without the marker.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "device/DeviceCatalog.h"
#include "device/UdevRule.h"
#include "base/TextConv.h"
#include "base/FileUtil.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: metainfogen CATALOG_FOLDER TEMPLATE METAINFO_FILE\n");
        return 2;
    }
    DeviceCatalog catalog;
    if (!ReadCatalog(Orvix::Utf8ToWide(argv[1]), L"", catalog)) {
        std::fprintf(stderr, "metainfogen: %s/config.xml cannot be read\n", argv[1]);
        return 1;
    }
    const std::vector<std::string> modaliases = BuildUsbModaliases(catalog.modes);
    if (modaliases.empty()) {
        std::fprintf(stderr, "metainfogen: %s/config.xml names no device\n", argv[1]);
        return 1;
    }
    std::ifstream in(argv[2], std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string metainfo = InsertModaliases(text.str(), "@MODALIASES@", modaliases);
    if (!in || metainfo.empty()) {
        std::fprintf(stderr, "metainfogen: %s cannot be read or has no @MODALIASES@ line\n", argv[2]);
        return 1;
    }
    if (!ReplaceFileAtomically(argv[3], metainfo)) {
        std::fprintf(stderr, "metainfogen: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
