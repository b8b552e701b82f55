#pragma once
// The rules of the text library that need no window: the two built-in examples
// and the form their names and contents are shown in, the name of a new text,
// the editor's counter, and a rename that reaches the captions of the buttons
// that type the text.
#include <cstdint>
#include <functional>
#include <string>

class DataStore;

// The longest content a text may have (characters).
inline constexpr int kTextContentLimit = 500;

// Language texts of the examples: their names and contents.
inline constexpr int kTextExampleBlessingName = 460;
inline constexpr int kTextExampleServiceName = 461;
inline constexpr int kTextExampleBlessingContent = 470;
inline constexpr int kTextExampleServiceContent = 471;

// A text of a given language: (language id, text id) -> text, "" when missing.
using LanguageTextLookup = std::function<std::wstring(int lcid, int textId)>;

// The language text (460, 461 for names; 470, 471 for contents) a stored example
// is shown as, or 0 for the user's own texts. An example is recognised in the
// forms it was ever created in: the fixed Chinese and English forms, and its
// text in each shipped language (`lookup`), so examples created under any
// language follow a later change of language.
int ExampleNameTextId(const std::wstring& stored, const LanguageTextLookup& lookup);
int ExampleContentTextId(const std::wstring& stored, const LanguageTextLookup& lookup);

// The same against the program's language files, and the form shown in the
// current language (the stored text itself for the user's own texts).
LanguageTextLookup ProgramLanguageTexts();
std::wstring DisplayedTextName(const std::wstring& stored);
std::wstring DisplayedTextContent(const std::wstring& stored);

// When the library is empty, adds the two examples with the names and contents
// `text` gives (the language active now). True when they were added.
bool CreateExampleTexts(DataStore& store, const std::function<std::wstring(int textId)>& text);

// The name of a new text: "<count of listed texts + 1> <word>".
std::wstring NewTextName(int listedCount, const std::wstring& word);

// The editor's counter: "<length>/500".
std::wstring TextCounter(size_t length);

// Renames the text and gives every button that types it, in every profile, the
// new name as its caption. False when the text could not be renamed.
bool RenameTextAndCaptions(DataStore& store, int32_t textId, const std::wstring& name);

// A name of nothing but white space counts as no name.
bool IsBlankTextName(const std::wstring& name);
