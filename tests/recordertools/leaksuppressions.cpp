// The HEVC pictures are made with libx265, whose frame filters LeakSanitizer reports as lost after
// the encoder is closed; they are the library's, not ours. Read by the sanitizer runtime only.

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libx265.so\n";
}
