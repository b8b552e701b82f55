#pragma once
// A picture inside a frame: the photo (an MPicture underlay with its show
// modes) inset by the frame size, and the frame strip nine-sliced over it by
// state. Code 1 on press, code 2 on click.
#include "orvix/controls/MButtonBase.h"
#include "orvix/core/MPicture.h"

namespace Orvix {

class CPhotoFrame : public MButtonBase {
public:
    CPhotoFrame(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                BOOL enabled = TRUE);

    // The frame strip (4 frames by state, from the window's image cache).
    BOOL SetPhotoFrame(const wchar_t* file, int count = 4);
    // The photo itself.
    BOOL SetImage(const wchar_t* file, int count = 1) override;
    BOOL SetImage(UINT resId, const std::wstring& resType, int count) override;
    BOOL SetShowMode(enumShowMode mode, int inset = 4) { return m_photo->SetShowMode(mode, inset); }
    void SetShowModeMID(int left, int top, int right, int bottom) {
        m_photo->SetShowModeMID(left, top, right, bottom);
    }
    MPicture* GetPhoto() const { return m_photo; }

    void SetFrameSize(int size) override;
    void InitControl(PaintManager* manager) override;
    void SetControlRect(CRect rect) override;
    // The photo changed: the frame's looks hold it, so they render again.
    LRESULT OnControlUpdate(CRect rc, BOOL rerender, MControl* control) override;

protected:
    void RenderLook(Canvas& canvas, int look, const CRect& slice) override { DrawLookFrame(canvas, slice, look); }

private:
    CRect PhotoRect() const;
    MPicture* m_photo;  // owned as an area child
};

}  // namespace Orvix
