#include "ui/MessageLog.h"

#include <cstdlib>

MessageLog::MessageLog() : outTee(*this, std::cout.rdbuf()), errTee(*this, std::cerr.rdbuf())
{
    std::cout.rdbuf(&outTee);
    std::cerr.rdbuf(&errTee);
}

MessageLog::~MessageLog()
{
    // Put back only what is still ours: a stream someone redirected since
    // then is theirs to restore.
    if (std::cout.rdbuf() == &outTee)
        std::cout.rdbuf(outTee.target);
    if (std::cerr.rdbuf() == &errTee)
        std::cerr.rdbuf(errTee.target);
}

void MessageLog::add(const std::string& line)
{
    if (isFrameRateLine(line))
        return;
    kept.push_back(line);
    ++seen;
    while (kept.size() > limit)
        kept.pop_front();
}

bool isFrameRateLine(const std::string& line)
{
    const size_t suffix = line.size() >= 4 ? line.size() - 4 : 0;
    if (line.size() < 5 || line.compare(suffix, 4, " fps") != 0)
        return false;
    const std::string number = line.substr(0, suffix);
    char* end = nullptr;
    std::strtod(number.c_str(), &end);
    return end && *end == '\0';
}

void MessageLog::Tee::take(const char* s, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        if (s[i] == '\n') {
            log.add(partial);
            partial.clear();
        } else {
            partial.push_back(s[i]);
        }
    }
}

int MessageLog::Tee::overflow(int c)
{
    if (c == traits_type::eof())
        return traits_type::not_eof(c);
    const char ch = static_cast<char>(c);
    take(&ch, 1);
    return target ? target->sputc(ch) : c;
}

std::streamsize MessageLog::Tee::xsputn(const char* s, std::streamsize n)
{
    take(s, size_t(n));
    return target ? target->sputn(s, n) : n;
}
