#pragma once
// What the button map (MouseCtrl) and the key list (MouseKeyCtrl) share: items
// keyed by a key value chosen by the owner, a hover item and a selected item
// (-1 = none), a scale factor, and the press/release protocol: a press inside
// selects the hover item (possibly -1) and sends code 1 with it; a release
// inside while something is selected selects the hover item and sends code 2
// with it. Derived classes say where each item lies (HitRect) and draw.
#include <vector>

#include "orvix/core/MPanel.h"

namespace Orvix {

template <typename Item>
class MouseItemList : public MPanel {
  public:
    void DescribeAccessible(AccessibleInfo& info) override {
        MControl::DescribeAccessible(info);
        // The buttons are drawn as a picture of the mouse: their names come from the owner.
        std::vector<std::wstring> names = this->GetAccessibleItemNames();
        for (int i = int(names.size()); i < GetItemCount(); ++i) names.push_back(std::to_wstring(i + 1));
        names.resize(size_t(GetItemCount()));
        DescribeChoices(info, AccessibleRole::List, names, m_sel);
    }
    // Keyboard: the items are the keyboard's; arrows move the ring, Enter chooses.
    int GetKeyItemCount() override { return GetItemCount(); }
    CRect GetKeyItemRect(int index) override { return IsValid(index) ? HitRect(index) : CRect(); }
    int GetInitialKeyItem() override { return m_sel > 0 ? m_sel : 0; }
    MouseItemList(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
        : MPanel(parent, id, rect, title, visible, enabled) {}

    int DeleteAllItems() {
        m_items.clear();
        m_hover = m_sel = -1;
        OnHoverChanged();
        UpdateControl(TRUE);
        return 1;
    }
    // Any value is kept (-1 clears); a change repaints.
    void SetSelectItem(int index) {
        if (index == m_sel) return;
        m_sel = index;
        UpdateControl(TRUE);
    }
    int GetSelectItem() const { return m_sel; }
    int GetHoverItem() const { return m_hover; }
    int GetItemCount() const { return int(m_items.size()); }
    int GetItemKeyValue(int index) const { return IsValid(index) ? m_items[size_t(index)].keyValue : 0; }
    void SetScaleValue(float scale) {
        if (scale <= 0 || scale == m_scale) return;
        m_scale = scale;
        UpdateControl(TRUE);
    }
    float GetScaleValue() const { return m_scale; }

    BOOL OnControlMouseMove(UINT, CPoint pt) override {
        if (!m_enabled) return FALSE;
        int hover = -1;
        if (m_rect.PtInRect(pt)) {
            if (IsValid(m_hover) && HitRect(m_hover).PtInRect(pt)) {
                OnHoverKept(pt);
                return TRUE;
            }
            for (int i = 0; i < GetItemCount() && hover < 0; ++i)
                if (HitRect(i).PtInRect(pt)) hover = i;
        }
        if (hover != m_hover) {
            m_hover = hover;
            OnHoverChanged();
            UpdateControl(TRUE);
        }
        return m_rect.PtInRect(pt);
    }
    BOOL OnControlLButtonDown(UINT, CPoint pt) override {
        if (!m_enabled || !m_rect.PtInRect(pt)) return FALSE;
        m_sel = m_hover;
        SendMessageW(Notify::Pressed, WPARAM(m_sel), 0);
        UpdateControl(TRUE);
        return TRUE;
    }
    BOOL OnControlLButtonUp(UINT, CPoint pt) override {
        if (!m_enabled || !m_rect.PtInRect(pt)) return FALSE;
        if (m_sel != -1) {
            m_sel = m_hover;
            SendMessageW(Notify::Clicked, WPARAM(m_sel), 0);
            UpdateControl(TRUE);
        }
        return TRUE;
    }

  protected:
    bool IsValid(int index) const { return index >= 0 && index < GetItemCount(); }
    bool IsLit(int index) const { return index == m_sel || index == m_hover; }
    // Where item `index` takes the pointer, in the coordinates the control's
    // points arrive in.
    virtual CRect HitRect(int index) const = 0;
    // The pointer moved inside the hover item, or the hover item changed.
    virtual void OnHoverKept(CPoint) {}
    virtual void OnHoverChanged() {}
    // The first item whose key value is `keyValue`; null when none.
    Item* FindKey(int keyValue) {
        for (Item& item : m_items)
            if (item.keyValue == keyValue) return &item;
        return nullptr;
    }

    std::vector<Item> m_items;
    int m_hover = -1;
    int m_sel = -1;
    float m_scale = 1.0f;
};

}  // namespace Orvix
