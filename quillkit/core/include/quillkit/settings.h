// Settings of one PDF document; they are fixed when the document is opened.
#pragma once

#include <memory>
#include <string>

namespace quillkit {

class FontProvider;
class TextDecoder;

// /PageMode of the catalog.
enum class PageMode {
    UseNone,         // no panel
    UseOutlines,     // bookmarks panel
    UseThumbs,       // page thumbnails panel
    FullScreen,
    UseOC,           // optional-content panel
    UseAttachments
};

// /PageLayout of the catalog.
enum class PageLayout {
    SinglePage,
    OneColumn,
    TwoColumnLeft,
    TwoColumnRight,
    TwoPageLeft,
    TwoPageRight
};

// Standard security handler with RC4: revision 2 (40-bit) or 3 (128-bit).
enum class KeyLength { Rc4_40, Rc4_128 };

struct Permissions {
    bool print = true;        // print the document
    bool copy = true;         // copy or extract text and graphics
    bool modify = true;       // change the document (and assemble it)
    bool annotations = true;  // add or change annotations, fill in forms
};

struct Encryption {
    bool enabled = false;
    KeyLength keyLength = KeyLength::Rc4_128;
    // Passwords in UTF-8; they are converted to the PDFDocEncoding the
    // standard security handler expects (characters outside it become '?').
    // Either may be empty: an empty user password opens the file without
    // asking; an empty owner password means the user password.
    std::string userPassword;
    std::string ownerPassword;
    Permissions permissions;
};

// The Info dictionary; texts in UTF-8, empty texts are left out.
struct DocumentInfo {
    std::string title;
    std::string author;
    std::string subject;
    std::string keywords;
    std::string creator;
    std::string producer = "Quillkit";
};

struct DocumentSettings {
    bool compress = true;            // Flate-compress content streams and images
    double unitsPerInch = 72;        // page units per inch (see document.h)
    // Resolution of the device grid that drawings are aligned to, as GDI
    // rounds every coordinate to whole device pixels: line and shape edges
    // land on this grid, so the PDF shows what GDI draws on a device of this
    // resolution. 96 matches the screen; a printer's resolution gives finer
    // output. 0 leaves coordinates unrounded.
    double gridPerInch = 96;
    PageMode pageMode = PageMode::UseNone;
    PageLayout pageLayout = PageLayout::SinglePage;
    DocumentInfo info;
    Encryption encryption;
    // Where text records find their fonts. Null: the platform's default
    // provider (font files found on disk); see fonts.h.
    std::shared_ptr<FontProvider> fonts;
    // Decodes the 8-bit text of double-byte code pages (East Asian
    // charsets). Null: the platform's default (see text_decoder.h).
    std::shared_ptr<TextDecoder> textDecoder;
};

}  // namespace quillkit
