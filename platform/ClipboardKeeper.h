#pragma once
// The X clipboard (the CLIPBOARD selection) on a display connection and thread of
// its own: it reads every format the clipboard's owner offers, and holds formats
// itself, answering other programs' requests from its thread (large data in
// pieces, as X asks) until another program takes the clipboard. Typing a text
// puts the text there for a paste and then the user's clipboard back, images
// and all. Nothing here waits on the UI thread.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One format a clipboard offers: its X target ("UTF8_STRING", "image/png"), the
// type and unit size (8, 16 or 32) its data came with, and the data.
struct ClipboardFormat {
    std::string target;
    std::string type;
    int format = 8;
    std::string data;  // format 32: as Xlib hands it over (one long per item)

    bool operator==(const ClipboardFormat&) const = default;
};
using ClipboardContents = std::vector<ClipboardFormat>;

// The formats a text is offered in.
ClipboardContents TextClipboardFormats(const std::string& utf8);

class ClipboardKeeper {
  public:
    // The keeper of $DISPLAY, opened on first use and again when the display it
    // had went away or another is named; null when no X display can be opened.
    static ClipboardKeeper* Get();

    ~ClipboardKeeper();
    ClipboardKeeper(const ClipboardKeeper&) = delete;
    ClipboardKeeper& operator=(const ClipboardKeeper&) = delete;

    // Every format the clipboard holds now (none when no program holds it).
    // False when the owner did not answer in time.
    bool Save(ClipboardContents& contents);
    // Takes the clipboard with these formats; an empty list gives it up, so that
    // it is empty. False when the clipboard could not be taken.
    bool Offer(const ClipboardContents& contents);
    // How many requests for data (not for the list of formats) it has answered.
    uint64_t GetAnsweredRequests();
    // True while it holds the clipboard.
    bool IsOwner();

    struct Impl;

  private:
    ClipboardKeeper();
    bool Open();

    std::unique_ptr<Impl> m_impl;
};
