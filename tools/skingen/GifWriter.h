#pragma once
// Writes canvases as the frames of a looping animated GIF (giflib's encoder):
// the 256 most used colours form one global palette, the others map to the
// nearest of them, and every frame shows for `delayMs`.
#include <string>
#include <vector>

#include "orvix/platform/Canvas.h"

namespace SkinGen {

bool SaveAnimatedGif(const std::vector<const Orvix::Canvas*>& frames, int delayMs, const std::string& path);

}  // namespace SkinGen
