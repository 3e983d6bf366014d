// A script run to its trace, the trace first written to an anonymous file
// (as homing-sim writes it to its output), then copied to the caller.

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "Calls.h"
#include "ScriptReader.h"
#include "ScriptWorld.h"

namespace {

constexpr const char* Call = "homing_run_script";

/// A descriptor closed when it goes.
struct OwnedFd {
    int Fd = -1;
    ~OwnedFd()
    {
        if (Fd >= 0)
            ::close(Fd);
    }
};

/// Refuses a bad line, or a picture's, before anything runs.
homing_status CheckLines(ScriptInput& input)
{
    ScriptCheck check;
    std::string error = ForEachCommand(input, check, [](long number, const Command& command) {
        if (command.Kind == CommandKind::Png || command.Kind == CommandKind::Trail)
            return LineMessage(number, "the library draws no pictures: run the script with homing-sim for them");
        return std::string();
    });
    if (error.empty() && check.BadLine)
        error = LineMessage(check.BadLine, check.Error);
    return error.empty() ? HOMING_OK : Failed(HOMING_BAD_SETTINGS, std::string(Call) + ": " + error);
}

/// The whole of what was written to `fd`.
homing_status ReadBack(int fd, std::string& text)
{
    const off_t size = ::lseek(fd, 0, SEEK_END);
    if (size < 0 || ::lseek(fd, 0, SEEK_SET) < 0)
        return Failed(HOMING_SYSTEM_ERROR, std::string(Call) + ": cannot read the trace back: " + std::strerror(errno));
    text.resize(std::size_t(size));
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::read(fd, text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return Failed(HOMING_SYSTEM_ERROR,
                          std::string(Call) + ": cannot read the trace back: " + std::strerror(got ? errno : EIO));
        done += std::size_t(got);
    }
    return HOMING_OK;
}

homing_status RunToTrace(ScriptInput& input, std::string& trace)
{
    if (const homing_status refused = CheckLines(input))
        return refused;
    const OwnedFd file{::memfd_create("homing-trace", MFD_CLOEXEC)};
    if (file.Fd < 0)
        return Failed(HOMING_SYSTEM_ERROR,
                      std::string(Call) + ": cannot make the trace's file: " + std::strerror(errno));
    CheckedOutput out(file.Fd, "the trace");
    ScriptCheck check;
    const std::string error = TraceScript(input, check, out);
    if (out.Failed())
        return Failed(HOMING_SYSTEM_ERROR, std::string(Call) + ": " + out.Error);
    if (!error.empty())
        return Failed(HOMING_BAD_SETTINGS, std::string(Call) + ": " + error);
    return ReadBack(file.Fd, trace);
}

} // namespace

extern "C" homing_status homing_run_script(const char* script, size_t length, char* trace, size_t capacity,
                                           size_t* length_out)
{
    if (!script && length)
        return NullArgument(Call, "script");
    if (!length_out)
        return NullArgument(Call, "length_out");
    return Guarded(Call, [&] {
        ScriptInput input;
        if (const std::string error = ScriptFromText(std::string_view(script ? script : "", length), input);
            !error.empty())
            return Failed(HOMING_BAD_SETTINGS, std::string(Call) + ": " + error);
        std::string text;
        if (const homing_status failed = RunToTrace(input, text))
            return failed;
        *length_out = text.size();
        if (text.size() >= capacity)
            return Failed(HOMING_BUFFER_TOO_SMALL, std::string(Call) + ": the trace takes " +
                                                       std::to_string(text.size() + 1) +
                                                       " bytes with its NUL, the buffer " + std::to_string(capacity));
        if (!trace)
            return NullArgument(Call, "trace");
        std::memcpy(trace, text.data(), text.size());
        trace[text.size()] = '\0';
        return HOMING_OK;
    });
}
