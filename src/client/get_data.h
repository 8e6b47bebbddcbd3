// CPmcGetData: the GetData client object. It owns one PDU (the request
// bindings, replaced by the answer after each exchange), a target and an
// address, and makes a new dispatcher for every request.
#pragma once

#include "common/allocation.h"
#include "tolvcomm/get_data.h"
#include "tolvcomm/pdu.h"
#include "tolvcomm/target.h"

class CPmcGetData final : public IPmcGetData, public tolv::PooledObject {
public:
    CPmcGetData();
    ~CPmcGetData() override;
    CPmcGetData(const CPmcGetData&) = delete;
    CPmcGetData& operator=(const CPmcGetData&) = delete;

    void release() override { delete this; }
    std::int32_t set_community(const char* community) override;
    std::int32_t init(const char* address, IPmcNetworkAddress::EProtocol protocol, std::uint16_t port,
                      std::int32_t version, const char* security_name, std::int32_t security_level,
                      std::int32_t auth_protocol, std::int32_t priv_protocol, const char* auth_passphrase,
                      const char* priv_passphrase, const char* context_name, std::int32_t timeout_ms,
                      std::int32_t retries, std::uint32_t max_message_size) override;
    std::int32_t add_oid_string(const char* oid, bool add_instance_zero) override;
    std::int32_t add_oid_string(const char* oid, const char* instance, std::int32_t value) override;
    std::int32_t set_data() override;
    std::int32_t get_data(IPmcPtrList<IPmsPdu>* rows, const char* root_oid) override;
    std::int32_t get_data(char* text) override;
    std::int32_t get_data(std::int32_t* values, std::int32_t count) override;
    std::int32_t get_data(std::int32_t* value) override;
    std::int32_t get_address_protocol(const char* address, IPmcNetworkAddress::EProtocol* protocol) override;
    std::int32_t get_text(char* text, std::uint32_t size) override;

    static constexpr std::uint32_t kMaxCommunity = 255;

private:
    // One request of the PDU's type through a new dispatcher.
    std::int32_t request(std::int32_t type);
    IPmsSnmpTarget* target() const;
    // Takes the first answered binding's value out of the PDU; -7 when none.
    std::int32_t take_first_value(IPmsValue** value);
    std::int32_t read_text(char* text, std::uint32_t size);

    IPmsPdu* pdu_ = nullptr;
    IPmsSnmpTarget* community_target_ = nullptr;
    IPmsSnmpTarget* usm_target_ = nullptr;
    IPmcNetworkAddress* address_ = nullptr;
    char community_[kMaxCommunity + 1];
    std::int32_t version_ = 0;
};
