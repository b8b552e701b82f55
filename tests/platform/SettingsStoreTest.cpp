#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#include <vector>

#include "base/TextConv.h"
#include "base/SettingsStore.h"
#include "tests/platform/ScratchHome.h"

namespace fs = std::filesystem;

namespace {

fs::path StorePath() {
    return Orvix::WideToUtf8(GetSettingsStorePath());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

using SettingsStoreTest = ScratchHome;

TEST_F(SettingsStoreTest, FirstReadCreatesTheStoreAndWritesNeedIt) {
    EXPECT_FALSE(WriteAppRegInt(L"exit_mode", 1));  // no store yet: nothing is created
    EXPECT_FALSE(fs::exists(StorePath()));

    EXPECT_EQ(ReadAppRegInt(L"exit_mode"), 0);
    EXPECT_TRUE(fs::is_regular_file(StorePath()));

    EXPECT_TRUE(WriteAppRegInt(L"exit_mode", 1));
    EXPECT_TRUE(WriteAppRegInt(L"DeviceType", 101));
    EXPECT_TRUE(WriteAppRegInt(L"LCID", -5));
    EXPECT_TRUE(WriteAppRegInt(L"DeviceType", 102));
    EXPECT_EQ(ReadAppRegInt(L"exit_mode"), 1);
    EXPECT_EQ(ReadAppRegInt(L"devicetype"), 102);  // names ignore case, as registry names do
    EXPECT_EQ(ReadAppRegInt(L"LCID"), -5);
    EXPECT_EQ(ReadBytes(StorePath()), "[Vantorel Mouse]\nexit_mode=1\nDeviceType=102\nLCID=-5\n");
    EXPECT_EQ(fs::status(StorePath()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    EXPECT_FALSE(WriteAppRegInt(L"bad=name", 1));
    EXPECT_FALSE(WriteAppRegInt(L"", 1));
}

TEST_F(SettingsStoreTest, ValuesReadTheWayDecimalTextIsRead) {
    WriteBytes(StorePath(), "[Vantorel Mouse]\nword=abc\nlead= 42abc\nhuge=99999999999\n");
    EXPECT_EQ(ReadAppRegInt(L"word"), 0);
    EXPECT_EQ(ReadAppRegInt(L"lead"), 42);
    EXPECT_EQ(ReadAppRegInt(L"huge"), 2147483647);
}

TEST_F(SettingsStoreTest, ALastLineWithoutLineEndIsAValueAndIsKeptOnWrite) {
    WriteBytes(StorePath(), "[Vantorel Mouse]\nLCID=1036\nDeviceType=102");  // as an editor may save it
    EXPECT_EQ(ReadAppRegInt(L"LCID"), 1036);
    EXPECT_EQ(ReadAppRegInt(L"DeviceType"), 102);
    EXPECT_TRUE(WriteAppRegInt(L"exit_mode", 1));
    EXPECT_EQ(ReadBytes(StorePath()), "[Vantorel Mouse]\nLCID=1036\nDeviceType=102\nexit_mode=1\n");
    EXPECT_TRUE(WriteAppRegInt(L"devicetype", 101));
    EXPECT_EQ(ReadBytes(StorePath()), "[Vantorel Mouse]\nLCID=1036\nDeviceType=101\nexit_mode=1\n");
}

TEST_F(SettingsStoreTest, AWriteKeepsOtherSectionsCommentsAndLineEnds) {
    const std::string before =
        "; kept by hand\r\n[Other Tool]\r\nLCID=7\r\n\r\n[Vantorel Mouse]\r\n; my language\r\nLCID = 1036\r\n"
        "\r\n[Last]\r\nx=1";
    WriteBytes(StorePath(), before);
    EXPECT_EQ(ReadAppRegInt(L"LCID"), 1036);
    EXPECT_TRUE(WriteAppRegInt(L"LCID", 1033));
    EXPECT_TRUE(WriteAppRegInt(L"exit_mode", 1));
    EXPECT_EQ(
        ReadBytes(StorePath()),
        "; kept by hand\r\n[Other Tool]\r\nLCID=7\r\n\r\n[Vantorel Mouse]\r\n; my language\r\nLCID =1033\r\n"
        "exit_mode=1\r\n\r\n[Last]\r\nx=1");
    EXPECT_EQ(ReadAppRegInt(L"LCID"), 1033);
}

TEST_F(SettingsStoreTest, AUtf16StoreIsReadAndStaysUtf16) {
    const std::u16string text = u"[Vantorel Mouse]\r\nLCID=1036\r\n[Autre]\r\nnom=Élodie";
    for (const bool bigEndian : {false, true}) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t unit : text) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += bigEndian ? high : low;
            bytes += bigEndian ? low : high;
        }
        WriteBytes(StorePath(), bytes);
        EXPECT_EQ(ReadAppRegInt(L"LCID"), 1036) << bigEndian;
        EXPECT_TRUE(WriteAppRegInt(L"DeviceType", 102));
        const std::string written = ReadBytes(StorePath());
        EXPECT_EQ(written.substr(0, 2), bytes.substr(0, 2));
        EXPECT_EQ(ReadAppRegInt(L"DeviceType"), 102);
        EXPECT_EQ(ReadAppRegInt(L"LCID"), 1036);
        // The other section's text, accent included, is still there in UTF-16.
        EXPECT_NE(written.find(bigEndian ? std::string("\0\xC9", 2) : std::string("\xC9\0", 2)),
                  std::string::npos);
    }
}

TEST_F(SettingsStoreTest, AFifoOrDeviceAtThePathIsUnreadableAtOnce) {
    fs::create_directories(StorePath().parent_path());
    ASSERT_EQ(mkfifo(StorePath().c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadAppRegInt(L"LCID", 2052), 2052);
    EXPECT_FALSE(WriteAppRegInt(L"LCID", 1033));
    fs::remove(StorePath());
    fs::create_symlink("/dev/zero", StorePath());  // endless: would never finish reading
    EXPECT_EQ(ReadAppRegInt(L"LCID", 2052), 2052);
    EXPECT_FALSE(WriteAppRegInt(L"LCID", 1033));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST_F(SettingsStoreTest, GarbageStoreReadsAsMissingValuesAndHealsOnWrite) {
    std::mt19937 random(7);
    std::string garbage(4096, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    garbage += "\nLCID=1036\n";  // outside the store's section: not a value of the store
    WriteBytes(StorePath(), garbage);
    for (const wchar_t* name : {L"LCID", L"DeviceType", L"exit_mode", L"autorun_minimize"})
        EXPECT_EQ(ReadAppRegInt(name, 2052), 0) << name;
    // What the store does not own stays; its own section is added after it.
    EXPECT_TRUE(WriteAppRegInt(L"LCID", 1033));
    EXPECT_EQ(ReadBytes(StorePath()), garbage + "[Vantorel Mouse]\nLCID=1033\n");
    EXPECT_EQ(ReadAppRegInt(L"LCID"), 1033);
}

TEST_F(SettingsStoreTest, UnreadableStoreIsToldApartOnlyWhenAsked) {
    fs::create_directories(StorePath());  // a folder where the file should be
    EXPECT_EQ(ReadAppRegInt(L"LCID"), 0);
    EXPECT_EQ(ReadAppRegInt(L"LCID", 2052), 2052);
    EXPECT_FALSE(WriteAppRegInt(L"LCID", 1033));
}

// Writers in separate threads open the lock file separately, so they exclude
// each other exactly as separate processes do.
TEST(SettingsStoreConcurrency, ConcurrentWritersKeepEachOthersValues) {
    std::string pattern = (fs::temp_directory_path() / "vantorel-store-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const SettingsStore store(Orvix::Utf8ToWide(pattern) + L"/registry.ini");
    ASSERT_TRUE(store.Create());

    constexpr int kWrites = 40;
    std::atomic<bool> lost{false};
    auto writer = [&](const wchar_t* name) {
        for (int i = 1; i <= kWrites; ++i) {
            if (!store.Write(name, std::to_wstring(i))) lost = true;
            std::wstring value;
            // Another writer may replace the file meanwhile, but never drops this value.
            if (store.Read(name, value) != SettingsStore::Status::Found || std::stoi(value) < i) lost = true;
        }
    };
    std::vector<std::thread> threads;
    for (const wchar_t* name : {L"first", L"second", L"third"}) threads.emplace_back(writer, name);
    for (auto& t : threads) t.join();

    EXPECT_FALSE(lost);
    for (const wchar_t* name : {L"first", L"second", L"third"}) {
        std::wstring value;
        EXPECT_EQ(store.Read(name, value), SettingsStore::Status::Found);
        EXPECT_EQ(value, std::to_wstring(kWrites));
    }
    fs::remove_all(pattern);
}
