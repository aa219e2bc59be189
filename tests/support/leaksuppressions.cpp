// Leaks that LeakSanitizer reports in libraries, not in our code: libx265's frame filters after the
// encoder that makes HEVC test recordings is closed (valgrind finds none in the same runs),
// fontconfig's font cache, and the browser engine's objects still held when the program ends.
// Linked into every test program; read by the sanitizer runtime only.

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libx265.so\nleak:libfontconfig.so\nleak:libQt6WebEngineCore.so\n";
}
