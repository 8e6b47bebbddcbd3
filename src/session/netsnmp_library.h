// The Net-SNMP library as the SNMPv3 session uses it: initialised once per
// process without reading configuration files or touching its persistent
// directory, called under one process-wide lock (its user, engine-ID and
// engine-time tables are global) that is let go while an exchange waits for
// its answer, users shared between concurrent exchanges, keys from pass
// phrases derived once, and its error numbers mapped to result codes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>

struct snmp_session;

namespace tolv::netsnmp {

// Holds the library for one operation: initialises it on first use and
// keeps every other thread's library calls out until released or paused.
class LibraryUse {
public:
    LibraryUse();
    ~LibraryUse();
    LibraryUse(const LibraryUse&) = delete;
    LibraryUse& operator=(const LibraryUse&) = delete;

    // Lets other threads use the library while this one only waits on a
    // socket of its own session; no library call until resume().
    void pause() { lock_.unlock(); }
    void resume() { lock_.lock(); }

    // Makes the library know the session's user at the session's engine
    // (whose ID must be known) for one exchange. The library keeps one user
    // per engine and name for the whole process: concurrent exchanges share
    // it when their level, protocols and keys agree; otherwise this one
    // waits until the other exchanges with that user have ended.
    // 0; -2 when the engine ID is not known yet, -3, or the mapped library
    // error.
    std::int32_t hold_user(snmp_session* session);

    // Ends hold_user for the session. When no other exchange holds the user
    // the library forgets it, and when none talks to the engine any more,
    // the engine's time too: every exchange starts from nothing.
    void release_user(const snmp_session* session);

private:
    std::unique_lock<std::mutex> lock_;
};

// Room for a user key: as large as the library's own key buffers.
inline constexpr std::size_t kMaxKeyLength = 64;

// The user key (Ku) of a pass phrase for the hash of an authentication
// protocol (1 MD5, 2 SHA), into `key` (kMaxKeyLength bytes). The key does not depend on
// the agent's engine, so it is made once per pass phrase and protocol.
// 0, or the mapped library error. Needs a LibraryUse.
std::int32_t user_key(std::int32_t auth_protocol, const char* passphrase, std::uint8_t* key, std::size_t* length);

// A Net-SNMP library error number (negative) as a result code.
std::int32_t result_of(int library_error);

// Logs "<name>(): ErrNo = .., SnmpErrNo = .., text" for the session (or the
// library's last error when `session` is null).
void log_error(void* session, const char* name);

}  // namespace tolv::netsnmp
