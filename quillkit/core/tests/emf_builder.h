// Builds small EMF files in memory for the tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace qktest {

class EmfBuilder {
public:
    // Reference device of `pixels` x `pixels` covering `mm` x `mm`.
    explicit EmfBuilder(int32_t pixels = 1000, int32_t mm = 250) : pixels_(pixels), mm_(mm) {}

    // A record of `type` whose fields after type and size are 32-bit values.
    EmfBuilder& rec(uint32_t type, std::initializer_list<int32_t> fields);
    EmfBuilder& raw(uint32_t type, const std::vector<uint8_t>& payload);
    // Finishes with EOF (unless told not to) and returns the whole file.
    std::vector<uint8_t> bytes(bool withEof = true) const;

    static void put32(std::vector<uint8_t>& v, uint32_t x);
    static void putFloat(std::vector<uint8_t>& v, float f);

private:
    int32_t pixels_, mm_;
    std::vector<uint8_t> body_;
    uint32_t count_ = 0;
};

// Content stream(s) of an uncompressed PDF file, concatenated.
std::string readFile(const std::string& path);
std::string tempPath(const std::string& name);

}  // namespace qktest
