#pragma once
// CFileInfo: the facts of one local or network file, gathered when FullPathName is set.
// Wide-character system calls throughout, so that names outside the ANSI code page work;
// paths longer than MAX_PATH work too (buffers grow, long paths go through the \\?\ form).
#include <windows.h>

#include <string>

#include "base/handles.h"

namespace qb::fileinfo {

class CFileInfo {
public:
    CFileInfo() = default;
    ~CFileInfo();
    CFileInfo(const CFileInfo&) = delete;
    CFileInfo& operator=(const CFileInfo&) = delete;

    // Resolves the path and refreshes; a path that cannot be resolved changes nothing.
    void setFullPathName(const std::wstring& path);
    const std::wstring& FullPathName() const { return fullPathName_; }
    // Gathers the facts again for the current FullPathName.
    void Refresh();

    const std::wstring& FileName() const { return fileName_; }
    const std::wstring& FilePath() const { return filePath_; }
    const std::wstring& FileExtension() const { return fileExtension_; }
    const std::wstring& DisplayName() const { return displayName_; }
    const std::wstring& TypeName() const { return typeName_; }
    const std::wstring& ShortPathName() const { return shortPathName_; }
    const std::wstring& ShortName() const { return shortName_; }
    const std::wstring& ShortPath() const { return shortPath_; }
    bool FileExists() const { return fileExists_; }
    bool PathExists() const { return pathExists_; }
    long FileSize() const { return fileSize_; }
    long FileSizeHigh() const { return fileSizeHigh_; }
    long CompressedFileSize() const { return compressedFileSize_; }
    long CompressedFileSizeHigh() const { return compressedFileSizeHigh_; }
    long Attributes() const { return attributes_; }
    double CreationTime() const { return creationTime_; }
    double LastAccessTime() const { return lastAccessTime_; }
    double ModifyTime() const { return modifyTime_; }
    bool attrReadOnly() const { return attributes_ & 0x1; }
    bool attrHidden() const { return attributes_ & 0x2; }
    bool attrSystem() const { return attributes_ & 0x4; }
    bool attrArchive() const { return attributes_ & 0x20; }
    bool attrTemporary() const { return attributes_ & 0x100; }
    bool attrCompressed() const { return attributes_ & 0x800; }
    // The shell's large icon; owned by this object (destroyed with it), callers draw it meanwhile.
    HICON hIcon() const { return hIcon_.get(); }

    // "1.21KB (1,234 bytes)" and the like, with the user's regional settings.
    static std::wstring FormatFileSize(long size);
    // The long date, a blank, the long time, with the user's regional settings.
    static std::wstring FormatFileDate(double date);

    // The same with a given locale (tests use fixed ones).
    static std::wstring formatFileSize(long size, LCID locale);
    static std::wstring formatFileDate(double date, LCID locale);

    // Helpers, public for their tests.
    static std::wstring StripNulls(const std::wstring& text);
    static double ConvertFileTime(const FILETIME& time, bool toLocal);
    static std::wstring ExactFolderPath(const std::wstring& path);

private:
    std::wstring fullPathName_, fileName_, filePath_, fileExtension_, displayName_, typeName_;
    UniqueIcon hIcon_;
    std::wstring shortPathName_, shortName_, shortPath_;
    bool fileExists_ = false, pathExists_ = false;
    long fileSize_ = 0, fileSizeHigh_ = 0, compressedFileSize_ = 0, compressedFileSizeHigh_ = 0, attributes_ = 0;
    double creationTime_ = 0, lastAccessTime_ = 0, modifyTime_ = 0;
};

// The form of a path that Windows accepts at any length: "\\?\C:\..." or "\\?\UNC\server\...".
std::wstring longPathForm(const std::wstring& path);

}  // namespace qb::fileinfo
