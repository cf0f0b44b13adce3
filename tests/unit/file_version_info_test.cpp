// Version resources of libraries built for the tests, and of one of Wine's own.
#include <gtest/gtest.h>

#include <windows.h>

#include "fileinfo/file_version_info.h"

namespace qb::testing {
namespace {

using fileinfo::CFileVersionInfo;

std::wstring besideTests(const wchar_t* name) {
    wchar_t exe[MAX_PATH];
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring folder(exe);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + name;
}

std::wstring languageName(WORD id) {
    wchar_t name[256] = {};
    ::VerLanguageNameW(id, name, 256);
    return name;
}

TEST(FileVersionInfo, VersionTextsRunBuildAndRevisionTogether) {
    EXPECT_EQ(CFileVersionInfo::formatVersion(MAKELONG(0, 6), MAKELONG(5512, 2900)), L"6.00.29005512");
    EXPECT_EQ(CFileVersionInfo::formatVersion(MAKELONG(2, 1), MAKELONG(42, 0)), L"1.02.0042");
    EXPECT_EQ(CFileVersionInfo::formatVersion(MAKELONG(1, 10), MAKELONG(7, 3)), L"10.01.0307");
    EXPECT_EQ(CFileVersionInfo::formatVersion(MAKELONG(0, 65535), MAKELONG(1, 0)), L"65535.00.0001") << "read unsigned";
}

TEST(FileVersionInfo, FontWithFlagsAndSeveralTranslationsUsesTheFirst) {
    CFileVersionInfo v;
    v.setFullPathName(besideTests(L"verfont.dll"));
    ASSERT_TRUE(v.Available());
    EXPECT_EQ(v.VerFile() + L"|" + v.VerProduct() + L"|" + v.VerStructure(), L"6.00.29005512|1.02.0042|1.0");
    EXPECT_EQ(v.FileFlags() + L"|" + v.FileOS() + L"|" + v.FileType() + L"|" + v.FileSubType(),
              L"Debug PreRel |NT-Win32|Font|TrueType Font");
    EXPECT_EQ(v.Language(), languageName(0x407));
    // The strings of the first translation, as the resource holds them.
    EXPECT_EQ(v.CompanyName() + L"|" + v.FileDescription() + L"|" + v.FileVersion() + L"|" + v.InternalName() + L"|" +
                  v.LegalCopyright() + L"|" + v.LegalTrademarks() + L"|" + v.OriginalFilename() + L"|" + v.ProductName() +
                  L"|" + v.ProductVersion(),
              L"Schriften GmbH|Eine Schrift|6.0.2900.5512|verfont|(c) 2026 Schriften GmbH|Schrift(R)|verfont.dll|"
              L"Schriftenpaket|1.2");
}

TEST(FileVersionInfo, WithoutATranslationTableOnlyTheFixedPartIsRead) {
    CFileVersionInfo v;
    v.setFullPathName(besideTests(L"verdriver.dll"));
    ASSERT_TRUE(v.Available());
    EXPECT_EQ(v.VerFile() + L"|" + v.FileFlags() + L"|" + v.FileOS() + L"|" + v.FileType() + L"|" + v.FileSubType(),
              L"10.01.0307|Patched Special |DOS-Win16|Driver|Language drv");
    EXPECT_EQ(v.Language(), L"");
    EXPECT_EQ(v.CompanyName(), L"") << "strings need a translation";
}

TEST(FileVersionInfo, PlainLibraryLeavesTheSubtypeEmptyAndMissingStringsUntouched) {
    CFileVersionInfo v;
    v.setFullPathName(besideTests(L"verplain.dll"));
    EXPECT_EQ(v.FileType(), L"DLL");
    EXPECT_EQ(v.FileSubType(), L"");
    EXPECT_EQ(v.FileFlags(), L"");
    EXPECT_EQ(v.Language(), languageName(0x409));
    EXPECT_EQ(v.CompanyName(), L"Plain Co");
    EXPECT_EQ(v.FileDescription(), L"");
}

TEST(FileVersionInfo, AFileWithoutAResourceChangesNothing) {
    CFileVersionInfo v;
    v.setFullPathName(besideTests(L"skin\\mac.skn"));
    EXPECT_FALSE(v.Available());
    EXPECT_EQ(v.VerFile(), L"");
    EXPECT_NE(v.FullPathName().find(L"mac.skn"), std::wstring::npos);
}

TEST(FileVersionInfo, ReadsTheSystemsOwnLibraries) {
    wchar_t system[MAX_PATH];
    ::GetSystemDirectoryW(system, MAX_PATH);
    CFileVersionInfo v;
    v.setFullPathName(std::wstring(system) + L"\\kernel32.dll");
    ASSERT_TRUE(v.Available());
    EXPECT_EQ(v.FileType(), L"DLL");
    EXPECT_FALSE(v.VerFile().empty());
    EXPECT_FALSE(v.Language().empty());
}

}  // namespace
}  // namespace qb::testing
