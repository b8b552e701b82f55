#include "orvix/controls/MTabCtrl.h"

#include "orvix/controls/MTabLayout.h"
#include "orvix/core/ControlFactory.h"
#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"
#include "orvix/core/PaintManager.h"
#include "orvix/core/TextFit.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MTabCtrl)

namespace {
// The three looks the strip renders side by side.
enum { LOOK_NORMAL = 0, LOOK_HOVER = 1, LOOK_SELECTED = 2 };
constexpr int kVerticalIcon = 26;
constexpr int kVerticalIconLeft = 20;
constexpr int kVerticalTextLeft = 70;
constexpr int kHorizontalIconTop = 10;
}  // namespace

MTabCtrl::MTabCtrl(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
    m_frameCount = 3;
}

int MTabCtrl::InsertItem(UINT id, const wchar_t* text, const wchar_t* iconFile, MControl* page, int frames,
                         int width) {
    TabItemInfo item;
    item.id = id;
    item.text = text ? text : L"";
    item.page = page;
    item.iconCount = frames == -1 ? 3 : std::max(1, frames);
    if (iconFile && *iconFile) item.icon = MRender::LoadImageFromFile(Manager::GetSkinPath(iconFile));
    if (item.icon) {
        item.iconWidth = item.icon->GetWidth() / item.iconCount;
        item.iconHeight = item.icon->GetHeight();
    }
    item.width = width > 0 ? width : item.iconWidth;
    m_items.push_back(std::move(item));
    Layout();
    return 1;
}

void MTabCtrl::Layout() {
    if (m_items.empty()) return;
    const TabItemInfo& first = m_items.front();
    const int firstHeight = first.iconHeight;
    int x = m_rect.left + m_padLeft, y = m_rect.top + m_padTop;
    if (m_type == 0) {
        const int w = m_itemWidth > 0 ? m_itemWidth : m_tabWidth > 0 ? m_tabWidth : first.width;
        const int h = m_itemHeight > 0 ? m_itemHeight : m_tabHeight > 0 ? m_tabHeight : firstHeight;
        for (TabItemInfo& item : m_items) {
            item.rect = item.visible ? CRect(x, y, x + w, y + h) : CRect();
            if (item.visible) x += w;
        }
    } else {
        const int w = m_tabWidth > 0 ? m_tabWidth : first.width;
        const int h = m_tabHeight > 0 ? m_tabHeight : firstHeight;
        for (TabItemInfo& item : m_items) {
            item.rect = item.visible ? CRect(x, y, x + w, y + h) : CRect();
            if (item.visible) y += h + 1;
        }
    }
    UpdateControl(TRUE);
}

void MTabCtrl::SetControlRect(CRect rect) {
    MControlFont::SetControlRect(rect);
    Layout();
}

namespace {
// The control's share per tab held within minimum..preferred.
int ShareWithin(int preferred, int minimum, int span, int count) {
    if (minimum <= 0 || count <= 0) return preferred;
    const int share = span / count;
    return share < minimum ? minimum : share >= preferred ? preferred : share;
}
}  // namespace

void MTabCtrl::SetItemWidth(int preferred, int minimum, BOOL refresh) {
    if (m_items.empty()) return;
    const int width = ShareWithin(preferred, minimum, m_rect.Width() - m_padLeft - m_padRight, GetItemCount());
    if (width == m_itemWidth) return;
    m_itemWidth = width;
    if (refresh) Layout();
}

void MTabCtrl::SetItemHeight(int preferred, int minimum, BOOL refresh) {
    if (m_items.empty()) return;
    const int height = ShareWithin(preferred, minimum, m_rect.Height() - m_padTop - m_padBottom, GetItemCount());
    if (height == m_itemHeight) return;
    m_itemHeight = height;
    if (refresh) Layout();
}

void MTabCtrl::SetTabCtrlWidth(int width) {
    m_tabWidth = width;
    Layout();
}

void MTabCtrl::SetTabCtrlHeight(int height) {
    m_tabHeight = height;
    Layout();
}

void MTabCtrl::SetLeftRightPading(int left, int right) {
    m_padLeft = left;
    m_padRight = right;
    Layout();
}

void MTabCtrl::SetTopBottomPading(int top, int bottom) {
    m_padTop = top;
    m_padBottom = bottom;
    Layout();
}

void MTabCtrl::SetTabType(int type) {
    m_type = type == 1 ? 1 : 0;
    Layout();
}

UINT MTabCtrl::GetItemID(int index) const {
    return index >= 0 && index < GetItemCount() ? m_items[size_t(index)].id : 0;
}

BOOL MTabCtrl::SetItemText(int index, const wchar_t* text) {
    if (index < 0 || index >= GetItemCount()) return FALSE;
    m_items[size_t(index)].text = text ? text : L"";
    m_cacheValid = FALSE;  // no repaint of its own, but the next paint shows it
    return TRUE;
}

std::wstring MTabCtrl::GetItemText(int index) const {
    return index >= 0 && index < GetItemCount() ? m_items[size_t(index)].text : std::wstring();
}

BOOL MTabCtrl::SetItemVisible(int index, BOOL visible) {
    if (index < 0 || index >= GetItemCount()) return FALSE;
    m_items[size_t(index)].visible = visible ? TRUE : FALSE;
    if (m_hover == index) m_hover = -1;
    Layout();
    return TRUE;
}

BOOL MTabCtrl::GetItemVisible(int index) const {
    return index >= 0 && index < GetItemCount() && m_items[size_t(index)].visible;
}

CRect MTabCtrl::GetItemRect(int index) const {
    return index >= 0 && index < GetItemCount() ? m_items[size_t(index)].rect : CRect();
}

MControl* MTabCtrl::CreatePanel(UINT id, CRect rect) {
    if (auto* panel = dynamic_cast<MPanel*>(m_parent)) return panel->CreateControl(L"MTabLayout", id, rect, nullptr, 0);
    return m_manager ? m_manager->CreateControl(m_parent, L"MTabLayout", id, rect, nullptr, 0) : nullptr;
}

// ---------------------------------------------------------------- selection and pages

int MTabCtrl::SetSelectItem(int index) {
    if (index == m_select) return index;
    if (index < 0 || index >= GetItemCount()) return m_select;
    const int previous = m_select;
    m_select = index;
    m_hover = -1;
    SendMessageW(Notify::Pressed, WPARAM(index), 0);
    MControl* from = previous >= 0 ? m_items[size_t(previous)].page : nullptr;
    MControl* to = m_items[size_t(index)].page;
    if (!(m_animate && StartSlide(from, to, index > previous))) ShowPages(index);
    UpdateControl(FALSE);
    return previous;
}

void MTabCtrl::ShowPages(int index) {
    MControl* shown = m_items[size_t(index)].page;
    for (const TabItemInfo& item : m_items)
        if (item.page && item.page != shown) item.page->SetVisible(FALSE);
    if (shown) shown->SetVisible(TRUE);
}

// ---------------------------------------------------------------- page slide

void MTabCtrl::CollectTree(MControl* control, std::vector<Placed>& out) {
    out.push_back({control, control->GetRect()});
    for (auto* list : {&control->GetAreas(), &control->GetControls()})
        for (MControl* child : *list) CollectTree(child, out);
}

// Parents first, so a container that places its children on a new rect is
// overridden by each child's own place right after.
void MTabCtrl::PlaceTree(const std::vector<Placed>& tree, int dx) {
    for (const Placed& p : tree) {
        CRect r = p.home;
        r.OffsetRect(dx, 0);
        p.control->SetControlRect(r);
    }
}

bool MTabCtrl::StartSlide(MControl* from, MControl* to, bool forward) {
    FinishSlide();
    auto* fromPage = dynamic_cast<MTabLayout*>(from);
    auto* toPage = dynamic_cast<MTabLayout*>(to);
    // Only two distinct pages that can clip themselves slide.
    if (!fromPage || !toPage || fromPage == toPage || !fromPage->IsVisible() || !SetTimer(kSlideTimer, kSlideTickMs))
        return false;
    for (const TabItemInfo& item : m_items)
        if (item.page && item.page != from && item.page != to) item.page->SetVisible(FALSE);
    m_slideFrom = fromPage;
    m_slideTo = toPage;
    m_slideDir = forward ? 1 : -1;
    m_fromTree.clear();
    m_toTree.clear();
    CollectTree(fromPage, m_fromTree);
    CollectTree(toPage, m_toTree);
    fromPage->SetClipRect(fromPage->GetRect());
    toPage->SetClipRect(toPage->GetRect());
    m_slideStep = 0;
    ApplySlide();
    toPage->SetVisible(TRUE);
    return true;
}

void MTabCtrl::ApplySlide() {
    const int width = m_slideTo->GetClipRect().Width();
    const int done = width * m_slideStep / kSlideTicks;
    // The old page leaves by one side while the new one comes in by the other.
    PlaceTree(m_fromTree, -m_slideDir * done);
    PlaceTree(m_toTree, m_slideDir * (width - done));
    for (MTabLayout* page : {m_slideFrom, m_slideTo}) {
        page->SetUpdate(FALSE, 0);
        page->UpdateControl(page->GetClipRect(), TRUE, FALSE);
    }
}

void MTabCtrl::FinishSlide() {
    if (m_slideStep < 0) return;
    KillTimer(kSlideTimer);
    m_slideStep = -1;
    PlaceTree(m_fromTree, 0);
    PlaceTree(m_toTree, 0);
    m_fromTree.clear();
    m_toTree.clear();
    for (MTabLayout* page : {m_slideFrom, m_slideTo}) {
        page->SetClipRect(CRect());
        page->SetUpdate(FALSE, 0);
    }
    m_slideFrom->SetVisible(FALSE);
    m_slideTo->UpdateControl(TRUE, TRUE);
    m_slideFrom = m_slideTo = nullptr;
}

BOOL MTabCtrl::OnControlTimer() {
    if (m_slideStep < 0) return FALSE;
    if (++m_slideStep >= kSlideTicks) FinishSlide();
    else ApplySlide();
    return TRUE;
}

// ---------------------------------------------------------------- input

int MTabCtrl::HitTab(CPoint pt) const {
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_items[size_t(i)].visible && m_items[size_t(i)].rect.PtInRect(pt)) return i;
    return -1;
}

BOOL MTabCtrl::OnControlMouseMove(UINT, CPoint pt) {
    const int hover = m_rect.PtInRect(pt) ? HitTab(pt) : -1;
    if (hover == m_hover) return hover >= 0;
    const bool had = m_hover >= 0;
    m_hover = hover;
    if (hover >= 0 && m_tooltips) SetTooltip(m_items[size_t(hover)].text, m_items[size_t(hover)].rect);
    else if (had) ClearTooltip();
    UpdateControl(FALSE);  // the hover look is in the cache
    return hover >= 0;
}

BOOL MTabCtrl::OnControlLButtonDown(UINT, CPoint pt) {
    const int tab = HitTab(pt);
    if (tab < 0 || !m_enabled) return FALSE;
    SetSelectItem(tab);  // the selected tab itself sends nothing
    return TRUE;
}

BOOL MTabCtrl::OnControlKeyDown(UINT vk, UINT repeat, UINT modifiers) {
    MControl* page = m_select >= 0 ? m_items[size_t(m_select)].page : nullptr;
    return page && page->IsVisible() && page->OnKeyDown(vk, repeat, modifiers);
}

BOOL MTabCtrl::OnControlScroll(int bar, UINT direction, CPoint pt) {
    if (m_select < 0 || HitTab(pt) != m_select) return FALSE;
    MControl* page = m_items[size_t(m_select)].page;
    return page && page->IsVisible() && page->OnControlScroll(bar, direction, pt);
}

// ---------------------------------------------------------------- drawing

void MTabCtrl::RenderLook(Canvas& canvas, int look, const CRect& slice) const {
    const int dx = slice.left - m_rect.left, dy = slice.top - m_rect.top;
    const Color color = look == LOOK_SELECTED ? Manager::GetSelectColor() : m_textColor;
    TextStyle style = GetTextStyle();
    style.vAlign = 4;
    for (const TabItemInfo& item : m_items) {
        if (!item.visible || item.rect.IsRectEmpty()) continue;
        CRect tab = item.rect;
        tab.OffsetRect(dx, dy);
        if (look != LOOK_NORMAL && m_image && m_frameCount > look) canvas.DrawImage(*m_image, tab, GetFrameRect(look));
        const int frame = std::min(look, item.iconCount - 1);
        const CRect src(frame * item.iconWidth, 0, (frame + 1) * item.iconWidth, item.iconHeight);
        CRect text = tab;
        if (m_type == 1) {
            if (item.icon) {
                const int y = tab.top + (tab.Height() - kVerticalIcon) / 2;
                canvas.DrawImage(*item.icon, CRect(tab.left + kVerticalIconLeft, y, tab.left + kVerticalIconLeft + kVerticalIcon,
                                                   y + kVerticalIcon),
                                 src);
            }
            text.left = tab.left + kVerticalTextLeft;
            style.hAlign = 0;
        } else {
            if (item.icon) {
                const int x = tab.left + (tab.Width() - item.iconWidth) / 2, y = tab.top + kHorizontalIconTop;
                canvas.DrawImage(*item.icon, CRect(x, y, x + item.iconWidth, y + item.iconHeight), src);
                text.top = y + item.iconHeight;
            }
            style.hAlign = 1;
        }
        if (style.family.empty()) continue;
        TextFit::Check(*this, item.text, text, style);
        canvas.DrawText(item.text, text, color, style);
    }
}

void MTabCtrl::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty()) return;
    DrawCached(canvas, rcPaint, 3, LOOK_NORMAL,
               [this](Canvas& cache, int look, const CRect& slice) { RenderLook(cache, look, slice); });
    // The hover tab and then the selected tab come from their own looks.
    if (m_hover >= 0 && m_hover != m_select) BlitCache(canvas, m_items[size_t(m_hover)].rect & rcPaint, LOOK_HOVER);
    if (m_select >= 0) BlitCache(canvas, m_items[size_t(m_select)].rect & rcPaint, LOOK_SELECTED);
}

void MTabCtrl::DescribeAccessible(AccessibleInfo& info) {
    MControlFont::DescribeAccessible(info);
    std::vector<std::wstring> names;
    for (int i = 0; i < GetItemCount(); ++i) names.push_back(GetItemText(i));
    DescribeChoices(info, AccessibleRole::PageTabList, names, m_select, AccessibleRole::PageTab);
}

}  // namespace Orvix
