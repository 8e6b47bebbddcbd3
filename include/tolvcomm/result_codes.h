// Result codes shared by every layer of the library. Every operation that
// can fail returns one of these (0 success, negative failure).
#pragma once

#include <cstdint>

namespace tolv {

inline constexpr std::int32_t kOk = 0;
inline constexpr std::int32_t kErrPlatform = -1;          // a platform call failed
inline constexpr std::int32_t kErrBadArgument = -2;       // null, wrong type, unparsable text, mismatch
inline constexpr std::int32_t kErrNoMemory = -3;
inline constexpr std::int32_t kErrUnknownInterface = -4;  // log framework interface id
inline constexpr std::int32_t kErrNotSupported = -5;
inline constexpr std::int32_t kErrSessionNotFound = -6;   // log session not found
inline constexpr std::int32_t kErrNotFound = -7;          // no further binding, arc beyond last, line over limit
inline constexpr std::int32_t kErrEmpty = -8;             // OID without arcs, no current codec, no device
inline constexpr std::int32_t kErrUnavailable = -10;      // library, function or file not available
inline constexpr std::int32_t kErrIndexRange = -11;       // record or option index out of range
inline constexpr std::int32_t kErrNetSnmp = -200;
inline constexpr std::int32_t kErrSocketCreate = -201;
inline constexpr std::int32_t kErrBind = -202;
inline constexpr std::int32_t kErrTimeout = -203;
inline constexpr std::int32_t kErrReceive = -204;
inline constexpr std::int32_t kErrSend = -205;
inline constexpr std::int32_t kErrTooBig = -210;          // agent answered tooBig
inline constexpr std::int32_t kErrRequestTooLarge = -211; // request over the maximum message size
inline constexpr std::int32_t kErrCannotSplit = -212;
inline constexpr std::int32_t kErrAuthentication = -214;
inline constexpr std::int32_t kErrDecode = -250;
inline constexpr std::int32_t kErrForeignAnswer = -251;
inline constexpr std::int32_t kErrIndexType = -401;       // index OID does not hold the requested type

}  // namespace tolv
