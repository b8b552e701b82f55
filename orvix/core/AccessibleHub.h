#pragma once
// The UI thread's side of assistive technology: which windows there are, the
// snapshot of their trees (described again after changes, once for many), the
// events between snapshots, and what a screen reader asks to be done (a click,
// the focus, a selection), carried out through the toolkit's own input path.
//
// Nothing here runs until a listener is set: while none is, a change costs one
// flag test and no window is described.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "orvix/core/Accessible.h"
#include "orvix/core/EditableTextHost.h"

namespace Orvix {

class MControl;
class MDialog;

class AccessibleHub {
  public:
    // Every new snapshot with the events since the one before, on the UI
    // thread; the listener must hand them on and return. Null switches off.
    using Listener = std::function<void(std::shared_ptr<const AccessibleSnapshot> snapshot,
                                        std::vector<AccessibleEvent> events)>;
    static void SetListener(Listener listener);
    static bool IsActive();

    // Windows register themselves while they live (MDialog).
    static void AddWindow(MDialog* window);
    static void RemoveWindow(MDialog* window);

    // Describes every window now and tells the listener (UI thread).
    static std::shared_ptr<const AccessibleSnapshot> Rebuild();
    static std::shared_ptr<const AccessibleSnapshot> Current();

    // What a screen reader asks of a node of the current snapshot (UI thread).
    // Each answers false when the object is gone, hidden, disabled or in a
    // window a modal dialog blocks. The click itself runs after the answer
    // (`then` is called first), since it may open a modal dialog.
    static bool DoAction(uint64_t control, int item, const std::function<void(bool)>& then);
    static bool GrabFocus(uint64_t control, int item);
    // Chooses item `item` of a list or tab strip as a click on it does.
    static bool SelectItem(uint64_t control, int item, const std::function<void(bool)>& then);
    // Moves a slider or number field to `value` with the keys a person would use.
    static bool SetValue(uint64_t control, double value);
    // What a reader does to an edit's text: the edit opens and takes the focus,
    // and the change goes through its box as typing does, so the edit's owner
    // hears it as it hears keys. Offsets are characters; `end` < 0 is the end.
    using TextOp = Orvix::TextOp;
    static bool EditText(uint64_t control, TextOp op, int start, int end, const std::wstring& text);

    // The control with this serial, if it still lives in a registered window.
    static MControl* FindControl(uint64_t serial);
};

// Builds the snapshot of these windows (UI thread). `application`: the name of
// the application node.
std::shared_ptr<AccessibleSnapshot> DescribeWindows(const std::vector<MDialog*>& windows,
                                                    const std::wstring& application);

}  // namespace Orvix
