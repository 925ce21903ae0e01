#include "pdf_file.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <zlib.h>

#include "md5.h"

#ifdef _WIN32
#include <stdio.h>
#include <wchar.h>
#endif

namespace quillkit {
namespace {

#ifdef _WIN32
std::wstring utf8ToWide(const std::string& s) {
    std::wstring w;
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        uint32_t cp = c;
        int len = 1;
        if (c >= 0xF0) { cp = c & 7; len = 4; }
        else if (c >= 0xE0) { cp = c & 15; len = 3; }
        else if (c >= 0xC0) { cp = c & 31; len = 2; }
        for (int k = 1; k < len && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            w += static_cast<wchar_t>(0xD800 + (cp >> 10));
            w += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
        } else {
            w += static_cast<wchar_t>(cp);
        }
    }
    return w;
}
#endif

std::string hex(const uint8_t* p, std::size_t n) {
    static const char* digits = "0123456789ABCDEF";
    std::string s = "<";
    for (std::size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s + ">";
}

// UTF-8 to UTF-16BE with a byte-order mark, or the bytes themselves when
// they are printable ASCII.
std::string pdfTextBytes(const std::string& utf8) {
    bool ascii = true;
    for (unsigned char c : utf8)
        if (c >= 0x80 || c < 0x20) ascii = false;
    if (ascii) return utf8;
    std::string out = "\xFE\xFF";
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        uint32_t cp = c;
        int len = 1;
        if (c >= 0xF0) { cp = c & 7; len = 4; }
        else if (c >= 0xE0) { cp = c & 15; len = 3; }
        else if (c >= 0xC0) { cp = c & 31; len = 2; }
        else if (c >= 0x80) { cp = '?'; }
        for (int k = 1; k < len && i + k < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += len;
        auto unit = [&](uint32_t u) {
            out += static_cast<char>(u >> 8);
            out += static_cast<char>(u & 0xFF);
        };
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            unit(0xD800 + (cp >> 10));
            unit(0xDC00 + (cp & 0x3FF));
        } else {
            unit(cp > 0x10FFFF ? 0xFFFD : cp);
        }
    }
    return out;
}

// Some readers (qpdf among them) feed a stream to zlib in 10240-byte pieces
// into a 64 KiB output buffer and report a damaged stream when a piece ends
// exactly where the buffer fills. True when `data` meets that boundary.
bool meetsReaderBoundary(const uint8_t* data, std::size_t size) {
    const std::size_t inChunk = 10240, outSize = 65536;
    z_stream z;
    std::memset(&z, 0, sizeof z);
    if (inflateInit(&z) != Z_OK) return false;
    std::vector<uint8_t> out(outSize);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(outSize);
    bool hit = false, done = false;
    for (std::size_t pos = 0; pos < size && !done && !hit; pos += inChunk) {
        z.next_in = const_cast<Bytef*>(data + pos);
        z.avail_in = static_cast<uInt>(std::min(inChunk, size - pos));
        for (;;) {
            int err = inflate(&z, Z_SYNC_FLUSH);
            if (err == Z_BUF_ERROR) { hit = true; break; }
            if (err == Z_STREAM_END) { done = true; break; }
            if (err != Z_OK) { done = true; break; }
            bool full = z.avail_out == 0;
            if (full) {
                z.next_out = out.data();
                z.avail_out = static_cast<uInt>(outSize);
            }
            if (z.avail_in == 0 && !full) break;
        }
    }
    inflateEnd(&z);
    return hit;
}

}  // namespace

PdfFile::~PdfFile() { abandon(); }

void PdfFile::abandon() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool PdfFile::open(const std::string& path, bool compress, const Encryption& encryption, std::string& error) {
    abandon();
#ifdef _WIN32
    file_ = _wfopen(utf8ToWide(path).c_str(), L"wb");
#else
    file_ = std::fopen(path.c_str(), "wb");
#endif
    if (!file_) {
        error = "cannot create the file \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    compress_ = compress;
    failed_ = false;
    offset_ = 0;
    offsets_.assign(1, 0);
    // File identifier: a digest of the path and the time; it also seeds the
    // encryption key.
    Md5 m;
    m.update(path.data(), path.size());
    auto now = std::chrono::system_clock::now().time_since_epoch().count();
    m.update(&now, sizeof now);
    static int counter = 0;
    ++counter;
    m.update(&counter, sizeof counter);
    fileId_.resize(16);
    m.finish(fileId_.data());
    raw("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    if (encryption.enabled) {
        security_.reset(new SecurityHandler(encryption, fileId_));
        encryptObject_ = reserve();
    }
    return good();
}

uint32_t PdfFile::reserve() {
    offsets_.push_back(0);
    return static_cast<uint32_t>(offsets_.size() - 1);
}

void PdfFile::raw(const char* p, std::size_t n) {
    if (!file_ || failed_) return;
    if (n && std::fwrite(p, 1, n, file_) != n) failed_ = true;
    offset_ += n;
}

void PdfFile::startObject(uint32_t num) {
    if (num < offsets_.size()) offsets_[num] = offset_;
    raw(std::to_string(num) + " 0 obj\n");
}

void PdfFile::writeObject(uint32_t num, const std::string& body) {
    startObject(num);
    raw(body);
    raw("\nendobj\n");
}

void PdfFile::writeStream(uint32_t num, const std::string& dict, const uint8_t* data, std::size_t size,
                          const std::string& filter, bool forceCompress) {
    std::vector<uint8_t> buf;
    std::string filterEntry = filter;
    if ((compress_ || forceCompress) && filter.empty() && size > 0) {
        // Level 3 compresses drawing operators nearly as well as 6 in half the time.
        static const int levels[] = {3, 4, 2, 5, 6, 1, 7};
        bool ok = false;
        for (int level : levels) {
            uLongf bound = compressBound(static_cast<uLong>(size));
            buf.resize(bound);
            if (compress2(buf.data(), &bound, data, static_cast<uLong>(size), level) != Z_OK) break;
            buf.resize(bound);
            ok = true;
            if (size < 65536 || !meetsReaderBoundary(buf.data(), buf.size())) break;
        }
        if (ok) filterEntry = "/FlateDecode";
        else buf.assign(data, data + size);
    } else {
        buf.assign(data, data + size);
    }
    if (security_) security_->encrypt(num, 0, buf);
    startObject(num);
    std::string head = "<< " + dict;
    if (!filterEntry.empty()) head += " /Filter " + filterEntry;
    head += " /Length " + std::to_string(buf.size()) + " >>\nstream\n";
    raw(head);
    raw(reinterpret_cast<const char*>(buf.data()), buf.size());
    raw("\nendstream\nendobj\n");
}

std::string PdfFile::textString(const std::string& utf8, uint32_t num) const {
    std::string bytes = pdfTextBytes(utf8);
    if (security_) security_->encrypt(num, 0, bytes);
    return hex(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

bool PdfFile::finish(uint32_t root, uint32_t info, std::string& error) {
    if (!file_) { error = "the file is not open"; return false; }
    if (security_) writeObject(encryptObject_, security_->dictionary());
    uint64_t xref = offset_;
    std::string s = "xref\n0 " + std::to_string(offsets_.size()) + "\n0000000000 65535 f \n";
    char line[32];
    for (std::size_t i = 1; i < offsets_.size(); ++i) {
        if (offsets_[i]) std::snprintf(line, sizeof line, "%010llu 00000 n \n", static_cast<unsigned long long>(offsets_[i]));
        else std::snprintf(line, sizeof line, "0000000000 00000 f \n");
        s += line;
    }
    s += "trailer\n<< /Size " + std::to_string(offsets_.size()) + " /Root " + std::to_string(root) + " 0 R";
    if (info) s += " /Info " + std::to_string(info) + " 0 R";
    if (security_) s += " /Encrypt " + std::to_string(encryptObject_) + " 0 R";
    std::string id = hex(fileId_.data(), fileId_.size());
    s += " /ID [" + id + " " + id + "] >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    raw(s);
    bool ok = !failed_;
    if (std::fflush(file_) != 0) ok = false;
    if (std::fclose(file_) != 0) ok = false;
    file_ = nullptr;
    if (!ok) error = "writing the file failed (disk full?)";
    return ok;
}

}  // namespace quillkit
