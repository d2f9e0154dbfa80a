#include "gl/GLLoader.h"

int checkGLVersion(int major, int minor, std::FILE* err)
{
    if (major * 10 + minor < 33) {
        std::fprintf(err, "Error: OpenGL version 3.3 not supported.\n");
        std::fprintf(err, "       Your version is %d.%d.\n", major, minor);
        std::fprintf(err, "       Try updating your graphics driver.\n");
        return 0;
    }
    return 1;
}

int loadGL()
{
    GLint major = 0, minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    return checkGLVersion(major, minor);
}
