#pragma once
// Error numbers that the late-bound surface raises itself, with the values a dispatch host knows.
// Errors of the library's own members pass through the surface unchanged.
#include <cstdint>
#include <string_view>

namespace talvane::component {

/// Source of every error raised by the late-bound surface itself.
inline constexpr std::string_view kDispatchSource = "Talvane.Dispatch";
/// Source of the errors of class look-up and creation.
inline constexpr std::string_view kServerSource = "Talvane.Server";

inline constexpr int32_t kErrMemberNotFound = static_cast<int32_t>(0x80020003u);   // no such member half
inline constexpr int32_t kErrTypeMismatch = static_cast<int32_t>(0x80020005u);     // argument of the wrong type
inline constexpr int32_t kErrUnknownName = static_cast<int32_t>(0x80020006u);      // no member of that name
inline constexpr int32_t kErrOverflow = static_cast<int32_t>(0x8002000Au);         // number out of range
inline constexpr int32_t kErrBadParamCount = static_cast<int32_t>(0x8002000Eu);    // wrong argument count
inline constexpr int32_t kErrNoInterface = static_cast<int32_t>(0x80004002u);      // interface not exposed
inline constexpr int32_t kErrObjectNotSet = static_cast<int32_t>(0x80004003u);     // call on Nothing
inline constexpr int32_t kErrUnexpected = static_cast<int32_t>(0x80004005u);       // any other failure
inline constexpr int32_t kErrOutOfMemory = static_cast<int32_t>(0x8007000Eu);
inline constexpr int32_t kErrInvalidArgument = static_cast<int32_t>(0x80070057u);  // null pointer and such
inline constexpr int32_t kErrClassNotRegistered = static_cast<int32_t>(0x80040154u);  // no class of that name
inline constexpr int32_t kErrClassNotAvailable = static_cast<int32_t>(0x80040111u);   // no factory for the id

}  // namespace talvane::component
