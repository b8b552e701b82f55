#include "orvix/demo/ToolkitDemo.h"

#include "orvix/demo/OffscreenRender.h"
#include "orvix/core/MDialog.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/core/Manager.h"
#include "base/TextConv.h"
#include "orvix/platform/Fonts.h"

int RunToolkitDemo(const char* outPng) {
    using namespace Orvix;
    return RenderOffscreen("toolkit demo", outPng, [&] {
        MDialog dlg;
        dlg.Create(nullptr, L"Orvix", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 720, 440));
        dlg.LoadBKImage(L"main_bkg.png");
        dlg.SetBackMode(BACK_MODE_NINE, 8);
        auto picture = [&](UINT id, CRect rect, const wchar_t* file, int count, enumShowMode mode) {
            auto* p = static_cast<MPicture*>(dlg.CreateControl(L"MPicture", id, rect));
            p->SetImage(file, count);
            p->SetShowMode(mode, 10);
            return p;
        };
        auto text = [&](UINT id, CRect rect, const wchar_t* title, int size, Color color) {
            auto* t = static_cast<MText*>(dlg.CreateControl(L"MText", id, rect, title));
            t->SetFont(kEmbeddedFontFamily, size, 0);
            t->SetTextColor(color);
            return t;
        };
        picture(1, CRect(1, 1, 719, 44), L"img_caption.png", 1, SHOW_MODE_STRETCH);
        text(2, CRect(16, 1, 400, 44), L"Orvix toolkit demo", 18, Color(0xFFE8F0F5));
        const wchar_t* labels[] = {L"0 natural", L"1 tiled", L"2 stretched", L"3 nine-slice", L"4 nine-slice MID",
                                   L"5 custom rect"};
        for (int i = 0; i < 6; ++i) {
            CRect cell(24 + (i % 3) * 228, 64 + (i / 3) * 150, 24 + (i % 3) * 228 + 210, 64 + (i / 3) * 150 + 130);
            picture(10 + i, cell, L"bk_prompt.png", 1, SHOW_MODE_NINE);
            text(20 + i, CRect(cell.left + 10, cell.top + 6, cell.right - 10, cell.top + 28), labels[i], 14,
                 Manager::GetSelectColor());
            CRect area(cell.left + 14, cell.top + 36, cell.right - 14, cell.bottom - 14);
            MPicture* p = nullptr;
            switch (i) {
                case 0: p = picture(30, area, L"img_button.png", 4, SHOW_MODE_NATURAL); break;
                case 1: p = picture(31, area, L"btn_radiobox.png", 8, SHOW_MODE_TILE); break;
                case 2: p = picture(32, area, L"sysbtn_setting.png", 4, SHOW_MODE_STRETCH); break;
                case 3: p = picture(33, area, L"img_button.png", 4, SHOW_MODE_NINE); break;
                case 4:
                    p = picture(34, area, L"img_edit.png", 4, SHOW_MODE_NATURAL);
                    p->SetShowModeMID(10, 10, 10, 10);
                    break;
                default:
                    p = picture(35, area, L"img_button.png", 1, SHOW_MODE_NATURAL);
                    p->SetCustomRect(CRect(96, 0, 192, 36));  // the hover frame of the strip
                    p->SetShowMode(SHOW_MODE_CUSTOM);
                    break;
            }
            (void)p;
        }
        auto* note = text(40, CRect(24, 372, 696, 430),
                          L"Pictures fit their rects by show mode; frames are nine-sliced from skin strips drawn at "
                          L"build time. This paragraph wraps over several lines in the embedded Open Sans Semibold.",
                          13, Color(0xFFB8C4CE));
        note->EnableMultiLine(TRUE);
        note->SetAlignment(0, 0);
        return Platform::SaveScreenshot(dlg.GetSafeHwnd(), Utf8ToWide(outPng));
    });
}
