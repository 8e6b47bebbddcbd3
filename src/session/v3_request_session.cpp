#include "session/v3_request_session.h"

// clang-format off
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/large_fd_set.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "common/result.h"
#include "log/module_logger.h"
#include "platform/kernel.h"
#include "session/netsnmp_library.h"
#include "session/netsnmp_transport.h"
#include "session/request_id.h"
#include "snmp/oid_text.h"
#include "snmp/packet.h"
#include "snmp/target.h"
#include "snmp/value_factory.h"
#include "tolvcomm/result_codes.h"
#include "transport/datagram_socket.h"
#include "transport/network_address.h"
#include "transport/socket_wait.h"

using namespace tolv;
using tolv::log::snmp_logger;
using tolv::log::TraceScope;

namespace {
constexpr std::int32_t kHighestErrorStatus = 18;
constexpr std::int32_t kStatusOfUnknownError = 100;
constexpr std::size_t kMaxOid = 128;

IPmsUsm* usm_of(IPmsSnmpTarget* target) {
    void* part = nullptr;
    target->query_interface(pms_target_id::kUsm, &part);
    return static_cast<IPmsUsm*>(part);
}

int library_level(std::int32_t level) { return level >= 0 && level <= 2 ? level + 1 : -1; }

const oid* auth_protocol_oid(std::int32_t protocol) {
    if (protocol == pms_usm::kAuthMd5) return usmHMACMD5AuthProtocol;
    if (protocol == pms_usm::kAuthSha) return usmHMACSHA1AuthProtocol;
    return nullptr;
}

const oid* priv_protocol_oid(std::int32_t protocol) {
    if (protocol == pms_usm::kPrivDes) return usmDESPrivProtocol;
    if (protocol == pms_usm::kPrivAes) return usmAESPrivProtocol;
    return nullptr;
}

int command_of(std::int32_t type) {
    switch (type) {
        case pms_pdu_type::kGetRequest: return SNMP_MSG_GET;
        case pms_pdu_type::kGetNextRequest: return SNMP_MSG_GETNEXT;
        case pms_pdu_type::kSetRequest: return SNMP_MSG_SET;
        case pms_pdu_type::kTrap: return SNMP_MSG_TRAP2;
        default: return -1;
    }
}

std::int32_t type_of(int command) {
    switch (command) {
        case SNMP_MSG_GET: return pms_pdu_type::kGetRequest;
        case SNMP_MSG_GETNEXT: return pms_pdu_type::kGetNextRequest;
        case SNMP_MSG_RESPONSE: return pms_pdu_type::kResponse;
        case SNMP_MSG_SET: return pms_pdu_type::kSetRequest;
        case SNMP_MSG_GETBULK: return pms_pdu_type::kGetBulkRequest;
        case SNMP_MSG_INFORM: return pms_pdu_type::kInformRequest;
        case SNMP_MSG_TRAP2: return pms_pdu_type::kTrap;
        case SNMP_MSG_REPORT: return pms_pdu_type::kReport;
        default: return -1;
    }
}

// The snmp_add_var letter of a value's type, or 0 when it cannot be sent.
char letter_of(std::int32_t tag) {
    switch (tag) {
        case pms_tag::kObjectIdentifier: return 'o';
        case pms_tag::kOctetString:
        case pms_tag::kOpaque: return 's';
        case pms_tag::kInteger: return 'i';
        case pms_tag::kCounter32: return 'c';
        case pms_tag::kGauge32: return 'u';
        case pms_tag::kTimeTicks: return 't';
        case pms_tag::kCounter64: return 'C';
        case pms_tag::kIpAddress: return 'a';
        default: return 0;
    }
}

// The own value tag of a library variable type, or -1.
std::int32_t tag_of(u_char type) {
    switch (type) {
        case ASN_INTEGER: return pms_tag::kInteger;
        case ASN_OCTET_STR:
        case 0xC4: return pms_tag::kOctetString;
        case ASN_NULL: return pms_tag::kNull;
        case ASN_OBJECT_ID: return pms_tag::kObjectIdentifier;
        case ASN_IPADDRESS: return pms_tag::kIpAddress;
        case ASN_COUNTER: return pms_tag::kCounter32;
        case ASN_GAUGE:
        case 0x47: return pms_tag::kGauge32;
        case ASN_TIMETICKS: return pms_tag::kTimeTicks;
        case ASN_OPAQUE: return pms_tag::kOpaque;
        case ASN_COUNTER64: return pms_tag::kCounter64;
        case SNMP_NOSUCHOBJECT: return pms_tag::kNoSuchObject;
        case SNMP_NOSUCHINSTANCE: return pms_tag::kNoSuchInstance;
        case SNMP_ENDOFMIBVIEW: return pms_tag::kEndOfMibView;
        default: return -1;
    }
}

std::int32_t fill_value(IPmsValue* value, const netsnmp_variable_list* variable) {
    switch (value->get_type()) {
        case pms_tag::kInteger: return value->set_int32(static_cast<std::int32_t>(*variable->val.integer));
        case pms_tag::kCounter32:
        case pms_tag::kGauge32:
        case pms_tag::kTimeTicks: return value->set_uint32(static_cast<std::uint32_t>(*variable->val.integer));
        case pms_tag::kCounter64:
            value->set_high32(static_cast<std::uint32_t>(variable->val.counter64->high));
            return value->set_low32(static_cast<std::uint32_t>(variable->val.counter64->low));
        case pms_tag::kOctetString:
        case pms_tag::kOpaque:
        case pms_tag::kIpAddress:
            return value->set_bytes(variable->val.string, static_cast<std::uint32_t>(variable->val_len));
        case pms_tag::kObjectIdentifier: {
            IPmsOid* oid = value->get_oid();
            value->clear();
            const std::size_t arcs = variable->val_len / sizeof(oid);
            for (std::size_t i = 0; i < arcs; ++i) {
                if (const std::int32_t code = oid->append(static_cast<std::uint32_t>(variable->val.objid[i]));
                    code != kOk) {
                    return code;
                }
            }
            return kOk;
        }
        default: return kOk;  // NULL and the exceptions carry nothing
    }
}

// The sender of an answer, from the transport's text of it ("[host]:port"),
// with its port: a later request to the same target, or to an engine found
// by discovery, goes where the answer came from.
IPmcNetworkAddress* sender_of(void* session, const netsnmp_pdu* answer) {
    netsnmp_transport* transport = snmp_sess_transport(session);
    if (transport == nullptr || transport->f_fmtaddr == nullptr || answer->transport_data == nullptr) return nullptr;
    char* text = transport->f_fmtaddr(transport, answer->transport_data, answer->transport_data_length);
    if (text == nullptr) return nullptr;
    IPmcNetworkAddress* address = nullptr;
    const char* open = std::strchr(text, '[');
    const char* close = open ? std::strchr(open, ']') : nullptr;
    if (close != nullptr) {
        const std::string host(open + 1, static_cast<std::size_t>(close - open - 1));
        const unsigned long port = close[1] == ':' ? std::strtoul(close + 2, nullptr, 10) : 0;
        address =
            pmc_parse_network_address(host.c_str(), static_cast<std::uint16_t>(port <= 0xFFFF ? port : 0), nullptr);
    }
    std::free(text);
    return address;
}

std::int32_t read_answer(void* session, const netsnmp_pdu* answer, IPmsPdu* pdu, IPmsSnmpTarget* target) {
    IPmsUsm* usm = usm_of(target);
    if (usm == nullptr) return kErrNotSupported;
    if (answer->version != SNMP_VERSION_3) return kErrBadArgument;
    target->set_version(pms_version::kV3);
    const std::string name(answer->securityName ? answer->securityName : "", answer->securityNameLen);
    usm->set_security_name(name.c_str());
    if (answer->securityLevel < 1 || answer->securityLevel > 3) return kErrBadArgument;
    usm->set_security_level(answer->securityLevel - 1);
    const std::string context(answer->contextName ? answer->contextName : "", answer->contextNameLen);
    usm->set_context_name(context.c_str());
    if (IPmcNetworkAddress* sender = sender_of(session, answer); sender != nullptr) {
        target->set_address(sender);
        sender->release();
    }
    usm->set_engine_id(answer->securityEngineID, static_cast<std::uint32_t>(answer->securityEngineIDLen));

    std::int32_t code = kOk;
    IPmsVarBindList* list = pdu->get_bindings();
    if (list == nullptr) {
        list = pms_create_varbind_list(&code);
        if (list == nullptr) return code;
        pdu->set_bindings(list);
    }
    std::uint32_t index = 0;
    for (const netsnmp_variable_list* variable = answer->variables; variable != nullptr;
         variable = variable->next_variable, ++index) {
        const std::int32_t tag = tag_of(variable->type);
        if (tag < 0) return kErrUnavailable;
        IPmsVarBind* binding = list->get(index);
        if (binding == nullptr) {
            binding = pms_create_varbind(&code);
            if (binding == nullptr) return code;
            if (code = list->append(binding); code != kOk) {
                binding->release();
                return code;
            }
        }
        IPmsOid* name_oid = binding->get_oid();
        if (name_oid == nullptr) {
            name_oid = pms_create_oid(&code);
            if (name_oid == nullptr) return code;
            binding->set_oid(name_oid);
        }
        name_oid->as_value()->clear();
        for (std::size_t i = 0; i < variable->name_length; ++i)
            name_oid->append(static_cast<std::uint32_t>(variable->name[i]));
        IPmsValue* value = binding->get_value();
        if (value == nullptr || value->get_type() != tag) {
            value = pms_create_value(tag, &code);
            if (value == nullptr) return code;
            binding->set_value(value);
        }
        if (code = fill_value(value, variable); code != kOk) return code;
    }
    while (list->get_count() > index) list->remove(list->get_count() - 1, nullptr);
    pdu->set_type(type_of(answer->command));
    pdu->set_request_id(static_cast<std::int32_t>(answer->reqid));
    const long status = answer->errstat;
    pdu->set_error_status(status >= 0 && status <= kHighestErrorStatus ? static_cast<std::int32_t>(status)
                                                                       : kStatusOfUnknownError);
    pdu->set_error_index(static_cast<std::int32_t>(answer->errindex));
    if (pdu->get_error_status() != 0) {
        list->set_error(pdu->get_error_status(), static_cast<std::uint32_t>(pdu->get_error_index()));
    } else {
        list->set_status(0);
    }
    return kOk;
}

// Opens a library session for a USM target: user, level, protocols, keys,
// context and the transport to the peer. The engine ID the target holds is
// not given to it: the caller probes for the engine's ID itself, so that no
// library call waits for an answer (the library would probe at opening and
// before its first request, holding the library lock while it waits).
std::int32_t open_session(IPmsSnmpTarget* target, IPmsUsm* usm, void** out) {
    *out = nullptr;
    const IPmcNetworkAddress* address = target->get_address();
    if (address == nullptr) return kErrBadArgument;
    netsnmp_session settings;
    snmp_sess_init(&settings);
    if (target->get_version() != pms_version::kV3) return kErrBadArgument;
    settings.version = SNMP_VERSION_3;
    settings.retries = target->get_retries();
    settings.timeout = static_cast<long>(target->get_timeout()) * 1000L;

    char security_name[pms_usm::kMaxSecurityNameLength + 1] = {};
    std::strncpy(security_name, usm->get_security_name(), pms_usm::kMaxSecurityNameLength);
    settings.securityName = security_name;
    settings.securityNameLen = std::strlen(security_name);
    const int level = library_level(usm->get_security_level());
    if (level < 0) return kErrBadArgument;
    settings.securityLevel = level;
    if (level >= SNMP_SEC_LEVEL_AUTHNOPRIV) {
        const oid* auth = auth_protocol_oid(usm->get_auth_protocol());
        if (auth == nullptr) return kErrBadArgument;
        settings.securityAuthProto = const_cast<oid*>(auth);
        settings.securityAuthProtoLen = USM_AUTH_PROTO_MD5_LEN;
        if (*usm->get_auth_passphrase() != '\0') {
            std::size_t length = 0;
            if (const std::int32_t code = netsnmp::user_key(usm->get_auth_protocol(), usm->get_auth_passphrase(),
                                                            settings.securityAuthKey, &length);
                code != kOk) {
                return code;
            }
            settings.securityAuthKeyLen = length;
        }
    }
    if (level == SNMP_SEC_LEVEL_AUTHPRIV) {
        const oid* priv = priv_protocol_oid(usm->get_priv_protocol());
        if (priv == nullptr) return kErrBadArgument;
        settings.securityPrivProto = const_cast<oid*>(priv);
        settings.securityPrivProtoLen = USM_PRIV_PROTO_DES_LEN;
        if (*usm->get_priv_passphrase() != '\0') {
            std::size_t length = 0;
            if (const std::int32_t code = netsnmp::user_key(usm->get_auth_protocol(), usm->get_priv_passphrase(),
                                                            settings.securityPrivKey, &length);
                code != kOk) {
                return code;
            }
            settings.securityPrivKeyLen = length;
        }
    }
    const std::string context = usm->get_context_name();
    settings.contextName = const_cast<char*>(context.c_str());
    settings.contextNameLen = context.size();

    settings.flags |= SNMP_FLAGS_DONT_PROBE;
    // The library talks through our socket layer; the session owns the
    // transport from here on, also when it cannot be opened.
    std::int32_t code = kOk;
    netsnmp_transport* transport = netsnmp::create_transport(address, target->get_port(), &code);
    if (transport == nullptr) return code;
    *out = snmp_sess_add(&settings, transport, nullptr, nullptr);
    if (*out == nullptr) {
        netsnmp::log_error(nullptr, "snmp_open");
        return kErrBadArgument;
    }
    // The library would otherwise still probe before the first request.
    snmp_sess_session(*out)->flags |= SNMP_FLAGS_DONT_PROBE;
    return kOk;
}

// An engine that cannot be asked (its answer unreadable, the user refused,
// nothing received or no answer in time) is left out of a discovery; any
// other failure ends it.
bool skips_engine(std::int32_t result) {
    return result == kErrDecode || result == kErrAuthentication || result == kErrReceive || result == kErrTimeout;
}

// The engines one discovery found: one USM target (address and engine ID)
// per answering address, in the order they answered.
struct Discovery {
    Discovery() = default;
    Discovery(const Discovery&) = delete;
    Discovery& operator=(const Discovery&) = delete;
    ~Discovery() {
        for (IPmsSnmpTarget* engine : engines) engine->release();
    }
    void* session = nullptr;                 // the library session the probe went out on
    netsnmp::LibraryUse* library = nullptr;  // paused while waiting for answers
    std::vector<IPmsSnmpTarget*> engines;
};

void add_engine(Discovery* discovery, const IPmcNetworkAddress* sender, const netsnmp_pdu* answer) {
    const std::size_t length = std::strlen(sender->text());
    for (const IPmsSnmpTarget* known : discovery->engines) {
        const IPmcNetworkAddress* address = known->get_address();
        if (address == nullptr || address->text() == nullptr) return;
        if (std::strlen(address->text()) == length && std::memcmp(address->text(), sender->text(), length) == 0) {
            return;  // this engine answered before
        }
    }
    std::int32_t code = kOk;
    IPmsUsm* engine = pms_create_usm_target(&code);
    if (engine == nullptr) return;
    if (engine->set_address(sender) != kOk ||
        engine->set_engine_id(answer->securityEngineID, static_cast<std::uint32_t>(answer->securityEngineIDLen)) !=
            kOk) {
        engine->release();
        return;
    }
    try {
        discovery->engines.push_back(engine);
    } catch (const std::bad_alloc&) {
        engine->release();
    }
}

// Called by the library for every message that answers the probe. The
// probe stays open (0), since every engine that heard it may answer.
int broadcast_callback(int operation, netsnmp_session*, int, netsnmp_pdu* answer, void* magic) {
    TraceScope trace(snmp_logger(), "broadcast_callback");
    auto* discovery = static_cast<Discovery*>(magic);
    if (operation != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE || answer == nullptr) return 0;
    if (IPmcNetworkAddress* sender = sender_of(discovery->session, answer); sender != nullptr) {
        add_engine(discovery, sender, answer);
        sender->release();
    }
    return 0;
}

// An engine-ID probe: an empty GET of no user without authentication,
// which every SNMPv3 engine answers with a Report carrying its engine ID.
netsnmp_pdu* build_probe_pdu() {
    netsnmp_pdu* probe = snmp_pdu_create(SNMP_MSG_GET);
    if (probe == nullptr) return nullptr;
    probe->version = SNMP_VERSION_3;
    probe->securityName = static_cast<char*>(std::calloc(1, 1));
    probe->securityNameLen = 0;
    probe->securityLevel = SNMP_SEC_LEVEL_NOAUTH;
    probe->securityModel = SNMP_SEC_MODEL_USM;
    return probe;
}

// The result code of a library session's last error.
std::int32_t session_result(void* session) {
    int system_error = 0;
    int library_error = 0;
    char* text = nullptr;
    snmp_sess_error(session, &system_error, &library_error, &text);
    std::free(text);
    return netsnmp::result_of(library_error);
}

// Waits up to timeout_ms until the session's socket has a message, then
// lets the library read it. Only this thread reads that socket, so other
// threads may use the library meanwhile. 0 when a message was read, -203
// when the time passed, -204 when the wait failed.
std::int32_t read_when_ready(void* session, netsnmp::LibraryUse* library, std::int32_t timeout_ms) {
    netsnmp_transport* transport = snmp_sess_transport(session);
    const DataGramSocket* datagram_socket = netsnmp::socket_of(transport);
    if (datagram_socket == nullptr) return kErrReceive;
    library->pause();
    const std::int32_t waited = tolv::transport::wait_readable(datagram_socket->handle(), timeout_ms);
    library->resume();
    if (waited != kOk) return waited;
    // A set that grows to the socket's number: a process may hold more
    // descriptors than a plain fd_set has room for.
    netsnmp_large_fd_set readable;
    netsnmp_large_fd_set_init(&readable, FD_SETSIZE);
    NETSNMP_LARGE_FD_ZERO(&readable);
    NETSNMP_LARGE_FD_SET(transport->sock, &readable);
    snmp_sess_read2(session, &readable);
    netsnmp_large_fd_set_cleanup(&readable);
    return kOk;
}

// One request and its answer. It begins like the library's own state of a
// synchronous request (a flag cleared when the wait is over, the outcome,
// the request ID, the answer), as the library may treat it as such.
struct Exchange {
    int waiting = 1;
    int status = STAT_ERROR;  // STAT_SUCCESS, STAT_ERROR or STAT_TIMEOUT
    int request_id = 0;
    netsnmp_pdu* answer = nullptr;  // a copy of the Response: the exchange's to free
    // The engine ID the answer (a Report to a probe, too) came with.
    u_char engine_id[SNMP_MAX_ENG_SIZE] = {};
    std::size_t engine_id_length = 0;

    Exchange() = default;
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;
    ~Exchange() {
        if (answer != nullptr) snmp_free_pdu(answer);
    }
};

// Called by the library when the request is answered, refused by a Report,
// timed out or lost; a Report that the engine's time was wrong is followed
// by the library sending the request again, so the wait goes on.
int exchange_callback(int operation, netsnmp_session* session, int, netsnmp_pdu* message, void* magic) {
    auto* exchange = static_cast<Exchange*>(magic);
    switch (operation) {
        case NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE:
            if (message == nullptr) return 1;
            exchange->engine_id_length = std::min<std::size_t>(message->securityEngineIDLen, SNMP_MAX_ENG_SIZE);
            if (exchange->engine_id_length != 0)
                std::memcpy(exchange->engine_id, message->securityEngineID, exchange->engine_id_length);
            if (message->command == SNMP_MSG_REPORT) {
                session->s_snmp_errno = snmpv3_get_report_type(message);
                exchange->status = STAT_ERROR;
                exchange->waiting = session->s_snmp_errno == SNMPERR_NOT_IN_TIME_WINDOW;
            } else if (message->command == SNMP_MSG_RESPONSE) {
                if (exchange->answer != nullptr) snmp_free_pdu(exchange->answer);
                exchange->answer = snmp_clone_pdu(message);
                exchange->status = exchange->answer != nullptr ? STAT_SUCCESS : STAT_ERROR;
                session->s_snmp_errno = exchange->answer != nullptr ? SNMPERR_SUCCESS : SNMPERR_MALLOC;
                exchange->waiting = 0;
            } else {
                session->s_snmp_errno = SNMPERR_PROTOCOL;
                exchange->status = STAT_ERROR;
                exchange->waiting = 0;
            }
            return 1;
        case NETSNMP_CALLBACK_OP_TIMED_OUT:
            session->s_snmp_errno = SNMPERR_TIMEOUT;
            exchange->status = STAT_TIMEOUT;
            exchange->waiting = 0;
            return 1;
        case NETSNMP_CALLBACK_OP_SEND_FAILED:
        case NETSNMP_CALLBACK_OP_DISCONNECT:
            if (session->s_snmp_errno == SNMPERR_SUCCESS) session->s_snmp_errno = SNMPERR_ABORT;
            exchange->status = STAT_ERROR;
            exchange->waiting = 0;
            return 1;
        default:  // sent again, or a message that failed its security checks: wait on
            return 1;
    }
}

// Sends `request` (the library's from here on) and waits for its outcome,
// sending it again as the session's retries allow; other threads use the
// library while it waits. A failure is left in the session's error. A wait
// ended early leaves the request with the library: `exchange` must live
// until the session is closed.
void run_exchange(void* session, netsnmp_pdu* request, netsnmp::LibraryUse* library, Exchange* exchange) {
    exchange->request_id = snmp_sess_async_send(session, request, exchange_callback, exchange);
    if (exchange->request_id == 0) {
        snmp_free_pdu(request);
        exchange->waiting = 0;
        return;
    }
    // Every try, and one more for a send again after a Report, within the
    // time-out each (and a second to spare): a wait beyond that is ended
    // here whatever the library thinks, so an exchange never hangs.
    const netsnmp_session* opened = snmp_sess_session(session);
    const auto tries = static_cast<std::uint64_t>(std::max(opened->retries, 0) + 2);
    const std::uint64_t allowed_ms = tries * static_cast<std::uint64_t>(std::max(opened->timeout, 0L) / 1000) + 1000;
    const std::uint32_t start = platform::tick_count();
    while (exchange->waiting) {
        if (platform::tick_count() - start > allowed_ms) {
            snmp_sess_session(session)->s_snmp_errno = SNMPERR_TIMEOUT;
            exchange->status = STAT_TIMEOUT;
            return;
        }
        int descriptors = 0;
        netsnmp_large_fd_set readable;
        netsnmp_large_fd_set_init(&readable, FD_SETSIZE);
        NETSNMP_LARGE_FD_ZERO(&readable);
        timeval until_next_try{};
        int block = 1;
        snmp_sess_select_info2(session, &descriptors, &readable, &until_next_try, &block);
        netsnmp_large_fd_set_cleanup(&readable);
        if (block != 0) {  // nothing outstanding any more
            snmp_sess_session(session)->s_snmp_errno = SNMPERR_ABORT;
            return;
        }
        const long wait_ms = until_next_try.tv_sec * 1000L + (until_next_try.tv_usec + 999) / 1000;
        const std::int32_t waited =
            read_when_ready(session, library, static_cast<std::int32_t>(std::min<long>(wait_ms, 0x7FFFFFFF)));
        if (waited == kErrTimeout) {
            snmp_sess_timeout(session);  // sends again, or ends the exchange as timed out
        } else if (waited != kOk) {
            snmp_sess_session(session)->s_snmp_errno = SNMPERR_BAD_RECVFROM;
            return;
        }
    }
}

// Learns the ID of the engine behind the session by an engine-ID probe and
// gives it to the session, which from then on builds its requests for that
// engine. `exchange` must live until the session is closed.
std::int32_t learn_engine_id(void* session, netsnmp::LibraryUse* library, Exchange* exchange) {
    netsnmp_pdu* probe = build_probe_pdu();
    if (probe == nullptr) {
        netsnmp::log_error(session, "snmpv3_build_probe_pdu");
        return kErrNoMemory;
    }
    run_exchange(session, probe, library, exchange);
    if (exchange->engine_id_length == 0) {
        netsnmp::log_error(session, "snmpv3_engineID_probe");
        const std::int32_t result = session_result(session);
        return result != kOk ? result : kErrReceive;
    }
    netsnmp_session* opened = snmp_sess_session(session);
    SNMP_FREE(opened->securityEngineID);
    SNMP_FREE(opened->contextEngineID);
    opened->securityEngineIDLen = 0;
    opened->contextEngineIDLen = 0;
    opened->securityEngineID = static_cast<u_char*>(netsnmp_memdup(exchange->engine_id, exchange->engine_id_length));
    opened->contextEngineID = static_cast<u_char*>(netsnmp_memdup(exchange->engine_id, exchange->engine_id_length));
    if (opened->securityEngineID == nullptr || opened->contextEngineID == nullptr) return kErrNoMemory;
    opened->securityEngineIDLen = exchange->engine_id_length;
    opened->contextEngineIDLen = exchange->engine_id_length;
    return kOk;
}

// Sends the probe once per try and collects the engines that answer within
// the target's time-out; the end of the waiting time ends the collection.
std::int32_t probe_engines(void* session, const IPmsSnmpTarget* target, Discovery* discovery) {
    DataGramSocket* datagram_socket = netsnmp::socket_of(snmp_sess_transport(session));
    if (datagram_socket == nullptr) return kErrBadArgument;
    if (const std::int32_t code = datagram_socket->set_broadcast(true); code != kOk) return code;
    const auto timeout = static_cast<std::uint32_t>(std::max<std::int32_t>(target->get_timeout(), 0));
    for (std::int32_t attempt = 0; attempt <= std::max<std::int32_t>(target->get_retries(), 0); ++attempt) {
        netsnmp_pdu* probe = build_probe_pdu();
        if (probe == nullptr) {
            netsnmp::log_error(session, "snmpv3_build_probe_pdu");
            return kErrNoMemory;
        }
        if (snmp_sess_async_send(session, probe, broadcast_callback, discovery) == 0) {
            netsnmp::log_error(session, "snmp_sess_synch_response_cb");
            snmp_free_pdu(probe);
            return session_result(session);
        }
        const std::uint32_t start = platform::tick_count();
        for (std::uint32_t spent = 0; spent < timeout; spent = platform::tick_count() - start) {
            const std::int32_t waited =
                read_when_ready(session, discovery->library, static_cast<std::int32_t>(timeout - spent));
            if (waited == kErrTimeout) break;
            if (waited != kOk) return waited;
        }
    }
    return kOk;
}

// Collects one USM target per engine that answers a probe sent to the
// target's (broadcast) address.
std::int32_t get_engine_id_broad_cast(IPmsSnmpTarget* target, Discovery* discovery) {
    TraceScope trace(snmp_logger(), "v3RequestSession::get_engine_id_broad_cast");
    if (target == nullptr || discovery == nullptr) return kErrBadArgument;
    IPmsUsm* usm = usm_of(target);
    if (usm == nullptr) return kErrNotSupported;
    void* session = nullptr;
    if (const std::int32_t code = open_session(target, usm, &session); code != kOk) return code;
    discovery->session = session;
    const std::int32_t result = probe_engines(session, target, discovery);
    discovery->session = nullptr;
    snmp_sess_close(session);
    return result;
}

}  // namespace

std::int32_t v3RequestSession::send_sync(IPmsPdu* pdu, IPmsSnmpTarget* target) {
    TraceScope trace(snmp_logger(), "v3RequestSession::send_sync(IPmsSnmpPacket*)");
    netsnmp::LibraryUse library;
    return send_sync_internal(pdu, target, &library);
}

std::int32_t v3RequestSession::send_sync(IPmsSnmpPacket* packet) {
    TraceScope trace(snmp_logger(), "v3RequestSession::send_sync(IPmsSnmpPacket*)");
    if (packet == nullptr) return kErrBadArgument;
    return with_packet_parts(packet, [this](IPmsPdu* pdu, IPmsSnmpTarget* target) { return send_sync(pdu, target); });
}

std::int32_t v3RequestSession::send_broad_cast_sync(IPmsSnmpPacket* packet, IPmsSnmpPacketList** out) {
    TraceScope trace(snmp_logger(), "v3RequestSession::send_broad_cast_sync(IPmsSnmpPacket*, IPmsSnmpPacketList**)");
    if (packet == nullptr) return kErrBadArgument;
    return with_packet_parts(
        packet, [this, out](IPmsPdu* pdu, IPmsSnmpTarget* target) { return send_broad_cast_sync(pdu, target, out); });
}

std::int32_t v3RequestSession::send_broad_cast_sync(IPmsPdu* pdu, IPmsSnmpTarget* target, IPmsSnmpPacketList** out) {
    netsnmp::LibraryUse library;
    TraceScope trace(snmp_logger(),
                     "v3RequestSession::send_broad_cast_sync(IPmsPdu*, IPmsSnmpTarget*, IPmsSnmpPacketList**)");
    if (pdu == nullptr || target == nullptr || out == nullptr) return kErrBadArgument;
    *out = nullptr;
    Discovery discovery;
    discovery.library = &library;
    if (const std::int32_t code = get_engine_id_broad_cast(target, &discovery); code != kOk) return code;
    std::int32_t result = kOk;
    IPmsSnmpPacketList* list = pms_create_packet_list(&result);
    if (list == nullptr) return result;

    for (IPmsSnmpTarget* engine : discovery.engines) {
        std::int32_t code = kOk;
        IPmsSnmpTarget* engine_target = target->clone(&code);
        if (engine_target == nullptr) continue;
        IPmsUsm* usm = usm_of(engine_target);
        const IPmsUsm* found = usm_of(engine);
        if (usm == nullptr || found == nullptr) {
            engine_target->release();
            list->release();
            return kErrBadArgument;
        }
        engine_target->set_address(engine->get_address());
        const IPmcByteString* engine_id = found->get_engine_id();
        usm->set_engine_id(engine_id ? engine_id->get_data() : nullptr, engine_id ? engine_id->get_length() : 0);
        IPmsPdu* request = pdu->clone(&code);
        if (request == nullptr) {
            engine_target->release();
            continue;
        }
        result = send_sync_internal(request, engine_target, &library);
        IPmsSnmpPacket* packet = result == kOk ? pms_create_packet(&result) : nullptr;
        if (packet == nullptr) {
            request->release();
            engine_target->release();
            if (skips_engine(result)) continue;
            break;
        }
        packet->set_pdu(request);
        packet->set_target(engine_target);
        if (result = list->add_tail(packet); result != kOk) {
            packet->release();
            break;
        }
    }
    if (result != kOk && !skips_engine(result)) {
        list->release();
        return result;
    }
    *out = list;
    return kOk;
}

std::int32_t v3RequestSession::send_sync_internal(IPmsPdu* pdu, IPmsSnmpTarget* target, netsnmp::LibraryUse* library) {
    TraceScope trace(snmp_logger(), "v3RequestSession::send_sync_internal(IPmsPdu*, IPmsSnmpTarget*)");
    if (pdu == nullptr || target == nullptr) return kErrBadArgument;
    IPmsUsm* usm = usm_of(target);
    if (usm == nullptr) return kErrNotSupported;  // a community target
    if (target->get_address() == nullptr) return kErrBadArgument;
    pdu->set_request_id(next_request_id());

    // The library may still call back for a request whose wait was ended
    // early, up to the session's close: both exchanges outlive the session.
    Exchange probe;
    Exchange exchange;
    void* session = nullptr;
    if (const std::int32_t code = open_session(target, usm, &session); code != kOk) return code;
    std::int32_t result = kOk;
    netsnmp_pdu* request = nullptr;
    const int command = command_of(pdu->get_type());
    if (command < 0) {
        result = kErrBadArgument;
    } else if ((request = snmp_pdu_create(command)) == nullptr) {
        netsnmp::log_error(session, "snmp_pdu_create");
        result = kErrNoMemory;
    } else {
        request->reqid = pdu->get_request_id();
        const IPmsVarBindList* bindings = pdu->get_bindings();
        for (std::uint32_t i = 0; result == kOk && bindings != nullptr && i < bindings->get_count(); ++i) {
            const IPmsVarBind* binding = bindings->get(i);
            if (binding->get_oid() == nullptr || binding->get_value() == nullptr) {
                result = kErrBadArgument;
                break;
            }
            oid name[kMaxOid];
            std::size_t name_length = kMaxOid;
            std::uint32_t text_length = 0;
            const auto* bytes = binding->get_oid()->as_value()->get_bytes(&text_length, nullptr);
            const std::string name_text(reinterpret_cast<const char*>(bytes), text_length);
            if (snmp_parse_oid(name_text.c_str(), name, &name_length) == nullptr) {
                netsnmp::log_error(session, "snmp_parse_oid");
                result = kErrBadArgument;
                break;
            }
            const IPmsValue* value = binding->get_value();
            if (value->get_type() == pms_tag::kNull) {
                snmp_add_null_var(request, name, name_length);
                continue;
            }
            const char letter = letter_of(value->get_type());
            if (letter == 0) {
                result = kErrNotSupported;
                break;
            }
            IPmcByteString* printed = value->to_text(static_cast<std::int32_t*>(nullptr));
            const char* text = printed && printed->get_length() ? printed->get_data() : "";
            if (const int status = snmp_add_var(request, name, name_length, letter, text); status != 0) {
                netsnmp::log_error(session, "snmp_add_var");
                result = netsnmp::result_of(status);
            }
            if (printed != nullptr) printed->release();
        }
    }
    if (result == kOk) result = learn_engine_id(session, library, &probe);
    if (result == kOk) result = library->hold_user(snmp_sess_session(session));
    if (result != kOk) {
        if (request != nullptr) snmp_free_pdu(request);
        snmp_sess_close(session);
        return result;
    }

    run_exchange(session, request, library, &exchange);
    if (exchange.status != STAT_SUCCESS) {
        netsnmp::log_error(session, "snmp_synch_response");
        result = exchange.status == STAT_TIMEOUT ? kErrTimeout : session_result(session);
        if (result == kOk) result = kErrReceive;
    }
    if (exchange.answer != nullptr) {
        const std::int32_t read = read_answer(session, exchange.answer, pdu, target);
        if (result == kOk) result = read;
    }
    library->release_user(snmp_sess_session(session));
    snmp_sess_close(session);
    return result;
}

IPmsSession* pms_create_v3_request_session(std::int32_t* result) {
    auto* session = create<v3RequestSession>();
    if (session == nullptr) return fail<IPmsSession>(result, kErrNoMemory);
    set_result(result, kOk);
    return session;
}
