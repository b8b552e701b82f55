#pragma once
// Include from exactly one .cpp of a test program. The leak checker of the
// sanitizer build is told about the system libraries' one-time allocations
// here too, because the suppressions file given through CTest's environment
// does not reach the tests (see the report on cmake/Modules.cmake).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango-1.0.so\nleak:libpangoft2-1.0.so\nleak:libpangocairo-1.0.so\n"
           "leak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libSDL2-2.0.so\nleak:libX11.so\nleak:libdbus-1.so\n";
}
