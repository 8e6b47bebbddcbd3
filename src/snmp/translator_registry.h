// The codec registry: named codec factories and the current one. The
// "TransStream" codec registers itself when the library is loaded.
#pragma once

#include <cstdint>

#include "common/ptr_array.h"
#include "snmp/packet_buffer.h"
#include "snmp/translator.h"

class IPmsTranslatorFactory {
public:
    virtual const char* name() const = 0;
    virtual IPmsTranslator* create_encoder(std::int32_t* result) = 0;
    virtual IPmsTranslator* create_decoder(std::int32_t* result) = 0;

protected:
    ~IPmsTranslatorFactory() = default;
};

class CPmsTranslatorRegistry {
public:
    // Null: no current codec. Otherwise the first factory of that name
    // becomes current (-2 when there is none).
    std::int32_t select(const char* name);
    const char* current_name() const;
    std::int32_t encode(IPmsPdu* pdu, IPmsSnmpTarget* target, IPmsPacketBuffer* buffer, std::uint32_t* count);
    // Encodes into fresh storage of the target's maximum message size; the
    // message is the bytes from buffer->cur() to the end. *count receives the
    // number of bindings written (from the end of the list).
    std::int32_t encode(IPmsSnmpPacket* packet, IPmsPacketBuffer* buffer, std::uint32_t* count);
    std::int32_t decode(IPmsPacketBuffer* buffer, IPmsPdu* pdu, IPmsSnmpTarget* target, std::int32_t translate_type);
    // Decodes the bytes from buffer->cur() to the end into the packet.
    std::int32_t decode(IPmsPacketBuffer* buffer, IPmsSnmpPacket* packet, std::int32_t translate_type);
    // Reads only as far as the PDU header: request-id and error-status.
    std::int32_t peek_header(IPmsPacketBuffer* buffer, std::int32_t* error_status, std::int32_t* request_id,
                             std::int32_t translate_type);
    // Adds a factory and makes it current.
    std::int32_t register_factory(IPmsTranslatorFactory* factory);

private:
    tolv::PtrArray<IPmsTranslatorFactory> factories_;
    IPmsTranslatorFactory* current_ = nullptr;
};

CPmsTranslatorRegistry* pms_get_translator_registry();
