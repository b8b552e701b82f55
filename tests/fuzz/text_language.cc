// The fuzz targets read files and draw nothing: the language the toolkit's fonts
// are told about (from AppContext) has no fonts to reach here, so the targets
// link this instead of the font code and its cairo and pango.
#include "orvix/platform/Fonts.h"

namespace Orvix {
void SetTextLanguage(const char*) {}
}  // namespace Orvix
