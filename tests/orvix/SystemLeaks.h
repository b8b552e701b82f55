#pragma once
// Include from exactly one .cpp of a test program. The leak checker of the
// sanitizer build is told about the system libraries' one-time allocations
// here as well, so the programs stay quiet when started by hand, outside CTest.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango-1.0.so\nleak:libpangoft2-1.0.so\nleak:libpangocairo-1.0.so\n"
           "leak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libSDL2-2.0.so\nleak:libX11.so\nleak:libdbus-1.so\n";
}
