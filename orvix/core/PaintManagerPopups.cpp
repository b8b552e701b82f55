// PaintManager: the windows it keeps beside its own (tooltip, bubble) and the
// files dropped onto the window.
#include "orvix/core/MAirBladder.h"
#include "orvix/core/MTooltipWnd.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

// ---------------------------------------------------------------- tooltip

void PaintManager::SetTooltip(const wchar_t* text, CRect rect, UINT ownerId) {
    m_tooltipText = text ? text : L"";
    m_tooltipRect = rect;
    m_tooltipOwner = m_tooltipText.empty() ? 0 : ownerId;
    if (m_tooltipText.empty()) {
        if (m_tooltipWnd) m_tooltipWnd->Deactivate();
        return;
    }
    if (!m_hwnd) return;
    if (!m_tooltipWnd) {
        m_tooltipWnd = std::make_unique<MTooltipWnd>();
        m_tooltipWnd->Init(m_hwnd);
    }
    m_tooltipWnd->Activate(m_tooltipText);
}

void PaintManager::ClearTooltip() {
    m_tooltipText.clear();
    m_tooltipRect.SetRectEmpty();
    m_tooltipOwner = 0;
    if (m_tooltipWnd) m_tooltipWnd->Deactivate();
}

void PaintManager::RelayToTooltip(UINT msg) {
    if (!m_tooltipWnd || !m_tooltipWnd->IsActive()) return;
    if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MOUSEWHEEL) m_tooltipWnd->Deactivate();
}

// ---------------------------------------------------------------- bubble

void PaintManager::SetAirBladderMsg(const wchar_t* text, POINT screenPt, AIRBLADDER_TYPE type,
                                    AIRBLADDER_MODE mode) {
    if (!m_hwnd) return;
    if (!m_bubble) {
        m_bubble = std::make_unique<MAirBladder>();
        m_bubble->CreatePopup(m_hwnd, L"AirBladder Window", CRect(0, 0, 1, 1));
        m_bubble->LoadBKImage(L"img_tip_bk.png");
        m_bubble->SetBackMode(BACK_MODE_NINE, 6);
        m_bubble->LoadArrowLImage(L"img_tip_arrow_left.png");
        m_bubble->LoadArrowRImage(L"img_tip_arrow_right.png");
        m_bubble->LoadArrowTImage(L"img_tip_arrow_top.png");
    }
    m_bubbleMode = mode;
    m_bubble->SetAirBladderMsg(text, screenPt, type, mode);
}

void PaintManager::ShowAirBladder(int show, int mode) {
    if (!m_bubble) return;
    if (!show && mode != 0 && mode != m_bubbleMode) return;  // someone else's bubble
    if (show) {
        if (mode != 0) m_bubbleMode = mode;
        m_bubble->Show(TRUE);
    } else {
        m_bubble->Hide();
    }
}

void PaintManager::DestroyPopups() {
    m_tooltipWnd.reset();
    m_bubble.reset();
}

// ---------------------------------------------------------------- dropped files

void PaintManager::OnDropFiles(const DropFilesData* drop) {
    if (!drop) return;
    // The drop ends like a release of the button at the drop point.
    PostMessageW(WM_LBUTTONUP, 0, MAKELPARAM(drop->point.x, drop->point.y));
    for (const std::wstring& file : drop->files) {
        std::shared_ptr<Image> image = Image::Load(file);
        if (!image) continue;  // not a picture
        SendMessageW(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(&image));
        return;
    }
}

}  // namespace Orvix
