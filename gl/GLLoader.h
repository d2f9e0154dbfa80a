#pragma once
#include <epoxy/gl.h>

#include <cstdio>

// Entry points come from libepoxy, which resolves them on first use for
// whatever context is current. This checks that the context is at least 3.3
// and reports on standard error when it is not. 1 when new enough, else 0.
int loadGL();

// The version test on its own, so it can be tried with any numbers.
int checkGLVersion(int major, int minor, std::FILE* err = stderr);
