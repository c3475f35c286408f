// The font library keeps a small cache for the life of the process that the
// leak checker of the sanitizer build reports at exit; it is not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
