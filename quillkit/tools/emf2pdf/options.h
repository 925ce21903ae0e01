// Command line of emf2pdf.
#pragma once

#include <string>
#include <vector>

#include "quillkit/settings.h"

struct Emf2PdfOptions {
    quillkit::DocumentSettings settings;
    std::string output;
    std::vector<std::string> inputs;
    // Where fonts come from: GDI (Windows only, its default) or font files
    // found on disk (the core's default provider).
    enum class FontSource { Default, Gdi, Files } fontSource = FontSource::Default;
    bool quiet = false;
    bool help = false;
};

// Parses UTF-8 arguments (without the program name). False with a message
// on a bad command line.
bool parseOptions(const std::vector<std::string>& args, Emf2PdfOptions& options, std::string& error);
const char* usageText();
