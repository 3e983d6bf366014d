#include "Output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "Quoted.h"

namespace {

/// Text is written out once this much has gathered, bytes.
constexpr std::size_t WriteAt = 1 << 16;

} // namespace

std::size_t WriteAll(int fd, const char* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t wrote = ::write(fd, data + done, size - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            if (wrote == 0)
                errno = ENOSPC;
            break;
        }
        done += std::size_t(wrote);
    }
    return done;
}

std::string FolderOf(const std::string& path)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

std::string CannotWriteMessage(const std::string& path, int error)
{
    return "cannot write " + QuotedPath(path) + ": " + std::strerror(error ? error : EIO);
}

CheckedOutput::CheckedOutput(int fd, const char* what) : Fd(fd), What(what)
{
    // Where this output starts in a regular file: a failed write is cut back
    // to there at most. Appending (>>), it starts at the file's end.
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode))
        Written = (::fcntl(fd, F_GETFL) & O_APPEND) ? status.st_size : ::lseek(fd, 0, SEEK_CUR);
    Pending.reserve(2 * WriteAt);
}

void CheckedOutput::Fail(int error)
{
    if (Error.empty())
        Error = std::string("cannot write ") + What + ": " + std::strerror(error ? error : EIO);
}

bool CheckedOutput::Write(std::string_view text)
{
    if (Failed())
        return false;
    Pending.append(text);
    return Pending.size() < WriteAt || Flush();
}

bool CheckedOutput::Flush()
{
    if (Failed())
        return false;
    const std::size_t done = WriteAll(Fd, Pending.data(), Pending.size());
    if (done < Pending.size())
        Fail(errno);
    if (Failed() && Written >= 0) {
        // Keep the lines that went out whole; a line cut short goes.
        std::size_t keep = 0;
        if (const std::size_t lineEnd = done > 0 ? Pending.rfind('\n', done - 1) : std::string::npos;
            lineEnd != std::string::npos)
            keep = lineEnd + 1;
        if (::ftruncate(Fd, Written + static_cast<long long>(keep)) == 0)
            ::lseek(Fd, Written + static_cast<long long>(keep), SEEK_SET);
    }
    if (!Failed() && Written >= 0)
        Written += static_cast<long long>(done);
    Pending.clear();
    return !Failed();
}
