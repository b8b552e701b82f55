#pragma once
// The mice the program knows, as a horizontal row of cards (200 pixels wide,
// 30 apart, as high as the control) for the entries that are online: picture,
// name, connection mode and battery. A click on a card selects it and sends
// code 2; the owner reads GetSelectDevice. Entries are found by the owner's id.
#include <memory>
#include <string>
#include <vector>

#include "orvix/core/MPanel.h"

namespace Orvix {

class Image;

class CDeviceList : public MPanel {
  public:
    void DescribeAccessible(AccessibleInfo& info) override;
    // Keyboard: the cards are its items; arrows move the ring, Enter chooses.
    int GetKeyItemCount() override { return GetItemCount(); }
    CRect GetKeyItemRect(int index) override {
        return index >= 0 && index < GetItemCount() && m_entries[size_t(index)].state > 0 ? GetCardRect(index) : CRect();
    }
    int GetInitialKeyItem() override { return m_selectItem > 0 ? m_selectItem : 0; }
    static constexpr int kCardWidth = 200;
    static constexpr int kCardGap = 30;

    CDeviceList(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"CDeviceList"; }

    // Adds an offline entry (mode 0, battery 100, not charging) with the
    // picture at a full path (none when it cannot be loaded); returns its index.
    int AddDevice(const std::wstring& name, int id, const std::wstring& picturePath);
    void ClearList();
    // Sets mode and state of the first entry with the id, except that an entry
    // whose state is 1 keeps both unless the new mode is 0 (wired).
    void SetDeviceState(int id, int mode, int state);
    void SetAllDeviceState(int state);
    // 0 when no entry has the id.
    int GetDeviceState(int id) const;
    int GetDeviceMode(int id) const;
    void SetDeviceBattery(int id, int charging, int level);
    void SetDeviceVersion(int id, int version);
    int GetDeviceVersion(int id) const;
    // The first online entry with the id, else the first online entry, else none (-1).
    void SetSelectDevice(int id);
    // The selected entry's id (0 for an empty list).
    int GetSelectDevice();
    int GetSelectItem() const { return m_selectItem; }
    int GetHoverItem() const { return m_hoverItem; }
    int GetItemCount() const { return int(m_entries.size()); }
    int GetOnlineDevCount() const;
    // Where entry i's card lies in window coordinates (empty while offline).
    CRect GetCardRect(int index) const;

    void SetDevModeDesc(const std::wstring& wired, const std::wstring& wireless);
    void SetDevModeImage(const std::wstring& file);
    void SetBatteryBkg(const wchar_t* file);
    BOOL SetBatteryIcon(const wchar_t* levelFile, const wchar_t* chargingFile);
    // A cx x cy picture shrunk (never enlarged) to fit `box`, aspect kept, centred.
    static CRect GetImageRect(int cx, int cy, CRect box);

    void SetControlRect(CRect rect) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    BOOL OnControlScroll(int bar, UINT direction, CPoint pt) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;

  protected:
    CSize MeasureContent() const override;

  private:
    struct Entry {
        std::wstring name;
        int id = 0;
        int state = 0;
        int mode = 0;
        int battery = 100;
        int charging = 0;
        int version = 0;
        std::shared_ptr<Image> picture;
        CRect card;  // content coordinates
    };
    Entry* Find(int id);
    const Entry* Find(int id) const;
    // Cards of the online entries, left to right, then the scroll bar.
    void Layout();
    int HitCard(CPoint pt) const;
    void RenderCard(Canvas& canvas, const Entry& entry, const CRect& card, bool hover) const;

    std::vector<Entry> m_entries;
    int m_hoverItem = -1;
    int m_selectItem = 0;
    std::wstring m_wiredText = L"\u6709\u7EBF\u6A21\u5F0F";
    std::wstring m_wirelessText = L"Vantorel\u6A21\u5F0F";
    std::shared_ptr<Image> m_modeImage;
    const Image* m_batteryBkg = nullptr;     // owned by the window's image cache
    const Image* m_batteryLevel = nullptr;   // likewise
    const Image* m_batteryCharge = nullptr;  // likewise
};

}  // namespace Orvix
