#pragma once
// A push button that, while held, repeats code 32 at most every 300 ms; the
// repeat is checked on each tick of the window's animation ticker.
#include "orvix/controls/MButton.h"

namespace Orvix {

class LongPressButton : public MButton {
public:
    static constexpr uint64_t kRepeatMs = 300;

    LongPressButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                    BOOL enabled = TRUE);

    void InitControl(PaintManager* manager) override;
    BOOL OnControlTimer() override;

protected:
    void OnPressed() override;

private:
    uint64_t m_lastRepeat = 0;
};

}  // namespace Orvix
