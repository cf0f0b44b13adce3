// TesraSuite.dll: the stand-in suite's in-process server (data objects and engines).
#include <windows.h>

#include "automation/server_module.h"
#include "engines.h"
#include "category_tree.h"
#include "choosers.h"
#include "record.h"
#include "statewatch.h"
#include "ui/window/form.h"

namespace {

using qb::automation::makeObject;

const std::vector<qb::automation::ServerClass>& classes() {
    static const std::vector<qb::automation::ServerClass> list = {
        {{{0x712dc09e, 0xf299, 0x55d2, {0x92, 0xc7, 0xdd, 0x25, 0x94, 0x03, 0xae, 0xda}}, L"Tesra.File", L"Item record (stand-in)"}, [] { return tesra::createRecord(tesra::fileKind()); }},
        {{{0x5045974c, 0xf6bb, 0x565e, {0xa6, 0xae, 0x14, 0xef, 0x44, 0xbe, 0x56, 0x6e}}, L"Tesra.KeyWord", L"Keyword (stand-in)"}, [] { return tesra::createRecord(tesra::keyWordKind()); }},
        {{{0x7f28edd5, 0x75c0, 0x5a64, {0xb8, 0xff, 0x2a, 0xdf, 0x85, 0x13, 0xec, 0x6c}}, L"Tesra.Group", L"Keyword group (stand-in)"}, [] { return tesra::createRecord(tesra::groupKind()); }},
        {{{0x45bc1be0, 0x50ec, 0x5fd3, {0x9e, 0x23, 0x05, 0xb1, 0xb3, 0x41, 0xe0, 0x8c}}, L"Tesra.View", L"Keyword view (stand-in)"}, [] { return tesra::createRecord(tesra::viewKind()); }},
        {{{0x419ce451, 0xfd36, 0x52f2, {0xb7, 0xa3, 0xea, 0x47, 0x9d, 0xe3, 0x63, 0xd2}}, L"Tesra.KeyWordFile", L"Keyword relation (stand-in)"}, [] { return tesra::createRecord(tesra::keyWordFileKind()); }},
        {{{0xcead2579, 0x8af1, 0x5ef3, {0xbf, 0x4d, 0x77, 0xb3, 0x52, 0x3d, 0x08, 0xf2}}, L"Tesra.Memo", L"Memo (stand-in)"}, [] { return tesra::createRecord(tesra::memoKind()); }},
        {{{0x1d451e48, 0x6999, 0x590c, {0xa1, 0xe9, 0x7b, 0xce, 0x5a, 0xd2, 0x9e, 0xbb}}, L"Tesra.CatMemo", L"Memo filing (stand-in)"}, [] { return tesra::createRecord(tesra::catMemoKind()); }},
        {{{0x6ee0d21e, 0x2eee, 0x5678, {0x84, 0x49, 0x5c, 0xcd, 0x2f, 0x7a, 0x8f, 0xf5}}, L"Tesra.Theme", L"Memo theme (stand-in)"}, [] { return tesra::createRecord(tesra::themeKind()); }},
        {{{0xda8191b5, 0xf2ee, 0x5b54, {0x8a, 0x66, 0x6d, 0xcb, 0x0b, 0x65, 0xf3, 0xd5}}, L"Tesra.Category", L"Category (stand-in)"}, [] { return tesra::createRecord(tesra::categoryKind()); }},
        {{tesra::CLSID_CategoryTree, L"Tesra.CategoryTree", L"Category tree control (stand-in)", L"", tesra::CategoryTree::kMiscStatus}, [] { return makeObject<tesra::CategoryTree>(); }},
        {{{0x9a4e5701, 0xbd64, 0x5acb, {0x9f, 0x72, 0x2c, 0x10, 0x07, 0x9d, 0x6f, 0x7a}}, L"Tesra.Attach", L"Attachment (stand-in)"}, [] { return tesra::createRecord(tesra::attachKind()); }},
        {{{0x55811577, 0xe36c, 0x5904, {0xb8, 0x2c, 0x3b, 0x37, 0x4e, 0x7d, 0xd7, 0xa2}}, L"Itemkeeper.Engine", L"Item loader (stand-in)"}, [] { return makeObject<tesra::ItemLoader>(); }},
        {{{0xfbecebd1, 0x16ab, 0x5541, {0x95, 0xa3, 0x52, 0xf9, 0x1f, 0x65, 0x9e, 0x6d}}, L"Gatehouse.Engine", L"Connection and file server (stand-in)"}, [] { return makeObject<tesra::Gatehouse>(); }},
        {{{0x459127cd, 0x0e75, 0x5898, {0x94, 0x25, 0x13, 0x20, 0x8a, 0x15, 0x86, 0x5f}}, L"Settler.Engine", L"Configuration (stand-in)"}, [] { return makeObject<tesra::Settler>(); }},
        {{{0xd678c10a, 0xcf42, 0x5d90, {0x96, 0x8c, 0xdb, 0x46, 0xa8, 0xe6, 0xd5, 0x64}}, L"Procwatch.clsEngine", L"Process check (stand-in)"}, [] { return makeObject<tesra::ProcessWatch>(); }},
        {{{0xeb717a49, 0xb527, 0x530c, {0xa4, 0xeb, 0xf1, 0x5f, 0xa2, 0x04, 0x4f, 0xcc}}, L"Webopen.Engine", L"Browser opener (stand-in)"}, [] { return makeObject<tesra::WebOpener>(); }},
        {{{0x2e188c3d, 0x36d7, 0x5bdc, {0xa4, 0xda, 0xf7, 0x37, 0x10, 0xbe, 0x4f, 0x95}}, L"Statewatch.CheckState", L"Connection-state control (stand-in)"}, [] { return makeObject<tesra::CheckState>(); }},
        {{{0x26177734, 0x946e, 0x5e3b, {0x99, 0xcd, 0xe2, 0x03, 0x71, 0x30, 0x5c, 0xcf}}, L"Lenspick.Engine", L"View chooser (stand-in)"}, [] { return makeObject<tesra::ViewPicker>(); }},
        {{{0x87597a23, 0xd92a, 0x532b, {0x9c, 0x01, 0x27, 0xdd, 0x33, 0x88, 0xb4, 0x90}}, L"Tagpick.Engine", L"Keyword chooser (stand-in)"}, [] { return makeObject<tesra::KeywordPicker>(); }},
        {{{0xb2607cd0, 0x3bad, 0x5e86, {0xba, 0x7a, 0x4d, 0x56, 0x6c, 0xc3, 0x60, 0x43}}, L"Routepick.Engine", L"Path chooser (stand-in)"}, [] { return makeObject<tesra::PathPicker>(); }},
        {{{0x6c3d51a2, 0x8e14, 0x5b07, {0xa9, 0x3f, 0x41, 0x7e, 0x02, 0xd8, 0x5c, 0x19}}, L"Foldermint.Engine", L"New category dialog (stand-in)"}, [] { return makeObject<tesra::CategoryMaker>(); }},
        {{{0x3f9b7e60, 0x21c4, 0x5d8a, {0xb1, 0x52, 0x6e, 0x0d, 0x93, 0xa7, 0x4f, 0x28}}, L"Tagadvisor.Engine", L"Recommended keywords (stand-in)"}, [] { return makeObject<tesra::KeywordAdvisor>(); }},
    };
    return list;
}

}  // namespace

// The choosers are forms and the category tree has a window: their window classes go when the
// DLL does.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    return qb::automation::serverDllMain(instance, reason, reserved, [] {
        qb::ui::unregisterFormClass();
        tesra::unregisterCategoryTreeClass();
    });
}

QB_COM_SERVER_EXPORTS(classes)
