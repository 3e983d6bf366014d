#include "Output.h"

#include <cerrno>
#include <cstring>

void CheckedOutput::Fail(int error)
{
    if (Error.empty())
        Error = std::string("cannot write ") + What + ": " + std::strerror(error ? error : EIO);
}

bool CheckedOutput::Write(std::string_view text)
{
    if (Failed())
        return false;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), File) != text.size())
        Fail(errno);
    return !Failed();
}

bool CheckedOutput::Flush()
{
    if (Failed())
        return false;
    errno = 0;
    if (std::fflush(File) != 0 || std::ferror(File))
        Fail(errno);
    return !Failed();
}
