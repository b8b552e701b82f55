#pragma once
// One page of the main window (a tab's content): it creates its controls in the
// page container the window gives it, handles the notifications of those controls,
// writes the store of the current profile and queues worker tasks. The window
// routes a notification to the page that created the control, by id.
#include <initializer_list>
#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include "orvix/core/MControl.h"
#include "orvix/core/MPanel.h"

class MainPageHost;

// The skin's text colours on the pages: captions and values, and notes.
inline const Orvix::Color kPageTextColor(0xFFE8F0F5);
inline const Orvix::Color kPageDimTextColor(0xFF8FA0B0);

// What one page may tell the others, through the window.
enum class PageEvent {
    MacroLibraryChanged,  // macros added, renamed, deleted or edited
    TextLibraryChanged,   // texts added, renamed or deleted
    ProfileChanged,       // another profile became current
    ModelChanged,         // another model's description was loaded (buttons, lighting)
    DeviceChanged,        // a device came or went: recordings stop, pop-ups close
};

class MainPage {
  public:
    MainPage(MainPageHost& host, Orvix::MPanel& container) : m_host(host), m_container(container) {}
    virtual ~MainPage() = default;
    MainPage(const MainPage&) = delete;
    MainPage& operator=(const MainPage&) = delete;

    // Builds the page's controls (once, when the window is built).
    virtual void Create() = 0;
    // Places the controls; `scale` is the window's client height / 780.
    virtual void Layout(double scale) { (void)scale; }
    // A notification of one of the page's controls; nonzero when handled.
    virtual Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam,
                                     Orvix::LPARAM lParam) = 0;
    // Shows the current profile's values from the store.
    virtual void Reload() {}
    // Every language text the page shows is read again.
    virtual void OnLanguageChanged() {}
    // The page's tab was selected (true) or left (false).
    virtual void OnShow(bool shown) { (void)shown; }
    virtual void OnPageEvent(PageEvent event) { (void)event; }
    // The mouse's DPI button made another stage active.
    virtual void OnDpiStageChanged(int index) { (void)index; }
    // A window message beyond control notifications (raw input, menu choices);
    // true when the page took it.
    virtual bool OnWindowMessage(Orvix::UINT msg, Orvix::WPARAM wParam, Orvix::LPARAM lParam,
                                 Orvix::LRESULT& result) {
        (void)msg, (void)wParam, (void)lParam, (void)result;
        return false;
    }

    bool OwnsControl(Orvix::UINT id) const { return m_ids.count(id) != 0; }
    Orvix::MPanel& GetContainer() { return m_container; }

  protected:
    // Creates a control in the page's container (window client coordinates) and
    // makes its id one of the page's.
    Orvix::MControl* AddControl(const wchar_t* className, Orvix::UINT id, Orvix::CRect rect,
                                const wchar_t* title = nullptr, int visible = 1, int enabled = 1);
    template <class T>
    T* AddControlAs(const wchar_t* className, Orvix::UINT id, Orvix::CRect rect, const wchar_t* title = nullptr,
                    int visible = 1, int enabled = 1) {
        return dynamic_cast<T*>(AddControl(className, id, rect, title, visible, enabled));
    }
    // Claims an id created otherwise (a control a widget makes itself).
    void ClaimId(Orvix::UINT id) { m_ids.insert(id); }
    Orvix::MControl* GetControl(Orvix::UINT id) const;
    template <class T>
    T* GetControlAs(Orvix::UINT id) const {
        return dynamic_cast<T*>(GetControl(id));
    }
    // Puts the page's control `id` at `rect` (window client coordinates; see
    // PagePlacement for the layout's scale); nothing when the page lacks it.
    void Place(Orvix::UINT id, Orvix::CRect rect) const;
    static std::wstring Text(int id);
    // The building blocks every page area is made of: the area background (id),
    // its caption bar (id + 1) and the caption text (id + 2, language text
    // `captionTextId`). Returns the caption text control.
    Orvix::MControlFont* AddArea(Orvix::UINT id, int captionTextId);
    void PlaceArea(Orvix::UINT id, Orvix::CRect rect);
    // The text control of a label with the window's font.
    Orvix::MControlFont* AddLabel(Orvix::UINT id, Orvix::CRect rect, const std::wstring& text, int size = 14);
    // Controls that show no name of their own are named by the label beside
    // them (control id, label id) for a screen reader.
    void SetLabels(std::initializer_list<std::pair<Orvix::UINT, Orvix::UINT>> pairs);
    Orvix::MControlFont* AddButton(Orvix::UINT id, Orvix::CRect rect, const std::wstring& text);
    // The round "?" that shows `help` as its tooltip, and the picture button that resets an area.
    Orvix::MControlFont* AddHelpButton(Orvix::UINT id, const std::wstring& help);
    Orvix::MControlFont* AddResetButton(Orvix::UINT id, const std::wstring& tooltip);
    // Deletes an entry of a library that buttons may be assigned to (function
    // `functionType`, value `id`: a macro or a text) with `remove`. When buttons
    // of any profile use it, a message names them and asks first; they then go
    // back to their default functions in the same step; `buttonsChanged` tells
    // whether buttons of the current profile did (the mouse must get them again).
    // False when nothing was deleted.
    bool DeleteLibraryEntry(int functionType, int32_t id, const std::wstring& name,
                            const std::function<bool()>& remove, bool& buttonsChanged);

    MainPageHost& m_host;
    Orvix::MPanel& m_container;

  private:
    std::set<Orvix::UINT> m_ids;
};
