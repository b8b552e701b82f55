#include "dialogs/CUIMessageBox.h"

#include <algorithm>
#include <memory>

#include "base/LanguageText.h"
#include "orvix/controls/MButton.h"
#include "orvix/core/MText.h"
#include "orvix/core/Manager.h"
#include "orvix/platform/Canvas.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Platform.h"

using namespace Orvix;

namespace {

constexpr int kTextOk = 20;
constexpr int kTextConfirm = 23;
constexpr int kTextCancel = 25;
constexpr int kTallestBox = 600;

MessageBoxHook g_hook = nullptr;
void* g_hookContext = nullptr;

std::wstring Text(int id) {
    return GetLanguageText(L"LAN", id);
}

}  // namespace

void SetMessageBoxHook(MessageBoxHook hook, void* context) {
    g_hook = hook;
    g_hookContext = context;
}

CUIMessageBox::CUIMessageBox(std::wstring title, std::wstring message, int kind)
    : m_title(std::move(title)), m_message(std::move(message)), m_kind(kind) {}

CUIMessageBox::~CUIMessageBox() = default;

BOOL CUIMessageBox::OnInitDialog() {
    MDialog::OnInitDialog();
    if (g_hook) {
        // After the modal loop has started, as a user's click would come.
        Platform::PostTask([hwnd = GetSafeHwnd(), this] {
            if (Platform::IsWindow(hwnd) && g_hook) g_hook(*this, g_hookContext);
        });
    }
    return TRUE;
}

void CUIMessageBox::InitUI(CRect client) {
    const int w = client.Width();
    const int h = client.Height();
    auto addText = [this](UINT id, CRect rect, const std::wstring& text, bool multiLine) {
        auto* label = static_cast<MText*>(CreateControl(L"MText", id, rect, text.c_str()));
        label->SetFont(kEmbeddedFontFamily, 16, 0);
        label->SetTextColor(Color(0xFFE8F0F5));
        label->SetAlignment(0, multiLine ? 4 : 1);
        label->EnableMultiLine(multiLine);
        return label;
    };
    addText(IDC_TITLE, CRect(20, 15, w - 20, 45), m_title, false);
    // The desktop names the window by its caption (the program's name without one).
    SetWindowTextW((m_title.empty() ? Manager::GetDeviceName() : m_title).c_str());
    addText(IDC_MESSAGE, CRect(20, 50, w - 20, h - 50), m_message, true);
    auto addButton = [this](UINT id, CRect rect, int textId) {
        auto* button = static_cast<MControlFont*>(CreateControl(L"MButton", id, rect, Text(textId).c_str()));
        button->SetImage(L"img_button.png", 4);
        button->SetFont(kEmbeddedFontFamily, 16, 0);
    };
    // Enter is the first button, Esc the second, or the only one.
    if (m_kind == kKindOk) {
        addButton(IDC_FIRST, CRect(60, h - 50, w - 60, h - 14), kTextOk);
        SetDefaultButton(IDC_FIRST);
        SetCancelButton(IDC_FIRST);
    } else if (m_kind == kKindOkCancel) {
        addButton(IDC_FIRST, CRect(w / 2 - 120, h - 50, w / 2 - 20, h - 14), kTextConfirm);
        addButton(IDC_SECOND, CRect(w / 2 + 20, h - 50, w / 2 + 120, h - 14), kTextCancel);
        SetDefaultButton(IDC_FIRST);
        SetCancelButton(IDC_SECOND);
    }
}

BOOL CUIMessageBox::OnCancelKey() {
    if (MDialog::OnCancelKey()) return TRUE;
    DoCancel();
    return TRUE;
}

LRESULT CUIMessageBox::OnMessage(UINT id, UINT code, WPARAM, LPARAM) {
    if (code != Notify::Clicked) return 0;
    if (id == IDC_FIRST) {
        DoOK();
        return 1;
    }
    if (id == IDC_SECOND) {
        DoCancel();
        return 1;
    }
    return 0;
}

int ShowMessageBox(const wchar_t* message, HWND owner, const wchar_t* title, int kind) {
    auto box = std::make_unique<CUIMessageBox>(title ? title : L"", message ? message : L"", kind);
    box->LoadBKImage(L"bk_prompt.png");
    box->SetBackMode(BACK_MODE_NINE, 30);
    // A message longer than the box holds makes the box taller, so it reads whole.
    TextStyle style;
    style.family = ResolveFontFamily(kEmbeddedFontFamily);
    style.pixelSize = 16;
    style.wrap = true;
    const int room = CUIMessageBox::kHeight - 100;
    const int needed =
        message && *message ? Canvas::MeasureText(message, style, CUIMessageBox::kWidth - 40).cy : 0;
    const int height = std::min(CUIMessageBox::kHeight + std::max(0, needed + 8 - room), kTallestBox);
    if (!box->Create(owner, L"MessageBox", WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                     WS_EX_TOOLWINDOW | WS_EX_TOPMOST, CRect(0, 0, CUIMessageBox::kWidth, height)))
        return 0;
    box->CenterWindow(nullptr);
    const UINT result = box->ShowModal(SW_SHOWNORMAL);
    if (box->GetSafeHwnd()) box->DestroyWindow();
    return int(result);
}
