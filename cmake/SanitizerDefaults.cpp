// Linked into every program of the sanitizer build: allocations that system libraries keep until exit
// (font and bus caches) are not leaks of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n"
           "leak:libdbus\n";
}
