#include <gtest/gtest.h>

#include <string>

#include "exchange/XmlDocument.h"
#include "tests/support/XmlOutline.h"

namespace {

// Walks the index after edits and compares it with a fresh parse of the text.
void ExpectIndexMatchesText(XmlDocument& xml) {
    XmlDocument fresh;
    EXPECT_TRUE(fresh.SetText(xml.GetText())) << fresh.GetResult();
    EXPECT_EQ(OutlineOfRoot(xml), Outline(fresh));
}

const wchar_t* const kDeclaration = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

}  // namespace

TEST(XmlDocumentCursor, FindNextSearchesOnlyForwardAmongSiblings) {
    XmlDocument xml;
    ASSERT_TRUE(xml.SetText(L"<r><a/><b/><c><x/></c></r>"));
    ASSERT_TRUE(xml.FindNext(L"r"));
    ASSERT_TRUE(xml.StepIn());
    EXPECT_FALSE(xml.FindNext(L"B"));  // names compare with case
    EXPECT_FALSE(xml.FindNext(L"x"));  // not a sibling
    EXPECT_TRUE(xml.FindNext(L"b"));
    EXPECT_FALSE(xml.FindNext(L"a"));   // stands before b
    EXPECT_EQ(xml.GetTagName(), L"b");  // a failed search leaves the cursor
    EXPECT_TRUE(xml.FindNext(L""));
    EXPECT_EQ(xml.GetTagName(), L"c");
    EXPECT_FALSE(xml.FindNext(L""));
}

TEST(XmlDocumentCursor, StepInOnChildlessElementThenStepOut) {
    XmlDocument xml;
    EXPECT_FALSE(xml.StepIn());  // no current element
    EXPECT_FALSE(xml.StepOut());
    ASSERT_TRUE(xml.SetText(L"<r><leaf x=\"1\"/><next/></r>"));
    ASSERT_TRUE(xml.FindNext(L"r") && xml.StepIn() && xml.FindNext(L"leaf"));
    EXPECT_TRUE(xml.StepIn());
    EXPECT_FALSE(xml.FindNext(L""));
    EXPECT_EQ(xml.GetAttribute(L"x"), L"");  // no current element inside
    EXPECT_TRUE(xml.StepOut());
    EXPECT_EQ(xml.GetTagName(), L"leaf");
    EXPECT_EQ(xml.GetAttribute(L"x"), L"1");
    EXPECT_TRUE(xml.FindNext(L"next"));
    EXPECT_TRUE(xml.StepOut());
    EXPECT_EQ(xml.GetTagName(), L"r");
    EXPECT_FALSE(xml.StepOut());
}

TEST(XmlDocumentEdit, BuildsTheMacroFileOneElementPerLine) {
    XmlDocument xml;
    xml.SetText(kDeclaration);
    ASSERT_TRUE(xml.AddElement(L"macro"));
    ASSERT_TRUE(xml.StepIn());
    ASSERT_TRUE(xml.AddElement(L"macroinfo"));
    xml.SetAttribute(L"macro_name", L"M1");
    xml.SetAttribute(L"play_times", L"1");
    ASSERT_TRUE(xml.AddElement(L"macroitems"));
    ASSERT_TRUE(xml.StepIn());
    ASSERT_TRUE(xml.AddElement(L"item"));
    xml.SetAttribute(L"desc", L"A");
    xml.SetAttribute(L"index", L"0");
    EXPECT_EQ(xml.GetText(), std::wstring(kDeclaration) +
                                 L"<macro>\r\n"
                                 L"<macroinfo macro_name=\"M1\" play_times=\"1\"/>\r\n"
                                 L"<macroitems>\r\n"
                                 L"<item desc=\"A\" index=\"0\"/>\r\n"
                                 L"</macroitems>\r\n"
                                 L"</macro>");
    ExpectIndexMatchesText(xml);
}

TEST(XmlDocumentEdit, InsertionsKeepTheIndexOfWhatFollows) {
    XmlDocument xml;
    ASSERT_TRUE(xml.SetText(L"<r>\r\n<a x='1' y=\"2\"/>\r\n<c>\r\n<d v=\"4\"/>\r\n</c>\r\n<e></e>\r\n</r>"));
    ASSERT_TRUE(xml.FindNext(L"r") && xml.StepIn() && xml.FindNext(L"a"));
    ASSERT_TRUE(xml.SetAttribute(L"x", L"one"));  // replaced in place, now double-quoted
    ASSERT_TRUE(xml.AddElement(L"b"));            // after a, before c
    ASSERT_TRUE(xml.SetAttribute(L"z", L"3"));
    ASSERT_TRUE(xml.FindNext(L"c") && xml.StepIn() && xml.FindNext(L"d"));
    EXPECT_EQ(xml.GetAttribute(L"v"), L"4");
    ASSERT_TRUE(xml.StepOut() && xml.FindNext(L"e") && xml.StepIn());
    ASSERT_TRUE(xml.AddElement(L"f"));  // only child of an element with an end tag
    ASSERT_TRUE(xml.StepOut() && xml.StepOut() && xml.StepIn());
    ASSERT_TRUE(xml.AddElement(L"g"));  // no current element: after the last child
    EXPECT_EQ(xml.GetText(),
              L"<r>\r\n<a x=\"one\" y=\"2\"/>\r\n<b z=\"3\"/>\r\n<c>\r\n<d v=\"4\"/>\r\n</c>\r\n"
              L"<e>\r\n<f/>\r\n</e>\r\n<g/>\r\n</r>");
    ExpectIndexMatchesText(xml);
    EXPECT_EQ(OutlineOfRoot(xml), L"r(a,b,c(d),e(f),g)");
}

TEST(XmlDocumentEdit, RefusesWhatWouldBreakTheMarkup) {
    XmlDocument xml;
    EXPECT_FALSE(xml.SetAttribute(L"a", L"1"));  // no current element
    EXPECT_FALSE(xml.AddElement(L""));
    EXPECT_FALSE(xml.AddElement(L"a b"));
    EXPECT_FALSE(xml.AddElement(L"a>"));
    EXPECT_FALSE(xml.AddElement(L"!--"));
    ASSERT_TRUE(xml.AddElement(L"a"));
    EXPECT_FALSE(xml.SetAttribute(L"x=\"1\"", L"2"));
    EXPECT_EQ(xml.GetText(), L"<a/>");
}

TEST(XmlDocumentAttributes, SpecialCharactersAreEscapedAndReadBackUnchanged) {
    const std::wstring value = L"a < b & \"c\" > 'd'";
    XmlDocument xml;
    ASSERT_TRUE(xml.AddElement(L"r"));
    ASSERT_TRUE(xml.SetAttribute(L"v", L"old"));
    ASSERT_TRUE(xml.SetAttribute(L"v", value));
    EXPECT_EQ(xml.GetText(), L"<r v=\"a &lt; b &amp; &quot;c&quot; &gt; &apos;d&apos;\"/>");
    EXPECT_EQ(xml.GetAttribute(L"v"), value);

    XmlDocument reread;
    ASSERT_TRUE(reread.SetText(xml.GetText()));
    ASSERT_TRUE(reread.FindNext(L"r"));
    EXPECT_EQ(reread.GetAttribute(L"v"), value);
    EXPECT_EQ(reread.GetAttribute(L"w"), L"");
}

TEST(XmlDocumentAttributes, DecodesCharacterReferencesAndEntityNames) {
    XmlDocument xml;
    ASSERT_TRUE(
        xml.SetText(L"<r v=\"&#65;&#x42;&copy;&EURO;&Agrave;&agrave;&thetasym;&#x1F5B1;\" "
                    L"w='&bogus; &amp &#xD800; &#0; &#x0001F5B1; &longername; &;'/>"));
    ASSERT_TRUE(xml.FindNext(L"r"));
    // Exact names keep their case; another case finds the first such name.
    EXPECT_EQ(xml.GetAttribute(L"v"), L"AB\u00A9\u20AC\u00C0\u00E0\u03D1\U0001F5B1");
    // Unknown, unterminated, invalid or over-long references stay as written.
    EXPECT_EQ(xml.GetAttribute(L"w"), L"&bogus; &amp &#xD800; &#0; &#x0001F5B1; &longername; &;");
}

TEST(XmlDocumentParse, RootFollowedBySecondElementIsNotWellFormed) {
    XmlDocument xml;
    EXPECT_FALSE(xml.SetText(L"<a/>\r\n<b/>"));
    EXPECT_NE(xml.GetResult().find(L"root_has_sibling"), std::wstring::npos);
    EXPECT_TRUE(xml.FindNext(L"b"));  // indexed all the same
}

TEST(XmlDocumentParse, MalformedMarkupIsReportedAndIndexedAsFarAsPossible) {
    const struct {
        const wchar_t* text;
        const wchar_t* entry;
    } cases[] = {
        {L"", L"no_root_element"},
        {L"<a><b></a>", L"unended_start_tag=b"},
        {L"<a></b></a>", L"lone_end_tag=b"},
        {L"<a><!-- open", L"comment_tag_syntax"},
        {L"<a><![CDATA[ open", L"cdata_section_syntax"},
        {L"<a><!junk></a>", L"exclamation_tag_syntax"},
        {L"<a x=1/>", L"first_tag_syntax"},
        {L"<a x=\"1\"y=\"2\"/>", L"first_tag_syntax"},
        {L"<a><b x=\"1\" <c/></a>", L"first_tag_syntax"},
        {L"<a x=\"never closed/>", L"first_tag_syntax"},
    };
    for (const auto& c : cases) {
        XmlDocument xml;
        EXPECT_FALSE(xml.SetText(c.text)) << c.text;
        EXPECT_NE(xml.GetResult().find(c.entry), std::wstring::npos) << c.text << " -> " << xml.GetResult();
    }

    XmlDocument xml;
    xml.SetText(L"<a><b x=\"1\"></a>");
    ASSERT_TRUE(xml.FindNext(L"a") && xml.StepIn() && xml.FindNext(L"b"));
    EXPECT_EQ(xml.GetAttribute(L"x"), L"1");
    xml.SetText(L"<a><b x=\"1\" <c/></a>");  // a broken tag gives way to the next one
    EXPECT_EQ(Outline(xml), L"a(c)");
}

TEST(XmlDocumentParse, DeclarationsCommentsAndCdataHoldNoElements) {
    XmlDocument xml;
    EXPECT_TRUE(
        xml.SetText(L"<?xml version=\"1.0\"?>\n"
                    L"<!DOCTYPE r [ <!ELEMENT r ANY> <!-- it's \"odd\" --> <!ATTLIST r v CDATA '>'> ]>\n"
                    L"<!-- <fake/> -->\n<r a='x>y'><![CDATA[<fake/>]]><real/><?pi <fake/>?></r>\n"))
        << xml.GetResult();
    EXPECT_EQ(Outline(xml), L"r(real)");
}

TEST(XmlDocumentParse, HostileInputEndsInLinearTime) {
    XmlDocument xml;
    std::wstring deep;
    for (int i = 0; i < 100000; ++i) deep += L"<a>";
    for (int i = 0; i < 100000; ++i) deep += L"</b>";
    EXPECT_FALSE(xml.SetText(deep));  // no recursion, no quadratic search for the end tags
    int depth = 0;
    while (xml.FindNext(L"a") && xml.StepIn()) ++depth;
    EXPECT_EQ(depth, 100000);

    std::wstring quotes;
    for (int i = 0; i < 100000; ++i) quotes += L"<a x=\"";
    EXPECT_FALSE(xml.SetText(quotes));
    std::wstring ampersands = L"<a v=\"" + std::wstring(200000, L'&') + L"\"/>";
    ASSERT_TRUE(xml.SetText(ampersands) && xml.FindNext(L"a"));
    EXPECT_EQ(xml.GetAttribute(L"v").size(), 200000u);
}
