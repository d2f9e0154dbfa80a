#include "text/ConsoleCommand.h"

#include <gtest/gtest.h>

namespace {

using A = ConsoleAction;

struct Case {
    const char* line;
    ConsoleAction action;
};

}  // namespace

TEST(ConsoleCommand, ActionsByTable)
{
    const Case cases[] = {
        {"", A::None},
        {"   ", A::None},
        {"Edit On", A::EditOn},
        {"EDIT OFF", A::EditOff},
        {"edit  on", A::None},         // whole-line rules count spaces
        {" edit on", A::None},
        {"CANCUT ON", A::CanCutOn},
        {"cancut off", A::CanCutOff},
        {"CanBeCut on", A::CanBeCutOn},
        {"canbecut off", A::CanBeCutOff},
        {"edge on", A::EdgeOn},
        {"Edge Off", A::EdgeOff},
        {"model", A::None},
        {"Model x.obj", A::None},       // first-token rules are case-sensitive
        {"Globalangle 45", A::None},
        {"globalangle abc", A::None},
        {"local", A::None},
        {"dir maybe", A::None},
        {"dir", A::None},
        {"di on", A::None},
        {"line", A::None},
        {"lines foo", A::None},
        {"ghost abc", A::None},
        {"savescene", A::None},
        {"unknown words", A::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseConsoleCommand(c.line).action, c.action) << '"' << c.line << '"';
}

TEST(ConsoleCommand, WordsAreTakenAsTyped)
{
    ConsoleCommand c = parseConsoleCommand("model  Teapot.DAE extra");
    EXPECT_EQ(c.action, A::Model);
    EXPECT_EQ(c.word, "Teapot.DAE");
    c = parseConsoleCommand("savescene My.sce");
    EXPECT_EQ(c.action, A::SaveScene);
    EXPECT_EQ(c.word, "My.sce");
    c = parseConsoleCommand("loadscene s_test.sce");
    EXPECT_EQ(c.action, A::LoadScene);
    EXPECT_EQ(c.word, "s_test.sce");
}

TEST(ConsoleCommand, ValuesPassThroughUnclamped)
{
    const struct {
        const char* line;
        ConsoleAction action;
        float value;
    } cases[] = {
        {"globalangle    45", A::GlobalAngle, 45},
        {"global 120", A::GlobalAngle, 120},
        {"globalangle -10", A::GlobalAngle, -10},
        {"localangle -1", A::LocalAngle, -1},
        {"local 30deg", A::LocalAngle, 30},
        {"ghost 7", A::Ghost, 7},
        {"ghost -2.5e0", A::Ghost, -2.5f},
    };
    for (const auto& c : cases) {
        const ConsoleCommand cmd = parseConsoleCommand(c.line);
        EXPECT_EQ(cmd.action, c.action) << c.line;
        EXPECT_EQ(cmd.value, c.value) << c.line;
    }
}

TEST(ConsoleCommand, SwitchWords)
{
    for (const char* line : {"dir on", "directional on", "dirt on"}) {
        const ConsoleCommand c = parseConsoleCommand(line);
        EXPECT_EQ(c.action, A::Directional) << line;
        EXPECT_TRUE(c.flag) << line;
    }
    ConsoleCommand c = parseConsoleCommand("dir off");
    EXPECT_EQ(c.action, A::Directional);
    EXPECT_FALSE(c.flag);

    const struct {
        const char* line;
        int mode;
    } modes[] = {{"line on", 0}, {"lines ghost", 1}, {"line off", 2}};
    for (const auto& m : modes) {
        c = parseConsoleCommand(m.line);
        EXPECT_EQ(c.action, A::LineMode) << m.line;
        EXPECT_EQ(c.lineMode, m.mode) << m.line;
    }
}
