#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "exchange/XmlDocument.h"
#include "exchange/XmlEncodings.h"
#include "base/TextConv.h"
#include "tests/support/TempFolder.h"

namespace {

std::string Utf16Le(std::wstring_view text) {
    std::string bytes;
    for (char16_t u : Orvix::WideToUtf16(text)) {
        bytes.push_back(static_cast<char>(u & 0xFF));
        bytes.push_back(static_cast<char>(u >> 8));
    }
    return bytes;
}

std::string Utf16Be(std::wstring_view text) {
    std::string bytes;
    for (char16_t u : Orvix::WideToUtf16(text)) {
        bytes.push_back(static_cast<char>(u >> 8));
        bytes.push_back(static_cast<char>(u & 0xFF));
    }
    return bytes;
}

// Loads the bytes as a file and returns attribute `v` of the root element.
std::wstring RootValue(const TempFolder& folder, std::string_view bytes, XmlDocument& xml) {
    folder.Write("doc.xml", bytes);
    EXPECT_TRUE(xml.LoadFile(folder.File("doc.xml"))) << xml.GetResult();
    EXPECT_TRUE(xml.FindNext(L""));
    return xml.GetAttribute(L"v");
}

bool Has(const XmlDocument& xml, const wchar_t* entry) {
    return xml.GetResult().find(entry) != std::wstring::npos;
}

const std::wstring kValue = L"Souris \u00e9t\u00e9 \u914d\u7f6e \U0001F5B1";

}  // namespace

TEST(XmlDocumentFile, Utf16WithByteOrderMarkReadsLikeItsUtf8Twin) {
    TempFolder folder;
    const std::wstring body = L"<r v=\"" + kValue + L"\"/>";
    XmlDocument utf8, le, be, marked;
    EXPECT_EQ(RootValue(folder, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + Orvix::WideToUtf8(body), utf8),
              kValue);
    const std::wstring declared16 = L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + body;
    EXPECT_EQ(RootValue(folder, "\xFF\xFE" + Utf16Le(declared16), le), kValue);
    EXPECT_EQ(RootValue(folder, "\xFE\xFF" + Utf16Be(declared16), be), kValue);
    EXPECT_TRUE(Has(be, L"endian_swap"));
    EXPECT_EQ(RootValue(folder, "\xEF\xBB\xBF" + Orvix::WideToUtf8(body), marked), kValue);
    EXPECT_EQ(marked.GetText(), body);  // the mark is not part of the document
}

TEST(XmlDocumentFile, DeclaredEncodingsAreConverted) {
    TempFolder folder;
    XmlDocument xml;
    EXPECT_EQ(RootValue(folder, "<?xml version='1.0' encoding='ISO-8859-1'?><r v='caf\xE9'/>", xml),
              L"caf\u00e9");
    EXPECT_EQ(RootValue(folder, "<?xml version=\"1.0\" encoding=\"Windows-1252\"?><r v=\"\x80\"/>", xml),
              L"\u20ac");
    EXPECT_EQ(
        RootValue(folder, "<?xml version=\"1.0\" encoding=\"shift_jis\"?><r v=\"\x83\x7d\x83\x45\x83\x58\"/>",
                  xml),
        L"\u30de\u30a6\u30b9");
    EXPECT_EQ(
        RootValue(
            folder,
            "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\"/>"
            "</head><body v=\"\xCF\"/></html>",
            xml),
        L"");
    ASSERT_TRUE(xml.StepIn() && xml.FindNext(L"body"));  // the root was html
    EXPECT_EQ(xml.GetAttribute(L"v"), L"\u041f");
    // A UTF-16 declaration in 8-bit text can only be UTF-8 text.
    EXPECT_EQ(RootValue(folder, "<?xml version=\"1.0\" encoding=\"UTF-16\"?><r v=\"\xC3\xA9\"/>", xml),
              L"\u00e9");
}

TEST(XmlDocumentFile, UndeclaredTextIsUtf8OrElseTheAnsiCodePage) {
    TempFolder folder;
    XmlDocument xml;
    EXPECT_EQ(RootValue(folder, "<r v=\"\xC3\xA9\"/>", xml), L"\u00e9");
    EXPECT_EQ(RootValue(folder, " <r v=\"\xC3\xA9\"/>", xml), L"\u00e9");
    EXPECT_TRUE(Has(xml, L"utf8_detection=UTF-8"));
    EXPECT_EQ(RootValue(folder, " <r v=\"\xE9\x80\"/>", xml), L"\u00e9\u20ac");
    EXPECT_TRUE(Has(xml, L"utf8_detection=ANSI"));
}

TEST(XmlDocumentFile, NulCharactersAreRemoved) {
    TempFolder folder;
    XmlDocument xml;
    // UTF-16 without a mark starts with "<" and reads as UTF-8 with NULs between.
    EXPECT_EQ(RootValue(folder, Utf16Le(L"<r v=\"plain\"/>"), xml), L"plain");
    EXPECT_TRUE(Has(xml, L"nulls_removed=14"));
}

TEST(XmlDocumentFile, SavesInTheEncodingTheDeclarationNames) {
    TempFolder folder;
    XmlDocument xml;
    const std::wstring undeclared = L"<r v=\"" + kValue + L"\"/>";
    xml.SetText(undeclared);
    ASSERT_TRUE(xml.SaveFile(folder.File("plain.xml")));
    EXPECT_EQ(folder.Read("plain.xml"), Orvix::WideToUtf8(undeclared));  // UTF-8, no mark

    const std::wstring utf16 = L"<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n" + undeclared;
    xml.SetText(utf16);
    ASSERT_TRUE(xml.SaveFile(folder.File("wide.xml")));
    EXPECT_EQ(folder.Read("wide.xml"), "\xFF\xFE" + Utf16Le(utf16));
    XmlDocument reread;
    ASSERT_TRUE(reread.LoadFile(folder.File("wide.xml")));
    EXPECT_EQ(reread.GetText(), utf16);

    const std::wstring latin = L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r v=\"\u00e9\"/>";
    xml.SetText(latin);
    ASSERT_TRUE(xml.SaveFile(folder.File("latin.xml")));
    EXPECT_EQ(folder.Read("latin.xml"), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r v=\"\xE9\"/>");
    ASSERT_TRUE(reread.LoadFile(folder.File("latin.xml")));
    EXPECT_EQ(reread.GetText(), latin);

    // Characters the declared encoding cannot hold are not silently reported as saved.
    xml.SetText(L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r v=\"\u914d\"/>");
    EXPECT_FALSE(xml.SaveFile(folder.File("lossy.xml")));
    EXPECT_TRUE(Has(xml, L"conversion_loss"));
}

TEST(XmlDocumentFile, UnreadableOrUnwritablePathsFail) {
    TempFolder folder;
    XmlDocument xml;
    xml.SetText(L"<a/>");
    EXPECT_FALSE(xml.LoadFile(folder.File("missing.xml")));
    EXPECT_TRUE(Has(xml, L"file_error"));
    EXPECT_EQ(xml.GetText(), L"");
    EXPECT_FALSE(xml.FindNext(L"a"));
    EXPECT_FALSE(xml.LoadFile(folder.Folder()));  // a directory
    EXPECT_FALSE(xml.SaveFile(folder.File("no/such/folder.xml")));
    // A file far larger than any the program reads is refused, not read into memory.
    folder.Write("huge.xml", "<a/>");
    std::filesystem::resize_file(Orvix::WideToUtf8(folder.File("huge.xml")), 65u << 20);
    EXPECT_FALSE(xml.LoadFile(folder.File("huge.xml")));
    EXPECT_TRUE(Has(xml, L"file_error")) << xml.GetResult();
}

TEST(XmlEncodingNames, UsualNamesResolveWithoutRegardToCase) {
    EXPECT_EQ(CodePageFromName(L"ISO-8859-1"), 28591);
    EXPECT_EQ(CodePageFromName(L"gb2312"), 936);
    EXPECT_EQ(CodePageFromName(L"UTF-32"), 65005);
    EXPECT_EQ(CodePageFromName(L"no-such-encoding"), -1);
    EXPECT_EQ(CodePageFromName(L"\u0130SO-8859-1"), -1);  // only A to Z are folded
}
