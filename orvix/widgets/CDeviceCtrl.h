#pragma once
// A single device tile: its picture on a back colour, with hover and pressed
// looks and codes 1 (press) and 2 (release inside) while its status is not 0.
// A tile with status 0 is inactive: dimmed, and it ignores the mouse.
// Show modes: 0 the picture alone, 1 the picture with the title beneath.
#include "orvix/controls/MButtonBase.h"

namespace Orvix {

class CDeviceCtrl : public MButtonBase {
  public:
    enum { SHOW_PICTURE = 0, SHOW_PICTURE_TITLE = 1 };

    CDeviceCtrl(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"CDeviceCtrl"; }
    // The picture (one frame).
    BOOL SetImage(const wchar_t* file, int count = 1) override;
    void SetBackColor(COLORREF color);
    void SetDeviceStatus(int status);
    int GetDeviceStatus() const { return m_status; }
    void SetShowMode(int mode);
    int GetShowMode() const { return m_showMode; }

    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;

  protected:
    void RenderLook(Canvas& canvas, int look, const CRect& rect) override;

  private:
    COLORREF m_back = 0x2E2116;
    int m_status = 0;
    int m_showMode = SHOW_PICTURE;
};

}  // namespace Orvix
