#include "security.h"

#include <cstring>

#include "md5.h"
#include "rc4.h"

namespace quillkit {
namespace {

const uint8_t kPadding[32] = {0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E,
                              0x56, 0xFF, 0xFA, 0x01, 0x08, 0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68,
                              0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};

void padPassword(const std::string& pw, uint8_t out[32]) {
    std::size_t n = pw.size() < 32 ? pw.size() : 32;
    std::memcpy(out, pw.data(), n);
    std::memcpy(out + n, kPadding, 32 - n);
}

std::string hexString(const std::vector<uint8_t>& b) {
    static const char* digits = "0123456789ABCDEF";
    std::string s = "<";
    for (uint8_t c : b) {
        s += digits[c >> 4];
        s += digits[c & 15];
    }
    return s + ">";
}

}  // namespace

std::string SecurityHandler::toPdfDocEncoding(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        uint32_t cp;
        int len;
        if (c < 0x80) { cp = c; len = 1; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; len = 2; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; len = 3; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; len = 4; }
        else { out += '?'; ++i; continue; }
        if (i + len > utf8.size()) { out += '?'; break; }
        for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += len;
        // PDFDocEncoding agrees with Latin-1 for printable ASCII and 0xA1-0xFF.
        if ((cp >= 0x20 && cp < 0x7F) || (cp >= 0xA1 && cp <= 0xFF)) out += static_cast<char>(cp);
        else out += '?';
    }
    return out;
}

int32_t SecurityHandler::permissionBits(const Permissions& p, int revision) {
    uint32_t bits = 0xFFFFFFFFu;
    bits &= ~3u;  // bits 1-2 must be 0
    auto clear = [&](int bit) { bits &= ~(1u << (bit - 1)); };
    if (!p.print) { clear(3); if (revision >= 3) clear(12); }
    if (!p.modify) { clear(4); if (revision >= 3) clear(11); }
    if (!p.copy) { clear(5); if (revision >= 3) clear(10); }
    if (!p.annotations) { clear(6); if (revision >= 3) clear(9); }
    return static_cast<int32_t>(bits);
}

SecurityHandler::SecurityHandler(const Encryption& enc, const std::vector<uint8_t>& fileId) {
    revision_ = enc.keyLength == KeyLength::Rc4_40 ? 2 : 3;
    keyBytes_ = revision_ == 2 ? 5 : 16;
    p_ = permissionBits(enc.permissions, revision_);
    std::string user = toPdfDocEncoding(enc.userPassword);
    std::string owner = toPdfDocEncoding(enc.ownerPassword);
    if (owner.empty()) owner = user;

    uint8_t userPad[32], ownerPad[32], digest[16];
    padPassword(user, userPad);
    padPassword(owner, ownerPad);

    // /O: the padded user password encrypted with a key from the owner password.
    Md5::digest(ownerPad, 32, digest);
    if (revision_ >= 3)
        for (int i = 0; i < 50; ++i) Md5::digest(digest, keyBytes_, digest);
    std::vector<uint8_t> okey(digest, digest + keyBytes_);
    o_.assign(userPad, userPad + 32);
    Rc4(okey.data(), okey.size()).apply(o_.data(), 32);
    if (revision_ >= 3) {
        for (int i = 1; i <= 19; ++i) {
            std::vector<uint8_t> k(okey);
            for (auto& b : k) b = static_cast<uint8_t>(b ^ i);
            Rc4(k.data(), k.size()).apply(o_.data(), 32);
        }
    }

    // File key from the user password, /O, /P and the file identifier.
    Md5 m;
    m.update(userPad, 32);
    m.update(o_.data(), 32);
    uint8_t p[4];
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(static_cast<uint32_t>(p_) >> (8 * i));
    m.update(p, 4);
    m.update(fileId.data(), fileId.size());
    m.finish(digest);
    if (revision_ >= 3)
        for (int i = 0; i < 50; ++i) Md5::digest(digest, keyBytes_, digest);
    key_.assign(digest, digest + keyBytes_);

    // /U
    if (revision_ == 2) {
        u_.assign(kPadding, kPadding + 32);
        Rc4(key_.data(), key_.size()).apply(u_.data(), 32);
    } else {
        Md5 h;
        h.update(kPadding, 32);
        h.update(fileId.data(), fileId.size());
        uint8_t d[16];
        h.finish(d);
        Rc4(key_.data(), key_.size()).apply(d, 16);
        for (int i = 1; i <= 19; ++i) {
            std::vector<uint8_t> k(key_);
            for (auto& b : k) b = static_cast<uint8_t>(b ^ i);
            Rc4(k.data(), k.size()).apply(d, 16);
        }
        u_.assign(d, d + 16);
        u_.resize(32, 0);
    }
}

void SecurityHandler::encrypt(uint32_t num, uint16_t gen, std::vector<uint8_t>& data) const {
    uint8_t buf[21];
    std::memcpy(buf, key_.data(), key_.size());
    std::size_t n = key_.size();
    buf[n++] = static_cast<uint8_t>(num);
    buf[n++] = static_cast<uint8_t>(num >> 8);
    buf[n++] = static_cast<uint8_t>(num >> 16);
    buf[n++] = static_cast<uint8_t>(gen);
    buf[n++] = static_cast<uint8_t>(gen >> 8);
    uint8_t digest[16];
    Md5::digest(buf, n, digest);
    std::size_t klen = key_.size() + 5 < 16 ? key_.size() + 5 : 16;
    Rc4(digest, klen).apply(data.data(), data.size());
}

void SecurityHandler::encrypt(uint32_t num, uint16_t gen, std::string& data) const {
    std::vector<uint8_t> v(data.begin(), data.end());
    encrypt(num, gen, v);
    data.assign(v.begin(), v.end());
}

std::string SecurityHandler::dictionary() const {
    std::string d = "<< /Filter /Standard ";
    if (revision_ == 2) d += "/V 1 /R 2 /Length 40 ";
    else d += "/V 2 /R 3 /Length 128 ";
    d += "/O " + hexString(o_) + " /U " + hexString(u_) + " /P " + std::to_string(p_) + " >>";
    return d;
}

}  // namespace quillkit
