#pragma once
// Include from exactly one source file of each executable (the definition must
// live in the executable itself to replace the sanitizer runtime's default).
// fontconfig, pango, glib and SDL keep one-time allocations until exit; they
// are not this project's leaks.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango-1.0.so\nleak:libpangoft2-1.0.so\nleak:libpangocairo-1.0.so\n"
           "leak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libgio-2.0.so\nleak:libSDL2-2.0.so\nleak:"
           "libX11.so\nleak:libdbus-1.so\n"
           "leak:libatspi.so\n";
}

// Font loading in fontconfig and pango, and glib's own worker threads, are not
// built for ThreadSanitizer: what it reports inside them is not this project's
// (GObject's type registry, first used by two bus threads at once, takes its
// locks in a way the sanitizer misreads as a double lock).
extern "C" const char* __tsan_default_suppressions() {
    return "race:libfontconfig.so\nrace:libpango-1.0.so\nrace:libpangoft2-1.0.so\nrace:libpangocairo-1.0.so\n"
           "race:libglib-2.0.so\nrace:libgobject-2.0.so\nrace:libgio-2.0.so\nmutex:libgobject-2.0.so\n"
           "called_from_lib:libfontconfig.so\ncalled_from_lib:libglib-2.0.so\ncalled_from_lib:libgio-2.0.so\n";
}
