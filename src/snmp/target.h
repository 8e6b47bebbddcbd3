// The two kinds of target: community (SNMPv1/v2c) and USM (SNMPv3). Both
// share the common contents held by CPmsTargetBase.
#pragma once

#include "common/allocation.h"
#include "common/text.h"
#include "tolvcomm/target.h"

class CPmsTargetBase : public virtual IPmsSnmpTarget, public tolv::PooledObject {
public:
    CPmsTargetBase() = default;
    CPmsTargetBase(const CPmsTargetBase&) = delete;
    CPmsTargetBase& operator=(const CPmsTargetBase&) = delete;

    std::int32_t query_interface(std::int32_t id, void** out) override;
    void set_version(std::int32_t version) override { version_ = version; }
    void set_timeout(std::int32_t timeout_ms) override { timeout_ = timeout_ms; }
    void set_retries(std::int32_t retries) override { retries_ = retries; }
    void set_max_size(std::int32_t max_size) override { max_size_ = max_size; }
    void set_port(std::uint16_t local_port) override { local_port_ = local_port; }
    std::int32_t get_version() const override { return version_; }
    std::int32_t get_timeout() const override { return timeout_; }
    std::int32_t get_retries() const override { return retries_; }
    std::int32_t get_max_size() const override { return max_size_; }
    std::uint16_t get_port() const override { return local_port_; }
    std::int32_t set_address(const IPmcNetworkAddress* address) override;
    IPmcNetworkAddress* get_address() const override { return address_; }

protected:
    virtual ~CPmsTargetBase();
    // The part of this kind answered for `id` (2/3 community, 4/5 USM), or null.
    virtual void* kind_part(std::int32_t id) = 0;
    // Copies what every target has; the kinds add their own contents.
    std::int32_t copy_common(const IPmsSnmpTarget* source);

private:
    std::int32_t version_ = -1;
    std::int32_t timeout_ = -1;
    std::int32_t retries_ = 0;
    std::int32_t max_size_ = 0;
    IPmcNetworkAddress* address_ = nullptr;
    std::uint16_t local_port_ = 0;
};

class CPmsCommunityTarget final : public CPmsTargetBase, public virtual IPmsCommunity {
public:
    std::int32_t accept(IPmsTranslator* translator) override;
    void release() override { delete this; }
    void clear() override { set_community(nullptr); }
    IPmsSnmpTarget* clone(std::int32_t* result) const override;
    std::int32_t copy(const IPmsSnmpTarget* source) override;
    bool equals(const IPmsSnmpTarget* other) const override;
    std::int32_t get_security_model() const override { return pms_security_model::kCommunity; }
    std::int32_t set_community(const char* community) override;
    const char* get_community() const override { return has_community_ ? community_.c_str() : nullptr; }

protected:
    void* kind_part(std::int32_t id) override;

private:
    tolv::Text community_;
    bool has_community_ = false;
};

class CPmsUsmTarget final : public CPmsTargetBase, public virtual IPmsUsm {
public:
    CPmsUsmTarget();
    std::int32_t accept(IPmsTranslator* translator) override;
    void release() override { delete this; }
    void clear() override {}
    IPmsSnmpTarget* clone(std::int32_t* result) const override;
    std::int32_t copy(const IPmsSnmpTarget* source) override;
    bool equals(const IPmsSnmpTarget* other) const override;
    std::int32_t get_security_model() const override { return pms_security_model::kUsm; }

    const char* get_security_name() const override { return security_name_.c_str(); }
    std::int32_t get_security_level() const override { return security_level_; }
    std::int32_t get_auth_protocol() const override { return auth_protocol_; }
    std::int32_t get_priv_protocol() const override { return priv_protocol_; }
    const char* get_auth_passphrase() const override { return auth_passphrase_.c_str(); }
    const char* get_priv_passphrase() const override { return priv_passphrase_.c_str(); }
    const char* get_context_name() const override { return context_name_.c_str(); }
    IPmcByteString* get_engine_id() const override { return engine_id_; }
    std::int32_t set_security_name(const char* name) override;
    std::int32_t set_security_level(std::int32_t level) override;
    std::int32_t set_auth_protocol(std::int32_t protocol) override;
    std::int32_t set_priv_protocol(std::int32_t protocol) override;
    std::int32_t set_auth_passphrase(const char* passphrase) override { return auth_passphrase_.set(passphrase); }
    std::int32_t set_priv_passphrase(const char* passphrase) override { return priv_passphrase_.set(passphrase); }
    std::int32_t set_context_name(const char* context) override { return context_name_.set(context); }
    std::int32_t set_engine_id(const void* data, std::uint32_t length) override;

    bool is_complete() const { return engine_id_ != nullptr; }

protected:
    ~CPmsUsmTarget() override;
    void* kind_part(std::int32_t id) override;

private:
    tolv::Text security_name_;
    std::int32_t security_level_ = 0;
    std::int32_t auth_protocol_ = 0;
    std::int32_t priv_protocol_ = 0;
    tolv::Text auth_passphrase_;
    tolv::Text priv_passphrase_;
    tolv::Text context_name_;
    IPmcByteString* engine_id_;
};

IPmsSnmpTarget* pms_create_target(std::int32_t model, std::int32_t* result);
IPmsCommunity* pms_create_community_target(std::int32_t* result);
IPmsUsm* pms_create_usm_target(std::int32_t* result);
