// The default font provider: an index of the font files in the system's
// font folders (and QUILLKIT_FONT_PATH), built once per process, matched by
// family name and style. Faces the system lacks are replaced by
// metric-compatible ones (Liberation for Arial, Times New Roman and Courier
// New, Carlito and Caladea for Calibri and Cambria), then by any face of the
// same kind, so text is never lost.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "font_sfnt.h"
#include "quillkit/fonts.h"

namespace quillkit {
namespace {

namespace fs = std::filesystem;

struct IndexedFace {
    std::string family;   // lower-case ASCII
    bool bold = false, italic = false;
    std::string path;
    uint32_t faceIndex = 0;
};

std::string lowerAscii(const std::u16string& s) {
    std::string out;
    for (char16_t c : s)
        if (c < 128) out += static_cast<char>(std::tolower(static_cast<int>(c)));
    return out;
}

bool readFile(const std::string& path, std::vector<uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    std::streamoff n = in.tellg();
    if (n <= 12 || n > (std::streamoff(256) << 20)) return false;
    out.resize(static_cast<std::size_t>(n));
    in.seekg(0);
    return static_cast<bool>(in.read(reinterpret_cast<char*>(out.data()), n));
}

class FolderFontProvider : public FontProvider {
public:
    bool find(const FontRequest& request, FontFile& out) override {
        try {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!indexed_) buildIndex();
            bold_ = request.weight >= 600;
            std::string name = lowerAscii(request.faceName);
            // strip "@" of vertical faces and style suffixes some apps add
            if (!name.empty() && name[0] == '@') name.erase(0, 1);
            std::vector<std::string> candidates{name};
            for (const auto& alias : aliases(name, request)) candidates.push_back(alias);
            for (const std::string& family : candidates) {
                const IndexedFace* f = best(family, bold_, request.italic);
                if (f && load(*f, out)) return true;
            }
            for (const auto& f : faces_)
                if (load(f, out)) return true;
        } catch (...) {
        }
        return false;
    }

private:
    static std::vector<std::string> aliases(const std::string& name, const FontRequest& r) {
        auto has = [&](const char* w) { return name.find(w) != std::string::npos; };
        std::vector<std::string> a;
        if (r.charset == 2 || has("symbol") || has("wingdings") || has("webdings") || has("dingbat") || has("marlett")) {
            a = {"opensymbol", "dejavu sans"};
            return a;
        }
        if (has("narrow")) a.push_back("liberation sans narrow");
        if (has("calibri") || has("segoe") || has("candara") || has("corbel")) a.push_back("carlito");
        if (has("cambria") || has("constantia")) a.push_back("caladea");
        if (has("courier") || has("mono") || has("consol") || has("lucida console") || has("fixedsys") ||
            has("terminal") || (r.pitchAndFamily & 3) == 1 || (r.pitchAndFamily & 0xF0) == 0x30)
            a.push_back("liberation mono");
        if (has("times") || has("roman") || has("georgia") || has("garamond") || has("book") || has("palatino") ||
            has("century") || (has("serif") && !has("sans")) || (r.pitchAndFamily & 0xF0) == 0x10)
            a.push_back("liberation serif");
        a.push_back("liberation sans");   // Arial, Helvetica, MS Sans Serif, Tahoma, Verdana...
        a.push_back("dejavu sans");
        // East Asian charsets: a face with the ideographs.
        if (r.charset == 128 || r.charset == 129 || r.charset == 130 || r.charset == 134 || r.charset == 136)
            a.insert(a.begin(), "droid sans fallback");
        return a;
    }

    const IndexedFace* best(const std::string& family, bool bold, bool italic) const {
        const IndexedFace* found = nullptr;
        int bestScore = -1;
        for (const auto& f : faces_) {
            if (f.family != family) continue;
            int score = (f.bold == bold ? 2 : 0) + (f.italic == italic ? 1 : 0);
            if (score > bestScore) { bestScore = score; found = &f; }
        }
        return found;
    }

    bool load(const IndexedFace& f, FontFile& out) {
        FontFile file;
        if (!readFile(f.path, file.data)) return false;
        file.faceIndex = f.faceIndex;
        file.familyName = f.family;
        file.bold = f.bold;
        file.italic = f.italic;
        out = std::move(file);
        return true;
    }

    void buildIndex() {
        indexed_ = true;
        std::vector<std::string> dirs;
        if (const char* env = std::getenv("QUILLKIT_FONT_PATH")) {
            std::string s = env, cur;
            for (char c : s + ":") {
                if (c == ':' || c == ';') { if (!cur.empty()) dirs.push_back(cur); cur.clear(); }
                else cur += c;
            }
        }
#ifdef _WIN32
        if (const char* win = std::getenv("WINDIR")) dirs.push_back(std::string(win) + "\\Fonts");
#else
        dirs.insert(dirs.end(), {"/usr/share/fonts", "/usr/local/share/fonts"});
        if (const char* home = std::getenv("HOME")) dirs.push_back(std::string(home) + "/.local/share/fonts");
#endif
        std::error_code ec;
        std::vector<std::string> files;
        for (const auto& dir : dirs) {
            fs::recursive_directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec), end;
            for (; !ec && it != end; it.increment(ec)) {
                std::string ext = it->path().extension().string();
                std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) { return char(std::tolower(c)); });
                if (ext == ".ttf" || ext == ".otf" || ext == ".ttc") files.push_back(it->path().string());
            }
            ec.clear();
        }
        std::sort(files.begin(), files.end());
        for (const auto& path : files) {
            std::vector<uint8_t> data;
            if (!readFile(path, data)) continue;
            uint32_t count = 1;
            if (data.size() > 12 && data[0] == 't' && data[1] == 't' && data[2] == 'c' && data[3] == 'f')
                count = std::min<uint32_t>(64, uint32_t(data[8]) << 24 | uint32_t(data[9]) << 16 | uint32_t(data[10]) << 8 | data[11]);
            for (uint32_t i = 0; i < count; ++i) {
                SfntFace face;
                std::string err;
                if (!face.parse(data, i, err)) continue;
                // CFF outlines are embedded; CFF2 (variable) ones are not.
                if (face.isCff() && !face.table("CFF ")) continue;
                IndexedFace f;
                f.family = lowerAscii(face.familyName);
                f.bold = (face.macStyle & 1) != 0 || face.weightClass >= 600;
                f.italic = (face.macStyle & 2) != 0;
                f.path = path;
                f.faceIndex = i;
                if (!f.family.empty()) faces_.push_back(f);
            }
        }
    }

    std::mutex mutex_;
    bool indexed_ = false;
    bool bold_ = false;
    std::vector<IndexedFace> faces_;
};

}  // namespace

std::shared_ptr<FontProvider> defaultFontProvider() {
    static std::shared_ptr<FontProvider> provider = std::make_shared<FolderFontProvider>();
    return provider;
}

}  // namespace quillkit
