#pragma once
// Standard output with every write checked: a full disk, a closed pipe or a
// file-size limit stops the run at the first failure instead of losing the
// rest of the output silently.

#include <cstdio>
#include <string>
#include <string_view>

struct CheckedOutput {
    CheckedOutput(std::FILE* file, const char* what) : File(file), What(what) {}

    /// Writes `text` unless an earlier write failed; false once one has.
    bool Write(std::string_view text);
    /// Flushes the stream; false once any write has failed.
    bool Flush();
    bool Failed() const { return !Error.empty(); }

    std::FILE* File;
    const char* What;  ///< what is written, for the message: "the trace", "the summary"
    std::string Error; ///< "cannot write the trace: No space left on device", once failed

private:
    void Fail(int error);
};
