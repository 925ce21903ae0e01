// Where text records get their font data. On Windows the COM shell gives a
// provider that asks GDI for the data of the face a LOGFONT selects; natively
// the default provider looks for font files on disk.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillkit {

// What a text record's font asks for (from its LOGFONTW).
struct FontRequest {
    std::u16string faceName;   // lfFaceName
    int32_t weight = 400;      // lfWeight (0 = default)
    bool italic = false;
    uint8_t charset = 1;       // lfCharSet (DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2)
    uint8_t pitchAndFamily = 0;
};

// A TrueType or OpenType font file (a whole file, or a collection with the
// index of the face in it).
struct FontFile {
    std::vector<uint8_t> data;
    uint32_t faceIndex = 0;    // index inside a .ttc collection
    std::string familyName;    // the face found, for the PDF's font name
    bool bold = false;         // style of the face found (synthesized if
    bool italic = false;       // the request asked for more)
};

class FontProvider {
public:
    virtual ~FontProvider() = default;
    // Fills `out` with the face that best matches the request: the face
    // itself, else a metric-compatible substitute, else any usable face.
    // Returns false only when no font at all can be found. Called once per
    // distinct request per document; must not throw.
    virtual bool find(const FontRequest& request, FontFile& out) = 0;
};

// The platform's default provider: font files in the usual folders of the
// system (and in the folders listed in QUILLKIT_FONT_PATH, separated by ':'
// or ';'), with Liberation faces standing in for Arial, Times New Roman and
// Courier New.
std::shared_ptr<FontProvider> defaultFontProvider();

}  // namespace quillkit
