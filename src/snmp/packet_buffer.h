// IPmsPacketBuffer: a byte buffer with a current position, the storage
// the codec encodes into and decodes from.
#pragma once

#include <cstdint>

namespace pms_buffer_owner {
inline constexpr std::int32_t kLibrary = 1;  // freed by the buffer
inline constexpr std::int32_t kRuntime = 2;  // freed by the buffer (malloc)
inline constexpr std::int32_t kCaller = 0;   // not freed by the buffer
}  // namespace pms_buffer_owner

class IPmsPacketBuffer {
public:
    virtual void release() = 0;
    virtual void attach(std::uint8_t* data, std::uint32_t size, std::int32_t owner) = 0;
    virtual std::uint8_t* detach(std::uint32_t* size) = 0;
    virtual void free_storage() = 0;
    virtual std::uint8_t* data() = 0;
    virtual const std::uint8_t* data() const = 0;
    virtual std::uint32_t size() const = 0;
    virtual bool allocate(std::uint32_t size) = 0;
    virtual std::uint8_t* cur() const = 0;
    virtual void set_cur(std::uint32_t offset) = 0;
    virtual std::uint32_t remaining() const = 0;
    virtual ~IPmsPacketBuffer() = default;
};

class CPmsPacketBuffer final : public IPmsPacketBuffer {
public:
    CPmsPacketBuffer() = default;
    ~CPmsPacketBuffer() override;
    CPmsPacketBuffer(const CPmsPacketBuffer&) = delete;
    CPmsPacketBuffer& operator=(const CPmsPacketBuffer&) = delete;

    void release() override { delete this; }
    void attach(std::uint8_t* data, std::uint32_t size, std::int32_t owner) override;
    std::uint8_t* detach(std::uint32_t* size) override;
    void free_storage() override;
    std::uint8_t* data() override { return data_; }
    const std::uint8_t* data() const override { return data_; }
    std::uint32_t size() const override { return size_; }
    bool allocate(std::uint32_t size) override;
    std::uint8_t* cur() const override { return cur_; }
    void set_cur(std::uint32_t offset) override { cur_ = data_ + offset; }
    std::uint32_t remaining() const override { return static_cast<std::uint32_t>(data_ + size_ - cur_); }

private:
    std::uint8_t* data_ = nullptr;
    std::uint8_t* cur_ = nullptr;
    std::uint32_t size_ = 0;
    std::int32_t owner_ = pms_buffer_owner::kLibrary;
};

IPmsPacketBuffer* pms_create_packet_buffer(std::int32_t* result);
