// Window and chart tests render text, and fontconfig keeps its font caches
// for the life of the process on purpose; the leak checker is told so.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}
