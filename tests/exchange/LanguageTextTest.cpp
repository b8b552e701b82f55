#include <time.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "base/LanguageText.h"
#include "base/TextConv.h"
#include "base/AppContext.h"
#include "base/Folders.h"
#include "base/IniFile.h"
#include "tests/platform/ScratchHome.h"

namespace fs = std::filesystem;

namespace {

// The shipped language file of a language id, from the source tree.
std::wstring ShippedFile(int lcid) {
    return GetLanguageFilePath(Orvix::Utf8ToWide(VANTOREL_SOURCE_DIR "/data"), lcid);
}

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(Orvix::WideToUtf8(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

class LanguageFile : public ScratchHome {
  protected:
    std::wstring Folder() const { return Orvix::Utf8ToWide(Root().string()) + L"/"; }

    void WriteFile(int lcid, const std::string& bytes) {
        const fs::path path = Orvix::WideToUtf8(GetLanguageFilePath(Folder(), lcid));
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::wstring Text(int lcid, int id) { return ReadLanguageText(Folder(), lcid, L"LAN", id); }
};

TEST_F(LanguageFile, KeysAreTheIdInDecimalWithoutLeadingZeros) {
    WriteFile(1036, "[LAN]\n061=with a leading zero\n 62 = blanks around \n63=\"  quoted  \"\n");
    EXPECT_EQ(Text(1036, 61), L"");
    EXPECT_EQ(Text(1036, 62), L"blanks around");
    EXPECT_EQ(Text(1036, 63), L"  quoted  ");
    EXPECT_EQ(ReadLanguageText(Folder(), 1036, L"lan", 62), L"blanks around");  // section names ignore case
    EXPECT_EQ(ReadLanguageText(Folder(), 1036, L"OTHER", 62), L"");
}

TEST_F(LanguageFile, LongValuesAreCutTo259Characters) {
    const std::wstring value = std::wstring(298, L'x') + L"\u00e9\U0001F5B1";  // 300 characters
    WriteFile(1033, "[LAN]\n7=" + Orvix::WideToUtf8(value) + "\n");
    EXPECT_EQ(Text(1033, 7), value.substr(0, 259));
}

TEST_F(LanguageFile, IsReadAnewAtEveryLookupAndMissingPartsGiveEmptyText) {
    EXPECT_EQ(Text(1036, 12), L"");
    WriteFile(1036, "12=outside any section\n[LAN]\n13=Fermer\n");
    EXPECT_EQ(Text(1036, 12), L"");
    EXPECT_EQ(Text(1036, 13), L"Fermer");
    WriteFile(1036, "[LAN]\n13=Quitter\n");
    EXPECT_EQ(Text(1036, 13), L"Quitter");
}

TEST_F(LanguageFile, EveryEncodingReadsLikeItsUtf8Twin) {
    const std::wstring text =
        L"[LAN]\r\n1=\u00c9clairage\r\n2=Vantorel \u914d\u7f6e \U0001F5B1\r\n3=Profil\r\n";
    const std::u16string units = Orvix::WideToUtf16(text);
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (char16_t u : units) {
        le += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
        be += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
    }
    WriteFile(1, Orvix::WideToUtf8(text));
    WriteFile(2, "\xEF\xBB\xBF" + Orvix::WideToUtf8(text));
    WriteFile(3, le);
    WriteFile(4, be);
    for (int id = 1; id <= 3; ++id) {
        ASSERT_NE(Text(1, id), L"");
        for (int lcid = 2; lcid <= 4; ++lcid) EXPECT_EQ(Text(lcid, id), Text(1, id)) << lcid << "/" << id;
    }
}

TEST_F(LanguageFile, AMissingOrEmptyFileFallsBackToEnglish) {
    WriteFile(1033, "[LAN]\n5=Profile\n6=Exit\n");
    EXPECT_EQ(Text(1036, 5), L"Profile");  // no French file
    WriteFile(1036, "");
    EXPECT_EQ(Text(1036, 6), L"Exit");
    WriteFile(1036, "[LAN]\n; only a comment\n");
    EXPECT_EQ(Text(1036, 5), L"Profile");
    // A file with texts is used as it is: a key it lacks stays empty.
    WriteFile(1036, "[LAN]\n5=Profil\n");
    EXPECT_EQ(Text(1036, 5), L"Profil");
    EXPECT_EQ(Text(1036, 6), L"");
    fs::remove(Orvix::WideToUtf8(GetLanguageFilePath(Folder(), 1033)));
    fs::remove(Orvix::WideToUtf8(GetLanguageFilePath(Folder(), 1036)));
    EXPECT_EQ(Text(1036, 5), L"");
    EXPECT_EQ(Text(1033, 5), L"");
}

TEST_F(LanguageFile, AnEditKeepingSizeAndTimesIsStillSeen) {
    const fs::path path = Orvix::WideToUtf8(GetLanguageFilePath(Folder(), 1036));
    const auto past = fs::file_time_type::clock::now() - std::chrono::hours(1);
    WriteFile(1036, "[LAN]\n13=Fermer\n");
    fs::last_write_time(path, past);
    EXPECT_EQ(Text(1036, 13), L"Fermer");
    EXPECT_EQ(Text(1036, 13), L"Fermer");  // served from memory now
    // Same size, modification time put back: the change time still tells.
    WriteFile(1036, "[LAN]\n13=Fermez\n");
    fs::last_write_time(path, past);
    EXPECT_EQ(Text(1036, 13), L"Fermez");
    // Two writes of the same size within one clock tick.
    WriteFile(1036, "[LAN]\n13=Quitte\n");
    EXPECT_EQ(Text(1036, 13), L"Quitte");
    WriteFile(1036, "[LAN]\n13=Sortir\n");
    EXPECT_EQ(Text(1036, 13), L"Sortir");
    // Replaced by another file (a new inode), as an editor saves.
    const fs::path other = path.string() + ".new";
    std::ofstream(other, std::ios::binary) << "[LAN]\n13=Partir\n";
    fs::rename(other, path);
    EXPECT_EQ(Text(1036, 13), L"Partir");
}

// Files near the 4 MiB cap, shaped to make a per-key or per-section search
// quadratic: every key distinct, or every line a section of its own. A hang
// of seconds here is what a damaged or hostile file once did to the start.
TEST_F(LanguageFile, AFileNearTheSizeCapLoadsWithoutHanging) {
    std::string keys = "[LAN]\n";
    int last = 0;
    while (keys.size() < 2600000) {
        ++last;
        keys += std::to_string(last) + "=t" + std::to_string(last) + "\n";
    }
    std::string sections = "[LAN]\n1=first\n";
    for (int n = 0; sections.size() < 2600000; ++n) sections += "[s" + std::to_string(n) + "]\nk=v\n";
    sections += "[lan]\n2=second\n";  // the first section again, under another case
    WriteFile(1036, keys);
    WriteFile(1033, sections);
    // This thread's processor time: what the parse costs, however busy the machine.
    const auto cpuSeconds = [] {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) + now.tv_nsec / 1e9;
    };
    const double start = cpuSeconds();
    EXPECT_EQ(Text(1036, 1), L"t1");
    EXPECT_EQ(Text(1036, last), L"t" + std::to_wstring(last));
    EXPECT_EQ(Text(1033, 1), L"first");
    EXPECT_EQ(Text(1033, 2), L"second");
    // Linear parsing takes a fraction of this even in a sanitizer build; the
    // quadratic one took minutes (bench_language_text times it).
    EXPECT_LT(cpuSeconds() - start, 5.0);

    // Above the cap the file is not read at all: English stands in.
    WriteFile(1036, std::string(5 << 20, ';'));
    EXPECT_EQ(Text(1036, 1), L"first");
}

TEST_F(LanguageFile, LookupFollowsTheCurrentLanguageId) {
    const int saved = GetCurrentLcid();
    SetCurrentLcid(1036);
    EXPECT_EQ(GetLanguageText(L"LAN", 12), L"Quitter");  // the copy beside the program
    SetCurrentLcid(1033);
    EXPECT_EQ(GetLanguageText(L"LAN", 12), L"Exit");
    SetCurrentLcid(2052);
    EXPECT_EQ(GetLanguageText(L"LAN", 12), L"退出");
    SetCurrentLcid(1053);  // no such file: English
    EXPECT_EQ(GetLanguageText(L"LAN", 12), L"Exit");
    SetCurrentLcid(saved);
}

TEST(ShippedLanguageFiles, HaveTheEnglishKeysSortedAndUsableTexts) {
    std::map<int, std::set<std::wstring>> keySets;
    for (const LanguageInfo& language : KnownLanguages()) {
        const int lcid = language.lcid;
        const std::string bytes = ReadBytes(ShippedFile(lcid));
        ASSERT_TRUE(bytes.starts_with("[LAN]\n")) << lcid << ": no byte-order mark, UTF-8";
        EXPECT_EQ(Orvix::WideToUtf8(Orvix::Utf8ToWide(bytes)), bytes) << lcid << ": valid UTF-8";
        IniFile file;
        ASSERT_TRUE(file.Load(ShippedFile(lcid)));
        int previous = 0;
        for (const std::wstring& key : file.GetKeys(L"LAN")) {
            const int id = std::stoi(key);
            EXPECT_EQ(key, std::to_wstring(id)) << lcid;
            EXPECT_GT(id, previous) << lcid << ": sorted, no duplicates";
            // Texts are numbered from 1; the ranges handed out for new texts stay below 2000.
            EXPECT_TRUE(id >= 1 && id <= 1999) << id;
            std::wstring text;
            file.Get(L"LAN", key, text);
            EXPECT_FALSE(text.empty()) << lcid << "/" << id;
            EXPECT_LE(text.size(), kMaxLanguageTextLength) << lcid << "/" << id;
            keySets[lcid].insert(key);
            previous = id;
        }
    }
    const std::set<std::wstring>& english = keySets[kLcidEnglish];
    EXPECT_GT(english.size(), 200u);
    for (const auto& [lcid, keys] : keySets) {
        for (const std::wstring& key : english)
            EXPECT_TRUE(keys.count(key)) << lcid << ".lan lacks id " << Orvix::WideToUtf8(key);
        for (const std::wstring& key : keys)
            EXPECT_TRUE(english.count(key)) << lcid << ".lan has id " << Orvix::WideToUtf8(key) << ", English lacks it";
    }
}

TEST(LanguageObservers, RunInOrderUntilRemoved) {
    std::wstring calls;
    const int first = AddLanguageObserver([&] { calls += L'a'; });
    int nested = 0;
    const int second = AddLanguageObserver([&] {
        calls += L'b';
        if (!nested) nested = AddLanguageObserver([&] { calls += L'c'; });  // may register while notified
    });
    NotifyLanguageChanged();
    EXPECT_EQ(calls, L"ab");
    RemoveLanguageObserver(first);
    NotifyLanguageChanged();
    EXPECT_EQ(calls, L"abbc");
    RemoveLanguageObserver(second);
    RemoveLanguageObserver(nested);
    NotifyLanguageChanged();
    EXPECT_EQ(calls, L"abbc");
}
