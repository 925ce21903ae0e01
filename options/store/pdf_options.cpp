#include "pdf_options.h"

CPdfOptions::CPdfOptions() : tagPDFOPTIONS() {
  Compression = 1;         // Flate
  Layout = 1;              // OneColumn
  Version = 0;             // Acrobat4x
  Mode = 0;                // UseNone
  KeyLength = 0;           // Key40bit
  BWImageCompression = 2;  // CCITT3
  ColorImageCompression = 0;
  PdfProtectionEnabled = 0;
  EnableCopyInformation = 0;
  EnableModifyAnnotation = 0;
  EnableModifyStructure = 0;
  EnablePrinting = 0;
  URL_Autodetection = 1;
  UseBookmarks = 0;
}

bool CPdfOptions::operator==(const CPdfOptions& o) const {
  return Compression == o.Compression && Layout == o.Layout && Version == o.Version &&
         Mode == o.Mode && KeyLength == o.KeyLength &&
         BWImageCompression == o.BWImageCompression &&
         ColorImageCompression == o.ColorImageCompression &&
         PdfProtectionEnabled == o.PdfProtectionEnabled &&
         EnableCopyInformation == o.EnableCopyInformation &&
         EnableModifyAnnotation == o.EnableModifyAnnotation &&
         EnableModifyStructure == o.EnableModifyStructure && EnablePrinting == o.EnablePrinting &&
         URL_Autodetection == o.URL_Autodetection && UseBookmarks == o.UseBookmarks &&
         UserPassword == o.UserPassword && OwnerPassword == o.OwnerPassword &&
         Title == o.Title && Author == o.Author && Subject == o.Subject &&
         Keywords == o.Keywords;
}
