#pragma once
// A button that fills from the left with the download progress (0..100).
#include "orvix/controls/MButton.h"

namespace Orvix {

class DownloadButton : public MButton {
public:
    DownloadButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                   BOOL enabled = TRUE);

    // Clamped to 0..100.
    void SetDownloadProcess(int percent);
    int GetDownloadProcess() const { return m_percent; }

protected:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) override;

private:
    int m_percent = 0;
};

}  // namespace Orvix
