// The type library embedded in Tessera.dll: identities, help strings, the
// enumerations, and every member of ITessera with its DISPID in vtable order.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Tessera_h.h"
#include "w32/com_ptr.h"
#include "w32/module_path.h"

using w32::ComPtr;

namespace {

struct Member {
  std::wstring name;
  MEMBERID id;
  INVOKEKIND kind;
  std::wstring help;
};

std::vector<Member> ExpectedMembers() {
  struct Row {
    MEMBERID id;
    const wchar_t* name;
    const wchar_t* help;  // nullptr: "property " + name
    bool method;
  };
  const Row rows[] = {
      {1, L"Compression", nullptr, false},
      {2, L"Layout", nullptr, false},
      {3, L"Version", nullptr, false},
      {4, L"Mode", nullptr, false},
      {5, L"KeyLength", nullptr, false},
      {6, L"BWImageCompression", nullptr, false},
      {18, L"TargetFile", nullptr, false},
      {19, L"TargetDir", nullptr, false},
      {20, L"ShowErrorMessages", nullptr, false},
      {21, L"SilentMode", nullptr, false},
      {22, L"CreateDirectoryIfNotExist", nullptr, false},
      {23, L"OverwriteFileIfExist", nullptr, false},
      {24, L"UsingTargetFile", L"Using target file, else target directory", false},
      {25, L"JPEG_COMPRESSION", nullptr, false},
      {26, L"TIFF_COLORMODE", nullptr, false},
      {27, L"TIFF_MULTIPAGE", nullptr, false},
      {28, L"BMP_COLORMODE", nullptr, false},
      {29, L"PNG_COLORMODE", nullptr, false},
      {30, L"PdfProtectionEnabled", nullptr, false},
      {31, L"EnableCopyInformation", nullptr, false},
      {32, L"EnableModifyAnnotation", nullptr, false},
      {33, L"EnableModifyStructure", nullptr, false},
      {34, L"EnablePrinting", nullptr, false},
      {35, L"UserPassword", nullptr, false},
      {36, L"OwnerPassword", nullptr, false},
      {37, L"Title", nullptr, false},
      {38, L"Author", nullptr, false},
      {39, L"Subject", nullptr, false},
      {40, L"Keywords", nullptr, false},
      {41, L"URL_Autodetection", nullptr, false},
      {42, L"JPEG_GRAYSCALE", nullptr, false},
      {43, L"SaveData", L"method SaveData", true},
      {7, L"GetProfileName", L"Get profile name.", true},
      {8, L"AddProfile", L"Add profile. Profile name must not exist", true},
      {9, L"GetProfilesCount", L"Get profiles count", true},
      {10, L"SetActual", L"Set actual profile number", true},
      {11, L"GetActual", L"Get actual profile number", true},
      {12, L"IsProfileNameExist", L"Is profile name exist", true},
      {13, L"GetCurrentProfileName", L"Get current profile name.", true},
      {14, L"IsOptionsExist", L"Is options unique, to not make a superfluous profiles", true},
      {15, L"RemoveProfile", L"Remove profile by number", true},
      {16, L"RemoveProfileWithName", L"Remove profile by name", true},
      {17, L"UpdateProfile", L"Update current profile. Default profile cannot be updated", true},
      {44, L"UseBookmarks", L"Use bookmarks ", false},
      {45, L"ColorImageCompression", nullptr, false},
      {46, L"OutputType", nullptr, false},
      {47, L"MultiDocMode", nullptr, false},
      {48, L"MultiDocumentState", nullptr, false},
      {49, L"PutWatermarks", nullptr, false},
      {50, L"WatermarksFile", nullptr, false},
      {51, L"FirstPageSeparate", nullptr, false},
      {52, L"FirstPageWatermarkFile", nullptr, false},
      {53, L"WatermarkOnTheTop", nullptr, false},
      {54, L"WatermarksFileLandscape", nullptr, false},
      {55, L"FirstPageWatermarkFileLandscape", nullptr, false},
  };
  std::vector<Member> members;
  for (const Row& r : rows) {
    const std::wstring help = r.help ? r.help : std::wstring(L"property ") + r.name;
    if (r.method) {
      members.push_back({r.name, r.id, INVOKE_FUNC, help});
    } else {
      members.push_back({r.name, r.id, INVOKE_PROPERTYGET, help});
      members.push_back({r.name, r.id, INVOKE_PROPERTYPUT, help});
    }
  }
  return members;
}

std::wstring Doc(ITypeInfo* info, MEMBERID id, std::wstring* help = nullptr) {
  BSTR name = nullptr, doc = nullptr;
  info->GetDocumentation(id, &name, &doc, nullptr, nullptr);
  std::wstring result = name ? name : L"";
  if (help) *help = doc ? doc : L"";
  ::SysFreeString(name);
  ::SysFreeString(doc);
  return result;
}

class TypeLibrary : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ::CoInitialize(nullptr); }
  static void TearDownTestSuite() { ::CoUninitialize(); }
  void SetUp() override {
    const std::wstring dll = w32::JoinPath(w32::ModuleFolder(), L"Tessera.dll");
    ASSERT_EQ(::LoadTypeLibEx(dll.c_str(), REGKIND_NONE, lib_.Put()), S_OK);
  }
  ComPtr<ITypeLib> lib_;
};

TEST_F(TypeLibrary, IdentitiesAndHelpStrings) {
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(lib_->GetLibAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(attr->guid, LIBID_Tessera));
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  EXPECT_EQ(attr->lcid, 0u);
  EXPECT_EQ(attr->syskind, SYS_WIN32);
  lib_->ReleaseTLibAttr(attr);
  BSTR name = nullptr, help = nullptr;
  ASSERT_EQ(lib_->GetDocumentation(-1, &name, &help, nullptr, nullptr), S_OK);
  EXPECT_STREQ(name, L"Tessera");
  EXPECT_STREQ(help, L"Tessera 1.0 Type Library");
  ::SysFreeString(name);
  ::SysFreeString(help);

  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(lib_->GetTypeInfoOfGuid(CLSID_Tessera, coclass.Put()), S_OK);
  std::wstring classHelp;
  EXPECT_EQ(Doc(coclass.Get(), MEMBERID_NIL, &classHelp), L"Tessera");
  EXPECT_EQ(classHelp, L"Tessera Class");
  HREFTYPE ref = 0;
  INT flags = 0;
  ASSERT_EQ(coclass->GetRefTypeOfImplType(0, &ref), S_OK);
  coclass->GetImplTypeFlags(0, &flags);
  EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
  ComPtr<ITypeInfo> defaultInterface;
  ASSERT_EQ(coclass->GetRefTypeInfo(ref, defaultInterface.Put()), S_OK);
  EXPECT_EQ(Doc(defaultInterface.Get(), MEMBERID_NIL), L"ITessera");
}

TEST_F(TypeLibrary, EnumerationsAreTypedefsOfUnnamedFourByteEnums) {
  struct Enum {
    const wchar_t* type;
    std::vector<std::pair<std::wstring, LONG>> members;
  } enums[] = {
      {L"PDFCompression", {{L"None", 0}, {L"Flate", 1}}},
      {L"PageLayout", {{L"SinglePage", 0}, {L"OneColumn", 1}, {L"TwoColumnsLeft", 2},
                       {L"TwoColumnsRight", 3}}},
      {L"PDFVersion", {{L"Acrobat4x", 0}, {L"Acrobat5x", 1}}},
      {L"PageMode", {{L"UseNone", 0}, {L"UseOutlines", 1}, {L"UseThumbnails", 2},
                     {L"FullScreen", 3}}},
      {L"CryptoKeyLength", {{L"Key40bit", 0}, {L"Key128bit", 1}}},
      {L"BWCompression", {{L"CCITT3", 2}, {L"CCITT32d", 3}, {L"CCITT4", 4}}},
      {L"ColorCompression", {{L"itcFlate", 0}, {L"itcJpeg", 1}}},
      {L"OutputFormat", {{L"PDF_Output", 0}, {L"BMP_Output", 1}, {L"JPEG_Output", 2},
                         {L"PNG_Output", 3}, {L"TIFF_Output", 4}, {L"EMF_Output", 5}}},
      {L"MultiDocState", {{L"Start", 0}, {L"Continue", 1}, {L"Finish", 2}}},
  };
  for (const Enum& e : enums) {
    ComPtr<ITypeInfo> alias;
    MEMBERID id = 0;
    USHORT found = 1;
    ASSERT_EQ(lib_->FindName(const_cast<LPOLESTR>(e.type), 0, alias.Put(), &id, &found), S_OK);
    ASSERT_EQ(found, 1) << e.type;
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(alias->GetTypeAttr(&attr), S_OK);
    ASSERT_EQ(attr->typekind, TKIND_ALIAS) << e.type;
    ASSERT_EQ(attr->tdescAlias.vt, VT_USERDEFINED) << e.type;
    ComPtr<ITypeInfo> enumInfo;
    ASSERT_EQ(alias->GetRefTypeInfo(attr->tdescAlias.hreftype, enumInfo.Put()), S_OK);
    alias->ReleaseTypeAttr(attr);

    ASSERT_EQ(enumInfo->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_ENUM) << e.type;
    EXPECT_EQ(attr->cbSizeInstance, 4u) << e.type;
    ASSERT_EQ(attr->cVars, e.members.size()) << e.type;
    enumInfo->ReleaseTypeAttr(attr);
    EXPECT_NE(Doc(enumInfo.Get(), MEMBERID_NIL), e.type);  // the enumeration has no name of its own
    for (UINT i = 0; i < e.members.size(); ++i) {
      VARDESC* var = nullptr;
      ASSERT_EQ(enumInfo->GetVarDesc(i, &var), S_OK);
      EXPECT_EQ(Doc(enumInfo.Get(), var->memid), e.members[i].first);
      EXPECT_EQ(var->lpvarValue->lVal, e.members[i].second);
      enumInfo->ReleaseVarDesc(var);
    }
  }
}

TEST_F(TypeLibrary, InterfaceMembersInVtableOrder) {
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(lib_->GetTypeInfoOfGuid(IID_ITessera, info.Put()), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  // A dual interface is found as its dispatch view; its vtable view follows it.
  if (attr->typekind == TKIND_DISPATCH) {
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
    info->ReleaseTypeAttr(attr);
    HREFTYPE ref = 0;
    ASSERT_EQ(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref), S_OK);
    ComPtr<ITypeInfo> vtable;
    ASSERT_EQ(info->GetRefTypeInfo(ref, vtable.Put()), S_OK);
    info = vtable;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  }
  EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
  EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
  EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
  const std::vector<Member> expected = ExpectedMembers();
  ASSERT_EQ(expected.size(), 98u);
  ASSERT_EQ(attr->cFuncs, 98);
  info->ReleaseTypeAttr(attr);
  std::wstring interfaceHelp;
  Doc(info.Get(), MEMBERID_NIL, &interfaceHelp);
  EXPECT_EQ(interfaceHelp, L"ITessera Interface");

  for (UINT i = 0; i < expected.size(); ++i) {
    FUNCDESC* f = nullptr;
    ASSERT_EQ(info->GetFuncDesc(i, &f), S_OK);
    std::wstring help;
    EXPECT_EQ(Doc(info.Get(), f->memid, &help), expected[i].name) << i;
    EXPECT_EQ(f->memid, expected[i].id) << expected[i].name;
    EXPECT_EQ(f->invkind, expected[i].kind) << expected[i].name;
    EXPECT_EQ(help, expected[i].help) << expected[i].name;
    EXPECT_EQ(f->oVft, static_cast<SHORT>((7 + i) * sizeof(void*))) << expected[i].name;
    EXPECT_EQ(f->elemdescFunc.tdesc.vt, VT_HRESULT) << expected[i].name;
    if (f->invkind != INVOKE_FUNC) {
      EXPECT_EQ(f->cParams, 1) << expected[i].name;
    }
    if (f->invkind == INVOKE_PROPERTYPUT) {
      // The setter's parameter has no name in the library.
      BSTR names[4] = {};
      UINT count = 0;
      ASSERT_EQ(info->GetNames(f->memid, names, 4, &count), S_OK);
      for (UINT n = 0; n < count; ++n) ::SysFreeString(names[n]);
      FUNCDESC* get = nullptr;
      info->GetFuncDesc(i - 1, &get);
      EXPECT_EQ(get->invkind, INVOKE_PROPERTYGET);
      info->ReleaseFuncDesc(get);
    }
    info->ReleaseFuncDesc(f);
  }
}

TEST_F(TypeLibrary, ProfileNamesArePassedAsPointersToBstr) {
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(lib_->GetTypeInfoOfGuid(IID_ITessera, info.Put()), S_OK);
  for (const wchar_t* method : {L"AddProfile", L"IsProfileNameExist", L"RemoveProfileWithName"}) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(method), const_cast<LPOLESTR>(L"pbszProfileName")};
    DISPID ids[2] = {};
    ASSERT_EQ(info->GetIDsOfNames(names, 2, ids), S_OK) << method;
    EXPECT_EQ(ids[1], 0) << method;  // the name parameter comes first
    TYPEATTR* attr = nullptr;
    info->GetTypeAttr(&attr);
    const WORD funcs = attr->cFuncs;
    info->ReleaseTypeAttr(attr);
    bool seen = false;
    for (UINT i = 0; i < funcs; ++i) {
      FUNCDESC* f = nullptr;
      info->GetFuncDesc(i, &f);
      if (f->memid == ids[0] && f->cParams >= 1) {
        const ELEMDESC& p = f->lprgelemdescParam[0];
        EXPECT_EQ(p.tdesc.vt, VT_PTR) << method;
        if (p.tdesc.vt == VT_PTR) {
          EXPECT_EQ(p.tdesc.lptdesc->vt, VT_BSTR) << method;
        }
        EXPECT_TRUE(p.paramdesc.wParamFlags & PARAMFLAG_FIN) << method;
        seen = true;
      }
      info->ReleaseFuncDesc(f);
    }
    EXPECT_TRUE(seen) << method;
  }
}

TEST(TesseraResources, ModuleHoldsItsTypeLibraryAndRegistrationScript) {
  const std::wstring dll = w32::JoinPath(w32::ModuleFolder(), L"Tessera.dll");
  HMODULE module = ::LoadLibraryExW(dll.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  EXPECT_NE(::FindResourceW(module, MAKEINTRESOURCEW(1), L"TYPELIB"), nullptr);
  HRSRC script = ::FindResourceW(module, MAKEINTRESOURCEW(101), L"REGISTRY");
  ASSERT_NE(script, nullptr);
  const char* data = static_cast<const char*>(::LockResource(::LoadResource(module, script)));
  const std::string text(data, ::SizeofResource(module, script));
  // The script names the same keys that DllRegisterServer writes.
  for (const char* part : {"Tessera.1 = s 'Tessera Class'", "CurVer = s 'Tessera.1'",
                           "ForceRemove {E6101795-5F97-47AB-B850-3AA210CCFA34}",
                           "VersionIndependentProgID = s 'Tessera'", "'Programmable'",
                           "InprocServer32 = s '%MODULE%'", "val ThreadingModel = s 'Apartment'",
                           "'TypeLib' = s '{169539C8-363D-4D90-9FB4-309340AEECE4}'"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part;
  }
  ::FreeLibrary(module);
}

}  // namespace
