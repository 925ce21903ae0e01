// The PDF standard security handler with RC4, revisions 2 (40-bit) and 3
// (128-bit): computes /O, /U, /P and the file key, and encrypts the strings
// and streams of each object with that object's key.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quillkit/settings.h"

namespace quillkit {

class SecurityHandler {
public:
    // fileId is the first element of the trailer's /ID (16 bytes).
    SecurityHandler(const Encryption& enc, const std::vector<uint8_t>& fileId);

    int revision() const { return revision_; }
    int keyBytes() const { return keyBytes_; }
    int32_t permissions() const { return p_; }
    const std::vector<uint8_t>& ownerEntry() const { return o_; }
    const std::vector<uint8_t>& userEntry() const { return u_; }
    const std::vector<uint8_t>& fileKey() const { return key_; }

    // Encrypts data in place with the key of object (num, gen).
    void encrypt(uint32_t num, uint16_t gen, std::vector<uint8_t>& data) const;
    void encrypt(uint32_t num, uint16_t gen, std::string& data) const;

    // The /Encrypt dictionary (its strings are never encrypted).
    std::string dictionary() const;

    // Passwords are PDFDocEncoding bytes; UTF-8 input is converted (Latin-1
    // range kept, anything else becomes '?').
    static std::string toPdfDocEncoding(const std::string& utf8);
    static int32_t permissionBits(const Permissions& p, int revision);

private:
    int revision_;
    int keyBytes_;
    int32_t p_;
    std::vector<uint8_t> o_, u_, key_;
};

}  // namespace quillkit
