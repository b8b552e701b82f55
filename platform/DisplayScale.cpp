#include "platform/DisplayScale.h"

#include "orvix/platform/Platform.h"
#include "platform/Trace.h"

int ScalePercentFromDpi(int dpi) {
    switch (dpi) {
        case 120:
            return 125;
        case 144:
            return 150;
        case 168:
            return 175;
        case 192:
            return 200;
        default:
            return 100;
    }
}

bool IsScaleAwareScreen(int width, int height, int scalePercent) {
    if (width < 1400 || height < 788) return true;
    return width == 1920 && height == 1080 && scalePercent > 125;
}

bool DecideScaleAwareness() {
    Orvix::DisplayInfo info;
    if (!Orvix::Platform::GetDisplayInfo(Orvix::POINT{1, 1}, info)) {
        Vantorel::Trace("display: none found; the window keeps its logical size");
        return false;
    }
    const int percent = ScalePercentFromDpi(info.dpi);
    const bool aware = IsScaleAwareScreen(info.bounds.Width(), info.bounds.Height(), percent);
    Vantorel::Trace("display: %d x %d, %d dpi (%d %%): %s", info.bounds.Width(), info.bounds.Height(),
                    info.dpi, percent, aware ? "scale aware" : "logical size");
    return aware;
}
