// IPmcGetData: reads and writes the values of a list of OIDs of one
// device, also as a table walk. Exported by libtolvcomm.
//
//     IPmcGetData* data = pmc_create_get_data(nullptr);
//     data->init("192.0.2.10", IPmcNetworkAddress::IPv4, 161, 0, nullptr, 0, 0, 0,
//                nullptr, nullptr, nullptr, 3000, 2, 0);
//     data->add_oid_string("1.3.6.1.2.1.1.5", true);
//     char name[256];
//     data->get_text(name, sizeof name);
//     data->release();
#pragma once

#include <cstdint>

#include "tolvcomm/export.h"
#include "tolvcomm/network_address.h"
#include "tolvcomm/ptr_list.h"

class IPmcGetData {
public:
    virtual void release() = 0;
    // Copies the community (at most 255 characters) used by a later init();
    // returns the bytes copied, NUL included.
    virtual std::int32_t set_community(const char* community) = 0;
    virtual std::int32_t init(const char* address, IPmcNetworkAddress::EProtocol protocol, std::uint16_t port,
                              std::int32_t version, const char* security_name, std::int32_t security_level,
                              std::int32_t auth_protocol, std::int32_t priv_protocol, const char* auth_passphrase,
                              const char* priv_passphrase, const char* context_name, std::int32_t timeout_ms,
                              std::int32_t retries, std::uint32_t max_message_size) = 0;
    virtual std::int32_t add_oid_string(const char* oid, bool add_instance_zero) = 0;
    virtual std::int32_t add_oid_string(const char* oid, const char* instance, std::int32_t value) = 0;
    virtual std::int32_t set_data() = 0;
    // Walks the subtree of root_oid with GetNextRequests: one PDU per answer.
    virtual std::int32_t get_data(IPmcPtrList<IPmsPdu>* rows, const char* root_oid) = 0;
    // The text of the first answered value; `text` must hold it (see get_text).
    virtual std::int32_t get_data(char* text) = 0;
    virtual std::int32_t get_data(std::int32_t* values, std::int32_t count) = 0;
    virtual std::int32_t get_data(std::int32_t* value) = 0;
    virtual std::int32_t get_address_protocol(const char* address, IPmcNetworkAddress::EProtocol* protocol) = 0;
    virtual ~IPmcGetData() = default;
    // Added after the fixed slots: get_data(char*) with the buffer's size.
    // A longer text is cut to size - 1 characters and NUL-terminated, and
    // -7 is returned (the binding is consumed all the same).
    virtual std::int32_t get_text(char* text, std::uint32_t size) = 0;
};

// A new GetData object (community "public"); null with -3 without memory.
TOLV_API IPmcGetData* pmc_create_get_data(std::int32_t* result);
