#pragma once
// Live keyboard and mouse input for key capture and macro recording. While a
// reader is registered its source delivers every key, button and wheel event,
// also while the window is in the background where the desktop allows it; the
// events are translated on the UI thread (the pure translation of
// features/RawInput) and handed to the callback there.
//
// Sources, in order of preference: XInput2 raw events on the X root window, and
// otherwise the program's own window events, which the main window forwards
// with FeedWindowInput (those only arrive while the window has the focus).
// Tests inject a FakeRawInputSource.
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "features/RawInput.h"
#include "orvix/platform/WinTypes.h"

// What a source saw, before translation.
struct RawInputSample {
    bool keyboard = true;
    int vk = 0;  // keyboard: virtual key
    bool keyUp = false;
    unsigned buttonFlags = 0;  // mouse: the kRaw... flags of features/RawInput.h
    int wheelData = 0;
    std::wstring layoutName;  // the keyboard layout's name for the key ("" when unknown)
};

class RawInputSource {
  public:
    // May be called on any thread.
    using Sink = std::function<void(const RawInputSample&)>;
    virtual ~RawInputSource() = default;
    virtual bool Start(Sink sink) = 0;
    virtual void Stop() = 0;
    // True when input reaches the source while another window has the focus.
    virtual bool SeesBackgroundInput() const = 0;
};

class LiveInputReader {
  public:
    using Callback = std::function<void(const InputEvent&)>;

    // Without a source the default one is made at Register (MakeRawInputSource).
    explicit LiveInputReader(std::unique_ptr<RawInputSource> source = nullptr);
    ~LiveInputReader();
    LiveInputReader(const LiveInputReader&) = delete;
    LiveInputReader& operator=(const LiveInputReader&) = delete;

    // Starts delivering events to `callback` on the UI thread (a failed start is
    // tried once more). Registering again replaces the callback.
    bool Register(Callback callback);
    // Stops the source and forgets the held keys; events already on their way are dropped.
    void Release();
    bool IsRegistered() const { return m_registered; }
    bool SeesBackgroundInput() const { return m_source && m_source->SeesBackgroundInput(); }

  private:
    struct Shared;
    std::unique_ptr<RawInputSource> m_source;
    std::shared_ptr<Shared> m_shared;
    bool m_registered = false;
};

// The source a reader uses by default: XInput2 when the X server offers it and
// the toolkit runs on a real display, the window's own events otherwise.
std::unique_ptr<RawInputSource> MakeRawInputSource();
// XInput2 raw events of the display in $DISPLAY; null when there is none or the
// server lacks XInput 2.1.
std::unique_ptr<RawInputSource> MakeXInput2Source();
// Tests: what MakeRawInputSource makes instead (null restores the default).
void SetRawInputSourceFactory(std::function<std::unique_ptr<RawInputSource>()> factory);

// The main window hands its key, button and wheel messages to the window-event
// sources that are running (UI thread).
void FeedWindowInput(Orvix::UINT msg, Orvix::WPARAM wParam, Orvix::LPARAM lParam);

// A source driven by the test.
class FakeRawInputSource : public RawInputSource {
  public:
    bool Start(Sink sink) override;
    void Stop() override;
    bool SeesBackgroundInput() const override { return true; }

    // False when the source is not running.
    bool Emit(const RawInputSample& sample);
    bool IsRunning() const;
    // The next `count` starts fail.
    void FailStarts(int count) { m_failStarts = count; }
    int StartCount() const { return m_starts; }

  private:
    mutable std::mutex m_mutex;
    Sink m_sink;
    int m_failStarts = 0;
    int m_starts = 0;
};
