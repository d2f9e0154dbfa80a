#include "base/HugePages.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

void restartWithHugePages(char** argv)
{
    static const char tunable[] = "glibc.malloc.hugetlb";
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    if (tunables && std::strstr(tunables, tunable))
        return; // asked already, by the user or by the first start
    std::string value = std::string(tunable) + "=1";
    if (tunables && *tunables)
        value = std::string(tunables) + ":" + value;
    if (::setenv("GLIBC_TUNABLES", value.c_str(), 1) != 0)
        return;
    ::execv("/proc/self/exe", argv);
    // Still here: no restart. The setting stays for what this run starts.
}
