#include "text/ConsoleCommand.h"

#include <cctype>
#include <locale>
#include <sstream>
#include <vector>

namespace {

std::vector<std::string> splitOnSpaces(const std::string& line)
{
    std::vector<std::string> tokens;
    std::string current;
    for (char ch : line) {
        if (ch == ' ') {
            if (!current.empty())
                tokens.push_back(current);
            current.clear();
        } else {
            current += ch;
        }
    }
    if (!current.empty())
        tokens.push_back(current);
    return tokens;
}

// A leading number is enough ("45deg" reads 45).
bool readValue(const std::string& text, float& value)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    float v;
    if (!(in >> v))
        return false;
    value = v;
    return true;
}

// The name after a command word: the second token, or, when the text after
// the command word starts with a double quote, everything up to the next one
// (or the end of the line), spaces included.
std::string nameOperand(const std::string& line, const std::vector<std::string>& tokens)
{
    const size_t afterWord = line.find(tokens[0]) + tokens[0].size();
    const size_t start = line.find_first_not_of(' ', afterWord);
    if (start == std::string::npos || line[start] != '"')
        return tokens[1];
    const size_t close = line.find('"', start + 1);
    return line.substr(start + 1, close == std::string::npos ? std::string::npos : close - start - 1);
}

ConsoleCommand make(ConsoleAction action)
{
    ConsoleCommand c;
    c.action = action;
    return c;
}

}  // namespace

ConsoleCommand parseConsoleCommand(const std::string& line)
{
    const std::vector<std::string> tokens = splitOnSpaces(line);
    if (tokens.empty())
        return {};

    std::string lower = line;
    for (char& ch : lower)
        ch = char(std::tolower(static_cast<unsigned char>(ch)));

    const size_t n = tokens.size();
    const std::string& first = tokens[0];

    // The order matters: a rule whose keyword matches but whose operand is
    // missing or unreadable lets the line fall through to the later rules.
    if (first == "model" && n >= 2 && !nameOperand(line, tokens).empty()) {
        ConsoleCommand c = make(ConsoleAction::Model);
        c.word = nameOperand(line, tokens);
        return c;
    }
    // Not a keyword of the original command set, so no line that worked
    // before changes meaning.
    if (first == "parts" && n >= 2 && !nameOperand(line, tokens).empty()) {
        ConsoleCommand c = make(ConsoleAction::Parts);
        c.word = nameOperand(line, tokens);
        return c;
    }
    if (lower == "edit on")
        return make(ConsoleAction::EditOn);
    if (lower == "edit off")
        return make(ConsoleAction::EditOff);
    if ((first == "savescene" || first == "loadscene") && n >= 2) {
        ConsoleCommand c = make(first == "savescene" ? ConsoleAction::SaveScene : ConsoleAction::LoadScene);
        c.word = tokens[1];
        return c;
    }
    if (lower == "cancut on")
        return make(ConsoleAction::CanCutOn);
    if (lower == "cancut off")
        return make(ConsoleAction::CanCutOff);
    if (lower == "canbecut on")
        return make(ConsoleAction::CanBeCutOn);
    if (lower == "canbecut off")
        return make(ConsoleAction::CanBeCutOff);

    ConsoleCommand c;
    if ((first == "global" || first == "globalangle") && n >= 2 && readValue(tokens[1], c.value)) {
        c.action = ConsoleAction::GlobalAngle;
        return c;
    }
    if ((first == "local" || first == "localangle") && n >= 2 && readValue(tokens[1], c.value)) {
        c.action = ConsoleAction::LocalAngle;
        return c;
    }
    if (lower == "edge on")
        return make(ConsoleAction::EdgeOn);
    if (lower == "edge off")
        return make(ConsoleAction::EdgeOff);
    if (first.compare(0, 3, "dir") == 0 && n >= 2) {
        if (tokens[1] == "on" || tokens[1] == "off") {
            c.action = ConsoleAction::Directional;
            c.flag = tokens[1] == "on";
        }
        return c;
    }
    if ((first == "line" || first == "lines") && n >= 2) {
        if (tokens[1] == "on" || tokens[1] == "ghost" || tokens[1] == "off") {
            c.action = ConsoleAction::LineMode;
            c.lineMode = tokens[1] == "on" ? LineMode::On : tokens[1] == "ghost" ? LineMode::Ghost : LineMode::Off;
        }
        return c;
    }
    if (first == "ghost" && n >= 2 && readValue(tokens[1], c.value)) {
        c.action = ConsoleAction::Ghost;
        return c;
    }
    return {};
}
