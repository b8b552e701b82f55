#pragma once
// The macro page's library: the list of macros with its new, copy, rename and
// delete, the macro files (import and export), and how much of the mouse's
// macro memory the library takes. Every change is stored at once and the
// library is sent to the mouse.
#include <cstdint>
#include <string>
#include <vector>

#include "orvix/platform/WinTypes.h"

class MacroPage;
class MainPageHost;
namespace Orvix {
class MacroList;
}

class MacroLibraryList {
  public:
    MacroLibraryList(MacroPage& page, MainPageHost& host) : m_page(page), m_host(host) {}

    // The memory line's colour, and the colour of macros that do not fit (and of
    // the line while there are any).
    static constexpr Orvix::Color kMemoryColor{0xFF8FA3B5};
    static constexpr Orvix::Color kLeftOutColor{0xFFFFB14A};

    int32_t GetSelectedMacro() const;
    // Selects the macro with that id and shows its events.
    void SelectMacro(int32_t macroId);
    // Lists the library from the store and selects `select` (none when 0).
    void Fill(int32_t select);
    size_t GetMemoryUsed() const { return m_memoryUsed; }
    const std::vector<int32_t>& GetMacrosLeftOut() const { return m_leftOut; }
    void UpdateMemory();
    // Has the worker send the library; `buttonsChanged`: buttons of the current
    // profile changed with it.
    void QueueUpload(bool buttonsChanged = false);

    void NewMacro();
    void OpenItemMenu();
    void CopyMacro();
    void DeleteMacro();
    void RenameMacro(int row);
    void ImportMacroFile();
    void ExportMacroFile();

  private:
    Orvix::MacroList* List() const;
    void LibraryChanged();

    MacroPage& m_page;
    MainPageHost& m_host;
    size_t m_memoryUsed = 0;
    std::vector<int32_t> m_leftOut;
};
