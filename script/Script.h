#pragma once
// The scenario script language, its parser and its writer: one command per
// line, tokens separated by blanks, `#` starts a comment.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Input.h"

enum class CommandKind { Seed, Random, Mode, Move, Press, Limit, Vectors, Frames, Png, Trail, Lag, Noise };

struct Command {
    CommandKind Kind = CommandKind::Frames;
    std::uint64_t Number = 0; ///< seed N, frames N
    SteeringMode Mode = SteeringMode::PerAxisChase;
    float X = 0, Y = 0; ///< move X Y, pixels; lag FRAMES and noise DEGREES in X
    MouseButton Button = MouseButton::Left;
    std::vector<float> Values{}; ///< random V1 V2 ...
    std::string Path{};          ///< png PATH, trail PATH
};

/// One line read: nothing to do (blank or comment), a command, or what is wrong with it.
struct ParsedLine {
    enum class Status { Empty, Ok, Error };
    Status Kind = Status::Empty;
    Command Parsed;
    std::string Error;
};

ParsedLine ParseLine(std::string_view line);

/// The line that reads back as `command`, newline included: the language's
/// writer, which the recorder uses. Floats are written as the shortest text
/// that reads back to the same float.
std::string CommandLine(const Command& command);

/// What is wrong with a png or trail PATH as a name, whatever the file
/// system holds (it must end in .png, with a name before it), as the end of a
/// message that names the path; nothing when it is a picture's name.
[[nodiscard]] std::string PictureNameError(const std::string& path);

/// An error as every front end reports it against a script's line: "line N: ERROR".
std::string LineMessage(long number, const std::string& error);
