#include "render/PassTimer.h"

#include "app/Platform.h"

PassTimer::~PassTimer()
{
    if (!glContextAlive())
        return;
    for (auto& p : pending)
        spare.push_back(p.second);
    if (!spare.empty())
        glDeleteQueries(static_cast<GLsizei>(spare.size()), spare.data());
}

void PassTimer::begin(const char* pass)
{
    if (!enabled)
        return;
    if (open)
        end();
    // A software renderer runs a pass's drawing when its target changes or
    // the frame ends: without the wait, a pass's time would hold the
    // drawing of the one before.
    glFinish();
    GLuint q = 0;
    if (spare.empty()) {
        glGenQueries(1, &q);
    } else {
        q = spare.back();
        spare.pop_back();
    }
    glBeginQuery(GL_TIME_ELAPSED, q);
    pending.emplace_back(pass, q);
    open = true;
}

void PassTimer::end()
{
    if (!enabled || !open)
        return;
    glFinish();
    glEndQuery(GL_TIME_ELAPSED);
    open = false;
}

void PassTimer::collect(std::map<std::string, std::vector<double>>& out)
{
    end();
    std::map<std::string, double> frame;
    for (auto& p : pending) {
        GLuint64 ns = 0;
        glGetQueryObjectui64v(p.second, GL_QUERY_RESULT, &ns);
        frame[p.first] += ns / 1e6;
        spare.push_back(p.second);
    }
    pending.clear();
    for (auto& f : frame)
        out[f.first].push_back(f.second);
}
