#include "PictureFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "MapCsv.h"
#include "Output.h"
#include "Quoted.h"
#include "Random.h"
#include "Script.h"

namespace {

constexpr char PngSignature[] = "\x89PNG\r\n\x1a\n";

/// The file's first bytes, enough to tell its kind.
std::string Head(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return {};
    std::string head(64, '\0');
    const ssize_t got = ::read(fd, head.data(), head.size());
    ::close(fd);
    head.resize(got > 0 ? std::size_t(got) : 0);
    return head;
}

/// Whether the file begins with `head`.
bool BeginsWith(const std::string& path, std::string_view head)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    char read[32] = {};
    const bool same = head.size() <= sizeof read && ::read(fd, read, head.size()) == ssize_t(head.size()) &&
                      std::memcmp(read, head.data(), head.size()) == 0;
    ::close(fd);
    return same;
}

/// Where a picture for `path` really goes: the file a symlink points to.
std::string Target(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error)))
        return path;
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    return error ? path : target.string();
}

// The temporary file being written, for the signal handler to remove: set
// and cleared only while the ending signals are blocked.
char TemporaryPath[PATH_MAX + 1];
volatile std::sig_atomic_t HaveTemporary = 0;

void RemoveTemporaryAndEnd(int signal)
{
    if (HaveTemporary)
        ::unlink(TemporaryPath);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

/// The ending signals blocked for as long as it lives, so the temporary and
/// the record of it change together.
struct SignalsHeld {
    sigset_t Before;
    SignalsHeld()
    {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : EndingSignals)
            sigaddset(&held, signal);
        ::sigprocmask(SIG_BLOCK, &held, &Before);
    }
    ~SignalsHeld() { ::sigprocmask(SIG_SETMASK, &Before, nullptr); }
};

void CatchEndingSignals()
{
    static bool caught = false;
    if (caught)
        return;
    caught = true;
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryAndEnd;
    sigemptyset(&action.sa_mask);
    for (const int signal : EndingSignals) {
        struct sigaction before {};
        if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_DFL)
            ::sigaction(signal, &action, nullptr);
    }
}

/// Opens a new file beside `target` under a hidden name no longer than the
/// target's own (so any name the folder takes works), with the permissions
/// `mode` less the umask. It is recorded for the signal handler.
int OpenTemporary(const std::string& target, mode_t mode)
{
    const std::string name = std::filesystem::path(target).filename().string();
    const std::string directory = target.substr(0, target.size() - name.size());
    const std::size_t length = name.size(); // 5 at least: a name ending in .png
    const std::string prefix = length >= 14 ? ".homing-" : ".";
    const int digits = int(std::min<std::size_t>(length, 14) - prefix.size());
    static std::uint64_t counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::uint64_t unique =
            Mix64((std::uint64_t(::getpid()) << 32) ^
                  std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^ ++counter);
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(unique));
        const std::string temporary = directory + prefix + std::string(suffix + 16 - digits);
        if (temporary.size() > PATH_MAX) {
            errno = ENAMETOOLONG;
            return -1;
        }
        const SignalsHeld held;
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            std::memcpy(TemporaryPath, temporary.c_str(), temporary.size() + 1);
            HaveTemporary = 1;
        }
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

/// Gives the new file the permissions and owner of the picture it replaces.
bool TakeOver(int fd, const struct stat& replaced)
{
    // Owner first: a change of owner may clear the set-id bits that the mode restores.
    [[maybe_unused]] const int owned = ::fchown(fd, replaced.st_uid, replaced.st_gid);
    return ::fchmod(fd, replaced.st_mode & 07777) == 0;
}

/// The new file is made beside the target and renamed over it: its folder
/// must exist and take a new file, which a new file made and removed there
/// proves (the permission bits alone pass root, where a read-only or special
/// file system still refuses).
std::string CheckFolder(const std::string& path)
{
    const std::string target = Target(path);
    const std::string folder = FolderOf(target);
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0)
        return CannotWriteMessage(path, errno);
    if (!S_ISDIR(status.st_mode))
        return CannotWriteMessage(path, ENOTDIR);
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return "cannot write in the folder " + QuotedPath(folder) + " (for " + QuotedPath(path) +
               "): " + std::strerror(errno);
    CatchEndingSignals();
    const int fd = OpenTemporary(target, 0600);
    if (fd < 0)
        return "cannot write in the folder " + QuotedPath(folder) + " (for " + QuotedPath(path) +
               "): " + std::strerror(errno);
    ::close(fd);
    const SignalsHeld held;
    ::unlink(TemporaryPath);
    HaveTemporary = 0;
    return {};
}

/// The folder's new entry on the disk too. A file system that cannot sync a
/// folder (EINVAL) keeps its entries by its own rules.
bool SyncFolder(const std::string& target)
{
    const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true; // renamed already; a folder we may not open is synced by the system in its time
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

/// What a file of `kind` is called in the one rule of what is replaced.
const char* KindName(OutputKind kind)
{
    switch (kind) {
    case OutputKind::Png: return "a PNG picture";
    case OutputKind::MapCsv: return "a capture map's CSV (or a shard of one)";
    case OutputKind::SweepCsv: return "a sweep's CSV";
    case OutputKind::DodgeCsv: return "a dodge window's CSV";
    }
    return "";
}

/// Whether the existing file at `path` may be replaced by a file of `kind`:
/// it is empty, or of that kind.
bool OfKind(const std::string& path, OutputKind kind)
{
    switch (kind) {
    case OutputKind::Png: return BeginsWith(path, std::string_view(PngSignature, 8));
    case OutputKind::MapCsv: return LooksLikeMapCsv(Head(path));
    case OutputKind::SweepCsv: return LooksLikeSweepCsv(Head(path));
    case OutputKind::DodgeCsv: return LooksLikeDodgeCsv(Head(path));
    }
    return false;
}

} // namespace

std::string CheckPicturePath(const std::string& path, OutputKind kind, bool* cannotWrite)
{
    bool ignored = false;
    bool& unwritable = cannotWrite ? *cannotWrite : ignored;
    unwritable = false;
    if (kind == OutputKind::Png) {
        if (std::string bad = PictureNameError(path); !bad.empty())
            return QuotedPath(path) + bad;
    } else if (!path.ends_with(".csv")) {
        return QuotedPath(path) + " does not end in .csv";
    } else if (path == ".csv" || path.ends_with("/.csv")) {
        return QuotedPath(path) + " has no name before .csv";
    }
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        struct stat link {};
        if (errno == ENOENT && ::lstat(path.c_str(), &link) == 0)
            return QuotedPath(path) + " is a symbolic link to a missing file";
        unwritable = true;
        return errno == ENOENT ? CheckFolder(path) : CannotWriteMessage(path, errno);
    }
    if (!S_ISREG(status.st_mode))
        return QuotedPath(path) + " is not a regular file";
    if (status.st_size > 0 && !OfKind(Target(path), kind))
        return QuotedPath(path) + " exists and is not " + KindName(kind) + ": " + ReplacedFilesRule;
    unwritable = true;
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return CannotWriteMessage(path, errno);
    return CheckFolder(path);
}

std::string WritePictureFile(std::string_view bytes, const std::string& path, OutputKind kind)
{
    if (std::string error = CheckPicturePath(path, kind); !error.empty())
        return error;
    CatchEndingSignals();
    const std::string target = Target(path);
    struct stat replaced {};
    const bool replacing = ::stat(target.c_str(), &replaced) == 0;
    // A picture being replaced may be private: its stand-in is, until it takes over.
    const int fd = OpenTemporary(target, replacing ? 0600 : 0666);
    if (fd < 0)
        return CannotWriteMessage(path, errno);
    // On the disk before it takes the name: a crash after the rename must not
    // leave the name on an empty or partial file.
    bool written = WriteAll(fd, bytes.data(), bytes.size()) == bytes.size() && (!replacing || TakeOver(fd, replaced)) &&
                   ::fsync(fd) == 0;
    int error = written ? 0 : errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    const SignalsHeld held; // renamed or removed, and forgotten, as one step
    if (written && std::rename(TemporaryPath, target.c_str()) == 0) {
        HaveTemporary = 0;
        return SyncFolder(target) ? std::string() : CannotWriteMessage(path, errno);
    }
    error = error ? error : errno;
    ::unlink(TemporaryPath);
    HaveTemporary = 0;
    return CannotWriteMessage(path, error);
}
