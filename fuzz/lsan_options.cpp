// The fuzz targets look for leaks (libFuzzer's default) with the project's
// suppressions of leaks inside the system's libraries (tools/lsan.supp), so
// that a leak the program cannot free does not stop a run, and nobody needs
// to remember an LSAN_OPTIONS for it. LSAN_OPTIONS, when given, still wins.
extern "C" const char* __lsan_default_options() { return "suppressions=" ZEMBLA_LSAN_SUPPRESSIONS; }
