// File facts of real files made by the tests, and the size and date texts.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "fakes.h"
#include "fileinfo/file_info.h"

namespace qb::testing {
namespace {

using fileinfo::CFileInfo;
using fileinfo::longPathForm;

// A folder tree of its own under the temporary folder, removed afterwards.
class Scratch {
public:
    Scratch() {
        wchar_t tmp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, tmp);
        root_ = std::wstring(tmp) + L"QbInfo " + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(root_.c_str(), nullptr);
    }
    ~Scratch() { remove(root_); }
    const std::wstring& root() const { return root_; }
    std::wstring folder(const std::wstring& relative) {
        std::wstring path = root_;
        size_t start = 0;
        while (start <= relative.size()) {
            size_t end = relative.find(L'\\', start);
            path += L"\\" + relative.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
            ::CreateDirectoryW(longPathForm(path).c_str(), nullptr);
            if (end == std::wstring::npos) break;
            start = end + 1;
        }
        return path;
    }
    static std::wstring file(const std::wstring& path, size_t bytes) {
        HANDLE h = ::CreateFileW(longPathForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        std::string data(bytes, 'x');
        DWORD written = 0;
        ::WriteFile(h, data.data(), static_cast<DWORD>(bytes), &written, nullptr);
        ::CloseHandle(h);
        return path;
    }

private:
    static void remove(const std::wstring& path) {
        WIN32_FIND_DATAW f;
        HANDLE h = ::FindFirstFileW(longPathForm(path + L"\\*").c_str(), &f);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = f.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring child = path + L"\\" + name;
                if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    remove(child);
                } else {
                    ::SetFileAttributesW(longPathForm(child).c_str(), FILE_ATTRIBUTE_NORMAL);
                    ::DeleteFileW(longPathForm(child).c_str());
                }
            } while (::FindNextFileW(h, &f));
            ::FindClose(h);
        }
        ::RemoveDirectoryW(longPathForm(path).c_str());
    }
    std::wstring root_;
};

std::wstring upper(std::wstring s) {
    ::CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

TEST(FileInfo, SizeTextsFollowTheTable) {
    struct Row {
        long size;
        const wchar_t* text;
    } rows[] = {{0, L"0 bytes"},
                {1, L"1 bytes"},
                {1023, L"1,023 bytes"},
                {1024, L"1.00KB (1,024 bytes)"},
                {1234, L"1.21KB (1,234 bytes)"},
                {10239, L"10.00KB (10,239 bytes)"},
                {10240, L"10.0KB (10,240 bytes)"},
                {102400, L"100KB (102,400 bytes)"},
                {1023999, L"1000KB (1,023,999 bytes)"},
                {1024000, L"0.98MB (1,024,000 bytes)"},
                {10240000, L"9.8MB (10,240,000 bytes)"},
                {102400000, L"98MB (102,400,000 bytes)"},
                {1024000000, L"0.95GB (1,024,000,000 bytes)"},
                {2147483647, L"2.00GB (2,147,483,647 bytes)"},
                {-1, L"-1 bytes"}};
    const LCID english = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
    for (const Row& r : rows) EXPECT_EQ(CFileInfo::formatFileSize(r.size, english), r.text) << r.size;
}

TEST(FileInfo, SizeTextsUseTheRegionalSeparators) {
    const LCID german = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
    EXPECT_EQ(CFileInfo::formatFileSize(1234, german), L"1,21KB (1.234 bytes)");
    EXPECT_EQ(CFileInfo::formatFileSize(2147483647, german), L"2,00GB (2.147.483.647 bytes)");
    // Halves round away from zero: 1.125 KB is 1152 bytes.
    const LCID english = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
    EXPECT_EQ(CFileInfo::formatFileSize(1152, english), L"1.13KB (1,152 bytes)");
}

TEST(FileInfo, DateTextIsTheLongDateAndTheLongTime) {
    SYSTEMTIME st{2026, 1, 1, 5, 13, 2, 3, 0};
    double date = 0;
    ::SystemTimeToVariantTime(&st, &date);
    const LCID english = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
    wchar_t day[128], time[128];
    ::GetDateFormatW(english, DATE_LONGDATE, &st, nullptr, day, 128);
    ::GetTimeFormatW(english, 0, &st, nullptr, time, 128);
    EXPECT_EQ(CFileInfo::formatFileDate(date, english), std::wstring(day) + L" " + time);
    EXPECT_NE(CFileInfo::formatFileDate(date, english).find(L"2026"), std::wstring::npos);
}

TEST(FileInfo, GathersTheFactsAndRebuildsTheStoredLetterCase) {
    Scratch s;
    std::wstring path = Scratch::file(s.folder(L"Mixed Case\\Sub Dir") + L"\\Report File.TxT", 1234);
    CFileInfo f;
    f.setFullPathName(upper(path));
    ASSERT_TRUE(f.FileExists());
    EXPECT_TRUE(f.PathExists());
    EXPECT_EQ(f.FullPathName(), path.substr(0, 1) == upper(path.substr(0, 1)) ? path : upper(path.substr(0, 1)) + path.substr(1));
    EXPECT_EQ(f.FileName(), L"Report File.TxT");
    EXPECT_EQ(f.FilePath(), f.FullPathName().substr(0, f.FullPathName().size() - f.FileName().size()));
    EXPECT_EQ(f.FilePath().back(), L'\\');
    EXPECT_EQ(f.FileExtension(), L"TxT");
    EXPECT_EQ(f.FileSize(), 1234);
    EXPECT_EQ(f.FileSizeHigh(), 0);
    EXPECT_FALSE(f.TypeName().empty());
    EXPECT_NE(f.hIcon(), nullptr);
    EXPECT_EQ(f.ShortPath() + f.ShortName(), f.ShortPathName());
    EXPECT_GT(f.ModifyTime(), 40000.0);
}

TEST(FileInfo, TimesAreLocalWholeSecondsAndAttributesAreBits) {
    Scratch s;
    std::wstring path = Scratch::file(s.root() + L"\\timed.txt", 10);
    SYSTEMTIME local{2025, 7, 0, 14, 9, 30, 15, 500};
    FILETIME lft, utc;
    ::SystemTimeToFileTime(&local, &lft);
    ::LocalFileTimeToFileTime(&lft, &utc);
    HANDLE h = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ::SetFileTime(h, nullptr, nullptr, &utc);
    ::CloseHandle(h);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    CFileInfo f;
    f.setFullPathName(path);
    local.wMilliseconds = 0;
    double expected = 0;
    ::SystemTimeToVariantTime(&local, &expected);
    EXPECT_DOUBLE_EQ(f.ModifyTime(), expected);
    EXPECT_TRUE(f.attrReadOnly());
    EXPECT_TRUE(f.attrHidden());
    EXPECT_FALSE(f.attrSystem());
}

TEST(FileInfo, NamesWithoutExtensionAndShortNames) {
    Scratch s;
    CFileInfo bare;
    bare.setFullPathName(Scratch::file(s.root() + L"\\README", 3));
    EXPECT_EQ(bare.FileExtension(), L"");
    EXPECT_FALSE(bare.TypeName().empty());
    CFileInfo shortOne;
    shortOne.setFullPathName(Scratch::file(s.root() + L"\\abc.txt", 3));
    EXPECT_EQ(shortOne.ShortName(), L"ABC.TXT") << "an 8.3 name without a separate short name";
}

TEST(FileInfo, NamesOutsideTheAnsiCodePageAndPathsBeyondMaxPath) {
    Scratch s;
    const std::wstring name = L"\u00dcbersicht \u2013 \u6771\u4eac.txt";
    CFileInfo f;
    f.setFullPathName(Scratch::file(s.root() + L"\\" + name, 5));
    ASSERT_TRUE(f.FileExists());
    EXPECT_EQ(f.FileName(), name);

    std::wstring deep = s.folder(std::wstring(60, L'a') + L"\\" + std::wstring(60, L'b') + L"\\" +
                                 std::wstring(60, L'c') + L"\\" + std::wstring(60, L'd') + L"\\" + std::wstring(60, L'e'));
    std::wstring longFile = Scratch::file(deep + L"\\deep file.txt", 7);
    ASSERT_GT(longFile.size(), static_cast<size_t>(MAX_PATH));
    CFileInfo g;
    g.setFullPathName(longFile);
    ASSERT_TRUE(g.FileExists());
    EXPECT_EQ(g.FileName(), L"deep file.txt");
    EXPECT_EQ(g.FileSize(), 7);
    EXPECT_EQ(g.FullPathName().size(), longFile.size());
}

TEST(FileInfo, AMissingFileOnAFreshObjectLeavesEverythingEmpty) {
    CFileInfo f;
    f.setFullPathName(L"C:\\qb\\no\\such\\file.txt");
    EXPECT_FALSE(f.FileExists());
    EXPECT_FALSE(f.PathExists());
    EXPECT_EQ(f.FullPathName(), L"C:\\qb\\no\\such\\file.txt");
    EXPECT_EQ(f.FileName(), L"");
    EXPECT_EQ(f.TypeName(), L"");
    EXPECT_EQ(f.FileSize(), 0);
    EXPECT_EQ(f.hIcon(), nullptr);
}

TEST(FileInfo, AFileThatWentKeepsItsFactsButNoLongerExists) {
    Scratch s;
    std::wstring path = Scratch::file(s.root() + L"\\going.txt", 42);
    CFileInfo f;
    f.setFullPathName(path);
    ::DeleteFileW(path.c_str());
    f.Refresh();
    EXPECT_FALSE(f.FileExists());
    EXPECT_TRUE(f.PathExists());
    EXPECT_EQ(f.FileSize(), 42);
}

TEST(FileInfo, ExactFolderPathRoots) {
    EXPECT_EQ(CFileInfo::ExactFolderPath(L"c:\\"), L"C:\\");
    EXPECT_EQ(CFileInfo::ExactFolderPath(L"c:"), L"C:");
    EXPECT_EQ(CFileInfo::ExactFolderPath(L"\\\\Server\\Share"), L"\\\\Server\\Share");
    EXPECT_EQ(CFileInfo::ExactFolderPath(L"c:\\qb-no-such-folder\\x"), L"");
    // A file in a drive root: the drive in upper case, a colon and a backslash.
    std::wstring rootFile = Scratch::file(L"c:\\qb-root-test.txt", 1);
    CFileInfo f;
    f.setFullPathName(rootFile);
    EXPECT_EQ(f.FilePath(), L"C:\\");
    ::DeleteFileW(rootFile.c_str());
}

TEST(FileInfo, StripNullsCutsAtTheFirstNulOrTrims) {
    EXPECT_EQ(CFileInfo::StripNulls(std::wstring(L"abc\0def", 7)), L"abc");
    EXPECT_EQ(CFileInfo::StripNulls(std::wstring(L"\0x", 2)), L"");
    EXPECT_EQ(CFileInfo::StripNulls(L"  ab  "), L"ab");
}

}  // namespace
}  // namespace qb::testing
