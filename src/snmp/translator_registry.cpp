#include "snmp/translator_registry.h"

#include <cstring>

#include "common/allocation.h"
#include "snmp/packet.h"
#include "snmp/trans_stream_decoder.h"
#include "snmp/trans_stream_encoder.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

namespace {
class TransStreamFactory final : public IPmsTranslatorFactory {
public:
    const char* name() const override { return "TransStream"; }
    IPmsTranslator* create_encoder(std::int32_t* result) override { return made(create<CTransStreamEncoder>(), result); }
    IPmsTranslator* create_decoder(std::int32_t* result) override { return made(create<CTransStreamDecoder>(), result); }

private:
    static IPmsTranslator* made(IPmsTranslator* translator, std::int32_t* result) {
        if (result != nullptr) *result = translator ? kOk : kErrNoMemory;
        return translator;
    }
};

// A packet lent a PDU and target for one call, handing both back after.
class LentPacket {
public:
    LentPacket(IPmsPdu* pdu, IPmsSnmpTarget* target) {
        packet_.set_pdu(pdu);
        packet_.set_target(target);
        lent_target_ = target;
    }
    ~LentPacket() {
        packet_.take_pdu();
        // A target the decoder made for the call goes with the packet.
        if (packet_.get_target() == lent_target_) packet_.take_target();
    }
    IPmsSnmpPacket* get() { return &packet_; }

private:
    CPmsSnmpPacket packet_;
    IPmsSnmpTarget* lent_target_;
};

class Translator {
public:
    explicit Translator(IPmsTranslator* translator) : translator_(translator) {}
    ~Translator() {
        if (translator_ != nullptr) translator_->release();
    }
    IPmsTranslator* operator->() { return translator_; }
    explicit operator bool() const { return translator_ != nullptr; }

private:
    IPmsTranslator* translator_;
};
}  // namespace

std::int32_t CPmsTranslatorRegistry::select(const char* name) {
    if (name == nullptr) {
        current_ = nullptr;
        return kOk;
    }
    for (IPmsTranslatorFactory* factory : factories_) {
        if (std::strcmp(factory->name(), name) == 0) {
            current_ = factory;
            return kOk;
        }
    }
    return kErrBadArgument;
}

const char* CPmsTranslatorRegistry::current_name() const { return current_ ? current_->name() : nullptr; }

std::int32_t CPmsTranslatorRegistry::encode(IPmsPdu* pdu, IPmsSnmpTarget* target, IPmsPacketBuffer* buffer,
                                            std::uint32_t* count) {
    if (current_ == nullptr) return kErrEmpty;
    LentPacket packet(pdu, target);
    return encode(packet.get(), buffer, count);
}

std::int32_t CPmsTranslatorRegistry::encode(IPmsSnmpPacket* packet, IPmsPacketBuffer* buffer, std::uint32_t* count) {
    if (current_ == nullptr) return kErrEmpty;
    if (packet == nullptr || buffer == nullptr) return kErrBadArgument;
    std::int32_t code = kOk;
    Translator encoder(current_->create_encoder(&code));
    if (!encoder) return code;
    encoder->set_buffer(buffer);
    code = encoder->message(packet);
    if (count != nullptr) *count = encoder->encoded_count();
    return code;
}

std::int32_t CPmsTranslatorRegistry::decode(IPmsPacketBuffer* buffer, IPmsPdu* pdu, IPmsSnmpTarget* target,
                                            std::int32_t translate_type) {
    if (current_ == nullptr) return kErrEmpty;
    LentPacket packet(pdu, target);
    return decode(buffer, packet.get(), translate_type);
}

std::int32_t CPmsTranslatorRegistry::decode(IPmsPacketBuffer* buffer, IPmsSnmpPacket* packet,
                                            std::int32_t translate_type) {
    if (current_ == nullptr) return kErrEmpty;
    if (buffer == nullptr || packet == nullptr) return kErrBadArgument;
    std::int32_t code = kOk;
    Translator decoder(current_->create_decoder(&code));
    if (!decoder) return code;
    decoder->set_buffer(buffer);
    decoder->set_translate_type(translate_type);
    return decoder->message(packet);
}

std::int32_t CPmsTranslatorRegistry::peek_header(IPmsPacketBuffer* buffer, std::int32_t* error_status,
                                                 std::int32_t* request_id, std::int32_t translate_type) {
    if (current_ == nullptr) return kErrEmpty;
    if (buffer == nullptr || error_status == nullptr || request_id == nullptr) return kErrBadArgument;
    std::int32_t code = kOk;
    Translator decoder(current_->create_decoder(&code));
    if (!decoder) return code;
    CPmsSnmpPacket packet;
    decoder->set_buffer(buffer);
    decoder->set_translate_type(translate_type);
    decoder->set_header_only(true);
    code = decoder->message(&packet);
    if (const IPmsPdu* pdu = packet.get_pdu(); pdu != nullptr) {
        *request_id = pdu->get_request_id();
        *error_status = pdu->get_error_status();
    }
    return code;
}

std::int32_t CPmsTranslatorRegistry::register_factory(IPmsTranslatorFactory* factory) {
    if (factory == nullptr) return kErrBadArgument;
    const std::int32_t code = factories_.push_back(factory);
    if (code == kOk) current_ = factory;
    return code;
}

CPmsTranslatorRegistry* pms_get_translator_registry() {
    static CPmsTranslatorRegistry registry;
    return &registry;
}

namespace {
// The library's own codec is registered, and current, before any caller runs.
struct RegisterTransStream {
    RegisterTransStream() {
        static TransStreamFactory factory;
        pms_get_translator_registry()->register_factory(&factory);
    }
} register_trans_stream;
}  // namespace
