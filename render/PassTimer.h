#pragma once
#include <epoxy/gl.h>

#include <map>
#include <string>
#include <vector>

// GPU time of each pass of a frame, from GL_TIME_ELAPSED queries. Off by
// default; the benchmark switches it on. Queries cannot nest, so passes are
// timed one after another.
class PassTimer {
public:
    ~PassTimer();
    void begin(const char* pass);
    void end();
    // Waits for the frame's queries and appends milliseconds per pass.
    void collect(std::map<std::string, std::vector<double>>& out);

    bool enabled = false;

private:
    std::vector<std::pair<std::string, GLuint>> pending;
    std::vector<GLuint> spare;
    bool open = false;
};
