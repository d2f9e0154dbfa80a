#pragma once
#include <cstddef>
#include <deque>
#include <iostream>
#include <streambuf>
#include <string>

// Keeps what the program prints for its user (standard output and standard
// error) readable in the panel: while alive, both streams still write where
// they did and every complete line is also kept, the newest `limit` of them.
// The frame-rate line is left out: the status line shows the frame time.
class MessageLog {
public:
    static constexpr size_t limit = 500;

    MessageLog();
    ~MessageLog();
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    const std::deque<std::string>& lines() const { return kept; }
    // Counts every line kept so far, so a reader sees when something new came.
    size_t linesSeen() const { return seen; }
    void add(const std::string& line);

private:
    class Tee : public std::streambuf {
    public:
        Tee(MessageLog& log, std::streambuf* target) : target(target), log(log) {}
        std::streambuf* target;

    protected:
        int overflow(int c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;
        int sync() override { return target ? target->pubsync() : 0; }

    private:
        void take(const char* s, size_t n);
        MessageLog& log;
        std::string partial;
    };

    std::deque<std::string> kept;
    size_t seen = 0;
    Tee outTee, errTee;
};

// True for the frame loop's "N fps" line.
bool isFrameRateLine(const std::string& line);
