#include "orvix/widgets/CDeviceList.h"

#include <algorithm>

#include "orvix/core/MScroll.h"
#include "orvix/core/ControlFactory.h"
#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"
#include "orvix/core/PaintManager.h"
#include "orvix/core/TextFit.h"
#include "orvix/platform/Image.h"
#include "orvix/widgets/BatteryCtrl.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CDeviceList)

namespace {
constexpr Color kCardColor(0x82050505);
constexpr Color kModeLine(0xFF3A4A5C);
constexpr Color kModeText(0xFFB8C4CE);
constexpr int kNameHeight = 56;  // the name along the bottom of a card: two lines
constexpr int kCardPadding = 4;  // what stays clear inside a card's frame
}  // namespace

CDeviceList::CDeviceList(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                         BOOL enabled)
    : MPanel(parent, id, rect, title, visible, enabled) {
    m_frameCount = 1;
}

CDeviceList::Entry* CDeviceList::Find(int id) {
    auto it = std::find_if(m_entries.begin(), m_entries.end(), [id](const Entry& e) { return e.id == id; });
    return it == m_entries.end() ? nullptr : &*it;
}

const CDeviceList::Entry* CDeviceList::Find(int id) const {
    return const_cast<CDeviceList*>(this)->Find(id);
}

int CDeviceList::AddDevice(const std::wstring& name, int id, const std::wstring& picturePath) {
    Entry entry;
    entry.name = name;
    entry.id = id;
    entry.picture = MRender::LoadImageFromFile(picturePath);
    m_entries.push_back(std::move(entry));
    Layout();
    UpdateControl(TRUE);
    return int(m_entries.size()) - 1;
}

void CDeviceList::ClearList() {
    m_entries.clear();
    m_hoverItem = -1;
    m_selectItem = 0;
    if (MScroll* bar = GetScrollHorizontal()) bar->SetScrollCurrentPos(0);
    Layout();
    UpdateControl(TRUE);
}

void CDeviceList::SetDeviceState(int id, int mode, int state) {
    Entry* entry = Find(id);
    if (!entry || (entry->state == 1 && mode != 0)) return;
    entry->mode = mode;
    entry->state = state;
    Layout();
    UpdateControl(TRUE);
}

void CDeviceList::SetAllDeviceState(int state) {
    for (Entry& e : m_entries) e.state = state;
    Layout();
    UpdateControl(TRUE);
}

int CDeviceList::GetDeviceState(int id) const {
    const Entry* entry = Find(id);
    return entry ? entry->state : 0;
}

int CDeviceList::GetDeviceMode(int id) const {
    const Entry* entry = Find(id);
    return entry ? entry->mode : 0;
}

void CDeviceList::SetDeviceBattery(int id, int charging, int level) {
    Entry* entry = Find(id);
    if (!entry) return;
    entry->charging = charging;
    entry->battery = level;
    UpdateControl(TRUE);
}

void CDeviceList::SetDeviceVersion(int id, int version) {
    Entry* entry = Find(id);
    if (!entry) return;
    entry->version = version;
    UpdateControl(TRUE);
}

int CDeviceList::GetDeviceVersion(int id) const {
    const Entry* entry = Find(id);
    return entry ? entry->version : 0;
}

void CDeviceList::SetSelectDevice(int id) {
    int first = -1, match = -1;
    for (int i = 0; i < int(m_entries.size()) && match < 0; ++i) {
        if (m_entries[i].state <= 0) continue;
        if (first < 0) first = i;
        if (m_entries[i].id == id) match = i;
    }
    m_selectItem = match >= 0 ? match : first;
    UpdateControl(TRUE);
}

int CDeviceList::GetSelectDevice() {
    if (m_entries.empty()) return 0;
    if (m_selectItem < 0 || m_selectItem >= int(m_entries.size())) m_selectItem = 0;
    return m_entries[m_selectItem].id;
}

int CDeviceList::GetOnlineDevCount() const {
    return int(std::count_if(m_entries.begin(), m_entries.end(), [](const Entry& e) { return e.state > 0; }));
}

CRect CDeviceList::GetCardRect(int index) const {
    if (index < 0 || index >= int(m_entries.size())) return {};
    CRect card = m_entries[index].card;
    if (card.IsRectEmpty()) return card;
    const CPoint offset = GetScrollOffset();
    card.OffsetRect(-offset.x, -offset.y);
    return card;
}

void CDeviceList::SetDevModeDesc(const std::wstring& wired, const std::wstring& wireless) {
    m_wiredText = wired;
    m_wirelessText = wireless;
    UpdateControl(TRUE);
}

void CDeviceList::SetDevModeImage(const std::wstring& file) {
    // No name means no image (the skin folder itself is no picture).
    m_modeImage = file.empty() ? nullptr : MRender::LoadImageFromFile(Manager::GetSkinPath(file));
    UpdateControl(TRUE);
}

void CDeviceList::SetBatteryBkg(const wchar_t* file) {
    ImgResInfo* info = m_manager && file ? m_manager->AddImgResInfo(file, 1) : nullptr;
    if (!info) return;
    m_batteryBkg = info->image.get();
    UpdateControl(TRUE);
}

BOOL CDeviceList::SetBatteryIcon(const wchar_t* levelFile, const wchar_t* chargingFile) {
    if (!BatteryCtrl::LoadIcons(m_manager, levelFile, chargingFile, m_batteryLevel, m_batteryCharge))
        return FALSE;
    UpdateControl(TRUE);
    return TRUE;
}

CRect CDeviceList::GetImageRect(int cx, int cy, CRect box) {
    if (cx <= 0 || cy <= 0 || box.IsRectEmpty()) return {box.CenterPoint(), CSize()};
    // Shrink by the tighter of the two ratios; never enlarge.
    int w = cx, h = cy;
    if (int64_t(w) * box.Height() > int64_t(h) * box.Width()) {
        if (w > box.Width()) h = int(int64_t(h) * box.Width() / w), w = box.Width();
    } else if (h > box.Height()) {
        w = int(int64_t(w) * box.Height() / h), h = box.Height();
    }
    const int x = box.left + (box.Width() - w) / 2, y = box.top + (box.Height() - h) / 2;
    return {x, y, x + w, y + h};
}

// ---------------------------------------------------------------- layout and input

void CDeviceList::Layout() {
    int x = m_rect.left;
    for (Entry& e : m_entries) {
        if (e.state <= 0) {
            e.card.SetRectEmpty();
            continue;
        }
        e.card = CRect(x, m_rect.top, x + kCardWidth, m_rect.bottom);
        x += kCardWidth + kCardGap;
    }
    UpdateScrollBars();
}

CSize CDeviceList::MeasureContent() const {
    int right = m_rect.left;
    for (const Entry& e : m_entries)
        if (!e.card.IsRectEmpty()) right = std::max<int>(right, e.card.right);
    return {right - m_rect.left, m_rect.Height()};
}

void CDeviceList::SetControlRect(CRect rect) {
    MPanel::SetControlRect(rect);
    Layout();
}

int CDeviceList::HitCard(CPoint pt) const {
    if (!m_rect.PtInRect(pt)) return -1;
    const CPoint offset = GetScrollOffset();
    const CPoint content(pt.x + offset.x, pt.y + offset.y);
    for (int i = 0; i < int(m_entries.size()); ++i)
        if (m_entries[i].state > 0 && m_entries[i].card.PtInRect(content)) return i;
    return -1;
}

BOOL CDeviceList::OnControlMouseMove(UINT, CPoint pt) {
    const int hover = HitCard(pt);
    Platform::SetCursor(hover >= 0 ? CursorKind::Hand : CursorKind::Arrow);
    if (hover != m_hoverItem) {
        m_hoverItem = hover;
        UpdateControl(TRUE);
    }
    return m_rect.PtInRect(pt);
}

BOOL CDeviceList::OnControlLButtonDown(UINT, CPoint pt) {
    if (HitCard(pt) >= 0) Platform::SetCursor(CursorKind::Hand);
    return TRUE;
}

BOOL CDeviceList::OnControlLButtonUp(UINT, CPoint pt) {
    const int hit = HitCard(pt);
    if (hit >= 0) {
        m_selectItem = hit;
        UpdateControl(TRUE);
        SendMessageW(Notify::Clicked, 0, 0);
    }
    Platform::SetCursor(CursorKind::Arrow);
    return TRUE;
}

BOOL CDeviceList::OnControlScroll(int, UINT direction, CPoint) {
    // The row scrolls sideways.
    MScroll* bar = GetScrollHorizontal();
    if (!GetEnableScroll() || !bar || GetVirtualWidth() <= m_rect.Width()) return FALSE;
    if (bar->ScrollRow(direction == 1 ? 1 : -1)) UpdateControl(TRUE);
    return TRUE;
}

// ---------------------------------------------------------------- drawing

void CDeviceList::RenderCard(Canvas& canvas, const Entry& entry, const CRect& card, bool hover) const {
    canvas.FillRoundRect(card, 6, kCardColor);
    canvas.DrawRoundRect(card, 6, hover ? Manager::GetSelectColor() : kCardColor, 2);
    if (entry.picture) {
        // The picture ends above the name line, so the name never covers it.
        const CRect box(card.left + 50, card.top + 50, card.right - 50, card.bottom - kNameHeight - 14);
        const CRect at = GetImageRect(entry.picture->GetWidth(), entry.picture->GetHeight(), box);
        canvas.DrawImage(*entry.picture, at,
                         CRect(0, 0, entry.picture->GetWidth(), entry.picture->GetHeight()));
    }
    const CRect modeBox(card.right - 150, card.top + 20, card.right - 70, card.top + 50);
    if (m_modeImage && entry.mode != 0) {  // the wireless mark: receiver cards only
        const int y = modeBox.top + (modeBox.Height() - m_modeImage->GetHeight()) / 2;
        canvas.DrawImage(*m_modeImage, card.left + 16, y);
    }
    // The gauge sits right of the mode box, centred on it; it moves left as far
    // as needed for the charging mark beside it to stay inside the card.
    const int gaugeW = m_batteryBkg ? m_batteryBkg->GetWidth() : 0;
    const int gaugeH = m_batteryBkg ? m_batteryBkg->GetHeight() : 0;
    const bool charging = entry.charging == 1 && entry.mode == 0 && m_batteryCharge;
    const int markW = charging ? m_batteryCharge->GetWidth() + 1 : 0;
    const int gaugeX = std::min(modeBox.right + 8, card.right - kCardPadding - gaugeW - markW);
    const CPoint gauge(gaugeX, modeBox.top + (modeBox.Height() - gaugeH) / 2);
    BatteryCtrl::DrawGauge(canvas, gauge, m_batteryBkg, m_batteryLevel, entry.battery);
    if (charging) {
        const int x = gauge.x + gaugeW + 1;
        canvas.DrawImage(*m_batteryCharge, x,
                         modeBox.top + (modeBox.Height() - m_batteryCharge->GetHeight()) / 2);
    }
    canvas.DrawRect(modeBox, kModeLine, 1);
    TextStyle style;
    style.family = GetFontFamily(m_fontName);
    if (style.family.empty()) return;
    style.pixelSize = 16;
    style.hAlign = 1;
    style.vAlign = 4;
    // The box is narrow: a longer mode text (a translation) gets a smaller size, not a cut.
    const std::wstring& modeText = entry.mode == 0 ? m_wiredText : m_wirelessText;
    while (style.pixelSize > 10 && Canvas::MeasureText(modeText, style).cx > modeBox.Width() - 6) --style.pixelSize;
    TextFit::Check(*this, modeText, modeBox, style);
    canvas.DrawText(modeText, modeBox, kModeText, style);
    // A model name too long for one line takes a second one, from the bottom up.
    style.pixelSize = 20;
    style.style = 1;
    style.hAlign = 0;
    style.vAlign = 8;
    style.wrap = true;
    const CRect name(card.left + 20, card.bottom - 10 - kNameHeight, card.right - 10, card.bottom - 10);
    TextFit::Check(*this, entry.name, name, style);
    canvas.DrawText(entry.name, name, Color(0xFFFFFFFF), style);
}

void CDeviceList::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty()) return;
    DrawCached(canvas, rcPaint, 1, 0, [this](Canvas& cache, int, const CRect& slice) {
        if (m_image) MRender::DrawImageFrame(cache, *m_image, slice, 0, 0, m_frameWidth, m_frameHeight, 10);
        const CPoint offset = GetScrollOffset();
        for (int i = 0; i < int(m_entries.size()); ++i) {
            const Entry& e = m_entries[i];
            if (e.card.IsRectEmpty()) continue;
            CRect card = e.card;
            card.OffsetRect(slice.left - m_rect.left - offset.x, slice.top - m_rect.top - offset.y);
            if (card.Intersects(slice)) RenderCard(cache, e, card, i == m_hoverItem);
        }
    });
}

void CDeviceList::DescribeAccessible(AccessibleInfo& info) {
    MControl::DescribeAccessible(info);
    std::vector<std::wstring> names;
    for (const Entry& e : m_entries) names.push_back(e.name);
    DescribeChoices(info, AccessibleRole::List, names, m_selectItem);
    // Each card: the model's name; its connection and battery as the card shows them.
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const Entry& e = m_entries[i];
        info.items[i].description =
            (e.mode == 0 ? m_wiredText : m_wirelessText) + L", " + std::to_wstring(e.battery) + L"%";
    }
}

}  // namespace Orvix
