#pragma once
// Include from exactly one source file of each executable (the definition must
// live in the executable itself to replace the sanitizer runtime's default).
// fontconfig, pango, glib and SDL keep one-time allocations until exit; they
// are not this project's leaks.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango-1.0.so\nleak:libpangoft2-1.0.so\nleak:libpangocairo-1.0.so\n"
           "leak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libSDL2-2.0.so\nleak:libX11.so\nleak:libdbus-1.so\n";
}
