#include "ScriptReader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "Quoted.h"

ScriptInput::~ScriptInput()
{
    if (File && Owned)
        std::fclose(File);
}

namespace {

long long ChangedAt(const struct stat& status)
{
    return static_cast<long long>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
}

std::string ReadError(const ScriptInput& input, int error)
{
    return "cannot read " + input.Name + ": " + std::strerror(error ? error : EIO);
}

/// An anonymous file in $TMPDIR, or /tmp: gone as soon as it is closed.
std::FILE* AnonymousFile()
{
    const char* folder = std::getenv("TMPDIR");
    std::string name = std::string(folder && *folder ? folder : "/tmp") + "/homing-script-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return nullptr;
    ::unlink(name.c_str());
    std::FILE* file = ::fdopen(fd, "w+");
    if (!file)
        ::close(fd);
    return file;
}

/// Follows the length of the line being read through `size` more bytes; it
/// stops, past MaxLineBytes, at the first line that is too long.
void CountLineLength(const char* data, std::size_t size, std::size_t& lineLength)
{
    const char* const end = data + size;
    while (lineLength <= MaxLineBytes) {
        const char* newline = static_cast<const char*>(std::memchr(data, '\n', std::size_t(end - data)));
        lineLength += std::size_t((newline ? newline : end) - data);
        if (!newline || lineLength > MaxLineBytes)
            return;
        lineLength = 0;
        data = newline + 1;
    }
}

} // namespace

std::string SpoolScript(std::FILE* from, ScriptInput& input, long long limit)
{
    input.File = AnonymousFile();
    if (!input.File)
        return "cannot keep a copy of " + input.Name + ": " + std::strerror(errno);
    input.Owned = true;
    std::vector<char> chunk(1 << 16);
    long long kept = 0;
    std::size_t lineLength = 0; ///< bytes since the last newline
    std::size_t got;
    while (lineLength <= MaxLineBytes && (got = std::fread(chunk.data(), 1, chunk.size(), from)) > 0) {
        if (kept + static_cast<long long>(got) > limit)
            return input.Name + " holds more than " + std::to_string(limit >> 20) +
                   " MiB of script: save it to a file and name the file";
        if (std::fwrite(chunk.data(), 1, got, input.File) != got)
            return "cannot keep a copy of " + input.Name + ": " + std::strerror(errno);
        kept += static_cast<long long>(got);
        CountLineLength(chunk.data(), got, lineLength);
    }
    if (std::ferror(from))
        return ReadError(input, errno);
    if (std::fflush(input.File) != 0)
        return "cannot keep a copy of " + input.Name + ": " + std::strerror(errno);
    return {};
}

std::string OpenScript(const char* path, ScriptInput& input)
{
    if (*path == '\0')
        return "cannot open a script with an empty name";
    const bool standardInput = std::strcmp(path, "-") == 0;
    input.Name = standardInput ? "standard input" : QuotedPath(path);
    std::FILE* file = standardInput ? stdin : std::fopen(path, "r");
    if (!file)
        return "cannot open " + input.Name + ": " + std::strerror(errno);
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || S_ISDIR(status.st_mode)) {
        const int error = S_ISDIR(status.st_mode) ? EISDIR : errno;
        if (!standardInput)
            std::fclose(file);
        return ReadError(input, error);
    }
    if (S_ISREG(status.st_mode)) {
        input.File = file;
        input.Owned = !standardInput;
        input.Start = std::max<long long>(0, ftello(file));
        input.Size = status.st_size;
        input.ChangedAt = ChangedAt(status);
        return {};
    }
    std::string error = SpoolScript(file, input);
    if (!standardInput)
        std::fclose(file);
    return error;
}

std::string ScriptFromText(std::string_view text, ScriptInput& input)
{
    input.Name = "the script";
    input.Text = std::string(text); // read from memory: no file, which a web page may lack
    return {};
}

std::string ScriptReader::Start(ScriptInput& input)
{
    Input = &input;
    Check = {};
    ReadError.clear();
    Number = 0;
    TextAt = 0;
    BlockAt = BlockEnd = 0;
    if (!input.File)
        return {};
    Block.resize(1 << 16);
    if (fseeko(input.File, input.Start, SEEK_SET) != 0)
        return ReadError = ::ReadError(input, errno);
    std::clearerr(input.File);
    Changed();
    return ReadError;
}

bool ScriptReader::Changed()
{
    struct stat status {};
    if (!Input || !Input->File || Input->Size < 0 || ::fstat(fileno(Input->File), &status) != 0 ||
        (status.st_size == Input->Size && ChangedAt(status) == Input->ChangedAt))
        return false;
    ReadError = Input->Name + " changed while it was read, at line " + std::to_string(Number + 1);
    return true;
}

ScriptReader::LineRead ScriptReader::NextLine(std::string_view& line)
{
    if (Input->File)
        return NextFileLine(line);
    const std::string& text = Input->Text;
    if (TextAt >= text.size())
        return LineRead::End;
    const std::size_t end = std::min(text.find('\n', TextAt), text.size());
    if (end - TextAt > MaxLineBytes)
        return LineRead::TooLong;
    line = std::string_view(text).substr(TextAt, end - TextAt);
    TextAt = end + 1;
    return LineRead::Line;
}

/// The next line of the file, its newline included, gathered block by block
/// and given up as soon as it passes MaxLineBytes.
ScriptReader::LineRead ScriptReader::NextFileLine(std::string_view& line)
{
    Line.clear();
    for (;;) {
        if (BlockAt == BlockEnd) {
            BlockAt = 0;
            BlockEnd = std::fread(Block.data(), 1, Block.size(), Input->File);
            if (Changed())
                return LineRead::End;
            if (BlockEnd == 0) {
                if (std::ferror(Input->File))
                    ReadError = ::ReadError(*Input, errno);
                line = Line;
                return Line.empty() || !ReadError.empty() ? LineRead::End : LineRead::Line;
            }
        }
        const char* from = Block.data() + BlockAt;
        const auto* newline = static_cast<const char*>(std::memchr(from, '\n', BlockEnd - BlockAt));
        const std::size_t take = newline ? std::size_t(newline - from) + 1 : BlockEnd - BlockAt;
        if (Line.size() + take - (newline ? 1 : 0) > MaxLineBytes)
            return LineRead::TooLong;
        Line.append(from, take);
        BlockAt += take;
        if (newline) {
            line = Line;
            return LineRead::Line;
        }
    }
}

bool ScriptReader::Next(long& number, Command& command)
{
    while (Input && Check.BadLine == 0 && ReadError.empty()) {
        std::string_view line;
        const LineRead read = NextLine(line);
        if (read == LineRead::End)
            return false;
        ++Number;
        if (read == LineRead::TooLong) {
            Check.BadLine = Number;
            Check.Error = "longer than " + std::to_string(MaxLineBytes) + " bytes";
            return false;
        }
        if (Number == 1 && line.substr(0, 3) == "\xEF\xBB\xBF")
            line.remove_prefix(3); // a byte-order mark, as Windows editors write
        ParsedLine parsed = ParseLine(line);
        if (parsed.Kind == ParsedLine::Status::Error) {
            Check.BadLine = Number;
            Check.Error = std::move(parsed.Error);
            return false;
        }
        if (parsed.Kind == ParsedLine::Status::Empty)
            continue;
        Check.UsesTrail = Check.UsesTrail || parsed.Parsed.Kind == CommandKind::Trail;
        number = Number;
        command = std::move(parsed.Parsed);
        return true;
    }
    return false;
}

std::string ForEachCommand(ScriptInput& input, ScriptCheck& check,
                           const std::function<std::string(long number, const Command& command)>& visit)
{
    ScriptReader reader;
    std::string error = reader.Start(input);
    long number = 0;
    Command command;
    while (error.empty() && reader.Next(number, command))
        error = visit(number, command);
    check = reader.Check;
    return error.empty() ? reader.ReadError : error;
}

std::string CheckScript(ScriptInput& input, ScriptCheck& check)
{
    return ForEachCommand(input, check, [](long, const Command&) { return std::string(); });
}
