#pragma once
// Output with every write checked: a full disk, a closed pipe or a file-size
// limit stops the run at the first failure instead of losing the rest of the
// output silently. Text is kept until a whole block is due and written
// straight to the descriptor, so a file only ever holds whole lines: a write
// that fails part way is cut back to the last line it finished.

#include <cstdio>
#include <string>
#include <string_view>

struct CheckedOutput {
    /// Writes to the open descriptor `fd`, which stays the caller's to close.
    CheckedOutput(int fd, const char* what);
    CheckedOutput(std::FILE* file, const char* what) : CheckedOutput(fileno(file), what) {}

    /// Adds `text`, whole lines, unless an earlier write failed; false once one has.
    bool Write(std::string_view text);
    /// Writes out all that was added; false once any write has failed.
    bool Flush();
    bool Failed() const { return !Error.empty(); }

    int Fd;
    const char* What;  ///< what is written, for the message: "the trace", "the summary"
    std::string Error; ///< "cannot write the trace: No space left on device", once failed

private:
    std::string Pending;
    long long Written = -1; ///< the file's length after the last whole write; -1 for a pipe or terminal

    void Fail(int error);
};
