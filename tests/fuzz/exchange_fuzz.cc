// libFuzzer target for the macro and profile importers: the bytes as an
// exchange file imported into a real store (an SQLite file in a scratch folder).
// Besides sanitizer reports it checks that whatever was imported is what the
// mouse can take: events of known types within 200 per macro, button
// assignments of stored types on the nine buttons.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "exchange/ExchangeFiles.h"
#include "base/TextConv.h"
#include "storage/DataStore.h"

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

const std::string& Folder() {
    static const std::string folder = [] {
        std::string pattern = "/tmp/vantorel-exchange-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) __builtin_trap();
        mkdir((pattern + "/db").c_str(), 0700);
        return pattern + "/";
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& folder = Folder();
    const std::string path = folder + "file.xml";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) __builtin_trap();
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    DataStore& store = DataStore::Instance();
    store.CloseIfOpen();
    std::remove((folder + "db/fuzz_data1.db").c_str());
    if (!store.OpenForDevice(Orvix::Utf8ToWide(folder), L"fuzz", L"Profile")) __builtin_trap();

    const int32_t macro = ImportMacro(Orvix::Utf8ToWide(path), store);
    if (macro > 0) {
        std::vector<MacroEvent> events;
        Check(store.ListMacroRecords(macro, events) <= kMaxMacroEvents);
        for (const MacroEvent& event : events) Check(event.type >= 2 && event.type <= 12);
    }
    ProfileExchangeContext context;
    context.profile = 1;
    context.lightingPage = size % 2 == 0;
    context.deviceType = 101;
    ImportProfile(Orvix::Utf8ToWide(path), store, context);
    std::vector<KeyRecord> keys;
    store.ListKeys(1, keys);
    for (const KeyRecord& key : keys) Check(key.keyCode >= 0 && key.keyCode <= 8 && key.macroType != 0);
    return 0;
}
