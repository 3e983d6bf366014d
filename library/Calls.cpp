#include "Calls.h"

#include <cstdint>
#include <string>

#include "World.h"

namespace {

thread_local std::string LastError;

} // namespace

homing_status Failed(homing_status status, const std::string& message)
{
    // One line, whatever a script or a settings text held.
    LastError = message;
    for (char& c : LastError)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return status;
}

bool IsMode(int mode) { return mode >= 0 && mode < SteeringModeCount; }

homing_status NotAMode(const char* call, int mode)
{
    return Failed(HOMING_OUT_OF_RANGE, std::string(call) + ": mode must be 0 to " +
                                           std::to_string(SteeringModeCount - 1) + ", not " + std::to_string(mode));
}

homing_status NullArgument(const char* call, const char* argument)
{
    return Failed(HOMING_NULL_ARGUMENT, std::string(call) + ": " + argument + " is null");
}

homing_status CheckRecordSize(const char* call, std::uint32_t size, std::size_t expected)
{
    if (size == expected)
        return HOMING_OK;
    return Failed(HOMING_WRONG_RECORD, std::string(call) + ": the settings record's size is " + std::to_string(size) +
                                           ", not " + std::to_string(expected) +
                                           ": make it with its _default() call, from this version's header");
}

extern "C" {

const char* homing_status_text(homing_status status)
{
    switch (status) {
    case HOMING_OK: return "ok";
    case HOMING_NULL_ARGUMENT: return "a pointer the call needs is null";
    case HOMING_OUT_OF_RANGE: return "a number out of range";
    case HOMING_BAD_SETTINGS: return "settings or script refused";
    case HOMING_BUFFER_TOO_SMALL: return "buffer too small";
    case HOMING_CANCELLED: return "cancelled";
    case HOMING_OUT_OF_MEMORY: return "out of memory";
    case HOMING_SYSTEM_ERROR: return "the system refused";
    case HOMING_WRONG_RECORD: return "a settings record from another version";
    }
    return "not a status";
}

const char* homing_last_error(void) { return LastError.c_str(); }

int homing_version(void) { return HOMING_VERSION; }

} // extern "C"
