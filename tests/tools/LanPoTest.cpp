// The translators' converter, run as they run it: language file to PO file and
// back, checked against the shipped files and by gettext's own msgfmt.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "base/TextConv.h"
#include "base/AppContext.h"
#include "base/IniFile.h"
#include "tests/platform/ScratchHome.h"

namespace {

namespace fs = std::filesystem;

const fs::path kTool = fs::path(VANTOREL_BINARY_DIR) / "tools" / "lanpo";
const fs::path kLanguages = fs::path(VANTOREL_SOURCE_DIR) / "data" / "language";

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

class LanPo : public ScratchHome {
  protected:
    // Runs a command line; its standard error is kept in `err`.
    int Run(const std::string& command) {
        const fs::path errors = Root() / "stderr";
        const int status = std::system((command + " 2>" + Quoted(errors)).c_str());
        err = ReadBytes(errors);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int ToPo(const fs::path& translation, const fs::path& po) {
        return Run(Quoted(kTool) + " to-po " + Quoted(kLanguages / "1033.lan") + " " + Quoted(translation) + " -o " +
                   Quoted(po));
    }
    int FromPo(const fs::path& po, const fs::path& lan) {
        return Run(Quoted(kTool) + " from-po " + Quoted(po) + " -o " + Quoted(lan));
    }
    void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    // The texts of a language file as the program reads them.
    static std::map<std::wstring, std::wstring> Texts(const fs::path& path) {
        IniFile file;
        EXPECT_TRUE(file.Load(Orvix::Utf8ToWide(path.string())));
        std::map<std::wstring, std::wstring> texts;
        for (const std::wstring& key : file.GetKeys(L"LAN")) file.Get(L"LAN", key, texts[key]);
        return texts;
    }

    std::string err;
};

TEST_F(LanPo, EveryShippedFileComesBackByteForByte) {
    ASSERT_TRUE(fs::exists(kTool)) << kTool;
    for (const LanguageInfo& language : KnownLanguages()) {
        SCOPED_TRACE(language.lcid);
        const fs::path source = kLanguages / (std::to_string(language.lcid) + ".lan");
        const fs::path po = Root() / (std::to_string(language.lcid) + ".po");
        const fs::path back = Root() / (std::to_string(language.lcid) + ".lan");
        ASSERT_EQ(ToPo(source, po), 0) << err;
        ASSERT_EQ(FromPo(po, back), 0) << err;
        EXPECT_EQ(ReadBytes(back), ReadBytes(source));
        // And the PO file the tool writes comes back the same from its own output.
        const fs::path again = Root() / "again.po";
        ASSERT_EQ(ToPo(back, again), 0) << err;
        EXPECT_EQ(ReadBytes(again), ReadBytes(po));
    }
}

TEST_F(LanPo, EntriesCarryIdEnglishAndTranslationAndGettextAcceptsThem) {
    const fs::path po = Root() / "1031.po";
    ASSERT_EQ(ToPo(kLanguages / "1031.lan", po), 0) << err;
    const std::string text = ReadBytes(po);
    EXPECT_NE(text.find("\"Language: de\\n\""), std::string::npos);
    EXPECT_NE(text.find("msgctxt \"5\"\nmsgid \"Close\"\nmsgstr \"Schließen\"\n"), std::string::npos);
    EXPECT_NE(text.find("#, c-format\nmsgctxt \"901\"\n"), std::string::npos);
    EXPECT_NE(text.find("#, python-brace-format\nmsgctxt \"1019\"\n"), std::string::npos);
    // Quotes that keep a leading blank in the language file are not part of the text.
    EXPECT_NE(text.find("msgctxt \"537\"\nmsgid \" min\"\nmsgstr \" Min.\"\n"), std::string::npos);
    ASSERT_EQ(Run("msgfmt --check -o /dev/null " + Quoted(po)), 0) << err;

    // A translator who drops a placeholder is stopped by gettext's check.
    std::string broken = text;
    const std::string good = "msgstr \"Die Datei {file} wurde nicht gefunden.\"";
    ASSERT_NE(broken.find(good), std::string::npos);
    broken.replace(broken.find(good), good.size(), "msgstr \"Die Datei wurde nicht gefunden.\"");
    Write(po, broken);
    EXPECT_NE(Run("msgfmt --check -o /dev/null " + Quoted(po)), 0);

    // Without a translation the PO file is a template with every msgstr empty.
    const fs::path pot = Root() / "template.pot";
    ASSERT_EQ(Run(Quoted(kTool) + " to-po " + Quoted(kLanguages / "1033.lan") + " -o " + Quoted(pot)), 0) << err;
    EXPECT_NE(ReadBytes(pot).find("msgctxt \"5\"\nmsgid \"Close\"\nmsgstr \"\"\n"), std::string::npos);
    const fs::path empty = Root() / "empty.lan";
    ASSERT_EQ(FromPo(pot, empty), 0) << err;
    EXPECT_EQ(ReadBytes(empty), "[LAN]\n");
    EXPECT_NE(err.find("untranslated"), std::string::npos) << err;
}

TEST_F(LanPo, AwkwardTextsSurviveTheRoundTrip) {
    // CRLF, a byte-order mark, blanks and quotes at the ends, backslashes, tabs,
    // percent signs, characters outside the BMP and an id English lacks.
    const fs::path source = Root() / "1031.lan";
    Write(source,
          "\xEF\xBB\xBF[LAN]\r\n"
          "3=\"  two leading blanks\"\r\n"
          "5=\"\"quoted at both ends\"\"\r\n"
          "12=\"'single'\"\r\n"
          "17=back\\slash and \"inner\" quotes\r\n"
          "20=tab\there 100%% {file} %s\r\n"
          "21=\xF0\x9F\x96\xB1 \xE9\xBC\xA0\xE6\xA0\x87\r\n"
          "5555=an id only this file has\r\n");
    const fs::path po = Root() / "out.po", back = Root() / "back.lan";
    ASSERT_EQ(ToPo(source, po), 0) << err;
    EXPECT_NE(err.find("5555"), std::string::npos) << err;
    EXPECT_NE(ReadBytes(po).find("msgstr \"tab\\there 100%% {file} %s\""), std::string::npos);
    ASSERT_EQ(FromPo(po, back), 0) << err;
    const auto before = Texts(source), after = Texts(back);
    EXPECT_EQ(after, before);
    EXPECT_EQ(after.at(L"3"), L"  two leading blanks");
    EXPECT_EQ(after.at(L"5"), L"\"quoted at both ends\"");
    EXPECT_EQ(after.at(L"12"), L"'single'");
    EXPECT_EQ(after.at(L"5555"), L"an id only this file has");
}

TEST_F(LanPo, FaultyPoFilesAreRefusedWithTheirLine) {
    const fs::path po = Root() / "bad.po", lan = Root() / "out.lan";
    const std::string header = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
    const struct {
        std::string body, message;
    } cases[] = {
        {"msgctxt \"5\"\nmsgid \"Close\"\nmsgstr \"two\\nlines\"\n", "line break"},
        {"msgctxt \"05\"\nmsgid \"Close\"\nmsgstr \"Zu\"\n", "text id"},
        {"msgid \"Close\"\nmsgstr \"Zu\"\n", "text id"},
        {"msgctxt \"5\"\nmsgid \"Close\"\nmsgstr \"Zu\"\nmsgctxt \"5\"\nmsgid \"Close\"\nmsgstr \"Auf\"\n", "twice"},
        {"msgctxt \"5\"\nmsgid \"Close\"\nmsgstr \"unterminated\n", "line 6"},
        {"msgctxt \"5\"\nmsgid \"Close\"\nmsgid_plural \"Closes\"\n", "plural"},
    };
    for (const auto& c : cases) {
        Write(po, header + c.body);
        fs::remove(lan);
        EXPECT_EQ(FromPo(po, lan), 1) << c.body;
        EXPECT_NE(err.find(c.message), std::string::npos) << c.body << "\n" << err;
        EXPECT_FALSE(fs::exists(lan)) << "nothing is written for a faulty file";
    }
    EXPECT_EQ(Run(Quoted(kTool) + " to-po"), 2);
    EXPECT_NE(err.find("Usage"), std::string::npos);
    EXPECT_EQ(Run(Quoted(kTool) + " from-po " + Quoted(Root() / "missing.po")), 1);
    EXPECT_NE(err.find("cannot read"), std::string::npos) << err;
}

}  // namespace
