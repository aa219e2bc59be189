// ThreadSanitizer, when the engine's tests are built with it: FFmpeg's frame threads hand pictures to
// each other through atomics the sanitizer cannot see in a library built without it, so their frees
// and allocations look like races. Read by the sanitizer runtime only.

extern "C" const char* __tsan_default_suppressions() {
    return "race:libavcodec.so\nrace:libavutil.so\n";
}
