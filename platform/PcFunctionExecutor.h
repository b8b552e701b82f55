#pragma once
// Carries out the functions the mouse leaves to the PC when it reports a button
// press: launch a program, open a web address, type a text of the library.
// Texts are typed on a thread of the executor's own, one after the other, so the
// caller (the device worker) goes on at once.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

class DataStore;
class DesktopServices;

// The address opened for a stored one: a leading "https://" or else "http://" is
// removed, and "www." is put in front unless the rest holds "www." or is empty.
std::wstring WebAddressToOpen(const std::wstring& stored);

class PcFunctionExecutor {
  public:
    PcFunctionExecutor(DataStore& store, DesktopServices& services);
    // Types what is still waiting before it returns.
    ~PcFunctionExecutor();
    PcFunctionExecutor(const PcFunctionExecutor&) = delete;
    PcFunctionExecutor& operator=(const PcFunctionExecutor&) = delete;

    // kind 9 (program), 10 (web address) or 11 (text), with the id the button's
    // function code carries. Other kinds do nothing. True when something was done
    // (for a text: its typing is on its way).
    bool Execute(int kind, int32_t id);

    // Has `text` typed into the focused window (see PasteThroughClipboard) on the
    // typing thread. False for an empty text, which pastes nothing.
    bool TypeText(const std::wstring& text);
    // Waits until every text handed over has been typed.
    void WaitUntilTyped();

    // Pastes `text` into the focused window through the clipboard, which then
    // holds again every format it held before. True when the keys were pressed.
    bool PasteThroughClipboard(const std::wstring& text);

  private:
    void TypistLoop();

    DataStore& m_store;
    DesktopServices& m_services;

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::wstring> m_texts;
    bool m_typing = false;
    bool m_stop = false;
    std::thread m_typist;  // started with the first text
};
