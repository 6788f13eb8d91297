// fontconfig keeps 288 bytes from FcInit to the end of the process; that is not our leak.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
