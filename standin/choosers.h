#pragma once
// The suite's chooser dialogs: a view (Lenspick.Engine), a new keyword and the keyword set of a
// view (Tagpick.Engine), a missing file's new place (Routepick.Engine). Small, keyboard-friendly
// windows: Enter answers the default button, Esc cancels, lists answer to double clicks.
#include <memory>
#include <string>

#include "record.h"
#include "ui/form.h"

namespace tesra {

namespace ui = qb::ui;

// Lists the views; `chosen` is the picked view id, 0 when cancelled.
class ViewChooser final : public ui::Form {
public:
    explicit ViewChooser(std::shared_ptr<Database> db);
    long chosen = 0;

protected:
    void formLoad() override;
    void click(std::wstring_view control) override;
    void doubleClick(std::wstring_view control) override;

private:
    std::shared_ptr<Database> db_;
};

// Name and group of a new keyword of one view; `created` is its id, 0 when cancelled.
class NewKeywordDialog final : public ui::Form {
public:
    NewKeywordDialog(std::shared_ptr<Database> db, long viewId);
    long created = 0;

protected:
    void formLoad() override;
    void click(std::wstring_view control) override;

private:
    std::shared_ptr<Database> db_;
    long viewId_;
};

// Adds, renames and deletes the keywords and groups of one view.
class KeywordEditor final : public ui::Form {
public:
    KeywordEditor(std::shared_ptr<Database> db, long viewId);

protected:
    void formLoad() override;
    void click(std::wstring_view control) override;
    void selectionChanged(std::wstring_view control) override;

private:
    void fillGroups(long select);
    void fillKeywords(long select);
    long selectedKeyword();
    std::shared_ptr<Database> db_;
    long viewId_;
};

// Asks where a missing file went and moves the item records of the old path there.
class FileLocator final : public ui::Form {
public:
    FileLocator(std::shared_ptr<Database> db, std::wstring missingPath);
    bool moved = false;

protected:
    void formLoad() override;
    void click(std::wstring_view control) override;

private:
    std::shared_ptr<Database> db_;
    std::wstring missing_;
};

class ViewPicker final : public SuiteObject {  // Lenspick.Engine
protected:
    const MemberTable& members() const override;
};

class KeywordPicker final : public SuiteObject {  // Tagpick.Engine
protected:
    const MemberTable& members() const override;
};

class PathPicker final : public SuiteObject {  // Routepick.Engine
protected:
    const MemberTable& members() const override;
};

// Adds a keyword to a view; raises when the name is blank or already used in the view.
long insertKeyword(Database& db, long viewId, const std::wstring& name, long groupId);

}  // namespace tesra
