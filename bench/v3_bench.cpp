// 200 sequential SNMPv3 authPriv GETs (SHA, AES) against the agent, each a
// complete exchange: through GetData, and through Net-SNMP's own library
// doing the same work per request (a new session, engine-ID discovery, keys
// from the pass phrases). Rounds of both alternate; the client CPU per GET
// (user + sys) and the ratio ours / Net-SNMP are the medians.
//
//   v3_bench ADDRESS PORT [ROUNDS]
#include <sys/resource.h>

// clang-format off
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tolvcomm/get_data.h"
#include "cpu_time.h"

namespace {
using tolv::bench::cpu_seconds;
using tolv::bench::median;
constexpr int kGets = 200;
constexpr const char* kUser = "shaaes";
constexpr const char* kAuth = "sha-auth-phrase";
constexpr const char* kPriv = "aes-priv-phrase";

double ours(const char* address, std::uint16_t port) {
    const double start = cpu_seconds();
    for (int i = 0; i < kGets; ++i) {
        IPmcGetData* data = pmc_create_get_data(nullptr);
        data->init(address, IPmcNetworkAddress::IPv4, port, 2, kUser, 2, 2, 2, kAuth, kPriv, "public", 3000, 1, 0);
        data->add_oid_string("1.3.6.1.2.1.1.5", true);
        char text[64];
        if (data->get_text(text, sizeof text) != 0) std::fprintf(stderr, "our GET failed\n");
        data->release();
    }
    return (cpu_seconds() - start) / kGets;
}

double netsnmp(const char* address, std::uint16_t port) {
    const std::string peer = std::string(address) + ":" + std::to_string(port);
    const double start = cpu_seconds();
    for (int i = 0; i < kGets; ++i) {
        netsnmp_session settings;
        snmp_sess_init(&settings);
        settings.peername = const_cast<char*>(peer.c_str());
        settings.version = SNMP_VERSION_3;
        settings.securityName = const_cast<char*>(kUser);
        settings.securityNameLen = std::strlen(kUser);
        settings.securityLevel = SNMP_SEC_LEVEL_AUTHPRIV;
        settings.securityAuthProto = usmHMACSHA1AuthProtocol;
        settings.securityAuthProtoLen = USM_AUTH_PROTO_SHA_LEN;
        settings.securityAuthKeyLen = USM_AUTH_KU_LEN;
        generate_Ku(settings.securityAuthProto, settings.securityAuthProtoLen, reinterpret_cast<const u_char*>(kAuth),
                    std::strlen(kAuth), settings.securityAuthKey, &settings.securityAuthKeyLen);
        settings.securityPrivProto = usmAESPrivProtocol;
        settings.securityPrivProtoLen = USM_PRIV_PROTO_AES_LEN;
        settings.securityPrivKeyLen = USM_PRIV_KU_LEN;
        generate_Ku(settings.securityAuthProto, settings.securityAuthProtoLen, reinterpret_cast<const u_char*>(kPriv),
                    std::strlen(kPriv), settings.securityPrivKey, &settings.securityPrivKeyLen);
        settings.contextName = const_cast<char*>("public");
        settings.contextNameLen = 6;
        settings.timeout = 3000000;
        void* session = snmp_sess_open(&settings);
        if (session == nullptr) {
            std::fprintf(stderr, "snmp_sess_open failed\n");
            continue;
        }
        netsnmp_pdu* request = snmp_pdu_create(SNMP_MSG_GET);
        oid name[] = {1, 3, 6, 1, 2, 1, 1, 5, 0};
        snmp_add_null_var(request, name, 9);
        netsnmp_pdu* answer = nullptr;
        if (snmp_sess_synch_response(session, request, &answer) != STAT_SUCCESS) std::fprintf(stderr, "GET failed\n");
        if (answer != nullptr) snmp_free_pdu(answer);
        snmp_sess_close(session);
    }
    return (cpu_seconds() - start) / kGets;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: v3_bench ADDRESS PORT [ROUNDS]\n");
        return 2;
    }
    const char* address = argv[1];
    const auto port = static_cast<std::uint16_t>(std::atoi(argv[2]));
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    // The library is set up the way the session sets it up (no files read).
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    ours(address, port);  // both set up the library once before measuring
    init_snmp("");
    std::vector<double> our_times, their_times, ratios;
    for (int round = 0; round < rounds; ++round) {
        our_times.push_back(ours(address, port));
        their_times.push_back(netsnmp(address, port));
        ratios.push_back(our_times.back() / their_times.back());
    }
    std::printf("SNMPv3 authPriv GET (SHA, AES), %d per round, %d rounds (medians):\n", kGets, rounds);
    std::printf("  GetData   %8.1f us client CPU per GET\n", median(our_times) * 1e6);
    std::printf("  Net-SNMP  %8.1f us client CPU per GET\n", median(their_times) * 1e6);
    std::printf("ratio GetData / Net-SNMP %.3f\n", median(ratios));
    return 0;
}
