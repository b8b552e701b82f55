// The program as a screen reader sees it: the real main window (headless back
// end, simulated mouse) on a private accessibility bus, read with libatspi
// from a thread of its own, while the test's thread runs the window.
#include <algorithm>

#include "AccessibilityBus.h"
#include "pages/DpiPage.h"
#include "pages/KeyPage.h"
#include "base/LanguageText.h"
#include "orvix/core/AccessibleHub.h"
#include "orvix/controls/NumberEdit.h"
#include "orvix/widgets/DPIControl.h"
#include "orvix/widgets/DPISlider.h"
#include "base/Folders.h"
#include "platform/dbus/AtspiBridge.h"
#include "tests/ui/MainWindowFixture.h"

using namespace Orvix;

namespace {

constexpr const char* kApplication = "Vantorel Mouse";

std::string Utf8(const std::wstring& text) {
    return WideToUtf8(text);
}

std::wstring Text(int lcid, int id) {
    return ReadLanguageText(GetProgramFolder(), lcid, L"LAN", id);
}

class ScreenReaderTest : public MainWindowFixture {
  protected:
    void SetUp() override {
        if (!Reader::Available())
            GTEST_SKIP() << "a screen reader already ran in this process; run each test on its own "
                            "(ctest does, or --gtest_filter)";
        MainWindowFixture::SetUp();
        set = true;
        bus = std::make_unique<AccessibilityBus>(enabledAtStart);
        ASSERT_TRUE(bus->IsRunning()) << "no accessibility bus (at-spi2-core)";
    }
    void TearDown() override {
        if (!set) return;
        reader.reset();
        bridge.reset();
        MainWindowFixture::TearDown();
        bus.reset();
    }

    // The window with the mouse on its cable, on the page `tab`, then the bridge.
    void StartOn(int tab) {
        PlugCable();
        Start();
        ClickDeviceCard(0);
        Settle();
        if (tab != kTabHome) {
            ClickTab(tab);
            Settle();
        }
        AtspiBridge::Options options;
        options.sessionBus = bus->SessionAddress();
        bridge = std::make_unique<AtspiBridge>(options);
        bridge->Start();
        ASSERT_TRUE(PumpUntil([&] { return bridge->IsRegistered(); })) << "not registered";
        reader = std::make_unique<Reader>(bus->Address());
    }

    bool PumpUntil(const std::function<bool()>& ready, int ms = 10000) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!ready()) {
            if (std::chrono::steady_clock::now() > until) return false;
            Platform::RunPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    template <class T>
    T Ask(const std::function<T()>& task) {
        if (!reader) {
            ADD_FAILURE() << "no screen reader";
            return T{};
        }
        return reader->Ask<T>(task, [] { Platform::RunPending(); });
    }

    // The names of the page tabs, as the reader finds them in the main window.
    std::vector<std::string> PageTabs() {
        return Ask<std::vector<std::string>>([] {
            std::vector<std::string> names;
            AtspiAccessible* app = FindApplication(kApplication);
            if (!app) return names;
            AtspiAccessible* strip =
                FindBelow(app, [](AtspiAccessible* o) { return RoleOf(o) == ATSPI_ROLE_PAGE_TAB_LIST; });
            if (strip) {
                std::vector<AtspiAccessible*> tabs = ChildrenOf(strip);
                for (AtspiAccessible* tab : tabs)
                    if (RoleOf(tab) == ATSPI_ROLE_PAGE_TAB) names.push_back(NameOf(tab));
                Release(tabs);
                g_object_unref(strip);
            }
            g_object_unref(app);
            return names;
        });
    }

    std::vector<std::string> TabTexts() {
        std::vector<std::string> texts;
        MTabCtrl* tabs = dlg->GetTabCtrl();
        for (int i = 0; i < tabs->GetItemCount(); ++i)
            if (!tabs->GetItemRect(i).IsRectEmpty()) texts.push_back(Utf8(tabs->GetItemText(i)));
        return texts;
    }

    bool enabledAtStart = true;
    bool set = false;
    std::unique_ptr<AccessibilityBus> bus;
    std::unique_ptr<AtspiBridge> bridge;
    std::unique_ptr<Reader> reader;
};

}  // namespace

TEST_F(ScreenReaderTest, TheApplicationIsListedWithItsFrameAndTheSevenPageTabs) {
    StartOn(kTabHome);
    struct Seen {
        bool listed = false;
        int windows = 0;
        AtspiRole role = ATSPI_ROLE_INVALID;
        std::string title, toolkit;
        bool active = false;
    };
    const Seen seen = Ask<Seen>([] {
        Seen s;
        AtspiAccessible* app = FindApplication(kApplication);
        if (!app) return s;
        s.listed = true;
        gchar* toolkit = atspi_accessible_get_toolkit_name(app, nullptr);
        s.toolkit = toolkit ? toolkit : "";
        g_free(toolkit);
        std::vector<AtspiAccessible*> windows = ChildrenOf(app);
        s.windows = int(windows.size());
        if (!windows.empty()) {
            s.role = RoleOf(windows[0]);
            s.title = NameOf(windows[0]);
            s.active = HasState(windows[0], ATSPI_STATE_ACTIVE);
        }
        Release(windows);
        g_object_unref(app);
        return s;
    });
    ASSERT_TRUE(seen.listed);
    EXPECT_EQ(seen.toolkit, "Orvix");
    EXPECT_EQ(seen.windows, 1);
    EXPECT_EQ(seen.role, ATSPI_ROLE_FRAME);
    EXPECT_EQ(seen.title, Utf8(dlg->GetWindowTextW()));
    EXPECT_TRUE(seen.active);
    const std::vector<std::string> tabs = PageTabs();
    EXPECT_EQ(tabs.size(), 7u);
    EXPECT_EQ(tabs, TabTexts());
}

TEST_F(ScreenReaderTest, TheDpiLevelsAndTheSliderTellTheirValues) {
    StartOn(kTabDpi);
    auto* levels = Control<DPIControl>(DpiPage::IDC_DPI_LEVELS);
    auto* slider = Control<DPISlider>(DpiPage::IDC_DPI_SLIDER);
    ASSERT_NE(levels, nullptr);
    ASSERT_NE(slider, nullptr);
    struct Values {
        std::vector<double> cards;
        std::vector<bool> selected;
        double slider = -1, minimum = -1, maximum = -1;
    };
    const Values v = Ask<Values>([] {
        Values out;
        AtspiAccessible* app = FindApplication(kApplication);
        if (!app) return out;
        // The cards: the list whose items carry values.
        AtspiAccessible* cards = FindBelow(app, [](AtspiAccessible* o) {
            if (RoleOf(o) != ATSPI_ROLE_LIST || atspi_accessible_get_child_count(o, nullptr) == 0)
                return false;
            AtspiAccessible* first = atspi_accessible_get_child_at_index(o, 0, nullptr);
            AtspiValue* value = first ? atspi_accessible_get_value_iface(first) : nullptr;
            if (value) g_object_unref(value);
            if (first) g_object_unref(first);
            return value != nullptr;
        });
        if (cards) {
            std::vector<AtspiAccessible*> items = ChildrenOf(cards);
            for (AtspiAccessible* item : items) {
                AtspiValue* value = atspi_accessible_get_value_iface(item);
                out.cards.push_back(atspi_value_get_current_value(value, nullptr));
                out.selected.push_back(HasState(item, ATSPI_STATE_SELECTED));
                g_object_unref(value);
            }
            Release(items);
            g_object_unref(cards);
        }
        AtspiAccessible* slider =
            FindBelow(app, [](AtspiAccessible* o) { return RoleOf(o) == ATSPI_ROLE_SLIDER; });
        if (slider) {
            AtspiValue* value = atspi_accessible_get_value_iface(slider);
            out.slider = atspi_value_get_current_value(value, nullptr);
            out.minimum = atspi_value_get_minimum_value(value, nullptr);
            out.maximum = atspi_value_get_maximum_value(value, nullptr);
            g_object_unref(value);
            g_object_unref(slider);
        }
        g_object_unref(app);
        return out;
    });
    std::vector<double> shown;
    std::vector<bool> chosen;
    for (int i = 0; i < levels->GetItemCount(); ++i) {
        if (levels->GetKeyItemRect(i).IsRectEmpty()) continue;
        shown.push_back(levels->GetDPIValue(i));
        chosen.push_back(i == levels->GetSelectItem());
    }
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(v.cards, shown);
    EXPECT_EQ(v.selected, chosen);
    const double scale = slider->GetScale();
    EXPECT_EQ(v.slider, slider->GetProgress() * scale);
    EXPECT_EQ(v.minimum, slider->GetMinProgress() * scale);
    EXPECT_EQ(v.maximum, slider->GetMaxProgress() * scale);
    EXPECT_LT(v.minimum, v.maximum);

    // A new value from the reader moves the slider step by step, as arrow keys do.
    const double target = v.slider + 3 * scale;
    const bool taken = Ask<bool>([target] {
        AtspiAccessible* app = FindApplication(kApplication);
        if (!app) return false;
        AtspiAccessible* found = FindBelow(app, [](AtspiAccessible* o) { return RoleOf(o) == ATSPI_ROLE_SLIDER; });
        bool ok = false;
        if (found) {
            AtspiValue* value = atspi_accessible_get_value_iface(found);
            ok = atspi_value_set_current_value(value, target, nullptr);
            g_object_unref(value);
            g_object_unref(found);
        }
        g_object_unref(app);
        return ok;
    });
    EXPECT_TRUE(taken);
    EXPECT_TRUE(PumpUntil([&] { return slider->GetProgress() * scale == target; }))
        << "the slider is at " << slider->GetProgress() * scale << ", not " << target;
}

TEST_F(ScreenReaderTest, TheResetPictureButtonsActionOpensTheModalConfirmation) {
    StartOn(kTabDpi);
    const std::wstring initialCount = Config(L"dpi_count");
    const std::string resetName = Utf8(Text(1033, 253));
    const std::string question = Utf8(Text(1033, 258));
    const std::string cancelName = Utf8(Text(1033, 25));
    struct Scene {
        bool pressed = false;
        bool dialogSeen = false;
        bool modal = false;
        std::vector<std::string> labels, buttons;
        bool closed = false;
    };
    // One question for the whole scene: while the dialog is open the window's
    // thread is inside its modal loop, and the reader works meanwhile.
    const Scene scene = Ask<Scene>([resetName, cancelName] {
        Scene s;
        AtspiAccessible* app = FindApplication(kApplication);
        if (!app) return s;
        AtspiAccessible* reset = FindBelow(app, [&](AtspiAccessible* o) {
            return RoleOf(o) == ATSPI_ROLE_PUSH_BUTTON && NameOf(o) == resetName;
        });
        if (!reset) return s;
        AtspiAction* action = atspi_accessible_get_action_iface(reset);
        s.pressed = action && atspi_action_do_action(action, 0, nullptr);
        if (action) g_object_unref(action);
        g_object_unref(reset);
        AtspiAccessible* dialog = nullptr;
        for (int i = 0; i < 500 && !dialog; ++i) {
            std::vector<AtspiAccessible*> windows = ChildrenOf(app);
            for (AtspiAccessible* w : windows)
                if (!dialog && RoleOf(w) == ATSPI_ROLE_DIALOG)
                    dialog = static_cast<AtspiAccessible*>(g_object_ref(w));
            Release(windows);
            if (!dialog) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!dialog) {
            g_object_unref(app);
            return s;
        }
        s.dialogSeen = true;
        s.modal = HasState(dialog, ATSPI_STATE_MODAL);
        AtspiAccessible* cancel = nullptr;
        std::function<void(AtspiAccessible*)> walk = [&](AtspiAccessible* o) {
            std::vector<AtspiAccessible*> children = ChildrenOf(o);
            for (AtspiAccessible* c : children) {
                const AtspiRole role = RoleOf(c);
                if (role == ATSPI_ROLE_LABEL) s.labels.push_back(NameOf(c));
                if (role == ATSPI_ROLE_PUSH_BUTTON) {
                    s.buttons.push_back(NameOf(c));
                    if (!cancel && s.buttons.back() == cancelName)
                        cancel = static_cast<AtspiAccessible*>(g_object_ref(c));
                }
                walk(c);
            }
            Release(children);
        };
        walk(dialog);
        g_object_unref(dialog);
        // Cancel, by its action: the window's thread leaves the box's modal loop.
        if (cancel) {
            AtspiAction* action = atspi_accessible_get_action_iface(cancel);
            s.closed = action && atspi_action_do_action(action, 0, nullptr);
            if (action) g_object_unref(action);
            g_object_unref(cancel);
        }
        g_object_unref(app);
        return s;
    });
    EXPECT_TRUE(scene.pressed);
    ASSERT_TRUE(scene.dialogSeen) << "no dialog appeared";
    EXPECT_TRUE(scene.modal);
    EXPECT_NE(std::find(scene.labels.begin(), scene.labels.end(), question), scene.labels.end())
        << "the question is not read out";
    EXPECT_GE(scene.buttons.size(), 2u);
    for (const std::string& name : scene.buttons) EXPECT_FALSE(name.empty()) << "a button without a name";
    EXPECT_TRUE(scene.closed);
    Settle();
    // Cancelled: the levels stay as they were, and the box's window is gone for the reader too.
    EXPECT_EQ(Config(L"dpi_count"), initialCount);
    ASSERT_TRUE(PumpUntil([&] {
        for (const AccessibleNode& n : AccessibleHub::Current()->Nodes())
            if (n.role == AccessibleRole::Dialog) return false;
        return true;
    }));
}

// A reader changes the response time through EditableText: each change goes
// through the field's own box, as typing does (digits only, two at most), and
// the time reaches the store and the mouse when the field is left with Tab.
TEST_F(ScreenReaderTest, AReaderEditsTheResponseTimeAsTypingDoes) {
    StartOn(kTabDpi);
    auto* edit = Control<NumberEdit>(DpiPage::IDC_RESPOND);
    auto* label = Control<MControlFont>(DpiPage::IDC_RESPOND_TEXT);
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(label, nullptr);
    const std::string name = Utf8(label->GetTitle());
    ASSERT_FALSE(name.empty());
    // One reader call: finds the field by its name and does `step` to it.
    auto readerDoes = [&](const std::function<bool(AtspiEditableText*)>& step) {
        return Ask<bool>([name, step] {
            AtspiAccessible* app = FindApplication(kApplication);
            if (!app) return false;
            AtspiAccessible* field = FindBelow(app, [&](AtspiAccessible* o) {
                return RoleOf(o) == ATSPI_ROLE_SPIN_BUTTON && NameOf(o) == name;
            });
            g_object_unref(app);
            if (!field) return false;
            AtspiEditableText* text = atspi_accessible_get_editable_text_iface(field);
            g_object_unref(field);
            if (!text) return false;
            const bool ok = step(text);
            g_object_unref(text);
            return ok;
        });
    };
    auto shows = [&](const std::wstring& text) {
        return PumpUntil([&] { return edit->GetEditText() == text; }, 3000);
    };
    EXPECT_TRUE(readerDoes([](AtspiEditableText* t) { return atspi_editable_text_set_text_contents(t, "12", nullptr); }));
    EXPECT_TRUE(shows(L"12")) << Utf8(edit->GetEditText());
    EXPECT_TRUE(edit->IsEditing()) << "the field did not open for the change";
    EXPECT_EQ(dlg->GetPaintManager().GetFocusControl(), edit);
    // What the keys could not type, the reader cannot either.
    EXPECT_FALSE(readerDoes([](AtspiEditableText* t) { return atspi_editable_text_insert_text(t, 0, "x", -1, nullptr); }));
    EXPECT_FALSE(readerDoes([](AtspiEditableText* t) { return atspi_editable_text_insert_text(t, 1, "7", -1, nullptr); }));
    EXPECT_TRUE(shows(L"12"));
    EXPECT_TRUE(readerDoes([](AtspiEditableText* t) { return atspi_editable_text_delete_text(t, 0, 1, nullptr); }));
    EXPECT_TRUE(shows(L"2"));
    EXPECT_TRUE(readerDoes([](AtspiEditableText* t) { return atspi_editable_text_insert_text(t, 0, "34", 1, nullptr); }));
    EXPECT_TRUE(shows(L"32"));
    // Cut and paste go through the field's clipboard.
    EXPECT_TRUE(readerDoes([](AtspiEditableText* t) { return atspi_editable_text_cut_text(t, 0, 1, nullptr); }));
    EXPECT_TRUE(shows(L"2"));
    EXPECT_EQ(Platform::GetClipboardText(), L"3");
    EXPECT_TRUE(readerDoes([](AtspiEditableText* t) { return atspi_editable_text_paste_text(t, 1, nullptr); }));
    EXPECT_TRUE(shows(L"23"));
    // Readers hear the text change, as they hear typing.
    EXPECT_TRUE(PumpUntil([&] {
        for (const std::string& h : reader->Heard())
            if (h == "object:text-changed:insert spin button: " + name) return true;
        return false;
    })) << "no text-changed event";
    // Nothing is stored while the field is open; leaving it with Tab stores and sends it.
    EXPECT_NE(Config(L"button_respondtime"), L"23");
    hands.Key(VK_TAB);
    Settle();
    EXPECT_FALSE(edit->IsEditing());
    EXPECT_EQ(Config(L"button_respondtime"), L"23");
    EXPECT_TRUE(PumpUntil([&] { return sim->State().settings.buttonRespondTime == 23; }));
}

TEST_F(ScreenReaderTest, TabMovesTheFocusAndEachControlIsAnnounced) {
    StartOn(kTabDpi);
    // The reader listens from the start.
    Ask<bool>([] { return true; });
    PaintManager& pm = dlg->GetPaintManager();
    std::vector<std::string> expected;
    for (int i = 0; i < 6; ++i) {
        hands.Key(VK_TAB);
        Settle();
        const auto snapshot = AccessibleHub::Current();
        ASSERT_NE(pm.GetFocusControl(), nullptr);
        ASSERT_TRUE(PumpUntil([&] { return AccessibleHub::Current()->Focused() != nullptr; }));
        const AccessibleNode* focused = AccessibleHub::Current()->Focused();
        EXPECT_FALSE(focused->name.empty())
            << "a focused " << AccessibleRoleName(focused->role) << " without a name: " << focused->path;
        expected.push_back(std::string("focused ") + AccessibleRoleName(focused->role) + ": " +
                           focused->name);
        const size_t want = expected.size();
        ASSERT_TRUE(PumpUntil([&] {
            std::vector<std::string> heard = reader->Heard();
            return size_t(std::count_if(heard.begin(), heard.end(), [](const std::string& h) {
                       return h.rfind("focused ", 0) == 0;
                   })) >= want;
        })) << "no focus event after Tab "
            << i;
    }
    std::vector<std::string> focusEvents;
    for (const std::string& h : reader->Heard())
        if (h.rfind("focused ", 0) == 0) focusEvents.push_back(h);
    EXPECT_EQ(focusEvents, expected);
}

TEST_F(ScreenReaderTest, AfterASwitchToFrenchTheNamesAreFrench) {
    StartOn(kTabDpi);
    const std::vector<std::string> english = PageTabs();
    SetCurrentLcid(1036);
    Platform::SendMessage(Hwnd(), WM_LANGUAGE_CHANGED, 0, 0);
    Settle();
    const std::vector<std::string> french = PageTabs();
    EXPECT_EQ(french, TabTexts());
    EXPECT_NE(french, english);
    const std::string resetName = Utf8(Text(1036, 253));
    const bool found = Ask<bool>([resetName] {
        AtspiAccessible* app = FindApplication(kApplication);
        if (!app) return false;
        AtspiAccessible* reset = FindBelow(app, [&](AtspiAccessible* o) {
            return RoleOf(o) == ATSPI_ROLE_PUSH_BUTTON && NameOf(o) == resetName;
        });
        if (reset) g_object_unref(reset);
        g_object_unref(app);
        return reset != nullptr;
    });
    EXPECT_TRUE(found) << "no button named " << resetName;
    // Readers that keep names hear of the change.
    EXPECT_TRUE(PumpUntil([&] {
        for (const std::string& h : reader->Heard())
            if (h.rfind("object:property-change:accessible-name page tab", 0) == 0) return true;
        return false;
    }));
    SetCurrentLcid(1033);
}

class QuietDesktopTest : public ScreenReaderTest {
  protected:
    void SetUp() override {
        enabledAtStart = false;
        ScreenReaderTest::SetUp();
    }
};

TEST_F(QuietDesktopTest, NothingIsServedUntilTheDesktopWantsAssistiveTechnology) {
    PlugCable();
    Start();
    ClickDeviceCard(0);
    Settle();
    AtspiBridge::Options options;
    options.sessionBus = bus->SessionAddress();
    bridge = std::make_unique<AtspiBridge>(options);
    bridge->Start();
    ASSERT_TRUE(PumpUntil([&] { return bridge->IsWaiting(); }));
    Settle();
    EXPECT_FALSE(bridge->IsRegistered());
    EXPECT_FALSE(AccessibleHub::IsActive()) << "the window is described for no one";
    // A screen reader starts: the desktop says so, and the program appears.
    bus->SetScreenReaderEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return bridge->IsRegistered(); }));
    EXPECT_TRUE(AccessibleHub::IsActive());
    reader = std::make_unique<Reader>(bus->Address());
    EXPECT_EQ(PageTabs(), TabTexts());
}

namespace {

MControl* BySerial(const std::vector<MControl*>& areas, const std::vector<MControl*>& controls,
                   uint64_t serial) {
    for (const std::vector<MControl*>* list : {&areas, &controls}) {
        for (MControl* c : *list) {
            if (c->GetSerial() == serial) return c;
            if (MControl* found = BySerial(c->GetAreas(), c->GetControls(), serial)) return found;
        }
    }
    return nullptr;
}

}  // namespace

// Every control a reader can reach with Tab or act on says what it is called,
// on every page and in the frame (no bus needed: the tree as it would be served).
using AccessibleTreeTest = MainWindowFixture;
TEST_F(AccessibleTreeTest, EveryControlAReaderCanReachHasAName) {
    PlugCable();
    Start();
    std::vector<std::string> nameless;
    auto look = [&](const std::string& where) {
        const auto snapshot = DescribeWindows({dlg.get()}, L"Vantorel Mouse");
        for (const AccessibleNode& node : snapshot->Nodes()) {
            // Lists and strips may go without a name: the reader says their items.
            const bool reachable = node.states.Has(AccessibleState::Focusable) || !node.action.empty();
            if (!reachable || !node.name.empty() || node.control == 0 || !node.children.empty()) continue;
            MControl* c = BySerial(dlg->GetPaintManager().GetAreas(), dlg->GetPaintManager().GetControls(),
                                   node.control);
            nameless.push_back(where + ": " + AccessibleRoleName(node.role) + " id " +
                               std::to_string(c ? c->GetID() : 0) +
                               (node.item >= 0 ? " item " + std::to_string(node.item) : ""));
        }
    };
    look("devices");
    ClickDeviceCard(0);
    Settle();
    for (int tab : {kTabKey, kTabDpi, kTabMacro, kTabText, kTabLight, kTabDevice}) {
        ClickTab(tab);
        Settle();
        look("tab " + std::to_string(tab));
    }
    EXPECT_EQ(nameless, std::vector<std::string>{});
}

// A reader entering a list on the key page hears what the list holds, as the
// captions above them say it (they change with the chosen type and the language).
TEST_F(AccessibleTreeTest, TheKeyPagesListsAreNamedByTheirCaptions) {
    PlugCable();
    Start();
    ClickDeviceCard(0);
    Settle();
    if (dlg->GetCurrentTabId() != kTabKey) ClickTab(kTabKey);
    Settle();
    const auto snapshot = DescribeWindows({dlg.get()}, L"Vantorel Mouse");
    auto nameOf = [&](UINT id) {
        MControl* c = Control<MControl>(id);
        const AccessibleNode* node = c ? snapshot->Find(AccessibleSnapshot::ControlPath(c->GetSerial())) : nullptr;
        return node ? node->name : std::string("(not exposed)");
    };
    auto title = [&](UINT id) {
        auto* label = Control<MControlFont>(id);
        return label ? Utf8(label->GetTitle()) : std::string();
    };
    const std::string area = title(KeyPage::IDC_AREA + 2), caption = title(KeyPage::IDC_TYPE_CAPTION);
    ASSERT_FALSE(area.empty());
    ASSERT_FALSE(caption.empty());
    EXPECT_EQ(nameOf(KeyPage::IDC_TYPE_LIST), area);
    EXPECT_EQ(nameOf(KeyPage::IDC_BUTTON_MAP), area);
    EXPECT_EQ(nameOf(KeyPage::IDC_VALUE_LIST), caption);
}
