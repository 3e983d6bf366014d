#pragma once
// Reading scripts: a file where it lies, standard input and pipes spooled to
// a file of their own, text held in memory; one bounded line at a time.

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Script.h"

/// The longest line a script may hold, bytes without its newline: far more
/// than any command needs, and a bound on the memory one line may take.
inline constexpr std::size_t MaxLineBytes = 4096;

/// The most of standard input, a pipe or a terminal that is kept to be read
/// again, bytes; a longer script must come as a file.
inline constexpr long long MaxSpoolBytes = 256ll << 20;

struct ScriptInput;

/// Copies what is left of `from` into an anonymous file for `input`, at most
/// `limit` bytes (a script longer is refused: it must come as a file). A line
/// longer than MaxLineBytes ends the copy at once: the first reading stops at
/// that line anyway, and so input that never ends in a newline (/dev/zero) is
/// refused in bounded time and space. Returns what is wrong, or nothing.
[[nodiscard]] std::string SpoolScript(std::FILE* from, ScriptInput& input, long long limit = MaxSpoolBytes);

/// A script opened for reading, as often as needed: a regular file is read
/// where it lies; standard input, a pipe or a terminal is first spooled into
/// an anonymous temporary file in $TMPDIR (or /tmp), at most MaxSpoolBytes.
/// Memory never grows with the script.
struct ScriptInput {
    std::FILE* File = nullptr;
    bool Owned = false;  ///< the file is ours to close
    long long Start = 0; ///< where the script begins in the file, bytes
    std::string Name;    ///< for messages: the path, or "standard input"
    std::string Text;    ///< the script itself when it came as text (then File is null)
    /// A file read where it lies, as it was opened: its length in bytes and
    /// when it was last changed, ns; -1 for a spooled copy, which is ours alone.
    long long Size = -1, ChangedAt = 0;

    ScriptInput() = default;
    ScriptInput(const ScriptInput&) = delete;
    ScriptInput& operator=(const ScriptInput&) = delete;
    ~ScriptInput();
};

/// Opens SCRIPT ("-" for standard input). Returns what went wrong, or nothing.
[[nodiscard]] std::string OpenScript(const char* path, ScriptInput& input);

/// A script held in memory: for the web page, tests and the fuzzers.
[[nodiscard]] std::string ScriptFromText(std::string_view text, ScriptInput& input);

/// What one reading of the whole script found: its first bad line, if any.
struct ScriptCheck {
    long BadLine = 0; ///< 0 when every line is good
    std::string Error;
    bool UsesTrail = false;
};

/// Reads a script's commands one at a time, from its start.
class ScriptReader {
public:
    /// Rewinds `input`; returns what went wrong, or nothing.
    [[nodiscard]] std::string Start(ScriptInput& input);

    /// The next command and its line number: false at the end, at a bad line
    /// (`Check` says which) or on a read error (`ReadError` says what; a file
    /// that changed since it was opened is one).
    bool Next(long& number, Command& command);

    /// Whether the file is no longer as it was opened (cut short, written
    /// to): what is read from it then is not the script that was checked.
    /// `ReadError` says so when it has changed.
    bool Changed();

    ScriptCheck Check;
    std::string ReadError;

private:
    ScriptInput* Input = nullptr;
    std::vector<char> Block;               ///< the file, read a block at a time
    std::size_t BlockAt = 0, BlockEnd = 0; ///< what of the block is not read yet
    std::string Line;                      ///< the line being read, at most MaxLineBytes + 1
    std::size_t TextAt = 0;                ///< where the next line starts, for a script in memory
    long Number = 0;

    enum class LineRead { Line, End, TooLong };
    LineRead NextLine(std::string_view& line);
    LineRead NextFileLine(std::string_view& line);
};

/// Reads the script from its start, one line at a time, and hands each command
/// with its line number to `visit` until `visit` returns an error, a bad line
/// is met (reported in `check`), or the script ends. Returns the error that
/// stopped it: `visit`'s, or a failure to read; a bad line is not an error
/// here. A byte-order mark before the first line is skipped.
[[nodiscard]] std::string ForEachCommand(ScriptInput& input, ScriptCheck& check,
                                         const std::function<std::string(long number, const Command& command)>& visit);

/// Reads the whole script once without running it.
[[nodiscard]] std::string CheckScript(ScriptInput& input, ScriptCheck& check);
