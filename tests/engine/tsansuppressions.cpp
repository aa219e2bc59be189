// ThreadSanitizer, when the engine's tests are built with it: FFmpeg's frame threads hand pictures to
// each other through atomics the sanitizer cannot see in a library built without it, so their frees
// and allocations look like races. Qt's pooled threads, which convert and scale large images, do
// the same with the memory Qt (and GLib, its event loop there) allocates and frees for them: what
// those libraries call is not watched. Read by the sanitizer runtime only.

extern "C" const char* __tsan_default_suppressions() {
    return "race:libavcodec.so\nrace:libavutil.so\n"
           "called_from_lib:libQt6Core.so.6\ncalled_from_lib:libQt6Gui.so.6\n"
           "called_from_lib:libglib-2.0.so.0\n";
}
