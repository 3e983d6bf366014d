#pragma once
// Where the runner's pictures go: a .png path checked before anything runs,
// and a file replaced whole or not at all.

#include <string>
#include <string_view>

/// What a file written this way holds: a PNG picture, or a capture map's CSV.
enum class OutputKind { Png, MapCsv, SweepCsv, DodgeCsv };

/// The one rule of what an output replaces, as every refusal ends.
inline constexpr const char* ReplacedFilesRule =
    "an existing file is replaced only when it is empty or of the kind written there";

/// Checks that `path` may take a file of `kind`: its name ends in .png (or
/// .csv), whatever is there already (through any symlink) is a regular file
/// the user may write, empty or of that kind (a PNG picture; a map's CSV or
/// a shard of one; a sweep's CSV), and its folder takes a new file. Returns
/// what is wrong, or nothing; `cannotWrite`, where given, says whether what
/// is wrong is that nothing can be written there (not the path's name or
/// what it holds).
[[nodiscard]] std::string CheckPicturePath(const std::string& path, OutputKind kind = OutputKind::Png,
                                           bool* cannotWrite = nullptr);

/// Writes `bytes` to a new file beside `path`, syncs it to the disk and
/// renames it into place (then syncs the folder), so a failed write or a
/// crash leaves the old file or the new one whole. A picture it replaces keeps its
/// permissions and, where the process may, its owner. Ended by SIGINT, SIGTERM
/// or SIGHUP part way, it removes its temporary file first (SIGKILL cannot be
/// caught, and may leave one: a hidden file beside it, `.` and hexadecimal
/// digits, no longer than the picture's own name). Returns what went
/// wrong, or nothing.
[[nodiscard]] std::string WritePictureFile(std::string_view bytes, const std::string& path,
                                           OutputKind kind = OutputKind::Png);
