#pragma once
// Engine: the component's one public class. Each operation loads an item record through the
// suite's item loader and opens the window that fits it, modally.
#include <string>

#include "automation/dispatch_object.h"

namespace qb::engine {

// {78C64B61-7F52-4480-9836-377A6590397B}
inline constexpr CLSID CLSID_Engine = {0x78c64b61, 0x7f52, 0x4480, {0x98, 0x36, 0x37, 0x7a, 0x65, 0x90, 0x39, 0x7b}};
inline constexpr wchar_t kEngineProgId[] = L"Quillbox.Engine";
// The type library embedded in Quillbox.dll and Engine's dispatch interface in it.
inline constexpr wchar_t kTypeLibId[] = L"{A4D276E6-B98B-41EA-B1BA-23735BCE3513}";
// {1FB0918F-D26A-4F20-A13E-D4F5EEE33DC6}
inline constexpr IID DIID_Engine = {0x1fb0918f, 0xd26a, 0x4f20, {0xa1, 0x3e, 0xd4, 0xf5, 0xee, 0xe3, 0x3d, 0xc6}};

class Engine final : public automation::DispatchObject {
public:
    Engine();
    // The last Engine of a thread closes the windows kept in its slots (the name clash dialog
    // stays loaded between uploads): no window of the component outlives its last object.
    ~Engine() override;

    void ShowEditName(const std::wstring& pstrPath);
    void ShowEditComment(const std::wstring& pstrPath);
    void ShowEditPath(const std::wstring& pstrPath);
    void ShowRelation(const std::wstring& pstrPath);
    void ShowAllItemsRelation(const std::wstring& pstrPath);
    void ShowRelationOutlook(const std::wstring& pstrEntryId, const std::wstring& pstrName,
                             const std::wstring& pstrType);
    void ShowRelationWeb(std::wstring pstrPath, std::wstring pstrTitle, const std::wstring& pstrMemo,
                         bool pRecomendedKW);
    void ShowRelationWebEdition(const std::wstring& pstrPath);
    automation::Variant UploadXXX();

    // The title ShowRelationWeb gives a page without one: the last "/" piece of the address,
    // or the whole address when that piece is empty.
    static std::wstring titleFromAddress(const std::wstring& address);

protected:
    const automation::MemberTable& members() const override;
    automation::ComPtr<ITypeInfo> typeInfo() override;
    // IDispatch, the dispinterface the type library names as default (a host that binds early
    // asks for it), and ISupportErrorInfo: the operations' failures set IErrorInfo.
    void* interfaceFor(REFIID iid) override;
    const IID& errorInterface() const override { return DIID_Engine; }

private:
    automation::ComPtr<ITypeInfo> typeInfo_;
    automation::ErrorInfoSupport errorInfo_{*asDispatch(), {&DIID_Engine, &IID_IDispatch}};
};

automation::ComPtr<IDispatch> createEngine();

// Whether a window of the component exists: the module must then stay loaded, its code being
// the window's procedure.
bool windowsAlive();

}  // namespace qb::engine
