// The font library keeps a cache for the life of the process that the
// leak checker of sanitizer builds would otherwise report as lost; the
// suppression is read by the sanitizer runtime itself.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
