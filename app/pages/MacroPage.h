#pragma once
// The macro page: the macro library, recording and editing. Every change is
// stored at once and the whole library is sent to the mouse; the page shows how
// much of the mouse's macro memory the library takes and marks the macros that
// do not fit. Macro files are imported and exported here, and so are profile
// files (the profile pop-up's buttons reach the page as window messages).
#include <memory>
#include <string>
#include <vector>

#include "app/pages/MainPage.h"
#include "features/MacroEditing.h"

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
    int32_t GetSelectedMacro() const;
    bool IsRecording() const { return m_inputMode == kInputRecording; }
    int GetInputMode() const { return m_inputMode; }
    int GetCapturedVk() const { return m_capturedVk; }
    // Bytes of the mouse's macro memory the library takes, and the macros left out.
    size_t GetMemoryUsed() const { return m_memoryUsed; }
    const std::vector<int32_t>& GetMacrosLeftOut() const { return m_leftOut; }
    // Selects the macro with that id as a click on its row does.
    void SelectMacro(int32_t macroId);

  private:
    void FillMacroList(int32_t select);
    void LoadMacro();
    void ClearEvents();
    void Save();
    // `buttonsChanged`: buttons of the current profile changed with the library.
    void QueueUpload(bool buttonsChanged = false);
    void UpdateCounter();
    void UpdateMemory();
    void LibraryChanged();
    std::vector<MacroEvent> ListedEvents() const;
    int DelayTypeFromRadios() const;
    void SetDelayRadios(int delayType, int delayTime);

    void NewMacro();
    void OpenItemMenu();
    void CopyMacro();
    void DeleteMacro();
    void RenameMacro(int row);
    void OnFixedDelayClosed();

    void ToggleRecording();
    void StartRecording();
    void StopRecording(bool save);
    void EnableControls(bool enable);
    void OnInput(const InputEvent& event);
    void OnRecordedInput(const InputEvent& event);
    bool PointerOverRecordButton() const;

    void ChooseInsertKind(Orvix::UINT kind);
    void StartKeyCapture();
    void StopKeyCapture();
    void InsertEvents();

    void ImportMacroFile();
    void ExportMacroFile();
    void ImportProfileFile();
    void ExportProfileFile();
    // Message box titled `titleId` with text `messageId`, "{file}" replaced by the path.
    void ShowFileMessage(int titleId, int messageId, const std::wstring& path);
    // An import refused: the entries that kept the file out, or messageId when none is named.
    void ShowRefusal(int titleId, int messageId, const std::wstring& path, const std::vector<std::wstring>& badEntries);

    void SetControlVisible(Orvix::UINT id, bool visible);
    void SetTitle(Orvix::UINT id, const std::wstring& text);

    std::unique_ptr<LiveInputReader> m_reader;
    MacroRecorder m_recorder;
    int32_t m_loadedMacro = 0;  // the macro whose events the event list shows
    int m_inputMode = kInputOff;
    int m_captureGeneration = 0;
    int m_capturedVk = 0;
    std::wstring m_capturedName;
    size_t m_memoryUsed = 0;
    std::vector<int32_t> m_leftOut;
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);  // for work posted to the UI thread
    double m_scale = 1.0;
};
