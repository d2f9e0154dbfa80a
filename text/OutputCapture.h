#pragma once
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

// While alive, everything written to std::cout still goes there and is also
// kept, split into lines, so a console command can show the messages its
// work printed.
class OutputCapture {
public:
    OutputCapture();
    ~OutputCapture();
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;

    // The complete lines so far, and a last one without its line end.
    std::vector<std::string> lines() const;

private:
    class Tee : public std::streambuf {
    public:
        explicit Tee(std::streambuf* target) : target(target) {}
        std::string text;

    protected:
        int overflow(int c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;
        int sync() override;

    private:
        std::streambuf* target;
    };

    std::streambuf* previous;
    Tee tee;
};
