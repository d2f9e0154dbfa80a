#pragma once
#include <deque>
#include <string>

// The lines run in the console, for walking back with Up and Down. Walking
// starts from the line being typed (the draft) and returns to it past the
// newest entry, so nothing typed is lost by looking back.
class CommandRecall {
public:
    static constexpr size_t capacity = 100;

    // A line that was run; empty lines are not kept. Ends any walk.
    void remember(const std::string& line);
    // One step older (Up); line is the input line, replaced by the entry.
    // False, and line untouched, when there is nothing older.
    bool older(std::string& line);
    // One step newer (Down); past the newest entry the draft comes back.
    bool newer(std::string& line);

    size_t size() const { return lines.size(); }

private:
    std::deque<std::string> lines; // newest first
    int position = -1;             // -1: at the draft
    std::string draft;
};
