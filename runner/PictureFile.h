#pragma once
// Where the runner's pictures go: a .png path checked before anything runs,
// and a file replaced whole or not at all.

#include <string>
#include <string_view>

/// What a file written this way holds: a PNG picture, or a capture map's CSV.
enum class OutputKind { Png, MapCsv, SweepCsv };

/// Checks that `path` may take a picture: its name ends in .png, and whatever
/// is there already (through any symlink) is a PNG file the user may write,
/// not a directory, device, pipe, socket or any other file. Returns what is
/// wrong, or nothing. A map's CSV is checked alike: a .csv name, and an
/// existing file replaced only when it is empty or a capture map's.
[[nodiscard]] std::string CheckPicturePath(const std::string& path, OutputKind kind = OutputKind::Png);

/// Writes `bytes` to a new file beside `path` and renames it into place, so a
/// failed write leaves the folder as it was. A picture it replaces keeps its
/// permissions and, where the process may, its owner. Ended by SIGINT, SIGTERM
/// or SIGHUP part way, it removes its temporary file first (SIGKILL cannot be
/// caught, and may leave one: a hidden `.homing-…` file). Returns what went
/// wrong, or nothing.
[[nodiscard]] std::string WritePictureFile(std::string_view bytes, const std::string& path,
                                           OutputKind kind = OutputKind::Png);
