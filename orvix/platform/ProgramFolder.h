#pragma once
// Where the running program lies: the folder of its executable, with a
// trailing separator. Skins and the embedded font are found from here.
#include <string>

namespace Orvix {

std::wstring ExecutableFolder();

}  // namespace Orvix
