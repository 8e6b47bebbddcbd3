// The Net-SNMP library as the SNMPv3 session uses it: initialised once per
// process without reading configuration files or touching its persistent
// directory, used under one process-wide lock (its user, engine-ID and
// engine-time tables are global), keys from pass phrases derived once, and
// its error numbers mapped to the library's result codes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>

namespace tolv::netsnmp {

// Holds the library for one operation: initialises it on first use and
// keeps every other thread's operation out until released.
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
