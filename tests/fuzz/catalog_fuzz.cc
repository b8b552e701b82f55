// libFuzzer target for the device catalog and description readers: the same
// bytes read as "config.xml" and as a description file, from a scratch folder.
// Besides sanitizer reports it checks the ranges the readers promise: label
// anchors inside the button map, button slots 0 to 8, USB ids of 16 bits.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "device/DeviceCatalog.h"
#include "base/TextConv.h"

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

const std::string& Folder() {
    static const std::string folder = [] {
        std::string pattern = "/tmp/vantorel-catalog-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) __builtin_trap();
        std::string device = pattern + "/device";
        mkdir(device.c_str(), 0700);
        return pattern + "/";
    }();
    return folder;
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) __builtin_trap();
    std::fwrite(data, 1, size, f);
    std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& folder = Folder();
    WriteFile(folder + "config.xml", data, size);
    WriteFile(folder + "device/m.xml", data, size);
    const std::wstring wideFolder = Orvix::Utf8ToWide(folder);

    DeviceCatalog catalog;
    ReadCatalog(wideFolder, L"/skins/device/", catalog);
    Check(catalog.modes.size() == catalog.supportedIds.size());
    for (const CatalogEntry& mode : catalog.modes) {
        Check(mode.vid >= 0 && mode.vid <= 0xFFFF && mode.pid >= 0 && mode.pid <= 0xFFFF);
        Check(mode.modeValue == 0 || mode.modeValue == 1);
    }
    FindModel(catalog.models, 101);

    DeviceDescription description;
    ReadDeviceDescription(wideFolder, L"m", description);
    Check(description.buttons.size() == description.defaultButtons.size());
    for (const DescriptionButton& button : description.buttons) {
        Check(button.keyValue >= 0 && button.keyValue <= 8);
        for (int v : {button.line.x1, button.line.x2, button.line.y}) Check(v >= 0 && v <= 4096);
    }
    return 0;
}
