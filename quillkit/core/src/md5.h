// MD5 (RFC 1321), as the PDF standard security handler needs it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillkit {

class Md5 {
public:
    Md5();
    void update(const void* data, std::size_t size);
    void finish(uint8_t digest[16]);

    static void digest(const void* data, std::size_t size, uint8_t out[16]);

private:
    void block(const uint8_t* p);
    uint32_t state_[4];
    uint64_t length_ = 0;   // bytes so far
    uint8_t buffer_[64];
    std::size_t used_ = 0;
};

}  // namespace quillkit
