// The toolkit's own images: backgrounds, panels, buttons, check boxes, system
// buttons and scroll-bar parts.
#include "tools/skingen/SkinGen.h"

namespace SkinGen {
namespace {

using namespace Orvix;

void AddCoreImages(SkinList& images) {
    images.insert(
        images.end(),
        {
            {"main_bkg.png", 1, 128, 128, Background},
            {"bk_prompt.png", 1, 96, 96, Panel},
            {"img_caption.png", 1, 64, 40, Caption},
            {"img_area_bkg.png", 1, 64, 64, Panel},
            {"img_area_content.png", 1, 64, 64, Panel},
            {"img_area_caption.png", 1, 64, 32, Caption},
            {"img_area2.png", 1, 64, 64, Panel},
            {"img_area3.png", 1, 64, 64, Panel},
            {"img_tab_bkg.png", 1, 64, 64, Panel},
            {"img_tabitem_bkg.png", 3, 64, 48,
             [](Canvas& c, const CRect& r, int s) {
                 if (s == 0) return;
                 c.FillRect(r, s == 1 ? kPanelHi : Mix(kPanel, kAccent, 0.18));
                 if (s == 2) c.FillRect(CRect(r.left, r.top, r.left + 3, r.bottom), kAccent);
             }},
            {"img_tip_bk.png", 1, 24, 24,
             [](Canvas& c, const CRect& r, int) {
                 c.FillRoundRect(r, 3, Color(0xF2142130));
                 c.DrawRoundRect(r, 3, kAccentDim);
             }},
            {"img_tip_arrow_left.png", 1, 8, 14,
             [](Canvas& c, const CRect& r, int) { Arrow(c, r, Color(0xF2142130), 2); }},
            {"img_tip_arrow_right.png", 1, 8, 14,
             [](Canvas& c, const CRect& r, int) { Arrow(c, r, Color(0xF2142130), 3); }},
            {"img_tip_arrow_top.png", 1, 14, 8,
             [](Canvas& c, const CRect& r, int) { Arrow(c, r, Color(0xF2142130), 0); }},
            {"img_button.png", 4, 96, 36, RoundedButton},
            {"img_focus.png", 1, 16, 16,
             [](Canvas& c, const CRect& r, int) {
                 // The keyboard's focus ring, nine-sliced around the focused control:
                 // a dark halo, the accent line and a white inner edge, so it shows on
                 // dark and light ground and never looks like a hovered frame. Its
                 // middle stays clear.
                 c.DrawRoundRect(r, 6, Color(0xA0000000), 1);
                 c.DrawRoundRect(Inset(r, 1), 5, kAccent, 2);
                 c.DrawRoundRect(Inset(r, 3), 3, Color(0xE0FFFFFF), 1);
             }},
            {"img_edit.png", 4, 48, 32,
             [](Canvas& c, const CRect& r, int s) {
                 c.FillRoundRect(Inset(r, 1), 4, s == 2 ? Color(0xFF222527) : StateFill(s));
                 c.DrawRoundRect(Inset(r, 1), 4, s == 0 ? kLine : StateLine(s));
             }},
            {"img_combobox.png", 4, 64, 32,
             [](Canvas& c, const CRect& r, int s) {
                 RoundedButton(c, r, s);
                 Arrow(c, CRect(r.right - 24, r.top, r.right - 4, r.bottom),
                       (s & 3) == 3 ? kDisabled : kAccent, 1);
             }},
            {"btn_reset.png", 4, 24, 24, Reset},
            {"btn_more.png", 4, 24, 24,
             [](Canvas& c, const CRect& r, int s) {
                 StateHalo(c, Inset(r, 1), s, true);
                 const Color g = (s & 3) == 3 ? kDisabled : (s & 3) ? kAccent : kText;
                 for (int i = -1; i <= 1; ++i)
                     c.FillEllipse(CRect(r.CenterPoint().x + i * 6 - 2, r.CenterPoint().y - 2,
                                         r.CenterPoint().x + i * 6 + 2, r.CenterPoint().y + 2),
                                   g);
             }},
            {"btn_openfile.png", 4, 24, 24,
             [](Canvas& c, const CRect& r, int s) {
                 Color g = (s & 3) == 3 ? kDisabled : (s & 3) ? kAccent : kText;
                 StateHalo(c, Inset(r, 1), s, false);
                 c.DrawRoundRect(CRect(r.left + 4, r.top + 7, r.right - 4, r.bottom - 5), 2, g);
                 c.FillRect(CRect(r.left + 4, r.top + 5, r.left + 11, r.top + 8), g);
             }},
            {"img_btn_abc.png", 4, 28, 28,
             [](Canvas& c, const CRect& r, int s) {
                 // The character map: letters in a key cap.
                 const Color g = (s & 3) == 3 ? kDisabled : (s & 3) ? kAccent : kText;
                 StateHalo(c, Inset(r, 1), s, false);
                 c.DrawRoundRect(Inset(r, 3), 3, g);
                 TextStyle t{kEmbeddedFontFamily, 10};
                 t.hAlign = 1;
                 t.vAlign = 4;
                 c.DrawText(L"abc", r, g, t);
             }},
            {"img_help.png", 4, 18, 18, Help},
            {"btn_checkbox.png", 8, 18, 18, [](Canvas& c, const CRect& r, int s) { Check(c, r, s, false); }},
            {"btn_radiobox.png", 8, 18, 18, [](Canvas& c, const CRect& r, int s) { Check(c, r, s, true); }},
            {"img_switch_btn_on.png", 4, 44, 22,
             [](Canvas& c, const CRect& r, int s) { Switch(c, r, s, true); }},
            {"img_switch_btn_off.png", 4, 44, 22,
             [](Canvas& c, const CRect& r, int s) { Switch(c, r, s, false); }},
            {"img_btn_addvalue.png", 4, 15, 15,
             [](Canvas& c, const CRect& r, int s) { PlusMinus(c, r, s, true); }},
            {"img_btn_subtract.png", 4, 15, 15,
             [](Canvas& c, const CRect& r, int s) { PlusMinus(c, r, s, false); }},
            {"img_btn_value_up.png", 4, 10, 10,
             [](Canvas& c, const CRect& r, int s) { StepButton(c, r, s, 0); }},
            {"img_btn_value_down.png", 4, 10, 10,
             [](Canvas& c, const CRect& r, int s) { StepButton(c, r, s, 1); }},
            {"sysbtn_close.png", 4, 32, 28,
             [](Canvas& c, const CRect& r, int s) {
                 SysButton(c, r, s, [](Canvas& k, const CRect& g, Color col) {
                     k.DrawLine(g.TopLeft(), CPoint(g.right - 1, g.bottom - 1), col, 2);
                     k.DrawLine(CPoint(g.right - 1, g.top), CPoint(g.left, g.bottom - 1), col, 2);
                 });
             }},
            {"sysbtn_min.png", 4, 32, 28,
             [](Canvas& c, const CRect& r, int s) {
                 SysButton(c, r, s, [](Canvas& k, const CRect& g, Color col) {
                     k.DrawLine(CPoint(g.left, g.CenterPoint().y), CPoint(g.right - 1, g.CenterPoint().y),
                                col, 2);
                 });
             }},
            {"sysbtn_maximize.png", 4, 32, 28,
             [](Canvas& c, const CRect& r, int s) {
                 SysButton(c, r, s, [](Canvas& k, const CRect& g, Color col) { k.DrawRect(g, col, 2); });
             }},
            {"sysbtn_restore.png", 4, 32, 28,
             [](Canvas& c, const CRect& r, int s) {
                 SysButton(c, r, s, [](Canvas& k, const CRect& g, Color col) {
                     k.DrawRect(CRect(g.left, g.top + 3, g.right - 3, g.bottom), col, 2);
                     k.DrawLine(CPoint(g.left + 3, g.top), CPoint(g.right - 1, g.top), col, 1);
                     k.DrawLine(CPoint(g.right - 1, g.top), CPoint(g.right - 1, g.bottom - 4), col, 1);
                 });
             }},
            {"sysbtn_setting.png", 4, 32, 28,
             [](Canvas& c, const CRect& r, int s) {
                 SysButton(c, r, s, [](Canvas& k, const CRect& g, Color col) {
                     k.DrawEllipse(g, col, 2);
                     k.FillEllipse(Inset(g, 4), col);
                 });
             }},
            {"res_scroll_h.png", 1, 20, 22, [](Canvas& c, const CRect& r, int) { Scrollbar(c, r, false); }},
            {"res_scroll_v.png", 1, 28, 239, [](Canvas& c, const CRect& r, int) { Scrollbar(c, r, true); }},
        });
}

const SkinRegistrar registrar(AddCoreImages);

}  // namespace
}  // namespace SkinGen
