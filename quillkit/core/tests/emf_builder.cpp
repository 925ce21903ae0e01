#include "emf_builder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace qktest {

void EmfBuilder::put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

void EmfBuilder::putFloat(std::vector<uint8_t>& v, float f) {
    uint32_t x;
    std::memcpy(&x, &f, 4);
    put32(v, x);
}

EmfBuilder& EmfBuilder::rec(uint32_t type, std::initializer_list<int32_t> fields) {
    std::vector<uint8_t> p;
    for (int32_t f : fields) put32(p, static_cast<uint32_t>(f));
    return raw(type, p);
}

EmfBuilder& EmfBuilder::raw(uint32_t type, const std::vector<uint8_t>& payload) {
    put32(body_, type);
    put32(body_, static_cast<uint32_t>(8 + payload.size()));
    body_.insert(body_.end(), payload.begin(), payload.end());
    ++count_;
    return *this;
}

std::vector<uint8_t> EmfBuilder::bytes(bool withEof) const {
    std::vector<uint8_t> out;
    std::vector<uint8_t> body = body_;
    uint32_t count = count_;
    if (withEof) {
        put32(body, 14); put32(body, 20); put32(body, 0); put32(body, 0); put32(body, 20);
        ++count;
    }
    const uint32_t headerSize = 108;
    put32(out, 1);
    put32(out, headerSize);
    for (int32_t v : {0, 0, pixels_ - 1, pixels_ - 1}) put32(out, static_cast<uint32_t>(v));           // bounds
    for (int32_t v : {0, 0, mm_ * 100 - 1, mm_ * 100 - 1}) put32(out, static_cast<uint32_t>(v));       // frame
    put32(out, 0x464D4520);
    put32(out, 0x10000);
    put32(out, static_cast<uint32_t>(headerSize + body.size()));
    put32(out, count + 1);
    put32(out, 32);   // handles (16 bits) + reserved
    put32(out, 0);    // nDescription
    put32(out, 0);    // offDescription
    put32(out, 0);    // nPalEntries
    put32(out, static_cast<uint32_t>(pixels_)); put32(out, static_cast<uint32_t>(pixels_));
    put32(out, static_cast<uint32_t>(mm_)); put32(out, static_cast<uint32_t>(mm_));
    put32(out, 0); put32(out, 0); put32(out, 0);   // pixel format, OpenGL
    put32(out, static_cast<uint32_t>(mm_ * 1000)); put32(out, static_cast<uint32_t>(mm_ * 1000));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

namespace {

// The scratch files a test program asked for, removed when it ends.
struct ScratchFiles {
    std::vector<std::string> paths;
    ~ScratchFiles() {
        for (const std::string& p : paths) std::remove(p.c_str());
    }
};

std::string remembered(std::string path) {
    static ScratchFiles files;
    files.paths.push_back(path);
    return path;
}

}  // namespace

// Each test runs in a process of its own, several at once: the process
// number keeps their scratch files apart.
std::string tempPath(const std::string& name) {
    const char* dir = std::getenv("TMPDIR");
#ifdef _WIN32
    if (!dir) dir = std::getenv("TEMP");
    std::string base = dir ? dir : ".";
    return remembered(base + "\\qk_" + std::to_string(GetCurrentProcessId()) + "_" + name);
#else
    std::string base = dir ? dir : "/tmp";
    return remembered(base + "/qk_" + std::to_string(getpid()) + "_" + name);
#endif
}

}  // namespace qktest
