#pragma once
// The text page: the library of texts a mouse button can type. The list names
// the texts (renamed in place), the editor holds the selected text's content
// (at most 500 characters, with a counter), and every change of the library is
// told to the key page, whose text list follows it.
#include <cstdint>
#include <string>

#include "pages/MainPage.h"
#include "platform/DesktopTools.h"

class TextPage : public MainPage {
  public:
    enum : Orvix::UINT {
        IDC_AREA = 156,  // with its caption bar 157 and caption 158
        IDC_LIST_PANEL = 159,
        IDC_SUBTITLE = 160,
        IDC_EDITOR_PANEL = 161,
        IDC_LIST = 162,
        IDC_NEW = 163,
        IDC_DELETE = 164,
        IDC_CONTENT_CAPTION = 166,
        IDC_EDITOR = 168,
        IDC_CHARACTER_MAP = 169,
        IDC_CLEAR = 170,
        IDC_SAVE = 171,
        IDC_COUNTER = 172,
    };

    using MainPage::MainPage;
    void Create() override;
    void Layout(double scale) override;
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam,
                             Orvix::LPARAM lParam) override;
    void OnLanguageChanged() override;
    void OnShow(bool shown) override;
    void OnPageEvent(PageEvent event) override;

    // ---- what the page holds (tests and screenshots) ----
    // The selected text's id; 0 when none is selected.
    int32_t GetSelectedTextId() const;
    // The character map the button starts; empty when none is installed.
    const DesktopCommand& GetCharacterMapCommand() const { return m_characterMap; }

  private:
    void LoadTexts();
    void SelectRow(int row);
    void ShowContent(const std::wstring& shown);
    void ShowCounter();
    void UpdateControlStates();
    void OnRenamed(int row);
    void NewText();
    void DeleteSelected();
    void SaveContent();
    void ClearContent();
    void UpdateCharacterMapButton();
    void OpenCharacterMap();
    void LibraryChanged();
    std::wstring EditorText() const;

    // The content as it was put into the editor: a language change shows an
    // example in the new language unless the user has edited it since.
    std::wstring m_shownContent;
    DesktopCommand m_characterMap;
};
