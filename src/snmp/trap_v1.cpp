#include "snmp/trap_v1.h"

#include "log/module_logger.h"
#include "snmp/ber_tags.h"
#include "tolvcomm/result_codes.h"

namespace tolv {
namespace {
constexpr std::int32_t kEnterpriseSpecific = 6;
}

std::int32_t trap_v1_fields_of(const IPmsPdu* pdu, TrapV1Fields* out) {
    const IPmsOid* trap_oid = pdu->get_trap_oid();
    if (pdu->get_timestamp() == nullptr || trap_oid == nullptr) return kErrBadArgument;
    std::int32_t code = kOk;
    IPmsOid* copy = trap_oid->clone(&code);
    if (copy == nullptr) return code;
    const std::uint32_t count = copy->as_value()->get_count();
    if (count < 2 || copy->as_value()->get_element(count - 2, nullptr) != 0) {
        copy->release();
        return kErrBadArgument;
    }
    const std::uint32_t last = copy->as_value()->get_element(count - 1, nullptr);
    copy->erase(count - 2, 2);
    // Standard traps carry generic numbers 0 to 5 (last arc 1 to 6). Any
    // other last arc under the standard prefix is written as an
    // enterprise-specific trap, which reads back as the same trap OID.
    const bool standard = last >= 1 && last <= 6;
    if (standard && copy->compare(ber::kStandardTrapPrefix, nullptr) == pms_oid_relation::kEqual) {
        out->generic = static_cast<std::int32_t>(last - 1);
        out->specific = 0;
    } else {
        out->generic = kEnterpriseSpecific;
        out->specific = static_cast<std::int32_t>(last);
    }
    out->enterprise = copy;
    return kOk;
}

std::int32_t make_trap_oid(IPmsOid* enterprise, std::int32_t generic, std::int32_t specific) {
    if (generic == kEnterpriseSpecific) {
        std::int32_t code = enterprise->append(0u);
        if (code == kOk) code = enterprise->append(static_cast<std::uint32_t>(specific));
        return code;
    }
    if (static_cast<std::uint32_t>(generic) > 5) {
        log::snmp_logger().log(log_level::kError, "decode error: generic trap No. > 6. ");
        return kErrDecode;
    }
    std::int32_t code = enterprise->as_value()->set_text(ber::kStandardTrapPrefix);
    if (code == kOk) code = enterprise->append(0u);
    if (code == kOk) code = enterprise->append(static_cast<std::uint32_t>(generic + 1));
    return code;
}

}  // namespace tolv
