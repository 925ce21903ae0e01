#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "md5.h"
#include "rc4.h"
#include "security.h"

namespace {
std::string hex(const uint8_t* p, std::size_t n) {
    static const char* d = "0123456789abcdef";
    std::string s;
    for (std::size_t i = 0; i < n; ++i) { s += d[p[i] >> 4]; s += d[p[i] & 15]; }
    return s;
}
}  // namespace

TEST(Md5, KnownDigests) {
    uint8_t d[16];
    quillkit::Md5::digest("", 0, d);
    EXPECT_EQ(hex(d, 16), "d41d8cd98f00b204e9800998ecf8427e");
    quillkit::Md5::digest("abc", 3, d);
    EXPECT_EQ(hex(d, 16), "900150983cd24fb0d6963f7d28e17f72");
    std::string longer = "12345678901234567890123456789012345678901234567890123456789012345678901234567890";
    quillkit::Md5::digest(longer.data(), longer.size(), d);
    EXPECT_EQ(hex(d, 16), "57edf4a22be3c955ac49da2e2107b67a");
    // fed in pieces across block boundaries
    quillkit::Md5 m;
    for (char c : longer) m.update(&c, 1);
    m.finish(d);
    EXPECT_EQ(hex(d, 16), "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Rc4, KnownStreams) {
    uint8_t text[] = {'P', 'l', 'a', 'i', 'n', 't', 'e', 'x', 't'};
    quillkit::Rc4(reinterpret_cast<const uint8_t*>("Key"), 3).apply(text, sizeof text);
    EXPECT_EQ(hex(text, sizeof text), "bbf316e8d940af0ad3");
    uint8_t pedia[] = {'p', 'e', 'd', 'i', 'a'};
    quillkit::Rc4(reinterpret_cast<const uint8_t*>("Wiki"), 4).apply(pedia, sizeof pedia);
    EXPECT_EQ(hex(pedia, sizeof pedia), "1021bf0420");
}

TEST(Security, PermissionBitsFollowTheSwitches) {
    quillkit::Permissions all;
    EXPECT_EQ(quillkit::SecurityHandler::permissionBits(all, 3), -4);   // every bit but 1 and 2
    quillkit::Permissions none;
    none.print = none.copy = none.modify = none.annotations = false;
    uint32_t r2 = static_cast<uint32_t>(quillkit::SecurityHandler::permissionBits(none, 2));
    EXPECT_EQ(r2 & 0x3C, 0u);
    EXPECT_EQ(r2 & 0xF00, 0xF00u);   // revision 2 leaves the higher bits set
    uint32_t r3 = static_cast<uint32_t>(quillkit::SecurityHandler::permissionBits(none, 3));
    EXPECT_EQ(r3 & 0xF3C, 0u);
    quillkit::Permissions printOnly = none;
    printOnly.print = true;
    uint32_t p = static_cast<uint32_t>(quillkit::SecurityHandler::permissionBits(printOnly, 3));
    EXPECT_EQ(p & 0xF3C, 0x804u);
}

TEST(Security, KeysHaveTheRevisionsLengthAndUserEntryChecksOut) {
    std::vector<uint8_t> id(16, 0x42);
    quillkit::Encryption e;
    e.enabled = true;
    e.userPassword = "user";
    e.ownerPassword = "owner";
    e.keyLength = quillkit::KeyLength::Rc4_40;
    quillkit::SecurityHandler r2(e, id);
    EXPECT_EQ(r2.revision(), 2);
    EXPECT_EQ(r2.fileKey().size(), 5u);
    EXPECT_EQ(r2.ownerEntry().size(), 32u);
    EXPECT_EQ(r2.userEntry().size(), 32u);
    // Decrypting /U with the file key gives back the padding string.
    std::vector<uint8_t> u = r2.userEntry();
    quillkit::Rc4(r2.fileKey().data(), r2.fileKey().size()).apply(u.data(), u.size());
    EXPECT_EQ(u[0], 0x28);
    EXPECT_EQ(u[31], 0x7A);

    e.keyLength = quillkit::KeyLength::Rc4_128;
    quillkit::SecurityHandler r3(e, id);
    EXPECT_EQ(r3.revision(), 3);
    EXPECT_EQ(r3.fileKey().size(), 16u);
    EXPECT_NE(r3.dictionary().find("/V 2 /R 3 /Length 128"), std::string::npos);
}

TEST(Security, PasswordsBecomePdfDocEncoding) {
    EXPECT_EQ(quillkit::SecurityHandler::toPdfDocEncoding("abc"), "abc");
    EXPECT_EQ(quillkit::SecurityHandler::toPdfDocEncoding("\xC3\xA9t\xC3\xA9"), "\xE9t\xE9");
    EXPECT_EQ(quillkit::SecurityHandler::toPdfDocEncoding("\xE4\xB8\xAD"), "?");
}
