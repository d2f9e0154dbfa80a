#include "text/ConsoleCommand.h"

#include <gtest/gtest.h>

using A = ConsoleAction;

TEST(ConsoleCommand, ActionsByTable)
{
    const struct {
        const char* line;
        ConsoleAction action;
        float value;
    } cases[] = {
        {"", A::None, 0}, {"   ", A::None, 0}, {"unknown words", A::None, 0},
        // Whole-line rules ignore case but not spacing.
        {"Edit On", A::EditOn, 0}, {"EDIT OFF", A::EditOff, 0}, {"edit  on", A::None, 0},
        {" edit on", A::None, 0}, {"CANCUT ON", A::CanCutOn, 0}, {"cancut off", A::CanCutOff, 0},
        {"CanBeCut on", A::CanBeCutOn, 0}, {"canbecut off", A::CanBeCutOff, 0},
        {"edge on", A::EdgeOn, 0}, {"Edge Off", A::EdgeOff, 0},
        // First-token rules are case-sensitive and need their operand.
        {"Model x.obj", A::None, 0}, {"model", A::None, 0}, {"savescene", A::None, 0},
        {"Globalangle 45", A::None, 0}, {"local", A::None, 0}, {"dir", A::None, 0},
        {"dir maybe", A::None, 0}, {"di on", A::None, 0}, {"line", A::None, 0},
        {"lines foo", A::None, 0}, {"parts", A::None, 0}, {"Parts x.glb", A::None, 0},
        // Values are passed on as typed; an operand that is no number is ignored.
        {"globalangle    45", A::GlobalAngle, 45}, {"global 120", A::GlobalAngle, 120},
        {"globalangle -10", A::GlobalAngle, -10}, {"globalangle abc", A::None, 0},
        {"localangle -1", A::LocalAngle, -1}, {"local 30deg", A::LocalAngle, 30},
        {"ghost 7", A::Ghost, 7}, {"ghost -2.5e0", A::Ghost, -2.5f}, {"ghost abc", A::None, 0},
    };
    for (const auto& c : cases) {
        const ConsoleCommand cmd = parseConsoleCommand(c.line);
        EXPECT_EQ(cmd.action, c.action) << '"' << c.line << '"';
        EXPECT_EQ(cmd.value, c.value) << '"' << c.line << '"';
    }
}

TEST(ConsoleCommand, Operands)
{
    ConsoleCommand c = parseConsoleCommand("model  Teapot.DAE extra");
    EXPECT_EQ(c.action, A::Model);
    EXPECT_EQ(c.word, "Teapot.DAE");
    c = parseConsoleCommand("loadscene s_test.sce");
    EXPECT_EQ(c.action, A::LoadScene);
    EXPECT_EQ(c.word, "s_test.sce");
    EXPECT_EQ(parseConsoleCommand("savescene My.sce").action, A::SaveScene);
    c = parseConsoleCommand("parts Engine.glb");
    EXPECT_EQ(c.action, A::Parts);
    EXPECT_EQ(c.word, "Engine.glb");
    // A quoted name keeps its spaces; an unclosed quote runs to the end.
    const std::pair<const char*, const char*> quoted[] = {{"parts  \"My Models/a b.glb\" x", "My Models/a b.glb"},
                                                          {"model \"x y.obj", "x y.obj"},
                                                          {"model a\"b.obj", "a\"b.obj"}};
    for (const auto& [line, word] : quoted)
        EXPECT_EQ(parseConsoleCommand(line).word, word) << line;
    EXPECT_EQ(parseConsoleCommand("model \"\"").action, A::None);

    for (const char* line : {"dir on", "directional on", "dirt on", "dir off"}) {
        c = parseConsoleCommand(line);
        EXPECT_EQ(c.action, A::Directional) << line;
        EXPECT_EQ(c.flag, std::string(line).find(" on") != std::string::npos) << line;
    }
    const std::pair<const char*, LineMode> modes[] = {
        {"line on", LineMode::On}, {"lines ghost", LineMode::Ghost}, {"line off", LineMode::Off}};
    for (const auto& [line, mode] : modes) {
        c = parseConsoleCommand(line);
        EXPECT_EQ(c.action, A::LineMode) << line;
        EXPECT_EQ(c.lineMode, mode) << line;
    }
}
