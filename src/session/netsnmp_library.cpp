#include "session/netsnmp_library.h"

// clang-format off
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
// clang-format on

#include <condition_variable>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "common/text.h"
#include "log/module_logger.h"
#include "tolvcomm/result_codes.h"

namespace tolv::netsnmp {
namespace {
std::mutex library_lock;
bool initialised = false;

void initialise() {
    // Nothing from files: no snmp.conf, no persistent state read or written.
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    static_assert(kMaxKeyLength == USM_AUTH_KU_LEN && kMaxKeyLength == USM_PRIV_KU_LEN);
    // No MIB files either: OIDs are numeric here.
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIBDIRS, "/nonexistent");
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIB_ERRORS, 0);
    netsnmp_ds_set_int(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIB_WARNINGS, 0);
    // The library's own messages would go to standard error; what fails is
    // logged through this library's log instead.
    snmp_disable_log();
    netsnmp_register_loghandler(NETSNMP_LOGHANDLER_CALLBACK, LOG_DEBUG);  // to a callback nobody registers
    init_snmp("");
    initialised = true;
}

struct CachedKey {
    std::int32_t protocol = 0;
    Text passphrase;
    std::uint8_t key[kMaxKeyLength] = {};
    std::size_t length = 0;
};
constexpr int kCachedKeys = 16;
CachedKey cached_keys[kCachedKeys];
int next_slot = 0;

// A user the library knows for exchanges in progress, and how many hold it.
struct UserInUse {
    std::string engine_id;
    std::string name;
    std::string security;  // level, protocols and keys: shared only when all agree
    int exchanges = 0;
};
std::vector<UserInUse> users_in_use;  // under library_lock
std::condition_variable user_released;

void append(std::string* text, const void* bytes, std::size_t length) {
    if (length != 0) text->append(static_cast<const char*>(bytes), length);
    text->push_back('\0');  // keeps neighbouring fields apart
}

std::string security_of(const netsnmp_session* session) {
    std::string security(1, static_cast<char>(session->securityLevel));
    append(&security, session->securityAuthProto, session->securityAuthProtoLen * sizeof(oid));
    append(&security, session->securityAuthKey, session->securityAuthKeyLen);
    append(&security, session->securityPrivProto, session->securityPrivProtoLen * sizeof(oid));
    append(&security, session->securityPrivKey, session->securityPrivKeyLen);
    return security;
}

bool same_engine(const UserInUse& user, const netsnmp_session* session) {
    return user.engine_id.size() == session->securityEngineIDLen &&
           std::memcmp(user.engine_id.data(), session->securityEngineID, session->securityEngineIDLen) == 0;
}

bool same_user(const UserInUse& user, const netsnmp_session* session) {
    return same_engine(user, session) && user.name.size() == session->securityNameLen &&
           std::memcmp(user.name.data(), session->securityName, session->securityNameLen) == 0;
}

std::vector<UserInUse>::iterator user_of(const netsnmp_session* session) {
    auto user = users_in_use.begin();
    while (user != users_in_use.end() && !same_user(*user, session)) ++user;
    return user;
}
}  // namespace

LibraryUse::LibraryUse() : lock_(library_lock) {
    if (!initialised) initialise();
}

LibraryUse::~LibraryUse() = default;

std::int32_t LibraryUse::hold_user(netsnmp_session* session) {
    if (session->securityEngineIDLen == 0 || session->securityName == nullptr) return kErrBadArgument;
    try {
        const std::string security = security_of(session);
        for (;;) {
            auto user = user_of(session);
            if (user == users_in_use.end()) {
                users_in_use.push_back({std::string(reinterpret_cast<const char*>(session->securityEngineID),
                                                    session->securityEngineIDLen),
                                        std::string(session->securityName, session->securityNameLen), security, 1});
                break;
            }
            if (user->security == security) {
                ++user->exchanges;
                return kOk;  // the library knows it already
            }
            user_released.wait(lock_);
        }
    } catch (const std::bad_alloc&) {
        return kErrNoMemory;
    }
    if (const int status = usm_create_user_from_session(session); status != SNMPERR_SUCCESS) {
        log_error(nullptr, "usm_create_user_from_session");
        release_user(session);
        return result_of(status);
    }
    return kOk;
}

void LibraryUse::release_user(const netsnmp_session* session) {
    auto user = user_of(session);
    if (user == users_in_use.end() || --user->exchanges > 0) return;
    users_in_use.erase(user);
    if (usmUser* known = usm_get_user(session->securityEngineID, session->securityEngineIDLen, session->securityName);
        known != nullptr) {
        usm_remove_user(known);
        usm_free_user(known);
    }
    bool engine_in_use = false;
    for (const UserInUse& other : users_in_use) engine_in_use = engine_in_use || same_engine(other, session);
    if (!engine_in_use) free_enginetime(session->securityEngineID, session->securityEngineIDLen);
    user_released.notify_all();
}

std::int32_t user_key(std::int32_t auth_protocol, const char* passphrase, std::uint8_t* key, std::size_t* length) {
    for (const CachedKey& cached : cached_keys) {
        if (cached.length != 0 && cached.protocol == auth_protocol && cached.passphrase == passphrase) {
            std::memcpy(key, cached.key, cached.length);
            *length = cached.length;
            return kOk;
        }
    }
    const oid* hash = auth_protocol == 1 ? usmHMACMD5AuthProtocol : usmHMACSHA1AuthProtocol;
    std::size_t made = kMaxKeyLength;
    const int status = generate_Ku(hash, USM_AUTH_PROTO_MD5_LEN, reinterpret_cast<const u_char*>(passphrase),
                                   std::strlen(passphrase), key, &made);
    if (status != SNMPERR_SUCCESS) {
        log_error(nullptr, "generate_Ku");
        return result_of(status);
    }
    *length = made;
    CachedKey& slot = cached_keys[next_slot];
    next_slot = (next_slot + 1) % kCachedKeys;
    if (slot.passphrase.set(passphrase) == kOk) {
        slot.protocol = auth_protocol;
        std::memcpy(slot.key, key, made);
        slot.length = made;
    }
    return kOk;
}

// One line per result code.
// clang-format off
std::int32_t result_of(int library_error) {
    switch (library_error) {
        case 0: return kOk;
        case -11: case -13: case -29: case -31: case -38: case -41: case -47: case -48: case -49: case -50:
        case -64: return kErrDecode;
        case -62: return kErrNoMemory;
        case -3: case -4: case -5: case -14: case -17: case -19: case -23: case -27: case -28: case -45:
        case -56: case -57: case -58: case -59: case -60: case -61: return kErrBadArgument;
        case -30: case -33: case -34: case -35: case -36: case -37: case -42: case -43: case -44:
        case -46: return kErrAuthentication;
        case -25: case -32: return kErrReceive;
        case -24: return kErrTimeout;
        case -12: return kErrSend;
        default: return kErrNetSnmp;
    }
}
// clang-format on

void log_error(void* session, const char* name) {
    int system_error = 0;
    int library_error = 0;
    char* text = nullptr;
    if (session != nullptr) {
        snmp_sess_error(session, &system_error, &library_error, &text);
    } else {  // a failure outside a session: the library's last error
        library_error = snmp_errno;
        text = strdup(snmp_api_errstring(library_error));
    }
    if (system_error != 0 && library_error != 0 && text != nullptr && *text != '\0') {
        log::snmp_logger().log(log_level::kError, "%s(): ErrNo = %d, SnmpErrNo = %d, %s", name, system_error,
                               library_error, text);
    } else {
        log::snmp_logger().log(log_level::kError, "%s(): unknown", name);
    }
    std::free(text);
}

}  // namespace tolv::netsnmp
