#pragma once
// CFileVersionInfo: the version resource of a program, library, driver or font, read when
// FullPathName is set: the fixed part as texts and the string table of the first translation.
#include <string>

namespace qb::fileinfo {

class CFileVersionInfo {
public:
    // Resolves the path and refreshes; a path that cannot be resolved changes nothing.
    void setFullPathName(const std::wstring& path);
    const std::wstring& FullPathName() const { return fullPathName_; }
    // Reads the resource again; a file without one changes nothing.
    void Refresh();

    bool Available() const { return available_; }
    const std::wstring& VerStructure() const { return verStructure_; }
    const std::wstring& VerFile() const { return verFile_; }
    const std::wstring& VerProduct() const { return verProduct_; }
    const std::wstring& FileFlags() const { return fileFlags_; }
    const std::wstring& FileOS() const { return fileOS_; }
    const std::wstring& FileType() const { return fileType_; }
    const std::wstring& FileSubType() const { return fileSubType_; }
    const std::wstring& Language() const { return language_; }
    const std::wstring& CompanyName() const { return strings_[0]; }
    const std::wstring& FileDescription() const { return strings_[1]; }
    const std::wstring& FileVersion() const { return strings_[2]; }
    const std::wstring& InternalName() const { return strings_[3]; }
    const std::wstring& LegalCopyright() const { return strings_[4]; }
    const std::wstring& LegalTrademarks() const { return strings_[5]; }
    const std::wstring& OriginalFilename() const { return strings_[6]; }
    const std::wstring& ProductName() const { return strings_[7]; }
    const std::wstring& ProductVersion() const { return strings_[8]; }

    // "6.00.29005512": major, minor in two digits, then build and revision in two digits each,
    // or the revision alone in four digits when the build is 0. Words read unsigned.
    static std::wstring formatVersion(unsigned long mostSignificant, unsigned long leastSignificant);

private:
    std::wstring fullPathName_;
    bool available_ = false;
    std::wstring verStructure_, verFile_, verProduct_, fileFlags_, fileOS_, fileType_, fileSubType_, language_;
    std::wstring strings_[9];
};

}  // namespace qb::fileinfo
