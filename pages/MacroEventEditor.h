#pragma once
// The macro page's event editor: the events of the selected macro, deleting
// and clearing them, the delay mode stored with them, and the insert panel
// (a key, a button, a wheel notch or a pause at a chosen place).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "features/MacroEditing.h"
#include "orvix/platform/WinTypes.h"

class MacroPage;
class MainPageHost;

class MacroEventEditor {
  public:
    MacroEventEditor(MacroPage& page, MainPageHost& host) : m_page(page), m_host(host) {}

    // Shows the events of the macro the library selects.
    void LoadMacro();
    void ClearEvents();
    // Stores the listed events with the delay mode as the macro loaded last.
    void Save();
    void UpdateCounter();
    int DelayTypeFromRadios() const;

    void DeleteSelectedEvent();
    void ClearAllEvents();
    void OnDelayModeChosen(Orvix::UINT id);
    void OnFixedDelayClosed();

    void ChooseInsertKind(Orvix::UINT kind);
    // The key field's notifications: typing a key captures it.
    void OnInsertKeyNotify(Orvix::UINT code);
    void OnInsertDelayClosed();
    void StartKeyCapture();
    void StopKeyCapture();
    void OnKeyInput(const InputEvent& event);
    void InsertEvents();
    int GetCapturedVk() const { return m_capturedVk; }

  private:
    std::vector<MacroEvent> ListedEvents() const;
    void SetDelayRadios(int delayType, int delayTime);

    MacroPage& m_page;
    MainPageHost& m_host;
    int32_t m_loadedMacro = 0;  // the macro whose events the event list shows
    int m_captureGeneration = 0;
    int m_capturedVk = 0;
    std::wstring m_capturedName;
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);  // for work posted to the UI thread
};
