#include "v3_users.h"

#include "snmp/target.h"
#include "transport/network_address.h"

namespace tolv::testing {

IPmsUsm* usm_target(const V3User& user, const char* address, std::uint16_t port, std::int32_t timeout_ms) {
    IPmsUsm* usm = pms_create_usm_target(nullptr);
    usm->set_version(pms_version::kV3);
    usm->set_timeout(timeout_ms);
    usm->set_retries(0);
    usm->set_security_name(user.name);
    usm->set_security_level(user.level);
    usm->set_auth_protocol(user.auth);
    usm->set_priv_protocol(user.priv);
    usm->set_auth_passphrase(user.auth_phrase);
    usm->set_priv_passphrase(user.priv_phrase);
    usm->set_context_name("public");
    IPmcNetworkAddress* where = pmc_create_network_address(nullptr);
    where->set_text(address);
    where->set_port(port);
    usm->set_address(where);
    where->release();
    return usm;
}

}  // namespace tolv::testing
