#pragma once
// Carries out the functions the mouse leaves to the PC when it reports a button
// press: launch a program, open a web address, type a text of the library.
#include <cstdint>
#include <string>

class DataStore;
class DesktopServices;

// The address opened for a stored one: a leading "https://" or else "http://" is
// removed, and "www." is put in front unless the rest holds "www." or is empty.
std::wstring WebAddressToOpen(const std::wstring& stored);

class PcFunctionExecutor {
  public:
    PcFunctionExecutor(DataStore& store, DesktopServices& services);

    // kind 9 (program), 10 (web address) or 11 (text), with the id the button's
    // function code carries. Other kinds do nothing. True when something was done.
    bool Execute(int kind, int32_t id);

    // Pastes `text` into the focused window through the clipboard, which then
    // holds what it held before. An empty text pastes nothing.
    bool TypeText(const std::wstring& text);

  private:
    DataStore& m_store;
    DesktopServices& m_services;
};
