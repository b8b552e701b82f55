#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#include <vector>

#include "orvix/core/TextConv.h"
#include "platform/SettingsStore.h"
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

TEST_F(SettingsStoreTest, TruncatedStoreLosesOnlyTheCutLineAndHealsOnWrite) {
    WriteBytes(StorePath(), "[Vantorel Mouse]\nLCID=1036\nDeviceType=10");  // cut inside "101"
    EXPECT_EQ(ReadAppRegInt(L"LCID"), 1036);
    EXPECT_EQ(ReadAppRegInt(L"DeviceType"), 0);
    EXPECT_TRUE(WriteAppRegInt(L"exit_mode", 1));
    EXPECT_EQ(ReadBytes(StorePath()), "[Vantorel Mouse]\nLCID=1036\nexit_mode=1\n");
}

TEST_F(SettingsStoreTest, GarbageStoreReadsAsMissingValuesAndHealsOnWrite) {
    std::mt19937 random(7);
    std::string garbage(4096, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    garbage += "\nLCID=1036\n";  // outside the store's section: not a value of the store
    WriteBytes(StorePath(), garbage);
    for (const wchar_t* name : {L"LCID", L"DeviceType", L"exit_mode", L"autorun_minimize"})
        EXPECT_EQ(ReadAppRegInt(name, 2052), 0) << name;
    EXPECT_TRUE(WriteAppRegInt(L"LCID", 1033));
    EXPECT_EQ(ReadBytes(StorePath()), "[Vantorel Mouse]\nLCID=1033\n");
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
