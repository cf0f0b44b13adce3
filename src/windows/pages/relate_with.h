#pragma once
// "Relate With:", the frame of the server, web and mail item windows that says how the user keeps
// an item that is not a local file: a link, or also a local copy made on "Ok" in the suite's
// download folder or in one the user picks. Its picture shows the way chosen.
#include <string>

#include "base/handles.h"
#include "windows/pages/relation_context.h"

namespace qb::windows {

// What differs between the windows: the frame's name and the link option's caption.
struct RelateWithNames {
    const wchar_t* frame = L"SSFrame1";      // "fradownload" in the mail item window
    const wchar_t* link = L"&Link";          // "Outlook's Item" there
};

class RelateWithFrame {
public:
    explicit RelateWithFrame(RelationContext context, RelateWithNames names = {});
    RelateWithFrame(const RelateWithFrame&) = delete;
    RelateWithFrame& operator=(const RelateWithFrame&) = delete;

    ui::Panel SSPanel5;
    ui::Picture Picture2;
    ui::OptionButton chkLink, chkLocalCopyDP, chkLocalCopyOP;
    ui::Frame SSFrame1;

    // The frame's place in the server, web and mail item windows (twips).
    ui::LayoutTable layout();
    // At the start of the load: the link chosen.
    void prepare();

    // Event handlers (reported under the window's names).
    void chkLink_Click();
    void chkLocalCopyDP_Click();
    void chkLocalCopyOP_Click();

    // The picture shown for the way chosen: "Link" or "LocalCopy".
    const std::wstring& optionPicture() const { return picture_; }

private:
    void show(const wchar_t* handler, const wchar_t* picture);
    void draw(HDC dc, const RECT& area);

    RelationContext ctx_;
    RelateWithNames names_;
    std::wstring picture_ = L"Link";
    UniqueImageList imgPictures_;
    int pictureSize_ = 0;
};

}  // namespace qb::windows
