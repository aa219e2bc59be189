// The HEVC recordings are made with libx265, whose frame filters LeakSanitizer reports as lost
// after the encoder is closed; they are the library's, not ours. Read by the sanitizer runtime
// only; weak, so that a suppression list the fixture library brings itself takes its place.

extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() {
    return "leak:libx265.so\n";
}
