#pragma once
// When a wireless mouse's battery report deserves a desktop notification: the
// level at or below 15 % (and again at or below 5 %) while not charging, once per
// threshold; a threshold notifies again only after the level has risen above it.
// Charging never notifies. Pure: fed the reports, it only answers.
#include <functional>
#include <string>

class LowBatteryWatch {
  public:
    static constexpr int kLowThreshold = 15;
    static constexpr int kEmptyThreshold = 5;

    // One battery report (level in percent, as the mouse sends it). Returns the
    // threshold to notify about now (15 or 5), or 0. A report that crosses both
    // thresholds at once notifies once, for 5. Levels outside 1..100 are not
    // readings (the mouse sends 0 when it does not know) and change nothing.
    int Feed(int level, bool charging);

    // Another mouse: every threshold may notify again.
    void Reset() { m_lowNotified = m_emptyNotified = false; }

  private:
    bool m_lowNotified = false;
    bool m_emptyNotified = false;
};

struct LowBatteryNotice {
    std::wstring title;
    std::wstring body;
    bool critical = false;  // the 5 % notice
};

// The notice's texts for a model name, the level and the threshold Feed gave,
// from language texts 920 (title at 15 %), 921 (title at 5 %) and 922 (body, with
// "{model}" and "{level}" replaced). `text` looks a language text up by id; by
// default the current language's.
LowBatteryNotice MakeLowBatteryNotice(const std::wstring& modelName, int level, int threshold,
                                      const std::function<std::wstring(int id)>& text = {});
