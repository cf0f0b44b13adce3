#pragma once
// What the component needs of the suite's external objects: their ProgIDs, members and fields.
// Everything is called late-bound by these names.

namespace qb::contract {

namespace progid {
constexpr wchar_t File[] = L"Tesra.File";
constexpr wchar_t KeyWordFile[] = L"Tesra.KeyWordFile";
constexpr wchar_t KeyWord[] = L"Tesra.KeyWord";
constexpr wchar_t Group[] = L"Tesra.Group";
constexpr wchar_t View[] = L"Tesra.View";
constexpr wchar_t Memo[] = L"Tesra.Memo";
constexpr wchar_t CatMemo[] = L"Tesra.CatMemo";
constexpr wchar_t Theme[] = L"Tesra.Theme";
constexpr wchar_t Category[] = L"Tesra.Category";
constexpr wchar_t Attach[] = L"Tesra.Attach";
constexpr wchar_t ItemLoader[] = L"Itemkeeper.Engine";
constexpr wchar_t Gatehouse[] = L"Gatehouse.Engine";
constexpr wchar_t Settler[] = L"Settler.Engine";
}  // namespace progid

// Fields of an item record (Tesra.File).
namespace field {
constexpr wchar_t FileId[] = L"FileId";
constexpr wchar_t FileName[] = L"FileName";
constexpr wchar_t FileComment[] = L"FileComment";
constexpr wchar_t FileCurrentPath[] = L"FileCurrentPath";
constexpr wchar_t FileType[] = L"FileType";
}  // namespace field

// Item kinds as FileType holds them (compared as exact text).
namespace kind {
constexpr wchar_t File[] = L"File";
constexpr wchar_t Server[] = L"Server";
constexpr wchar_t Web[] = L"Web";
constexpr wchar_t OutlookMail[] = L"OutlookMail";
constexpr wchar_t OutlookTask[] = L"OutlookTask";
constexpr wchar_t OutlookContact[] = L"OutlookContact";
constexpr wchar_t OutlookAppointment[] = L"OutlookAppointment";
constexpr wchar_t OutlookNote[] = L"OutlookNote";
}  // namespace kind

}  // namespace qb::contract
