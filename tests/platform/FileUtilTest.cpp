// Whole-file reads, atomic replacement and the UTF-16 decoding that the language
// files and the XML files share.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>

#include "base/TextConv.h"
#include "base/FileUtil.h"
#include "tests/support/TempFolder.h"

namespace {

std::string Utf8Path(const TempFolder& folder, const std::string& name) {
    return Orvix::WideToUtf8(folder.File(name));
}

}  // namespace

TEST(FileUtil, WholeFileReadsRefuseFoldersAndOversizedFiles) {
    TempFolder folder;
    folder.Write("small.txt", "twelve bytes");
    std::string bytes = "old";
    EXPECT_EQ(ReadFileBytes(Utf8Path(folder, "small.txt"), bytes, 12), 0);
    EXPECT_EQ(bytes, "twelve bytes");
    EXPECT_EQ(ReadFileBytes(Utf8Path(folder, "small.txt"), bytes, 11), EFBIG);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(ReadFileBytes(Orvix::WideToUtf8(folder.Folder()), bytes, 100), EISDIR);
    EXPECT_EQ(ReadFileBytes(Utf8Path(folder, "missing.txt"), bytes, 100), ENOENT);
}

TEST(FileUtil, AtomicReplacementLeavesOnlyTheNewFileReadableByItsOwner) {
    TempFolder folder;
    folder.Write("store.ini", "old contents");
    ASSERT_TRUE(ReplaceFileAtomically(Utf8Path(folder, "store.ini"), "new"));
    EXPECT_EQ(folder.Read("store.ini"), "new");
    struct stat st {};
    ASSERT_EQ(stat(Utf8Path(folder, "store.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_FALSE(ReplaceFileAtomically(Utf8Path(folder, "no/such/folder.ini"), "x"));
}

TEST(FileUtil, Utf16BytesInEitherOrderBecomeTheSameText) {
    const std::wstring text = L"A\u00e9\U0001F600";  // a surrogate pair in UTF-16
    const std::string le("A\0\xE9\0\x3D\xD8\x00\xDE", 8);
    const std::string be("\0A\0\xE9\xD8\x3D\xDE\x00", 8);
    EXPECT_EQ(Utf16BytesToWide(le, false), text);
    EXPECT_EQ(Utf16BytesToWide(be, true), text);
    EXPECT_EQ(Utf16BytesToWide(le + "Z", false), text);  // a last odd byte is dropped
    EXPECT_EQ(Utf16BytesToWide("", false), L"");
}

// A FIFO without a writer, an endless device or a folder where a data file is
// expected (settings, language, catalog and description files all read through
// here) give an error at once instead of a hang.
TEST(FileUtil, SpecialFilesAreRefusedAtOnceWithAClearError) {
    TempFolder folder;
    ASSERT_EQ(mkfifo(Utf8Path(folder, "fifo.lan").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", Utf8Path(folder, "zero.xml"));
    std::filesystem::create_directory(Utf8Path(folder, "folder.xml"));
    const auto start = std::chrono::steady_clock::now();
    std::string bytes;
    EXPECT_EQ(ReadFileBytes(Utf8Path(folder, "fifo.lan"), bytes, 1 << 20), ENODEV);
    EXPECT_EQ(ReadFileBytes(Utf8Path(folder, "zero.xml"), bytes, 1 << 20), ENODEV);
    EXPECT_EQ(ReadFileBytes(Utf8Path(folder, "folder.xml"), bytes, 1 << 20), EISDIR);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

    EXPECT_EQ(CheckRegularFile(Utf8Path(folder, "fifo.lan")), ENODEV);
    EXPECT_EQ(CheckRegularFile(Utf8Path(folder, "folder.xml")), EISDIR);
    folder.Write("plain.lan", "[LAN]\n");
    EXPECT_EQ(CheckRegularFile(Utf8Path(folder, "plain.lan")), 0);
    EXPECT_EQ(DescribeFileError(ENODEV), "it is a device, FIFO or socket, not a file");
}
