#pragma once
// Output with every write checked: a full disk, a closed pipe or a file-size
// limit stops the run at the first failure instead of losing the rest of the
// output silently. Text is kept until a whole block is due and written
// straight to the descriptor, so a file only ever holds whole lines: a write
// that fails part way is cut back to the last line it finished.

#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>

/// The signals that end a run whose output must be left whole: the window
/// finishes its files, the runner removes a picture's temporary file.
inline constexpr int EndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

/// Writes all of `data` to `fd`, again after an interrupted or partial write.
/// Returns how many bytes went out: fewer than `size` when a write failed,
/// with errno saying why (ENOSPC for a write that took nothing).
std::size_t WriteAll(int fd, const char* data, std::size_t size);

/// "cannot write PATH: REASON", the path whole; EIO when `error` is 0.
std::string CannotWriteMessage(const std::string& path, int error);

/// The folder a file at `path` is made in ("." for a bare name).
std::string FolderOf(const std::string& path);

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
