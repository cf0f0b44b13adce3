// quillhost: a command-line host. Creates "Quillbox.Engine" through COM and calls one operation.
//   quillhost OPERATION [ARG ...]     an argument "--omit" is passed as an omitted optional argument
//   quillhost --describe              lists the operations from the type information, with their ids
//   quillhost --keywords PATH VIEWID  opens the related-keywords viewer (frmKeyWords) on a local item;
//                                     no operation opens it, so it is tried by hand from here
// A raised error is printed (number, source, description) and the exit code is 1.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "automation/text.h"
#include "automation/com_error.h"
#include "automation/object_factory.h"
#include "windows/dialogs/keywords_viewer.h"

namespace {

// Prints "id name" for each operation the type information describes, and checks that
// GetIDsOfNames answers the same id. Returns the number of disagreements.
int describe(IDispatch* engine) {
    using namespace qb::automation;
    ComPtr<ITypeInfo> info;
    UINT count = 0;
    if (FAILED(engine->GetTypeInfoCount(&count)) || count == 0 || FAILED(engine->GetTypeInfo(0, 0, info.put()))) {
        std::puts("no type information");
        return 1;
    }
    TYPEATTR* attr = nullptr;
    info->GetTypeAttr(&attr);
    int mismatches = 0;
    for (UINT i = 0; i < attr->cFuncs; ++i) {
        FUNCDESC* fd = nullptr;
        if (FAILED(info->GetFuncDesc(i, &fd))) continue;
        BSTR name = nullptr;
        UINT got = 0;
        info->GetNames(fd->memid, &name, 1, &got);
        DISPID id = DISPID_UNKNOWN;
        LPOLESTR names[] = {name};
        engine->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
        std::wstring text = name ? name : L"";
        std::printf("%ld %s%s\n", static_cast<long>(fd->memid), qb::automation::toUtf8(text).c_str(),
                    id == fd->memid ? "" : " (GetIDsOfNames disagrees)");
        mismatches += id != fd->memid;
        ::SysFreeString(name);
        info->ReleaseFuncDesc(fd);
    }
    info->ReleaseTypeAttr(attr);
    return mismatches;
}

// The viewer in this process, on the item the suite's loader finds for `path`.
void showKeywords(const std::wstring& path, long viewId) {
    using namespace qb::automation;
    ComObjectFactory factory;
    Object loader = factory.create(L"Itemkeeper.Engine");
    qb::windows::frmKeyWords viewer;
    viewer.oFileSelected = loader.callObject(L"LoadFileObject", {path, false});
    viewer.intSelectedViewId = viewId;
    viewer.showModal();
}

// Calls one operation; the objects it made are released when it returns.
int run(int argc, wchar_t** argv) {
    using namespace qb::automation;
    int code = 0;
    try {
        if (std::wstring(argv[1]) == L"--keywords") {
            if (argc != 4) {
                std::fputs("usage: quillhost --keywords PATH VIEWID\n", stderr);
                return 2;
            }
            showKeywords(argv[2], std::wcstol(argv[3], nullptr, 10));
            return 0;
        }
        ComObjectFactory factory;
        Object engine = factory.create(L"Quillbox.Engine");
        if (std::wstring(argv[1]) == L"--describe") return describe(engine.get()) ? 1 : 0;
        std::vector<Arg> args;
        for (int i = 2; i < argc; ++i)
            args.push_back(std::wstring(argv[i]) == L"--omit" ? Arg::missing() : Arg(std::wstring(argv[i])));
        // Object::call takes an initializer list; pass up to four arguments the way a host writes the call.
        switch (args.size()) {
            case 0: engine.call(argv[1]); break;
            case 1: engine.call(argv[1], {args[0]}); break;
            case 2: engine.call(argv[1], {args[0], args[1]}); break;
            case 3: engine.call(argv[1], {args[0], args[1], args[2]}); break;
            case 4: engine.call(argv[1], {args[0], args[1], args[2], args[3]}); break;
            default: std::fputs("quillhost: at most four arguments\n", stderr); code = 2;
        }
    } catch (const ComError& e) {
        std::printf("error %ld\nsource: %s\ndescription: %s\n", e.number(), qb::automation::toUtf8(e.source()).c_str(),
                    qb::automation::toUtf8(e.description()).c_str());
        code = 1;
    }
    return code;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: quillhost OPERATION [ARG ...]   (\"--omit\" passes an omitted argument)\n", stderr);
        return 2;
    }
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
    const int code = run(argc, argv);  // the engine and the factory are gone before COM is
    ::CoUninitialize();
    return code;
}
