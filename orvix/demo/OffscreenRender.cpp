#include "orvix/demo/OffscreenRender.h"

#include <cstdio>
#include <string>

#include "orvix/core/Manager.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Platform.h"

int RenderOffscreen(const char* what, const char* pngPath, const std::function<bool()>& render) {
    using namespace Orvix;
    if (!Platform::Init(BackendKind::Headless) || !RegisterEmbeddedFont()) return 1;
    const std::wstring font = Manager::GetFontName();
    const int size = Manager::GetFontWidth();
    const bool written = render();  // its windows are gone before the layer shuts down
    Platform::Shutdown();
    Manager::SetFont(font, size);
    if (!written) std::fprintf(stderr, "%s: cannot write %s\n", what, pngPath);
    return written ? 0 : 1;
}

void CompositePopup(Orvix::Canvas& out, Orvix::HWND dialog, Orvix::HWND popup) {
    using namespace Orvix;
    Platform::UpdateWindow(popup);
    const Canvas* image = Platform::GetPresentedImage(popup);
    if (!image) return;
    // Presented images are device pixels: the pop-up goes where it is on the screen.
    const CPoint corner = Platform::ClientToDeviceScreen(popup, CRect()).TopLeft();
    const CPoint base = Platform::ClientToDeviceScreen(dialog, CRect()).TopLeft();
    const CPoint at = corner - base;
    out.DrawCanvas(*image, CRect(at, CSize(image->GetWidth(), image->GetHeight())), image->GetRect());
}
