#pragma once
// The macro page's recording: the record button starts and stops it; while it
// runs, the keys and buttons the user presses become the selected macro's
// events, and nothing else on the page or in the window can be used.
#include "features/MacroEditing.h"

class MacroPage;
class MainPageHost;

class MacroRecording {
  public:
    MacroRecording(MacroPage& page, MainPageHost& host) : m_page(page), m_host(host) {}

    void Toggle();
    void Start();
    void Stop(bool save);
    void OnInput(const InputEvent& event);

  private:
    void EnableControls(bool enable);
    bool PointerOverRecordButton() const;

    MacroPage& m_page;
    MainPageHost& m_host;
    MacroRecorder m_recorder;
};
