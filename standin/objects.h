#pragma once
// The stand-in suite's COM classes.
#include <cstdint>
#include <optional>
#include <string>

#include "automation/dispatch_object.h"
#include "store.h"

namespace tesra {

struct ItemRow {
    int64_t id = 0;
    std::wstring name, comment, path, type;
};

// Item rows by path (case-insensitive, as Windows paths compare) and optionally by type.
std::optional<ItemRow> findItemByPath(Database& db, const std::wstring& path, const std::wstring* type = nullptr);
std::optional<ItemRow> findItemById(Database& db, int64_t id);
ItemRow insertItem(Database& db, ItemRow row);

// Base of every suite object: a database connection opened at first use.
class SuiteObject : public qb::automation::DispatchObject {
protected:
    Database& db();

private:
    std::shared_ptr<Database> db_;
};

// Tesra.File: one item record.
class FileObject final : public SuiteObject {
public:
    FileObject() = default;
    explicit FileObject(ItemRow row) : row_(std::move(row)), loaded_(true) {}
    static qb::automation::Variant wrap(const std::optional<ItemRow>& row);

protected:
    const qb::automation::MemberTable& members() const override;

private:
    int64_t targetId() const;
    void update(const char* column, std::wstring ItemRow::*field, const qb::automation::CallArgs& a);

    ItemRow row_;
    bool loaded_ = false;
    std::optional<int64_t> keyId_;
    std::optional<std::wstring> keyType_, keyPath_;
};

// Itemkeeper.Engine: finds (and where the flag says so, creates) item records.
class ItemLoader final : public SuiteObject {
protected:
    const qb::automation::MemberTable& members() const override;
};

// Gatehouse.Engine: the user's connection and the file server.
class Gatehouse final : public SuiteObject {
protected:
    const qb::automation::MemberTable& members() const override;
};

}  // namespace tesra
