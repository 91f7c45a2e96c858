// Address sanitizer defaults of every fuzz target (ASAN_OPTIONS still wins). A
// smaller quarantine and a short fill of new blocks: with the defaults, most of
// the time of an input went to faulting in fresh pages and filling them, and
// use-after-free within one input is still caught.
extern "C" const char* __asan_default_options()
{
    return "quarantine_size_mb=32:max_malloc_fill_size=64";
}
