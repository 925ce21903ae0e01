#include "rc4.h"

namespace quillkit {

Rc4::Rc4(const uint8_t* key, std::size_t keyLength) {
    for (int k = 0; k < 256; ++k) s_[k] = static_cast<uint8_t>(k);
    uint8_t j = 0;
    for (int k = 0; k < 256; ++k) {
        j = static_cast<uint8_t>(j + s_[k] + (keyLength ? key[k % keyLength] : 0));
        uint8_t t = s_[k];
        s_[k] = s_[j];
        s_[j] = t;
    }
}

void Rc4::apply(uint8_t* data, std::size_t size) {
    for (std::size_t n = 0; n < size; ++n) {
        i_ = static_cast<uint8_t>(i_ + 1);
        j_ = static_cast<uint8_t>(j_ + s_[i_]);
        uint8_t t = s_[i_];
        s_[i_] = s_[j_];
        s_[j_] = t;
        data[n] ^= s_[static_cast<uint8_t>(s_[i_] + s_[j_])];
    }
}

}  // namespace quillkit
