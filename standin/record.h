#pragma once
// The suite's data objects share one shape: loaddata fills key positions, query members answer
// objects of the same class (one, a collection, or a truth value), command members act on the
// keys, and fields are read by name. A RecordKind describes one class; Record is its object.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "automation/dispatch_object.h"
#include "store.h"

namespace tesra {

using qb::automation::CallArgs;
using qb::automation::MemberTable;
using qb::automation::Variant;

struct RecordKind {
    std::wstring progId;
    std::string table;
    std::vector<std::wstring> fields;  // the table's columns, read by these names
    // keyOfField[i]: the loaddata position (1-based) that field i fills, or 0.
    std::vector<int> keyOfField;
    MemberTable members;
};

// Base of every suite object: a database connection opened at first use and shared with the
// objects it answers.
class SuiteObject : public qb::automation::DispatchObject {
public:
    explicit SuiteObject(std::shared_ptr<Database> db = {}) : db_(std::move(db)) {}
    Database& db();
    const std::shared_ptr<Database>& connection() {
        db();
        return db_;
    }

private:
    std::shared_ptr<Database> db_;
};

// The rows of one answer, read once and shared by the objects handed out for them (a view's
// keywords come by the ten thousand). Values are kept plain, texts in one buffer: a variant per
// value, and a string allocation per text, cost more than the query itself.
class Rows {
public:
    explicit Rows(size_t width) : width_(width) {}
    size_t width() const { return width_; }
    size_t count() const { return width_ ? cells_.size() / width_ : 0; }
    // Appends the current row of `s`.
    void add(const Statement& s);
    // A value as a variant: integers as VT_I4, reals as VT_R8, texts as VT_BSTR, NULL as VT_NULL.
    Variant value(size_t row, size_t field) const;

private:
    struct Cell {
        enum Kind : unsigned char { Null, Integer, Real, Text } kind;
        union {
            long integer;
            double real;
            struct {
                unsigned offset, length;
            } text;
        };
    };
    size_t width_;
    std::vector<Cell> cells_;
    std::wstring texts_;
};

class Record final : public SuiteObject {
public:
    static constexpr size_t kPositions = 6;
    Record(const RecordKind& kind, std::shared_ptr<Database> db) : SuiteObject(std::move(db)), kind_(kind) {}

    const RecordKind& kind() const { return kind_; }
    // loaddata position (1-based): the value given to loaddata; for an answer, the field that
    // position stands for as answered; otherwise "missing".
    Variant key(size_t position) const;
    bool hasKey(size_t position) const { return !key(position).isMissing(); }
    // A field of the answered row (Empty before a query answered this object).
    Variant field(std::wstring_view name) const;
    void setField(std::wstring_view name, const Variant& v);

    // Answers of query members: objects of the same kind read with "SELECT fields FROM table <tail>".
    Variant one(const std::string& tail, const std::vector<Variant>& binds);
    Variant many(const std::string& tail, const std::vector<Variant>& binds);
    bool exists(const std::string& tail, const std::vector<Variant>& binds);
    void exec(const std::string& sql, const std::vector<Variant>& binds);

    // The standard members: loaddata and a property per field.
    static void addStandardMembers(RecordKind& kind);

protected:
    const MemberTable& members() const override { return kind_.members; }

private:
    std::shared_ptr<const Rows> read(Statement& s, bool all) const;
    Variant answer(const std::shared_ptr<const Rows>& rows, size_t row);
    // A field's value: this object's own once one was set, else as answered; Empty before a
    // query answered this object.
    Variant cell(size_t field) const;
    Variant answered(size_t field) const;

    const RecordKind& kind_;
    Variant& givenKey(size_t position);

    // The values given to loaddata, made at the first one: answers rarely get any.
    std::unique_ptr<std::array<Variant, kPositions>> keys_;
    unsigned given_ = 0;  // bit i: position i+1 was given to loaddata
    std::shared_ptr<const Rows> rows_;
    size_t row_ = 0;
    std::vector<Variant> own_;  // the fields once one of them was set on this object
};

// Raises the suite's error for a member called without the keys it needs.
[[noreturn]] void missingKey(const RecordKind& kind, const wchar_t* member, const wchar_t* what);

// The data object classes: creators for the server's class list.
qb::automation::ComPtr<IDispatch> createRecord(const RecordKind& kind);
const RecordKind& fileKind();
const RecordKind& keyWordKind();
const RecordKind& groupKind();
const RecordKind& viewKind();
const RecordKind& keyWordFileKind();
const RecordKind& memoKind();
const RecordKind& catMemoKind();
const RecordKind& themeKind();
const RecordKind& categoryKind();
const RecordKind& attachKind();

}  // namespace tesra
