// RC4 stream cipher, for the PDF standard security handler (revisions 2, 3).
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillkit {

class Rc4 {
public:
    Rc4(const uint8_t* key, std::size_t keyLength);
    // Encrypts or decrypts in place (the same operation).
    void apply(uint8_t* data, std::size_t size);

private:
    uint8_t s_[256];
    uint8_t i_ = 0, j_ = 0;
};

}  // namespace quillkit
