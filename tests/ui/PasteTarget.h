#pragma once
// Another X client with a window of its own, for tests on a private X server: it
// holds the clipboard (what the user copied into it) and, when it gets Ctrl+V,
// asks the clipboard's owner for its text and keeps what it received, as an
// editor would. Its own connection and thread, so it answers selection requests
// while the test runs the program's window.
#include <memory>
#include <string>
#include <utility>
#include <vector>

class PasteTarget {
  public:
    // Opens a window on $DISPLAY and takes the clipboard with `copied` (UTF-8)
    // and the `more` formats (target, data), as a program that copied a picture
    // offers it with a text.
    explicit PasteTarget(const std::string& copied,
                         std::vector<std::pair<std::string, std::string>> more = {});
    ~PasteTarget();
    PasteTarget(const PasteTarget&) = delete;
    PasteTarget& operator=(const PasteTarget&) = delete;

    bool Ready() const;
    // Gives the window the keyboard focus (from its own thread).
    void TakeFocus();
    bool HasFocus() const;
    // Asks the clipboard's owner for its text, as a paste would, or for another
    // target ("image/png"; "TARGETS" gives the names of the formats, one a line).
    void AskClipboard(const std::string& target = "UTF8_STRING");
    // Every text received, in order ("<none>" for a refused request).
    std::vector<std::string> Received() const;

  private:
    struct State;
    std::unique_ptr<State> m_state;
};
