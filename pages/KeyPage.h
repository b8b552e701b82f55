#pragma once
// The key page: the function of each mouse button. The button map shows what
// every button does; choosing a button shows its stored assignment in the type
// list and the value controls, and applying writes the assignment to the store
// of the current profile and has the worker send the key map.
#include <memory>
#include <string>
#include <vector>

#include "pages/MainPage.h"
#include "features/KeyApplyDecision.h"
#include "base/StoreRecords.h"

class LiveInputReader;
struct InputEvent;
struct KeyPageChoice;

class KeyPage : public MainPage {
  public:
    enum : Orvix::UINT {
        IDC_AREA = 64,  // with its caption bar 65 and caption 66
        IDC_TYPE_LIST = 69,
        IDC_TYPE_CAPTION = 70,
        IDC_GROUP = 71,
        IDC_ITEM = 72,
        IDC_PATH_EDIT = 73,
        IDC_VALUE_LIST = 74,
        IDC_APPLY = 75,
        IDC_RESTORE = 76,
        IDC_CAPTURE = 77,
        IDC_CTRL = 78,
        IDC_WIN = 79,
        IDC_ALT = 80,
        IDC_SHIFT = 81,
        IDC_BUTTON_MAP = 82,
        IDC_MOUSE_PICTURE = 83,  // the model's picture under the button map
        IDC_NO_MACRO = 84,       // the note shown for the macro type with no macro
        IDC_OPEN_MACROS = 85,    // and its way to the macro page
        IDC_RADIO_HELD = 90,
        IDC_RADIO_TOGGLE = 91,
        IDC_RADIO_ANY = 92,
        IDC_RADIO_COUNT = 93,
        IDC_COUNT = 94,
        IDC_OPEN_FILE = 95,
    };

    KeyPage(MainPageHost& host, Orvix::MPanel& container);
    ~KeyPage() override;

    void Create() override;
    void Layout(double scale) override;
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam,
                             Orvix::LPARAM lParam) override;
    void Reload() override;
    void OnLanguageChanged() override;
    void OnShow(bool shown) override;
    void OnPageEvent(PageEvent event) override;

    // ---- what the page holds (tests and screenshots) ----
    int GetSelectedKeyCode() const { return m_keyCode; }
    int GetSelectedType() const { return m_type; }
    int GetCapturedVk() const { return m_capturedVk; }
    // The program a launch button starts: the path in the edit, as typed or chosen.
    std::wstring GetProgramPath() const;
    bool IsCapturing() const;
    // Chooses a function type as a click on the type list does.
    void ChooseType(int type);

    // The caption a macro or text name is shown under.
    static std::wstring MacroDisplayName(const std::wstring& name);
    static std::wstring TextDisplayName(const std::wstring& name);

  private:
    void LoadButtons();
    // The button map's names for a screen reader ("Button 3").
    void NameButtons();
    // The captions of the stored assignments again, the selection kept.
    void RefreshCaptions();
    void SelectButton(int index);
    void ShowAssignment();
    void ApplyChoice(const KeyPageChoice& choice);
    void ShowType(int type);
    void HideValueControls();
    void FillGroup(int type);
    void OnGroupChanged();
    void FillShortcuts(int group);
    void FillMacros();
    void FillTexts();
    void PlaceApplyButtons();
    void Apply();
    // What the controls hold for the chosen type (the count field is corrected on the way).
    KeyApplyInput GatherApplyInput();
    void TellRefusal(KeyApplyRefusal refusal, const std::wstring& programPath);
    void RestoreDefault();
    void ChooseProgram();
    // The macro type without any macro in the library says so and offers the macro page.
    void ShowNoMacroNote(bool shown);
    void LoadMousePicture();
    void PlaceMousePicture();
    void ClampCount();
    void StartCapture();
    void StopCapture();
    void OnInput(const InputEvent& event);
    std::wstring DefaultCaption(int keyCode) const;
    const KeyRecord* DefaultEntry(int keyCode) const;
    int ModifierMask();
    void SetControlVisible(Orvix::UINT id, bool visible);

    std::unique_ptr<LiveInputReader> m_reader;
    int m_keyCode = 1;
    int m_type = 1;
    int m_capturedVk = 0;
    std::wstring m_capturedName;
    bool m_capturing = false;
    std::wstring m_pictureFile;  // the model picture shown
    std::wstring m_chosenPath;   // the program last taken from the chooser
    int m_captureGeneration = 0;
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);  // for work posted to the UI thread
    double m_scale = 1.0;
};
