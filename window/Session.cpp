#include "Session.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <utility>

#include "Quoted.h"

namespace {

/// A crash loses at most this much of either file, ms.
constexpr std::uint32_t FlushInterval = 1000;

/// The path a chain of symbolic links ends at, existing or not (a dangling
/// link names the file that writing through it would make).
std::filesystem::path FollowLinks(std::filesystem::path path)
{
    std::error_code error;
    for (int depth = 0; depth < 40 && std::filesystem::is_symlink(std::filesystem::symlink_status(path, error));
         ++depth) {
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error)
            break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

/// Where `path` leads: the file's device and inode when it exists, otherwise
/// its real path as far as it exists, so two spellings of one file match.
std::string Identity(const std::string& given)
{
    const std::filesystem::path path = FollowLinks(given);
    if (struct stat status{}; ::stat(path.c_str(), &status) == 0)
        return "file " + std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
    std::error_code error;
    const std::filesystem::path real = std::filesystem::weakly_canonical(std::filesystem::absolute(path), error);
    return "path " + (error ? path : real).string();
}

/// Two of the options name one file: replaying a script into itself, or a
/// trace over the recording, would destroy it.
std::string SameFileTwice(const SessionFiles& files)
{
    const std::array<std::pair<const char*, const std::string*>, 3> named = {
        {{"--replay", &files.Replay}, {"--record", &files.Record}, {"--trace", &files.Trace}}};
    for (std::size_t a = 0; a < named.size(); ++a)
        for (std::size_t b = a + 1; b < named.size(); ++b) {
            const std::string &first = *named[a].second, &second = *named[b].second;
            if (first.empty() || second.empty() || first == "-")
                continue;
            if (Identity(first) == Identity(second))
                return std::string(named[a].first) + " and " + named[b].first + " name the same file, " +
                       QuotedPath(second) + ": give each its own";
        }
    return {};
}

/// Whether the file can be written, without touching it: an existing file
/// must be writable and not a folder; a new one's folder must exist and take it.
std::string CheckWritable(const std::string& path)
{
    if (struct stat status{}; ::stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return CannotWriteMessage(path, EISDIR);
        return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 ? std::string()
                                                                          : CannotWriteMessage(path, errno);
    }
    if (errno != ENOENT)
        return CannotWriteMessage(path, errno);
    return ::faccessat(AT_FDCWD, FolderOf(path).c_str(), W_OK | X_OK, AT_EACCESS) == 0
               ? std::string()
               : CannotWriteMessage(path, errno);
}

/// Opens a file to write. A named pipe with no reader yet would hold the
/// window back in silence, so it is said at once that it waits for one.
int OpenToWrite(const std::string& path)
{
    constexpr int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
    if (struct stat status{}; ::stat(path.c_str(), &status) != 0 || !S_ISFIFO(status.st_mode))
        return ::open(path.c_str(), flags, 0666);
    int fd = ::open(path.c_str(), flags | O_NONBLOCK);
    if (fd < 0 && errno == ENXIO) {
        std::fprintf(stderr, "homing: waiting for a reader of the named pipe %s\n", QuotedPath(path).c_str());
        fd = ::open(path.c_str(), flags);
    }
    if (fd >= 0)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace

Session::~Session()
{
    Flush();
    for (const OutputFile* file : {&RecordFile, &TraceFile})
        if (file->Fd >= 0)
            ::close(file->Fd);
}

std::string Session::Open(const SessionFiles& files, std::uint64_t seed)
{
    std::string error = OpenFiles(files, seed);
    if (!error.empty())
        Replay.Playing = false; // a refused session plays nothing
    return error;
}

std::string Session::OpenFiles(const SessionFiles& files, std::uint64_t seed)
{
    if (std::string error = SameFileTwice(files); !error.empty())
        return error;
    if (!files.Replay.empty()) {
        // A named pipe is read once a writer opens it: said, not a silent hang.
        if (struct stat status{}; ::stat(files.Replay.c_str(), &status) == 0 && S_ISFIFO(status.st_mode) &&
                                  files.Replay.find("/proc/") != 0 && files.Replay.find("/dev/") != 0)
            std::fprintf(stderr, "homing: waiting for a writer on the named pipe %s\n",
                         QuotedPath(files.Replay).c_str());
        if (std::string error = OpenScript(files.Replay.c_str(), Replay.Input); !error.empty())
            return error;
        Replay.Name = QuotedPath(files.Replay);
        if (std::string error = StartReplay(Replay); !error.empty())
            return error;
    }
    for (const std::string* path : {&files.Record, &files.Trace})
        if (std::string error = path->empty() ? "" : CheckWritable(*path); !error.empty())
            return error;

    // Every file is usable: only now is anything written.
    for (auto [path, file, what] :
         {std::tuple{&files.Record, &RecordFile, "the recording"}, std::tuple{&files.Trace, &TraceFile, "the trace"}}) {
        if (path->empty())
            continue;
        file->Fd = OpenToWrite(*path);
        if (file->Fd < 0)
            return CannotWriteMessage(*path, errno);
        file->Out = std::make_unique<CheckedOutput>(file->Fd, what);
        file->Path = *path;
    }
    if (RecordFile.Out)
        Recording = std::make_unique<ScriptRecorder>(*RecordFile.Out, seed);
    if (TraceFile.Out)
        Trace = std::make_unique<TraceWriter>(*TraceFile.Out);
    LastFlush = Clock.GetTickCount();
    Flush(); // the recording's seed is on disk before the first frame
    return {};
}

int Session::PlayDue(World& world, QueuedRandom& random, int limit)
{
    const int played = PlayDueCommands(Replay, world, random, Recording.get(), limit);
    if (!Replay.Error.empty())
        Fail(std::exchange(Replay.Error, {}), SessionBadInput);
    return played;
}

void Session::Fail(const std::string& message, int status)
{
    std::fprintf(stderr, "homing: %s\n", message.c_str());
    if (FailedStatus == 0)
        FailedStatus = status;
}

void Session::OnFrame(const World& world, const FrameOutcome& outcome)
{
    Replay.OnFrame(world, outcome);
    if (Recording)
        Recording->OnFrame(world, outcome);
    if (Trace)
        Trace->OnFrame(world, outcome);
    if (const std::uint32_t now = Clock.GetTickCount(); now - LastFlush >= FlushInterval) {
        LastFlush = now;
        Flush(); // a crash loses at most the last second
    }
    ReportWriteFailures();
}

void Session::ReportWriteFailures(bool lookForRemoved)
{
    for (OutputFile* file : {&RecordFile, &TraceFile}) {
        if (!file->Out || file->Reported)
            continue;
        // A file removed from under the session (or its folder) is written
        // to the end, and then is gone with nothing said, unless it is told.
        struct stat status {};
        const bool removed =
            lookForRemoved && ::fstat(file->Fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_nlink == 0;
        if (file->Out->Failed() || removed) {
            file->Reported = true;
            Fail(removed ? QuotedPath(file->Path) + " was deleted while the session wrote it: " + file->Out->What +
                               " is lost"
                         : file->Out->Error,
                 SessionCannotWrite);
        }
    }
}

void Session::Flush()
{
    EndIfChanged(Replay);
    if (!Replay.Error.empty())
        Fail(std::exchange(Replay.Error, {}), SessionBadInput);
    if (Recording)
        Recording->Flush();
    if (Trace)
        Trace->Flush();
    ReportWriteFailures(true);
}
