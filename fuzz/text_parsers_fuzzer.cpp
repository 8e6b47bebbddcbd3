// Reads arbitrary text through every parser of outside text: address texts
// (both resolvers), IPv6 group texts, the text forms of every value type,
// OID texts and the index forms taken back out of an OID.
#include <cstddef>
#include <cstdint>
#include <string>

#include "snmp/value_factory.h"
#include "tolvcomm/value.h"
#include "transport/address_resolver.h"
#include "transport/address_text.h"
#include "transport/network_address.h"

namespace {
const std::int32_t kTags[] = {pms_tag::kInteger,     pms_tag::kOctetString, pms_tag::kNull,
                              pms_tag::kObjectIdentifier, pms_tag::kIpAddress, pms_tag::kCounter32,
                              pms_tag::kGauge32,     pms_tag::kTimeTicks,   pms_tag::kOpaque,
                              pms_tag::kCounter64,   pms_tag::kIpv6Address, pms_tag::kNoSuchObject,
                              pms_tag::kUdpAddress,  pms_tag::kIpxAddress};

void release_text(IPmcByteString* text) {
    if (text != nullptr) text->release();
}

void through_resolver(IPmcAddressResolver& resolver, const char* text) {
    IPmcNetworkAddress::EProtocol protocol;
    resolver.get_protocol(text, &protocol);
    IPmcByteString* numeric = nullptr;
    resolver.to_numeric_text(text, &numeric);
    release_text(numeric);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* c = text.c_str();

    CPmcAddrInfoResolver addrinfo;
    CPmcHostentResolver hostent;
    through_resolver(addrinfo, c);
    through_resolver(hostent, c);
    if (IPmcNetworkAddress* address = pmc_create_network_address(nullptr)) {
        if (address->set_text(c) == 0) address->normalize();
        address->release();
    }
    std::uint8_t group[16];
    tolv::address_text::read_ipv6_group(c, group);

    IPmsOid* oid = pms_create_oid(nullptr);
    oid->as_value()->set_text(c);
    oid->as_value()->is_valid();
    oid->compare(c, nullptr);
    for (const std::int32_t tag : kTags) {
        if (IPmsValue* value = pms_create_value(tag, nullptr)) {
            if (value->set_text(c) == 0) release_text(value->to_text(static_cast<std::int32_t*>(nullptr)));
            value->append_index(oid, 0);
            value->release();
        }
        for (const std::int32_t implied : {0, 1}) {
            if (IPmsValue* taken = oid->peek_index(tag, nullptr, implied)) taken->release();
        }
    }
    oid->release();
    return 0;
}
