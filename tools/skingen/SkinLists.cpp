// Images of the scrolling panels, lists, edits, combo boxes and menus.
#include "tools/skingen/SkinGen.h"

namespace SkinGen {
namespace {

using namespace Orvix;

void ClearGlyph(Canvas& c, const CRect& r, int state) {
    CRect g = Inset(r, 4);
    Color col = (state & 3) == 3 ? kDisabled : (state & 3) ? kAccent : Color(0xFF8A96A3);
    StateHalo(c, Inset(r, 1), state, true);
    c.DrawLine(g.TopLeft(), CPoint(g.right - 1, g.bottom - 1), col, 2);
    c.DrawLine(CPoint(g.right - 1, g.top), CPoint(g.left, g.bottom - 1), col, 2);
}

void MenuGlyph(Canvas& c, const CRect& r, int state, bool copy) {
    Color col = (state & 3) == 3 ? kDisabled : (state & 3) ? kAccent : kText;
    StateHalo(c, Inset(r, 1), state, false);
    CRect g = Inset(r, 3);
    if (copy) {
        c.DrawRoundRect(CRect(g.left, g.top + 3, g.right - 3, g.bottom), 2, col);
        c.DrawRoundRect(CRect(g.left + 3, g.top, g.right, g.bottom - 3), 2, col);
    } else {
        c.DrawLine(CPoint(g.left, g.top + 2), CPoint(g.right - 1, g.top + 2), col, 2);
        c.DrawRoundRect(CRect(g.left + 2, g.top + 4, g.right - 2, g.bottom), 2, col);
    }
}

void AddListImages(SkinList& images) {
    images.insert(
        images.end(),
        {
            // Skin-file stand-ins for windows without the scroll resources.
            {"img_scroll_v.png", 1, 27, 120, [](Canvas& c, const CRect& r, int) { Scrollbar(c, r, true); }},
            {"img_scroll_h.png", 1, 120, 21, [](Canvas& c, const CRect& r, int) { Scrollbar(c, r, false); }},
            {"img_edit_clear.png", 4, 18, 18, ClearGlyph},
            {"img_menu_copy.png", 4, 18, 18,
             [](Canvas& c, const CRect& r, int s) { MenuGlyph(c, r, s, true); }},
            {"img_menu_delete.png", 4, 18, 18,
             [](Canvas& c, const CRect& r, int s) { MenuGlyph(c, r, s, false); }},
            {"img_list_bkg.png", 1, 48, 48,
             [](Canvas& c, const CRect& r, int) {
                 c.FillRoundRect(r, 6, Color(0xFF0A1118));
                 c.DrawRoundRect(r, 6, kLine);
             }},
        });
}

const SkinRegistrar registrar(AddListImages);

}  // namespace
}  // namespace SkinGen
