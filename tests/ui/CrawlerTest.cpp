// Every window a person can reach, gone over the way a person's hands would:
// each control that takes input is clicked with the pointer coming from three
// places (from outside the window, from a neighbouring control and from across
// the window's bare background) and must answer every time; Tab reaches every
// such control, and Space or Enter on it does what a click does; every dialog
// closes with its close button, with Esc and, where it has OK, with Enter.
#include <chrono>
#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <thread>

#include "../features/RecordingDesktop.h"
#include "MainWindowFixture.h"
#include "pages/KeyPage.h"
#include "pages/MacroPage.h"
#include "dialogs/AppPickerDlg.h"
#include "dialogs/DonglePairDlg.h"
#include "dialogs/ProfileDlg.h"
#include "dialogs/SettingDlg.h"
#include "orvix/controls/CTabCtrl1.h"
#include "orvix/controls/MListBase.h"
#include "orvix/core/MScroll.h"
#include "orvix/widgets/CRecordList.h"
#include "platform/Autostart.h"
#include "dialogs/FileDialog.h"
#include "dialogs/FilePathDlg.h"
#include "tests/support/FastPairing.h"

using namespace Orvix;

namespace {

enum class From { Outside, Neighbour, Background };
// Windows the crawl's clicks opened and closed again (a question, a dialog, a
// file chooser): a click that opens one has answered.
int g_windowsOpened = 0;

const char* Name(From from) {
    return from == From::Outside ? "outside the window" : from == From::Neighbour ? "a neighbour" : "the background";
}
constexpr From kFrom[] = {From::Outside, From::Neighbour, From::Background};

bool Within(const MControl* inner, const MControl* outer) {
    for (const MControl* c = inner; c; c = dynamic_cast<const MControl*>(c->GetParantObject()))
        if (c == outer) return true;
    return false;
}

std::string Describe(const MControl* c) {
    std::ostringstream out;
    out << "control " << c->GetID() << " (" << typeid(*c).name() << ")";
    return out.str();
}

// The window point a person aims at on a control: the middle of its current
// item (or of itself) where it shows. Where arrows choose (tab strips), the
// item after the current one: choosing the chosen one again changes nothing.
CPoint AimPoint(MControl* c) {
    CRect r;
    const int n = c->GetKeyItemCount();
    if (n > 1 && c->ArrowChooses()) {
        const int current = c->GetInitialKeyItem();
        for (int i = 1; i < n && r.IsRectEmpty(); ++i) r = c->GetKeyItemRect((current + i) % n);
    }
    if (r.IsRectEmpty()) r = c->GetFocusRect();
    const CPoint offset = MPanel::GetContentOffset(c);
    r.OffsetRect(-offset.x, -offset.y);
    r = r & UserHands::VisibleRect(c);
    return r.CenterPoint();
}

// A control that takes input and can be reached where it shows; `keyed` when
// Tab should reach it (a part its owner serves with its own keys is reached
// through the owner: scroll bars are not crawled at all, the wheel serves them).
struct Target {
    MControl* control;
    bool keyed;
};

void Collect(PaintManager& pm, const std::vector<MControl*>& list, bool keyed, std::vector<Target>& out) {
    for (MControl* c : list) {
        if (!c->IsVisible() || !c->GetRresponse()) continue;
        // (A list without rows has nothing to click: it is left out until it has some.)
        const bool emptyList =
            (dynamic_cast<MListBase*>(c) || dynamic_cast<CRecordList*>(c)) && c->GetKeyItemCount() == 0;
        if (!c->IsDecoration() && c->IsEnabled() && !dynamic_cast<MScroll*>(c) && !emptyList &&
            !UserHands::VisibleRect(c).IsRectEmpty() && Within(pm.ControlAt(AimPoint(c), 0, true), c))
            out.push_back({c, keyed && c->IsTabStop()});
        Collect(pm, c->GetControls(), keyed && !c->ServesChildKeys(), out);
    }
}

// Tab strips come last: choosing another tab hides the controls of the one
// that shows.
std::vector<Target> Targets(MDialog& window) {
    std::vector<Target> out;
    Collect(window.GetPaintManager(), window.GetControls(), true, out);
    std::stable_partition(out.begin(), out.end(), [](const Target& t) { return !t.control->ArrowChooses(); });
    return out;
}

// Goes over one window: counts what every control tells its owner (each
// notification also counts for the containers of the control that raised
// it), and how many windows the crawl's clicks opened.
class Crawl {
  public:
    Crawl(MDialog& window, UserHands& hands) : m_window(window), m_hands(hands) {
        window.GetPaintManager().SetNotificationWatcher([this](MControl* c, UINT) {
            for (MControl* p = c; p; p = dynamic_cast<MControl*>(p->GetParantObject())) ++m_heard[p];
        });
    }
    ~Crawl() {
        if (m_window.GetSafeHwnd()) m_window.GetPaintManager().SetNotificationWatcher(nullptr);
    }
    Crawl(const Crawl&) = delete;
    Crawl& operator=(const Crawl&) = delete;

    // A window a click opened (and the crawl closed again).
    void NoteOpened() { ++g_windowsOpened; }
    // What answers a click: a notification from the control, or a window it opened.
    int Answers(const MControl* c) { return m_heard[c] + g_windowsOpened; }

    CPoint Start(From from, MControl* target, const std::vector<Target>& all) {
        const HWND hwnd = m_window.GetSafeHwnd();
        const CPoint aim = AimPoint(target);
        switch (from) {
            case From::Outside: {
                const CRect client = m_window.GetClientRect();
                const int d[] = {aim.x, client.right - aim.x, aim.y, client.bottom - aim.y};
                const int nearest = int(std::min_element(std::begin(d), std::end(d)) - std::begin(d));
                CPoint p = aim;
                if (nearest == 0) p.x = -12;
                if (nearest == 1) p.x = client.right + 12;
                if (nearest == 2) p.y = -12;
                if (nearest == 3) p.y = client.bottom + 12;
                return UserHands::ToScreen(hwnd, p);
            }
            case From::Neighbour: {
                const MControl* best = nullptr;
                double bestDistance = 0;
                for (const Target& t : all) {
                    if (Within(t.control, target) || Within(target, t.control)) continue;
                    const CPoint p = AimPoint(t.control);
                    if (p == aim) continue;
                    const double distance = std::hypot(p.x - aim.x, p.y - aim.y);
                    if (!best || distance < bestDistance) best = t.control, bestDistance = distance;
                }
                if (best) return UserHands::ToScreen(hwnd, AimPoint(const_cast<MControl*>(best)));
                return Start(From::Background, target, all);
            }
            case From::Background:
                break;
        }
        // The nearest bare background: where nothing takes the pointer.
        PaintManager& pm = m_window.GetPaintManager();
        const CRect client = m_window.GetClientRect();
        for (int radius : {24, 40, 64, 96, 140, 200, 300, 420, 600}) {
            for (int i = 0; i < 24; ++i) {
                const double a = i * 2 * 3.14159265358979 / 24;
                const CPoint p(aim.x + int(radius * std::cos(a)), aim.y + int(radius * std::sin(a)));
                if (client.PtInRect(p) && !pm.ControlAt(p)) return UserHands::ToScreen(hwnd, p);
            }
        }
        ADD_FAILURE() << "no bare background near " << Describe(target);
        return UserHands::ToScreen(hwnd, aim);
    }

    // The pointer comes from `from` to the control and clicks it: TRUE when
    // the control answered.
    bool ClickFrom(From from, MControl* target, const std::vector<Target>& all) {
        const CPoint aim = UserHands::ToScreen(m_window.GetSafeHwnd(), AimPoint(target));
        m_hands.JumpTo(Start(from, target, all));
        m_hands.MoveTo(aim);
        const int before = Answers(target);
        m_hands.Click();
        CloseStrays();
        return Answers(target) > before;
    }

    // Pop-ups a click left open (a combo box's drop-down) go with Esc, as a
    // person closes them. Anything else active means the crawled window lost
    // its place: that is a failure, not an answer.
    void CloseStrays() {
        const HWND self = m_window.GetSafeHwnd();
        for (int i = 0; i < 4; ++i) {
            const HWND active = Platform::GetActiveWindow();
            if (!self || active == self) return;
            HWND owner = active;
            while (owner && owner != self) owner = Platform::GetOwner(owner);
            if (!active || !owner) {
                ADD_FAILURE() << "the crawled window is no longer the active one";
                return;
            }
            NoteOpened();
            m_hands.Key(VK_ESCAPE);
        }
    }

    // A text field a click opened ends with a click on the bare background,
    // as a person leaves it: the next click on it opens it again.
    void EndTyping() {
        PaintManager& pm = m_window.GetPaintManager();
        if (!pm.GetCurrentCaretObject()) return;
        const CRect client = m_window.GetClientRect();
        for (int y = client.bottom - 3; y > 0; y -= 17)
            for (int x = 3; x < client.right; x += 23)
                if (!pm.ControlAt(CPoint(x, y))) {
                    m_hands.ClickAt(m_window.GetSafeHwnd(), CPoint(x, y));
                    return;
                }
    }

    // Tab until the control has the focus; FALSE when a whole round of the
    // focus chain passed without it.
    bool TabTo(const MControl* target) {
        PaintManager& pm = m_window.GetPaintManager();
        for (size_t i = 0; i <= FocusChain(pm).Controls().size() && pm.GetFocusControl() != target; ++i)
            m_hands.Key(VK_TAB);
        return pm.GetFocusControl() == target;
    }

  private:
    MDialog& m_window;
    UserHands& m_hands;
    std::map<const MControl*, int> m_heard;
};

// Everything a window's crawl checks, except closing it. `before` runs before
// each click or key (to meet what it may open), `after` after it (to bring the
// window back to where it was).
void CrawlWindow(MDialog& window, UserHands& hands, const std::set<UINT>& leaveOut,
                 const std::function<void()>& after = [] {},
                 const std::function<void(MControl*)>& before = [](MControl*) {}) {
    Crawl crawl(window, hands);
    const std::vector<Target> all = Targets(window);
    ASSERT_FALSE(all.empty());

    for (const Target& t : all) {
        if (leaveOut.count(t.control->GetID())) continue;
        for (From from : kFrom) {
            // A click may hide what follows (a page's controls change): only
            // what still shows and takes input is clicked.
            if (!t.control->IsVisible() || !t.control->IsParentVisible() || !t.control->IsEnabled()) break;
            before(t.control);
            EXPECT_TRUE(crawl.ClickFrom(from, t.control, all)) << Describe(t.control) << " from " << Name(from);
            crawl.EndTyping();
            after();
        }
    }
    // The keyboard: Tab reaches every control, Space does what a click does.
    // On a tab strip Space is a click on the tab that is chosen (nothing to
    // tell), so there an arrow chooses the next one, as a click on it would.
    for (const Target& t : all) {
        if (!t.keyed || leaveOut.count(t.control->GetID())) continue;
        if (!t.control->IsVisible() || !t.control->IsParentVisible() || !t.control->IsEnabled()) continue;
        ASSERT_TRUE(crawl.TabTo(t.control)) << "Tab does not reach " << Describe(t.control);
        const int answered = crawl.Answers(t.control);
        before(t.control);
        UINT key = VK_SPACE;
        if (t.control->ArrowChooses()) {
            // Towards a tab that shows: the next one, or the one before the last.
            const int n = t.control->GetKeyItemCount(), current = t.control->GetInitialKeyItem();
            bool after = false;
            for (int i = current + 1; i < n && !after; ++i) after = !t.control->GetKeyItemRect(i).IsRectEmpty();
            key = after ? VK_RIGHT : VK_LEFT;
        }
        hands.Key(key);
        crawl.CloseStrays();
        crawl.EndTyping();
        EXPECT_GT(crawl.Answers(t.control), answered) << (key == VK_SPACE ? "Space" : "an arrow") << " on "
                                                      << Describe(t.control);
        after();
    }
}

}  // namespace

// The crawl runs at the program's plain factor and at a fractional one: the
// desktop's pointer arrives in device pixels and every hit test must land in
// logical units on the control a person sees under it.
class CrawlerTest : public MainWindowFixture {
  protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        // A 4K desktop, so the 1280 x 800 window fits at every factor crawled.
        Headless::SetDisplay(CRect(0, 0, 3840, 2160));
        Platform::SetScale(Scale());
    }
    void TearDown() override {
        SetMessageBoxHook(nullptr, nullptr);
        SetSettingDialogHook(nullptr, nullptr);
        SetPairDialogHook(nullptr, nullptr);
        SetAppPickerHook(nullptr);
        SetFileDialogAnswer(nullptr);
        SetFileChooserOrder({FileChooserKind::Portal, FileChooserKind::Zenity, FileChooserKind::Toolkit});
        MainWindowFixture::TearDown();
    }
    virtual double Scale() const = 0;

    void StartInModelView(bool receiver = false) {
        receiver ? PlugReceiver() : PlugCable();
        Start();
        ClickDeviceCard(0);
        Settle();
        ASSERT_EQ(dlg->GetView(), DeviceMainDlg::View::Model);
    }

    // Windows a click opens are closed with Esc, as a person would, and counted.
    void CloseWhatOpensWithEsc() {
        SetMessageBoxHook([](CUIMessageBox&, void* self) { Esc(self); }, this);
        SetSettingDialogHook([](SettingDlg&, void* self) { Esc(self); }, this);
        SetPairDialogHook([](DonglePairDlg&, void* self) { Esc(self); }, this);
        SetAppPickerHook([this](AppPickerDlg&) { Esc(this); });
        SetFileDialogAnswer([](const FileDialogRequest&, std::wstring&) {
            ++g_windowsOpened;
            return false;
        });
    }
    static void Esc(void* self) {
        ++g_windowsOpened;
        static_cast<CrawlerTest*>(self)->hands.Key(VK_ESCAPE);
    }
};

// ---------------------------------------------------------------- the main window

constexpr double kScales[] = {1.0, 1.5};

std::string ScaleName(double scale) { return std::string("x").append(std::to_string(int(std::lround(scale * 100)))); }

class MainWindowCrawl : public CrawlerTest, public ::testing::WithParamInterface<std::tuple<int, double>> {
  protected:
    double Scale() const override { return std::get<1>(GetParam()); }
    int Tab() const { return std::get<0>(GetParam()); }
};

TEST_P(MainWindowCrawl, EveryControlOfTheTabAnswersThePointerFromEverywhereAndTheKeyboard) {
    StartInModelView();
    ASSERT_DOUBLE_EQ(Platform::GetScale(), Scale());
    ClickTab(Tab());
    Settle();
    ASSERT_EQ(dlg->GetCurrentTabId(), Tab());
    // The macro page with a macro in its list, made with its own button.
    if (Tab() == kTabMacro) ClickControl(MacroPage::IDC_NEW);
    CloseWhatOpensWithEsc();
    // The profile pop-up (the main window's own) closes with Esc too.
    auto before = [this](MControl* c) {
        if (c->GetID() == IDC_PROFILE)
            WhenWindowOpens(L"ProfileDlg", [this](HWND) {
                ++g_windowsOpened;
                hands.Key(VK_ESCAPE);
            });
    };
    auto* macros = dynamic_cast<MacroPage*>(dlg->GetPage(kTabMacro));
    const int tab = Tab();
    auto after = [&] {
        Settle();
        // What a click changed about the window itself is put back.
        if (dlg->IsIconic() || !dlg->IsWindowVisible()) dlg->ShowMainWindow();
        if (dlg->IsZoomed()) dlg->ShowWindow(SW_RESTORE);
        if (macros && macros->IsRecording()) ClickControl(MacroPage::IDC_RECORD);
        if (dlg->GetCurrentTabId() != tab) ClickTab(tab);
        Settle();
    };
    // The close button ends the program: it has a test of its own.
    CrawlWindow(*dlg, hands, {IDC_SYSBTN_CLOSE}, after, before);
    Settle();
}

INSTANTIATE_TEST_SUITE_P(EveryTab, MainWindowCrawl,
                         ::testing::Combine(::testing::Values(kTabHome, kTabKey, kTabDpi, kTabMacro, kTabText,
                                                              kTabLight, kTabDevice),
                                            ::testing::ValuesIn(kScales)),
                         [](const auto& info) {
                             return "tab" + std::to_string(std::get<0>(info.param)) + "_" +
                                    ScaleName(std::get<1>(info.param));
                         });

// The fixtures of the tests below, at each factor.
class ScaledCrawl : public CrawlerTest, public ::testing::WithParamInterface<double> {
  protected:
    double Scale() const override { return GetParam(); }
};

TEST_P(ScaledCrawl, TheMainWindowsCloseButtonAnswersFromEveryDirection) {
    PlugCable();
    for (From from : kFrom) {
        Start();
        ClickDeviceCard(0);
        Settle();
        {
            Crawl crawl(*dlg, hands);
            const std::vector<Target> all = Targets(*dlg);
            crawl.ClickFrom(from, dlg->GetControl(IDC_SYSBTN_CLOSE), all);
        }
        EXPECT_TRUE(dlg->IsExitRequested()) << "from " << Name(from);
        dlg.reset();
    }
}

// ---------------------------------------------------------------- dialogs

// The dialogs: each crawled inside its own modal loop, then closed every way
// it can be: its closing controls clicked from every direction (one opening
// each), Esc, and Enter where it has OK.
class DialogCrawl : public ScaledCrawl {
  protected:
    // Runs `open` (the dialog's modal loop) with `inside` called in the loop
    // once the dialog shows; what `open` answers comes back.
    using Inside = std::function<void(MDialog&)>;
    template <class Open>
    auto Run(Open open, Inside inside) {
        m_inside = std::move(inside);
        auto result = open();
        EXPECT_FALSE(m_inside) << "the dialog did not show";
        m_inside = nullptr;
        return result;
    }
    // For the dialogs' test hooks: the pending `inside`, once.
    void Enter(MDialog& dialog) {
        if (!m_inside) return;
        Inside inside = std::move(m_inside);
        m_inside = nullptr;
        inside(dialog);
    }
    static void EnterBox(CUIMessageBox& box, void* self) { static_cast<DialogCrawl*>(self)->Enter(box); }

    UINT Box(int kind, Inside inside) {
        SetMessageBoxHook(&DialogCrawl::EnterBox, this);
        return Run([&] { return UINT(ShowMessageBox(L"Question", Hwnd(), L"Title", kind)); }, std::move(inside));
    }
    UINT Settings(Inside inside) {
        SoftwareInfo software;
        software.version = L"1.0.0";
        software.website = L"https://www.vantorel.example/";
        SettingDlg settings(software, desktop, GetAutostartEntryPath(), L"/opt/vm/VantorelMouse");
        SetSettingDialogHook([](SettingDlg& d, void* self) { static_cast<DialogCrawl*>(self)->Enter(d); }, this);
        const UINT result = Run([&] { return settings.Show(Hwnd()); }, std::move(inside));
        if (settings.GetSafeHwnd()) settings.DestroyWindow();
        return result;
    }
    bool Pairing(Inside inside) {
        AnswerMessageBoxes({CUIMessageBox::IDC_FIRST});  // "pair now?": yes
        SetPairDialogHook([](DonglePairDlg& d, void* self) { static_cast<DialogCrawl*>(self)->Enter(d); }, this);
        return Run([&] { return RunDonglePairing(Hwnd(), dlg->GetState(), DeviceManager::Instance(), FastPairing()); },
                   std::move(inside));
    }
    // The profile pop-up as its button opens it.
    void ProfilePopup(Inside inside) {
        Run(
            [&] {
                WhenWindowOpens(L"ProfileDlg", [this](HWND) {
                    if (ProfileDlg* popup = ProfileDlg::GetOpen()) Enter(*popup);
                });
                ClickControl(IDC_PROFILE);
                Settle();
                return true;
            },
            std::move(inside));
        EXPECT_EQ(ProfileDlg::GetOpen(), nullptr) << "the profile pop-up stayed open";
    }
    UINT PathDialog(Inside inside, std::wstring* path = nullptr) {
        // As for a save: a typed name in an existing folder is taken.
        FilePathDlg dialog(L"Choose a program", L"/usr/bin/true", false);
        dialog.LoadBKImage(L"bk_prompt.png");
        EXPECT_NE(dialog.Create(Hwnd(), L"FilePathDlg", WS_POPUP | WS_VISIBLE, WS_EX_TOOLWINDOW,
                                CRect(0, 0, FilePathDlg::kWidth, FilePathDlg::kHeight)),
                  nullptr);
        dialog.CenterWindow(nullptr);
        Platform::PostTask([this, &dialog] { Enter(dialog); });
        // The dialog opens ready to type; a person who came to click about
        // first leaves the field on the bare background.
        Inside leaveField = [this, inside = std::move(inside)](MDialog& d) {
            hands.ClickAt(d.GetSafeHwnd(), CPoint(4, FilePathDlg::kHeight - 4));
            inside(d);
        };
        const UINT result = Run([&] { return dialog.ShowModal(SW_SHOWNORMAL); }, std::move(leaveField));
        if (path) *path = dialog.GetPath();
        if (dialog.GetSafeHwnd()) dialog.DestroyWindow();
        return result;
    }

    // Inside: crawls the dialog but for its closing controls.
    Inside CrawlAllBut(std::set<UINT> closing, std::function<void(MDialog&)> then = nullptr) {
        return [this, closing, then](MDialog& d) {
            CrawlWindow(d, hands, closing);
            if (then) then(d);
        };
    }
    // Inside: the pointer comes from `from` to control `id` and clicks it.
    Inside ClickFrom(UINT id, From from) {
        return [this, id, from](MDialog& d) {
            MControl* control = d.GetControl(id);
            ASSERT_NE(control, nullptr) << id;
            Crawl crawl(d, hands);
            crawl.ClickFrom(from, control, Targets(d));
        };
    }
    Inside Press(UINT vk) {
        return [this, vk](MDialog&) { hands.Key(vk); };
    }

    RecordingDesktop desktop;

  private:
    Inside m_inside;
};

TEST_P(DialogCrawl, AMessageBoxClosesWithEitherButtonFromEverywhereWithEscAndWithEnter) {
    Start();
    for (From from : kFrom) {
        EXPECT_EQ(Box(CUIMessageBox::kKindOkCancel, ClickFrom(CUIMessageBox::IDC_FIRST, from)), 1u) << Name(from);
        EXPECT_EQ(Box(CUIMessageBox::kKindOkCancel, ClickFrom(CUIMessageBox::IDC_SECOND, from)), 2u) << Name(from);
        EXPECT_EQ(Box(CUIMessageBox::kKindOk, ClickFrom(CUIMessageBox::IDC_FIRST, from)), 1u) << Name(from);
    }
    EXPECT_EQ(Box(CUIMessageBox::kKindOkCancel, Press(VK_ESCAPE)), 2u);
    EXPECT_EQ(Box(CUIMessageBox::kKindOkCancel, Press(VK_RETURN)), 1u);
    EXPECT_EQ(Box(CUIMessageBox::kKindOk, Press(VK_ESCAPE)), 1u);  // its only button
    EXPECT_EQ(Box(CUIMessageBox::kKindOk, Press(VK_RETURN)), 1u);
    // The keyboard reaches both buttons; Space presses the one with the focus.
    EXPECT_EQ(Box(CUIMessageBox::kKindOkCancel,
                  [this](MDialog& d) {
                      Crawl crawl(d, hands);
                      ASSERT_TRUE(crawl.TabTo(d.GetControl(CUIMessageBox::IDC_FIRST)));
                      ASSERT_TRUE(crawl.TabTo(d.GetControl(CUIMessageBox::IDC_SECOND)));
                      hands.Key(VK_SPACE);
                  }),
              2u);
}

TEST_P(DialogCrawl, TheSettingsDialogOnBothTabsAndItsWaysToClose) {
    Start();
    CloseWhatOpensWithEsc();
    // The settings tab, then the about tab chosen with the pointer.
    EXPECT_EQ(Settings(CrawlAllBut({SettingDlg::IDC_CLOSE},
                                   [this](MDialog& d) {
                                       auto* tabs = dynamic_cast<CTabCtrl1*>(d.GetControl(SettingDlg::IDC_TABS));
                                       ASSERT_NE(tabs, nullptr);
                                       hands.ClickAt(d.GetSafeHwnd(), tabs->GetItemRect(1).CenterPoint());
                                       ASSERT_TRUE(d.GetControl(SettingDlg::IDC_LINK_WEBSITE)->IsParentVisible());
                                       CrawlWindow(d, hands, {SettingDlg::IDC_CLOSE});
                                       hands.Key(VK_ESCAPE);
                                   })),
              UINT(IDCANCEL));
    EXPECT_FALSE(desktop.calls.empty());  // its links were followed
    for (From from : kFrom) EXPECT_EQ(Settings(ClickFrom(SettingDlg::IDC_CLOSE, from)), UINT(IDCANCEL)) << Name(from);
    EXPECT_EQ(Settings(Press(VK_ESCAPE)), UINT(IDCANCEL));
}

TEST_P(DialogCrawl, ThePairingDialogClosesWithItsButtonFromEverywhereWithEscAndWithEnterOnSuccess) {
    StartInModelView(true);
    for (From from : kFrom) EXPECT_TRUE(Pairing(ClickFrom(DonglePairDlg::IDC_CLOSE, from))) << Name(from);
    EXPECT_TRUE(Pairing(Press(VK_ESCAPE)));
    EXPECT_TRUE(Pairing([this](MDialog& d) {
        auto& pairing = static_cast<DonglePairDlg&>(d);
        sim->SetMousePower(false);
        sim->SetMousePower(true);
        for (int i = 0; i < 2000 && !pairing.IsSuccessShown(); ++i) {
            Platform::RunPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ASSERT_TRUE(pairing.IsSuccessShown());
        // Tab reaches both buttons; Enter is "Pairing succeeded".
        Crawl crawl(d, hands);
        ASSERT_TRUE(crawl.TabTo(d.GetControl(DonglePairDlg::IDC_CLOSE)));
        ASSERT_TRUE(crawl.TabTo(d.GetControl(DonglePairDlg::IDC_SUCCESS)));
        hands.Key(VK_RETURN);
    }));
    EXPECT_TRUE(Platform::FindWindows(L"DonglePairDlg").empty());
}

TEST_P(DialogCrawl, TheProfilePopupAnswersEveryControlAndClosesEveryWay) {
    StartInModelView();
    CloseWhatOpensWithEsc();
    // Each of its controls ends it, so each click is one opening.
    for (UINT id : {UINT(ProfileDlg::IDC_LIST), UINT(ProfileDlg::IDC_IMPORT), UINT(ProfileDlg::IDC_EXPORT)}) {
        for (From from : kFrom) {
            int heard = 0;
            ProfilePopup([&](MDialog& d) {
                Crawl crawl(d, hands);
                MControl* control = d.GetControl(id);
                const int before = crawl.Answers(control);
                crawl.ClickFrom(from, control, Targets(d));
                heard = crawl.Answers(control) - before;
            });
            EXPECT_GT(heard, 0) << "control " << id << " from " << Name(from);
            Settle();
        }
    }
    // Esc, a second click on its button, a click outside it on the window and
    // on the desktop: each closes it.
    ProfilePopup(Press(VK_ESCAPE));
    ProfilePopup([this](MDialog&) { ClickControl(IDC_PROFILE); });
    ProfilePopup([this](MDialog&) { hands.ClickAt(Hwnd(), CPoint(700, 30)); });
    ProfilePopup([this](MDialog&) {
        hands.MoveTo(CPoint(3, 3));
        hands.Click();
    });
    // Tab reaches its list and buttons; Space on a row chooses it as a click does.
    const int32_t before = dlg->GetState().GetCurrentProfile();
    ProfilePopup([this](MDialog& d) {
        Crawl crawl(d, hands);
        ASSERT_TRUE(crawl.TabTo(d.GetControl(ProfileDlg::IDC_IMPORT)));
        ASSERT_TRUE(crawl.TabTo(d.GetControl(ProfileDlg::IDC_EXPORT)));
        ASSERT_TRUE(crawl.TabTo(d.GetControl(ProfileDlg::IDC_LIST)));
        hands.Key(VK_DOWN);
        hands.Key(VK_SPACE);
    });
    Settle();
    EXPECT_NE(dlg->GetState().GetCurrentProfile(), before);
}

TEST_P(DialogCrawl, ThePathDialogAnswersItsFieldAndClosesEveryWay) {
    Start();
    EXPECT_EQ(PathDialog(CrawlAllBut({FilePathDlg::IDC_OK, FilePathDlg::IDC_CANCEL}, [this](MDialog&) {
                  hands.Key(VK_ESCAPE);  // the field is open: Esc leaves it and the dialog
              })),
              UINT(IDCANCEL));
    for (From from : kFrom) {
        EXPECT_EQ(PathDialog(ClickFrom(FilePathDlg::IDC_OK, from)), UINT(IDOK)) << Name(from);
        EXPECT_EQ(PathDialog(ClickFrom(FilePathDlg::IDC_CANCEL, from)), UINT(IDCANCEL)) << Name(from);
    }
    EXPECT_EQ(PathDialog(Press(VK_ESCAPE)), UINT(IDCANCEL));
    // Return in the field confirms what was typed.
    std::wstring path;
    EXPECT_EQ(PathDialog(
                  [this](MDialog& d) {
                      hands.ClickControl(d.GetControl(FilePathDlg::IDC_PATH));
                      hands.Key(VK_END);
                      hands.Type(L"-x");
                      hands.Key(VK_RETURN);
                  },
                  &path),
              UINT(IDOK));
    EXPECT_EQ(path, L"/usr/bin/true-x");
}

INSTANTIATE_TEST_SUITE_P(AtEachFactor, ScaledCrawl, ::testing::ValuesIn(kScales),
                         [](const auto& info) { return ScaleName(info.param); });
INSTANTIATE_TEST_SUITE_P(AtEachFactor, DialogCrawl, ::testing::ValuesIn(kScales),
                         [](const auto& info) { return ScaleName(info.param); });
