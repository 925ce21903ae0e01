// The PDF file on disk: numbered objects written as soon as they are ready,
// streams Flate-compressed and encrypted as set, the cross-reference table
// and trailer at the end. Only the offsets table stays in memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "security.h"

namespace quillkit {

class PdfFile {
public:
    PdfFile() = default;
    ~PdfFile();
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;

    bool open(const std::string& pathUtf8, bool compress, const Encryption& encryption, std::string& error);
    bool good() const { return file_ != nullptr && !failed_; }

    uint32_t reserve();   // a new object number, to be written later

    // A plain object: `body` is everything between "obj" and "endobj".
    void writeObject(uint32_t num, const std::string& body);
    // A stream object. `dict` holds the entries without /Length and
    // /Filter; `filter` is the data's own filter (e.g. "/DCTDecode") or
    // empty. The data is compressed when the file compresses and the data
    // has no filter of its own (or when `forceCompress`).
    void writeStream(uint32_t num, const std::string& dict, const uint8_t* data, std::size_t size,
                     const std::string& filter = std::string(), bool forceCompress = false);
    void writeStream(uint32_t num, const std::string& dict, const std::string& data) {
        writeStream(num, dict, reinterpret_cast<const uint8_t*>(data.data()), data.size());
    }

    // A text string for a dictionary of object `num`: UTF-16BE with BOM
    // when it is not plain ASCII; encrypted with the object's key; hex form.
    std::string textString(const std::string& utf8, uint32_t num) const;

    // Writes the xref table and trailer and closes the file.
    bool finish(uint32_t root, uint32_t info, std::string& error);
    void abandon();   // closes without completing (after an error)

    uint64_t bytesWritten() const { return offset_; }
    bool encrypted() const { return security_ != nullptr; }

private:
    void raw(const char* p, std::size_t n);
    void raw(const std::string& s) { raw(s.data(), s.size()); }
    void startObject(uint32_t num);

    std::FILE* file_ = nullptr;
    bool failed_ = false;
    bool compress_ = true;
    uint64_t offset_ = 0;
    std::vector<uint64_t> offsets_;   // by object number; 0 = not written
    std::vector<uint8_t> fileId_;
    std::unique_ptr<SecurityHandler> security_;
    uint32_t encryptObject_ = 0;
};

}  // namespace quillkit
