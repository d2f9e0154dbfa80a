#include "text/CommandRecall.h"

void CommandRecall::remember(const std::string& line)
{
    position = -1;
    draft.clear();
    if (line.empty())
        return;
    lines.push_front(line);
    if (lines.size() > capacity)
        lines.pop_back();
}

bool CommandRecall::older(std::string& line)
{
    if (position + 1 >= static_cast<int>(lines.size()))
        return false;
    if (position == -1)
        draft = line;
    ++position;
    line = lines[position];
    return true;
}

bool CommandRecall::newer(std::string& line)
{
    if (position < 0)
        return false;
    --position;
    line = position < 0 ? draft : lines[position];
    return true;
}
