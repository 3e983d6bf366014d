#pragma once
// The scenario script language: one command per line, tokens separated by
// blanks, `#` starts a comment.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Input.h"

enum class CommandKind { Seed, Random, Mode, Move, Press, Limit, Vectors, Frames, Png, Trail };

struct Command {
    CommandKind Kind = CommandKind::Frames;
    std::uint64_t Number = 0; ///< seed N, frames N
    SteeringMode Mode = SteeringMode::PerAxisChase;
    float X = 0, Y = 0; ///< move X Y, pixels
    MouseButton Button = MouseButton::Left;
    std::vector<float> Values; ///< random V1 V2 ...
    std::string Path;          ///< png PATH, trail PATH
};

/// One line read: nothing to do (blank or comment), a command, or what is wrong with it.
struct ParsedLine {
    enum class Status { Empty, Ok, Error };
    Status Kind = Status::Empty;
    Command Parsed;
    std::string Error;
};

ParsedLine ParseLine(std::string_view line);

/// A whole script's commands, each with its line number, up to its first bad line.
struct Script {
    std::vector<std::pair<long, Command>> Commands;
    long BadLine = 0; ///< 0 when every line is good
    std::string Error;

    bool Uses(CommandKind kind) const;
};

Script ParseScript(std::string_view text);

/// The language, as `--help` prints it.
extern const char* const ScriptHelp;
