// Window and chart tests render text, and the font library keeps its font
// caches for the life of the process on purpose; the leak checker of the
// sanitizer build would report them at exit. They are not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}
