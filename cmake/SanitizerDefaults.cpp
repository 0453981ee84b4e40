// Linked into every program of the sanitizer build: allocations that system libraries keep until exit
// (font and bus caches, the web engine's Chromium) are not leaks of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n"
           "leak:libdbus\n"
           "leak:libQt6WebEngineCore\n";
}

// Qt WebEngine's Chromium deletes some of its objects through pointers of another size; that mismatch
// is the library's own and would end every program that closes a web view.
extern "C" const char* __asan_default_options()
{
    return "new_delete_type_mismatch=0";
}
