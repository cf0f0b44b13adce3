#pragma once
// The suite's chooser dialogs: a view (Lenspick.Engine), a new keyword and the keyword set of a
// view (Tagpick.Engine), a missing file's new place (Routepick.Engine). Small, keyboard-friendly
// windows: Enter answers the default button, Esc cancels, lists answer to double clicks.
#include <memory>
#include <string>

#include "record.h"
#include "ui/window/form.h"

namespace tesra {

namespace ui = qb::ui;

// Lists the views; `chosen` is the picked view id, 0 when cancelled.
class ViewChooser final : public ui::Form {
public:
    explicit ViewChooser(std::shared_ptr<Database> db);
    long chosen = 0;
    ui::Label lblViews;
    ui::ListBox lstViews;
    ui::Button cmdOk, cmdCancel;

protected:
    void formLoad() override;

private:
    std::shared_ptr<Database> db_;
};

// Name and group of a new keyword of one view; `created` is its id, 0 when cancelled.
class NewKeywordDialog final : public ui::Form {
public:
    NewKeywordDialog(std::shared_ptr<Database> db, long viewId);
    long created = 0;
    ui::Label lblName, lblGroup;
    ui::TextBox txtName;
    ui::ComboBox cboGroup;
    ui::Button cmdOk, cmdCancel;

protected:
    void formLoad() override;

private:
    void accept();
    std::shared_ptr<Database> db_;
    long viewId_;
};

// Adds, renames and deletes the keywords and groups of one view.
class KeywordEditor final : public ui::Form {
public:
    KeywordEditor(std::shared_ptr<Database> db, long viewId);
    ui::ListBox lstKeywords;
    ui::Label lblName, lblGroup;
    ui::TextBox txtName;
    ui::ComboBox cboGroup;
    ui::Button cmdAdd, cmdRename, cmdDelete, cmdNewGroup, cmdDeleteGroup, cmdClose;

protected:
    void formLoad() override;

private:
    // A button's action; a refusal of the suite is told to the user and the dialog stays open.
    template <class F>
    void act(F&& action);
    void keywordChosen();
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
    ui::Label lblMissing;
    ui::TextBox txtNewPath;
    ui::Button cmdBrowse, cmdOk, cmdCancel;

protected:
    void formLoad() override;

private:
    void browse();
    void accept();
    std::shared_ptr<Database> db_;
    std::wstring missing_;
};

// Name of a new category under a parent, in one view; `created` is its id, 0 when cancelled.
class NewCategoryDialog final : public ui::Form {
public:
    NewCategoryDialog(std::shared_ptr<Database> db, long parentId, long viewId);
    long created = 0;
    ui::Label lblName;
    ui::TextBox txtName;
    ui::Button cmdOk, cmdCancel;

private:
    void accept();
    std::shared_ptr<Database> db_;
    long parentId_, viewId_;
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

class CategoryMaker final : public SuiteObject {  // Foldermint.Engine
public:
    bool cancelled = false;  // blncancel: the last dialog was cancelled

protected:
    const MemberTable& members() const override;
};

class KeywordAdvisor final : public SuiteObject {  // Tagadvisor.Engine
protected:
    const MemberTable& members() const override;
};

// Adds a keyword to a view; raises when the name is blank or already used in the view.
long insertKeyword(Database& db, long viewId, const std::wstring& name, long groupId);

}  // namespace tesra
