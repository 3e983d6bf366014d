#pragma once
// What every call of the C API shares: the calling thread's last error, and a
// guard that turns anything thrown inside into a status, so no C++ exception
// ever crosses into a C caller.

#include <new>
#include <string>
#include <system_error>

#include "homing/homing.h"

/// Sets the calling thread's last error and returns `status`.
homing_status Failed(homing_status status, const std::string& message);

/// Runs `call` (which returns a status), catching what it throws.
template <typename Call>
homing_status Guarded(const char* name, Call&& call) noexcept
{
    try {
        return call();
    } catch (const std::bad_alloc&) {
        return Failed(HOMING_OUT_OF_MEMORY, std::string(name) + ": out of memory");
    } catch (const std::system_error& error) {
        return Failed(HOMING_SYSTEM_ERROR, std::string(name) + ": " + error.what());
    } catch (...) {
        return Failed(HOMING_SYSTEM_ERROR, std::string(name) + ": an unexpected failure");
    }
}

/// Whether `mode` is a method's number.
bool IsMode(int mode);

/// HOMING_OUT_OF_RANGE naming the call and the modes there are.
homing_status NotAMode(const char* call, int mode);

/// HOMING_NULL_ARGUMENT naming the call and the argument.
homing_status NullArgument(const char* call, const char* argument);

/// A settings record's size is its version: one not made by its _default()
/// call (or by another version's) is refused.
homing_status CheckRecordSize(const char* call, std::uint32_t size, std::size_t expected);
