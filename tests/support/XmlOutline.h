#pragma once
// The element tree as XmlDocument's index sees it, written as "a,b(c,d)", for
// comparing the index kept up to date by edits with a fresh parse of the text.
#include <string>

#include "exchange/XmlDocument.h"

// The elements from the cursor's position on at its level, with their subtrees.
inline std::wstring Outline(XmlDocument& xml) {
    std::wstring out;
    while (xml.FindNext(L"")) {
        if (!out.empty()) out += L",";
        out += xml.GetTagName();
        xml.StepIn();
        std::wstring inner = Outline(xml);
        xml.StepOut();
        if (!inner.empty()) out += L"(" + inner + L")";
    }
    return out;
}

// The tree of the top-level element the cursor is in or on (the first one when
// the cursor stands at the top level without a current element).
inline std::wstring OutlineOfRoot(XmlDocument& xml) {
    while (xml.StepOut()) {
    }
    if (xml.GetTagName().empty()) xml.FindNext(L"");  // at the top without a current element
    std::wstring out = xml.GetTagName();
    xml.StepIn();
    std::wstring inner = Outline(xml);
    xml.StepOut();
    return inner.empty() ? out : out + L"(" + inner + L")";
}
