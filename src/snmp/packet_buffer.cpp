#include "snmp/packet_buffer.h"

#include <cstdlib>

#include "common/allocation.h"
#include "common/result.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

CPmsPacketBuffer::~CPmsPacketBuffer() { free_storage(); }

void CPmsPacketBuffer::attach(std::uint8_t* data, std::uint32_t size, std::int32_t owner) {
    free_storage();
    data_ = data;
    cur_ = data;
    size_ = size;
    owner_ = owner;
}

std::uint8_t* CPmsPacketBuffer::detach(std::uint32_t* size) {
    std::uint8_t* data = data_;
    if (size != nullptr) *size = size_;
    data_ = cur_ = nullptr;
    size_ = 0;
    return data;
}

void CPmsPacketBuffer::free_storage() {
    if (owner_ == pms_buffer_owner::kLibrary) {
        deallocate_buffer(data_, size_);
    } else if (owner_ == pms_buffer_owner::kRuntime) {
        std::free(data_);
    }
    data_ = cur_ = nullptr;
    size_ = 0;
}

bool CPmsPacketBuffer::allocate(std::uint32_t size) {
    auto* storage = static_cast<std::uint8_t*>(allocate_buffer(size));
    if (storage == nullptr) return false;
    attach(storage, size, pms_buffer_owner::kLibrary);
    return true;
}

IPmsPacketBuffer* pms_create_packet_buffer(std::int32_t* result) {
    auto* buffer = create<CPmsPacketBuffer>();
    if (buffer == nullptr) return fail<IPmsPacketBuffer>(result, kErrNoMemory);
    set_result(result, kOk);
    return buffer;
}
