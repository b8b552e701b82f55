#pragma once
// A control whose text can be changed without keys (a screen reader's editable
// text): the change goes through the control's own field as typing does, so
// digit-only fields and length limits hold and the control's owner hears it.
#include <string>

namespace Orvix {

enum class TextOp { SetContents, Insert, Delete, Copy, Cut, Paste };

struct TextEditOutcome {
    bool opened = false;  // the field is open for editing (and has the focus)
    bool done = false;    // the change was made
};

class EditableTextHost {
  public:
    // `start` and `end` are character offsets; `end` < 0 means the end of the text.
    virtual TextEditOutcome EditAsTyping(TextOp op, int start, int end, const std::wstring& text) = 0;

  protected:
    ~EditableTextHost() = default;
};

}  // namespace Orvix
