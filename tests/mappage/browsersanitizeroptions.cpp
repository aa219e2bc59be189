// The browser library frees some of its own objects with a size other than the one they were made
// with; AddressSanitizer would end the test program there, inside a library built without it.
// Read by the sanitizer runtime only.

extern "C" const char* __asan_default_options() {
    return "new_delete_type_mismatch=0";
}
