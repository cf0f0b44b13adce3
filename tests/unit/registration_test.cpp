// What Quillbox.dll registers: the rows agree with the type library the DLL carries and with what
// Windows' own type library registration writes, are written with this module's path, and
// unregistration removes what is the server's own and nothing else.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include <windows.h>
#include <oleauto.h>

#include "automation/com_ptr.h"
#include "automation/module.h"
#include "automation/registration.h"
#include "base/handles.h"
#include "engine/server.h"

namespace qb::testing {
namespace {

using automation::guidText;

std::vector<automation::ClassRegistration> registrations() {
    return automation::registrations(engine::serverClasses());
}

std::wstring tlbPath() { return automation::moduleFolder() + L"\\quillbox.tlb"; }

// HKEY_CLASSES_ROOT redirected to a scratch key of the current user for the test's time.
struct ScratchClassesRoot : ::testing::Test {
    static constexpr wchar_t kScratch[] = L"Software\\Quillbox tests\\classes root";
    HKEY scratch = nullptr;

    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch,
                                    nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegOverridePredefKey(HKEY_CLASSES_ROOT, scratch), ERROR_SUCCESS);
    }
    void TearDown() override {
        ::RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        ::RegCloseKey(scratch);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
        ::RegDeleteKeyW(HKEY_CURRENT_USER, kScratch);
    }

    bool exists(const std::wstring& key) {
        HKEY k = nullptr;
        if (::RegOpenKeyExW(scratch, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
        ::RegCloseKey(k);
        return true;
    }
    std::wstring value(const std::wstring& key, const wchar_t* name = nullptr) {
        wchar_t buf[MAX_PATH * 2] = {};
        DWORD size = sizeof(buf);
        if (::RegGetValueW(scratch, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
            return L"<none>";
        return buf;
    }
    void create(const std::wstring& key) {
        HKEY k = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(scratch, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), ERROR_SUCCESS);
        ::RegCloseKey(k);
    }
    // Every string value under `key`, as "subkey|name=value" (name "@" for the default value).
    void collect(const std::wstring& key, std::set<std::wstring>& out) {
        HKEY k = nullptr;
        if (::RegOpenKeyExW(scratch, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return;
        const UniqueRegKey owned(k);
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD nameLen = 256, type = 0;
            BYTE data[2048];
            DWORD dataLen = sizeof(data);
            if (::RegEnumValueW(k, i, name, &nameLen, nullptr, &type, data, &dataLen) != ERROR_SUCCESS) break;
            if (type == REG_SZ)
                out.insert(key + L"|" + (nameLen ? name : L"@") + L"=" + reinterpret_cast<wchar_t*>(data));
        }
        for (DWORD i = 0;; ++i) {
            wchar_t sub[256];
            DWORD subLen = 256;
            if (::RegEnumKeyExW(k, i, sub, &subLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            collect(key + L"\\" + sub, out);
        }
    }
};

TEST(RegistrationRows, AControlIsMarkedAsOneWithItsMiscStatusAndOtherClassesAreNot) {
    const CLSID clsid = {0x8b479775, 0xb00c, 0x481d, {0xb5, 0xe9, 0x84, 0xf9, 0xaa, 0xb4, 0x94, 0x9c}};
    const automation::ClassRegistration control{clsid, L"Suite.Tree", L"A tree", L"", 0x20191};
    std::map<std::wstring, std::wstring> rows;
    for (const auto& row : automation::registryRows({control}, nullptr, automation::kThisPlatform))
        rows[row.key + L"|" + row.name] = row.value;
    const std::wstring key = L"CLSID\\" + guidText(clsid);
    EXPECT_TRUE(rows.contains(key + L"\\Control|"));
    EXPECT_EQ(rows[key + L"\\MiscStatus|"], L"131473");
    EXPECT_EQ(rows[key + L"\\MiscStatus\\1|"], L"131473") << "for the content aspect";
    for (const auto& row : automation::registryRows(registrations(), nullptr, automation::kThisPlatform))
        EXPECT_FALSE(row.key.ends_with(L"\\Control") || row.key.find(L"MiscStatus") != std::wstring::npos) << row.key;
}

TEST_F(ScratchClassesRoot, RegisteringWritesTheClassWithThisModulesPath) {
    ASSERT_EQ(automation::registerServerRows(registrations(), engine::serverTypeLibrary()), S_OK);
    const std::wstring clsid = L"CLSID\\{78C64B61-7F52-4480-9836-377A6590397B}";
    EXPECT_EQ(value(clsid + L"\\InprocServer32"), automation::modulePath());
    EXPECT_EQ(value(clsid + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(value(clsid + L"\\ProgID"), L"Quillbox.Engine.1");
    EXPECT_EQ(value(clsid + L"\\VersionIndependentProgID"), L"Quillbox.Engine");
    EXPECT_EQ(value(L"Quillbox.Engine\\CLSID"), L"{78C64B61-7F52-4480-9836-377A6590397B}");
    EXPECT_EQ(value(L"Quillbox.Engine\\CurVer"), L"Quillbox.Engine.1");
    EXPECT_EQ(value(L"Quillbox.Engine.1\\CLSID"), L"{78C64B61-7F52-4480-9836-377A6590397B}");
    const wchar_t* platform = sizeof(void*) == 8 ? L"win64" : L"win32";
    EXPECT_EQ(value(std::wstring(L"TypeLib\\{A4D276E6-B98B-41EA-B1BA-23735BCE3513}\\1.0\\0\\") + platform), automation::modulePath());
    EXPECT_EQ(value(L"TypeLib\\{A4D276E6-B98B-41EA-B1BA-23735BCE3513}\\1.0\\HELPDIR"),
              automation::moduleFolder() + L"\\");
}

// What Windows' own RegisterTypeLib writes for the library is what the rows write, but for the
// module's path: an installed and a self-registered DLL look the same to every client.
TEST_F(ScratchClassesRoot, TheTypeLibraryRowsAreWhatRegisterTypeLibWrites) {
    automation::ComPtr<ITypeLib> lib;
    ASSERT_EQ(::LoadTypeLibEx(tlbPath().c_str(), REGKIND_NONE, lib.put()), S_OK);
    std::wstring path = tlbPath();
    ASSERT_EQ(::RegisterTypeLib(lib.get(), path.data(), nullptr), S_OK);
    std::set<std::wstring> windows, ours;
    const std::wstring libKey = L"TypeLib\\{A4D276E6-B98B-41EA-B1BA-23735BCE3513}";
    const std::wstring ifKey = L"Interface\\{1FB0918F-D26A-4F20-A13E-D4F5EEE33DC6}";
    collect(libKey, windows);
    collect(ifKey, windows);
    ::RegDeleteTreeW(scratch, libKey.c_str());
    ::RegDeleteTreeW(scratch, ifKey.c_str());
    // HELPDIR: the rows give the folder with the trailing backslash an installer's folder has.
    const std::wstring helpDir = libKey + L"\\1.0\\HELPDIR|@=" + automation::moduleFolder();
    ASSERT_EQ(windows.erase(helpDir), 1u);
    windows.insert(helpDir + L"\\");
    for (const auto& row : automation::registryRows({}, engine::serverTypeLibrary(), automation::kThisPlatform)) {
        std::wstring v = automation::expandRowValue(row.value, tlbPath(), automation::moduleFolder() + L"\\");
        ours.insert(row.key + L"|" + (row.name.empty() ? L"@" : row.name) + L"=" + v);
    }
    EXPECT_EQ(ours, windows);
}

TEST_F(ScratchClassesRoot, UnregisteringRemovesWhatIsTheServersOwnAndNothingElse) {
    create(L"TypeLib\\{A4D276E6-B98B-41EA-B1BA-23735BCE3513}\\2.0\\0\\win64");  // another version of the library
    create(L"CLSID\\{00000000-1111-2222-3333-444444444444}\\InprocServer32");
    const auto classes = registrations();
    ASSERT_EQ(automation::registerServerRows(classes, engine::serverTypeLibrary()), S_OK);
    EXPECT_EQ(automation::unregisterServerRows(classes, engine::serverTypeLibrary()), S_OK);
    for (const wchar_t* gone : {L"CLSID\\{78C64B61-7F52-4480-9836-377A6590397B}", L"Quillbox.Engine", L"Quillbox.Engine.1",
                                L"TypeLib\\{A4D276E6-B98B-41EA-B1BA-23735BCE3513}\\1.0",
                                L"Interface\\{1FB0918F-D26A-4F20-A13E-D4F5EEE33DC6}"})
        EXPECT_FALSE(exists(gone)) << gone;
    EXPECT_TRUE(exists(L"TypeLib\\{A4D276E6-B98B-41EA-B1BA-23735BCE3513}\\2.0\\0\\win64"));
    EXPECT_TRUE(exists(L"CLSID\\{00000000-1111-2222-3333-444444444444}\\InprocServer32"));

    ::RegDeleteTreeW(scratch, L"TypeLib\\{A4D276E6-B98B-41EA-B1BA-23735BCE3513}\\2.0");
    ::RegDeleteKeyW(scratch, L"TypeLib\\{A4D276E6-B98B-41EA-B1BA-23735BCE3513}\\2.0");
    ASSERT_EQ(automation::registerServerRows(classes, engine::serverTypeLibrary()), S_OK);
    EXPECT_EQ(automation::unregisterServerRows(classes, engine::serverTypeLibrary()), S_OK);
    EXPECT_FALSE(exists(L"TypeLib\\{A4D276E6-B98B-41EA-B1BA-23735BCE3513}")) << "the library's key, once empty";
}

}  // namespace
}  // namespace qb::testing
