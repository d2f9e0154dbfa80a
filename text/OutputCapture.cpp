#include "text/OutputCapture.h"

OutputCapture::OutputCapture() : previous(std::cout.rdbuf()), tee(previous)
{
    std::cout.rdbuf(&tee);
}

OutputCapture::~OutputCapture()
{
    std::cout.rdbuf(previous);
}

std::vector<std::string> OutputCapture::lines() const
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start < tee.text.size()) {
        const size_t end = tee.text.find('\n', start);
        if (end == std::string::npos) {
            out.push_back(tee.text.substr(start));
            break;
        }
        out.push_back(tee.text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

int OutputCapture::Tee::overflow(int c)
{
    if (c == traits_type::eof())
        return traits_type::not_eof(c);
    text.push_back(static_cast<char>(c));
    return target->sputc(static_cast<char>(c));
}

std::streamsize OutputCapture::Tee::xsputn(const char* s, std::streamsize n)
{
    text.append(s, static_cast<size_t>(n));
    return target->sputn(s, n);
}

int OutputCapture::Tee::sync()
{
    return target->pubsync();
}
