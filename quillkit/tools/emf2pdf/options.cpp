#include "options.h"

#include <cstdlib>

using quillkit::KeyLength;
using quillkit::PageLayout;
using quillkit::PageMode;

const char* usageText() {
    return "usage: emf2pdf [options] -o out.pdf in1.emf [in2.emf ...]\n"
           "Turns EMF files into one PDF, one page each at the EMF's frame size.\n"
           "  -o, --output FILE        the PDF to write\n"
           "  --no-compress            leave content streams uncompressed\n"
           "  --title T, --author A, --subject S, --keywords K, --creator C, --producer P\n"
           "  --page-mode M            none|outlines|thumbs|fullscreen|oc|attachments\n"
           "  --page-layout L          single|onecolumn|twocolumnleft|twocolumnright|twopageleft|twopageright\n"
           "  --encrypt                encrypt with the standard security handler\n"
           "  --key-length N           40 (RC4, revision 2) or 128 (RC4, revision 3; default)\n"
           "  --user-password P        password to open (may be empty)\n"
           "  --owner-password P       password for full access (empty: the user password)\n"
           "  --no-print, --no-copy, --no-modify, --no-annotations   permissions withheld\n"
           "  --fonts gdi|files        font data from GDI (Windows; the default there) or from\n"
           "                           font files on disk (the default elsewhere)\n"
           "  -q, --quiet              no per-file summary\n";
}

bool parseOptions(const std::vector<std::string>& args, Emf2PdfOptions& o, std::string& error) {
    auto& s = o.settings;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = "option " + a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "-h" || a == "--help") o.help = true;
        else if (a == "-o" || a == "--output") { if (!value(o.output)) return false; }
        else if (a == "--no-compress") s.compress = false;
        else if (a == "--compress") s.compress = true;
        else if (a == "--title") { if (!value(s.info.title)) return false; }
        else if (a == "--author") { if (!value(s.info.author)) return false; }
        else if (a == "--subject") { if (!value(s.info.subject)) return false; }
        else if (a == "--keywords") { if (!value(s.info.keywords)) return false; }
        else if (a == "--creator") { if (!value(s.info.creator)) return false; }
        else if (a == "--producer") { if (!value(s.info.producer)) return false; }
        else if (a == "--page-mode") {
            if (!value(v)) return false;
            if (v == "none") s.pageMode = PageMode::UseNone;
            else if (v == "outlines") s.pageMode = PageMode::UseOutlines;
            else if (v == "thumbs") s.pageMode = PageMode::UseThumbs;
            else if (v == "fullscreen") s.pageMode = PageMode::FullScreen;
            else if (v == "oc") s.pageMode = PageMode::UseOC;
            else if (v == "attachments") s.pageMode = PageMode::UseAttachments;
            else { error = "unknown page mode " + v; return false; }
        } else if (a == "--page-layout") {
            if (!value(v)) return false;
            if (v == "single") s.pageLayout = PageLayout::SinglePage;
            else if (v == "onecolumn") s.pageLayout = PageLayout::OneColumn;
            else if (v == "twocolumnleft") s.pageLayout = PageLayout::TwoColumnLeft;
            else if (v == "twocolumnright") s.pageLayout = PageLayout::TwoColumnRight;
            else if (v == "twopageleft") s.pageLayout = PageLayout::TwoPageLeft;
            else if (v == "twopageright") s.pageLayout = PageLayout::TwoPageRight;
            else { error = "unknown page layout " + v; return false; }
        } else if (a == "--encrypt") s.encryption.enabled = true;
        else if (a == "--key-length") {
            if (!value(v)) return false;
            if (v == "40") s.encryption.keyLength = KeyLength::Rc4_40;
            else if (v == "128") s.encryption.keyLength = KeyLength::Rc4_128;
            else { error = "key length must be 40 or 128"; return false; }
        } else if (a == "--user-password") { if (!value(s.encryption.userPassword)) return false; }
        else if (a == "--owner-password") { if (!value(s.encryption.ownerPassword)) return false; }
        else if (a == "--no-print") s.encryption.permissions.print = false;
        else if (a == "--no-copy") s.encryption.permissions.copy = false;
        else if (a == "--no-modify") s.encryption.permissions.modify = false;
        else if (a == "--no-annotations") s.encryption.permissions.annotations = false;
        else if (a == "--fonts") {
            if (!value(v)) return false;
            if (v == "files") o.fontSource = Emf2PdfOptions::FontSource::Files;
            else if (v == "gdi") {
#ifdef _WIN32
                o.fontSource = Emf2PdfOptions::FontSource::Gdi;
#else
                error = "--fonts gdi needs Windows";
                return false;
#endif
            } else { error = "--fonts must be gdi or files"; return false; }
        }
        else if (a == "-q" || a == "--quiet") o.quiet = true;
        else if (a.size() > 1 && a[0] == '-') { error = "unknown option " + a; return false; }
        else o.inputs.push_back(a);
    }
    if (o.help) return true;
    if (o.output.empty()) { error = "no output file (-o)"; return false; }
    if (o.inputs.empty()) { error = "no input files"; return false; }
    return true;
}
