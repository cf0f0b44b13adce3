// Engine as hosts that bind early see it (VBA, .NET, PowerShell): its default dispinterface,
// IErrorInfo after a failure, named arguments by the type library's parameter names, and the
// dispatch layer's own refusals (argument count, types, names, interface ids, Let and Set).
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "fakes.h"

namespace qb::testing {
namespace {

using automation::ComPtr;
using automation::ComError;

struct EngineBindingTest : ::testing::Test {
    FakeSuite suite;
    ComPtr<FakeObject> loader = makeFake(L"Itemkeeper.Engine", suite.log);
    ComPtr<IDispatch> engine = engine::createEngine();

    void SetUp() override {
        // The loader finds nothing: every operation returns at once after asking it.
        for (const wchar_t* m : {L"LoadFileObject", L"LoadFileOutlookObject", L"LoadFileWeb"})
            loader->on(m, [](const CallArgs&) { return Variant(static_cast<IDispatch*>(nullptr)); });
        suite.factory.define(L"Itemkeeper.Engine", [this] { return loader->object(); });
    }
    DISPID idOf(const wchar_t* name) {
        DISPID id = DISPID_UNKNOWN;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        engine->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        return id;
    }
    // Invokes with the arguments in rgvarg order (last first) and the named ids given.
    HRESULT invoke(DISPID member, std::vector<VARIANT> rgvarg, std::vector<DISPID> named, UINT* argErr = nullptr,
                   EXCEPINFO* excep = nullptr, REFIID riid = IID_NULL, WORD flags = DISPATCH_METHOD) {
        DISPPARAMS dp{rgvarg.data(), named.empty() ? nullptr : named.data(), static_cast<UINT>(rgvarg.size()),
                      static_cast<UINT>(named.size())};
        EXCEPINFO local{};
        HRESULT hr = engine->Invoke(member, riid, LOCALE_USER_DEFAULT, flags, &dp, nullptr, excep ? excep : &local, argErr);
        for (VARIANT& v : rgvarg) ::VariantClear(&v);
        if (!excep) {
            ::SysFreeString(local.bstrSource);
            ::SysFreeString(local.bstrDescription);
            ::SysFreeString(local.bstrHelpFile);
        }
        return hr;
    }
    // A text argument; invoke() frees it.
    static VARIANT text(const wchar_t* s) {
        VARIANT v;
        v.vt = VT_BSTR;
        v.bstrVal = ::SysAllocString(s);
        return v;
    }
};

// {1FB0918F-D26A-4F20-A13E-D4F5EEE33DC6}: the default dispinterface of the coclass.
const IID kEngineInterface = engine::DIID_Engine;

TEST_F(EngineBindingTest, TheDispatchLayerRefusesWhatAVbClassRefuses) {
    const DISPID showEditName = idOf(L"ShowEditName");
    EXPECT_EQ(invoke(showEditName, {text(L"a"), text(L"b")}, {}), DISP_E_BADPARAMCOUNT);
    UINT argErr = 99;
    EXPECT_EQ(invoke(idOf(L"ShowRelationWeb"), {text(L"x")}, {7}, &argErr), DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(argErr, 0u) << "the named argument that names nothing";
    // ShowRelationWeb "page", , , "not a truth value": the fourth argument is rgvarg[0].
    VARIANT missing;
    missing.vt = VT_ERROR;
    missing.scode = DISP_E_PARAMNOTFOUND;
    argErr = 99;
    EXPECT_EQ(invoke(idOf(L"ShowRelationWeb"), {text(L"not a truth value"), missing, missing, text(L"page")}, {}, &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 0u);
    EXPECT_EQ(invoke(showEditName, {text(L"a")}, {}, nullptr, nullptr, IID_IDispatch), DISP_E_UNKNOWNINTERFACE)
        << "Invoke takes IID_NULL only";
    DISPID id = 0;
    LPOLESTR name[] = {const_cast<LPOLESTR>(L"ShowEditName")};
    EXPECT_EQ(engine->GetIDsOfNames(IID_IDispatch, name, 1, 0, &id), DISP_E_UNKNOWNINTERFACE);
    EXPECT_TRUE(suite.log->empty()) << "nothing refused reached the suite";
}

// Whatever a script host passes to whichever parameter of the nine operations (Null, Empty, an
// array, an object, an error value, a number), the host gets an answer: done, or an error it can
// report (a type mismatch naming the argument, invalid use of Null...); never a crash.
TEST_F(EngineBindingTest, EveryOperationAnswersBadArgumentsWithAClearError) {
    struct Operation {
        const wchar_t* name;
        int parameters;  // the required ones
    };
    const Operation operations[] = {{L"ShowEditName", 1},    {L"ShowEditComment", 1},        {L"ShowEditPath", 1},
                                    {L"ShowRelation", 1},    {L"ShowAllItemsRelation", 1},   {L"ShowRelationOutlook", 3},
                                    {L"ShowRelationWeb", 4}, {L"ShowRelationWebEdition", 1}, {L"UploadXXX", 0}};
    ComPtr<FakeObject> stranger = makeFake(L"Stranger", suite.log);
    auto bad = [&](int kind) {
        VARIANT v;
        ::VariantInit(&v);
        switch (kind) {
            case 0: v.vt = VT_NULL; break;
            case 1: v.vt = VT_EMPTY; break;
            case 2: {
                v.vt = VT_ARRAY | VT_VARIANT;
                v.parray = ::SafeArrayCreateVector(VT_VARIANT, 0, 2);
                break;
            }
            case 3:
                v.vt = VT_DISPATCH;
                v.pdispVal = stranger.get();
                v.pdispVal->AddRef();
                break;
            case 4: v.vt = VT_ERROR, v.scode = E_FAIL; break;
            default: v.vt = VT_R8, v.dblVal = 1e300; break;
        }
        return v;
    };
    size_t tried = 0, refused = 0;
    for (const Operation& op : operations) {
        const DISPID id = idOf(op.name);
        ASSERT_NE(id, DISPID_UNKNOWN) << narrow(op.name);
        for (int position = 0; position < op.parameters; ++position) {
            for (int kind = 0; kind < 6; ++kind) {
                std::vector<VARIANT> args;  // rgvarg: last first
                for (int i = op.parameters - 1; i >= 0; --i) {
                    VARIANT good = text(L"x");
                    if (std::wstring(op.name) == L"ShowRelationWeb" && i == 3) {  // a truth value
                        ::VariantClear(&good);
                        good.vt = VT_BOOL, good.boolVal = VARIANT_TRUE;
                    }
                    args.push_back(i == position ? bad(kind) : good);
                }
                EXCEPINFO e{};
                UINT argErr = 99;
                const HRESULT hr = invoke(id, args, {}, &argErr, &e);
                ++tried;
                const long number = e.scode ? (e.scode & 0xFFFF) : e.wCode;
                // 94 is what a VB class raises for Null given to a text; 429 and 445 are the
                // suite missing here and the windows this build has not.
                const bool clear = hr == S_OK || hr == DISP_E_TYPEMISMATCH ||
                                   (hr == DISP_E_EXCEPTION &&
                                    (number == 13 || number == 5 || number == 94 || number == 429 || number == 445));
                EXPECT_TRUE(clear) << narrow(op.name) << " argument " << position << " of kind " << kind << ": hr 0x"
                                   << std::hex << hr << std::dec << ", error " << number;
                if (hr == DISP_E_TYPEMISMATCH) {
                    ++refused;
                    EXPECT_EQ(argErr, static_cast<UINT>(op.parameters - 1 - position)) << narrow(op.name);
                }
                ::SysFreeString(e.bstrSource);
                ::SysFreeString(e.bstrDescription);
                ::SysFreeString(e.bstrHelpFile);
            }
        }
    }
    std::printf("bad arguments: %zu tried over the nine operations, %zu refused as a type mismatch\n", tried, refused);
}

// An object with one property that takes a value (Let) and one that takes an object (Set).
class Holder final : public automation::DispatchObject {
public:
    std::wstring last;

protected:
    const automation::MemberTable& members() const override {
        static const automation::MemberTable t = [] {
            automation::MemberTable m;
            m.property<Holder>(L"Text", [](Holder& h) { return h.last; });
            m.assignable<Holder>(L"Text", [](Holder& h, const Variant& v) { h.last = L"let " + v.toText(); });
            m.property<Holder>(L"Item", [](Holder& h) { return h.last; });
            m.assignableRef<Holder>(L"Item", [](Holder& h, const Variant&) { h.last = L"set"; });
            return m;
        }();
        return t;
    }
};

TEST(DispatchLayer, LetAndSetAreToldApart) {
    auto* holder = new Holder;
    automation::Object o(ComPtr<IDispatch>::attach(holder));
    o.put(L"Text", Variant(L"a"));
    EXPECT_EQ(holder->last, L"let a");
    EXPECT_THROW(o.putRef(L"Text", Variant(static_cast<IDispatch*>(holder))), ComError) << "Text takes no Set";
    o.putRef(L"Item", Variant(static_cast<IDispatch*>(holder)));
    EXPECT_EQ(holder->last, L"set");
    EXPECT_THROW(o.put(L"Item", Variant(L"b")), ComError) << "Item takes no Let";
}

}  // namespace
}  // namespace qb::testing
