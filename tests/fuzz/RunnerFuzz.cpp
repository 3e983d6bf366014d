// libFuzzer target: the whole of homing-sim. The input's first line holds the
// arguments (blank-separated), the rest is the script. Pictures go to a
// temporary folder the target works in; paths leading elsewhere are refused
// before the runner sees them. Whatever the input, the runner returns 0, 1 or
// 2 and never crashes; `frames` and maps are bounded so each input runs quickly.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "Runner.h"

namespace {

constexpr std::uint64_t FrameBudget = 2000;

void Check(bool holds)
{
    if (!holds)
        __builtin_trap();
}

/// Splits `text` on blanks.
std::vector<std::string> Words(std::string_view text)
{
    std::vector<std::string> words;
    for (std::size_t at = text.find_first_not_of(" \t\r"); at != std::string_view::npos;) {
        const std::size_t end = text.find_first_of(" \t\r", at);
        words.emplace_back(text.substr(at, end - at));
        at = text.find_first_not_of(" \t\r", end == std::string_view::npos ? text.size() : end);
    }
    return words;
}

/// Keeps the script's pictures in the working folder and its frames within the budget.
bool Tame(std::string_view script)
{
    std::uint64_t frames = 0;
    for (std::size_t at = 0; at < script.size();) {
        const std::size_t end = std::min(script.find('\n', at), script.size());
        const std::string_view line = script.substr(at, end - at);
        const std::vector<std::string> words = Words(line.substr(0, line.find('#')));
        if (words.size() == 2 && (words[0] == "png" || words[0] == "trail") && words[1].find('/') != std::string::npos)
            return false;
        if (words.size() == 2 && words[0] == "frames") {
            char* stop = nullptr;
            frames += std::strtoull(words[1].c_str(), &stop, 10);
            if (frames > FrameBudget)
                return false;
        }
        at = end + 1;
    }
    return true;
}

char Folder[] = "/tmp/runner-fuzz-XXXXXX";

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Check(::mkdtemp(Folder) != nullptr && ::chdir(Folder) == 0);
    std::atexit([] { std::filesystem::remove_all(Folder); });
    Check(std::freopen("/dev/null", "w", stdout) != nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = std::min(input.find('\n'), input.size());
    const std::string_view script = input.substr(std::min(newline + 1, input.size()));
    std::vector<std::string> arguments = Words(input.substr(0, newline));
    if (arguments.size() > 4 || !Tame(script))
        return 0;
    for (const std::string& argument : arguments)
        if (argument.find('/') != std::string::npos || argument.find('\0') != std::string::npos)
            return 0; // only pictures and scripts in the working folder
    {
        std::FILE* file = std::fopen("script.txt", "wb");
        Check(file != nullptr);
        std::fwrite(script.data(), 1, script.size(), file);
        std::fclose(file);
    }
    const bool map = std::find(arguments.begin(), arguments.end(), "--map") != arguments.end();
    if (map)
        for (const char* bound : {"--step", "60", "--shots", "2", "--threads", "1"})
            arguments.emplace_back(bound); // a small map: the last of a setting given twice holds
    arguments.insert(arguments.begin(), "homing-sim");
    if (!map)
        arguments.push_back("script.txt"); // a map takes none; --join-map takes it as a shard
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const int status = RunHomingSim(int(argv.size() - 1), argv.data());
    Check(status >= 0 && status <= 2);
    return 0;
}
