#pragma once
// The macro page: the macro library, recording and editing. Every change is
// stored at once and the whole library is sent to the mouse; the page shows how
// much of the mouse's macro memory the library takes and marks the macros that
// do not fit. The page builds and places the controls and routes their
// notifications to its three parts: the library list (with macro files), the
// event editor (events, delays, inserting) and the recording.
#include <memory>
#include <string>
#include <vector>

#include "pages/MacroEventEditor.h"
#include "pages/MacroLibraryList.h"
#include "pages/MacroRecording.h"
#include "pages/MainPage.h"

class LiveInputReader;
struct InputEvent;

class MacroPage : public MainPage {
  public:
    enum : Orvix::UINT {
        IDC_AREA = 113,  // with its caption bar 114 and caption 115
        IDC_MEMORY = 116,
        IDC_MACRO_LIST = 119,
        IDC_NEW = 120,
        IDC_IMPORT = 121,
        IDC_EXPORT = 122,
        IDC_DELAY_PANEL = 124,
        IDC_INSERT_PANEL = 125,
        IDC_DELAY_CAPTION = 126,
        IDC_INSERT_CAPTION = 127,
        IDC_EVENT_LIST = 131,
        IDC_DELETE_EVENT = 133,
        IDC_CLEAR_EVENTS = 134,
        IDC_COUNTER = 135,
        IDC_INSERT_WHEEL = 136,
        IDC_RECORD = 138,
        IDC_DELAY_NONE = 140,
        IDC_DELAY_RECORDED = 141,
        IDC_DELAY_FIXED = 142,
        IDC_FIXED_DELAY = 144,
        IDC_FIXED_UNIT = 145,
        IDC_INSERT_UNIT = 146,
        IDC_INSERT_WHERE = 147,
        IDC_KIND_KEY = 148,
        IDC_KIND_BUTTON = 149,
        IDC_KIND_WHEEL = 150,
        IDC_KIND_DELAY = 151,
        IDC_INSERT_KEY = 152,
        IDC_INSERT_DELAY = 153,
        IDC_INSERT_BUTTON = 154,
        IDC_INSERT = 155,
    };
    // Entries of the macro item menu (lParam of its message).
    static constexpr Orvix::LPARAM kMenuCopy = 101;
    static constexpr Orvix::LPARAM kMenuDelete = 102;
    // Raw-input modes.
    static constexpr int kInputOff = 0;
    static constexpr int kInputRecording = 1;
    static constexpr int kInputInsertKey = 12;

    MacroPage(MainPageHost& host, Orvix::MPanel& container);
    ~MacroPage() override;

    void Create() override;
    void Layout(double scale) override;
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam,
                             Orvix::LPARAM lParam) override;
    void Reload() override;
    void OnLanguageChanged() override;
    void OnShow(bool shown) override;
    void OnPageEvent(PageEvent event) override;
    bool OnWindowMessage(Orvix::UINT msg, Orvix::WPARAM wParam, Orvix::LPARAM lParam,
                         Orvix::LRESULT& result) override;

    // ---- what the page holds (tests and screenshots) ----
    int32_t GetSelectedMacro() const { return m_library.GetSelectedMacro(); }
    bool IsRecording() const { return m_inputMode == kInputRecording; }
    int GetInputMode() const { return m_inputMode; }
    int GetCapturedVk() const { return m_editor.GetCapturedVk(); }
    // Bytes of the mouse's macro memory the library takes, and the macros left out.
    size_t GetMemoryUsed() const { return m_library.GetMemoryUsed(); }
    const std::vector<int32_t>& GetMacrosLeftOut() const { return m_library.GetMacrosLeftOut(); }
    // Selects the macro with that id as a click on its row does.
    void SelectMacro(int32_t macroId) { m_library.SelectMacro(macroId); }

  private:
    friend class MacroLibraryList;
    friend class MacroEventEditor;
    friend class MacroRecording;

    // Live input for the recording or the insert panel's key field (`mode`);
    // false when the reader could not start.
    bool StartInput(int mode);
    void StopInput();
    void OnInput(const InputEvent& event);

    void SetControlVisible(Orvix::UINT id, bool visible);
    void SetTitle(Orvix::UINT id, const std::wstring& text);
    double GetScale() const { return m_scale; }

    MacroLibraryList m_library;
    MacroEventEditor m_editor;
    MacroRecording m_recording;
    std::unique_ptr<LiveInputReader> m_reader;
    int m_inputMode = kInputOff;
    double m_scale = 1.0;
};
