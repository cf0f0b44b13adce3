#include "record.h"

#include <stdexcept>

#include "automation/com_error.h"

namespace tesra {

using qb::automation::ComError;

Database& SuiteObject::db() {
    if (!db_) db_ = Database::shared();
    return *db_;
}

void missingKey(const RecordKind& kind, const wchar_t* member, const wchar_t* what) {
    throw ComError(static_cast<long>(0x80040000L + 0x1100), std::wstring(member) + L": " + what + L" not given",
                   kind.progId);
}

void Rows::add(const Statement& s) {
    for (size_t i = 0; i < width_; ++i) {
        Cell c{};
        switch (s.type(static_cast<int>(i))) {
            case Statement::Type::Null: c.kind = Cell::Null; break;
            case Statement::Type::Integer:
                c.kind = Cell::Integer;
                c.integer = static_cast<long>(s.integer(static_cast<int>(i)));
                break;
            case Statement::Type::Real:
                c.kind = Cell::Real;
                c.real = s.real(static_cast<int>(i));
                break;
            case Statement::Type::Text: {
                std::wstring_view t = s.textView(static_cast<int>(i));
                c.kind = Cell::Text;
                c.text = {static_cast<unsigned>(texts_.size()), static_cast<unsigned>(t.size())};
                texts_.append(t);
                break;
            }
        }
        cells_.push_back(c);
    }
}

Variant Rows::value(size_t row, size_t field) const {
    const Cell& c = cells_.at(row * width_ + field);
    switch (c.kind) {
        case Cell::Integer: return Variant(c.integer);
        case Cell::Real: return Variant(c.real);
        case Cell::Text: return Variant(std::wstring_view(texts_).substr(c.text.offset, c.text.length));
        case Cell::Null: break;
    }
    return Variant::null();
}

Variant Record::answered(size_t field) const { return rows_ ? rows_->value(row_, field) : Variant(); }

Variant Record::cell(size_t field) const { return own_.empty() ? answered(field) : own_[field]; }

Variant Record::key(size_t position) const {
    if (position < 1 || position > kPositions) throw std::out_of_range("loaddata position");
    if (given_ & (1u << (position - 1))) return (*keys_)[position - 1];
    if (rows_)  // an answer knows its keys: its fields as answered, whatever was updated since
        for (size_t i = 0; i < kind_.keyOfField.size(); ++i)
            if (static_cast<size_t>(kind_.keyOfField[i]) == position) return answered(i);
    return Variant::missing();
}

Variant& Record::givenKey(size_t position) {
    if (!keys_) keys_ = std::make_unique<std::array<Variant, kPositions>>();
    given_ |= 1u << (position - 1);
    return (*keys_)[position - 1];
}

Variant Record::field(std::wstring_view name) const {
    for (size_t i = 0; i < kind_.fields.size(); ++i)
        if (kind_.fields[i] == name) return cell(i);
    return Variant();
}

void Record::setField(std::wstring_view name, const Variant& v) {
    if (own_.empty())  // the fields as answered, from now on this object's own
        for (size_t i = 0; i < kind_.fields.size(); ++i) own_.push_back(answered(i));
    for (size_t i = 0; i < kind_.fields.size(); ++i)
        if (kind_.fields[i] == name) own_[i] = v;
}

std::shared_ptr<const Rows> Record::read(Statement& s, bool all) const {
    auto rows = std::make_shared<Rows>(kind_.fields.size());
    while (s.step()) {
        rows->add(s);
        if (!all) break;
    }
    return rows;
}

// An object of this kind standing for one row of an answer.
Variant Record::answer(const std::shared_ptr<const Rows>& rows, size_t row) {
    auto object = qb::automation::ComPtr<IDispatch>::attach(new Record(kind_, connection()));
    auto* r = static_cast<Record*>(object.get());
    r->rows_ = rows;
    r->row_ = row;
    return Variant(object.get());
}

namespace {

std::string selectList(const RecordKind& kind) {
    std::string sql = "SELECT ";
    for (size_t i = 0; i < kind.fields.size(); ++i) {
        if (i) sql += ", ";
        sql += std::string(kind.fields[i].begin(), kind.fields[i].end());
    }
    return sql + " FROM " + kind.table + " ";
}

}  // namespace

Variant Record::one(const std::string& tail, const std::vector<Variant>& binds) {
    auto s = db().prepare((selectList(kind_) + tail + " LIMIT 1").c_str());
    s.bindAll(binds);
    auto rows = read(s, false);
    if (rows->count() == 0) return Variant(static_cast<IDispatch*>(nullptr));
    return answer(rows, 0);
}

Variant Record::many(const std::string& tail, const std::vector<Variant>& binds) {
    auto s = db().prepare((selectList(kind_) + tail).c_str());
    s.bindAll(binds);
    auto rows = read(s, true);
    std::vector<Variant> items;
    items.reserve(rows->count());
    for (size_t i = 0; i < rows->count(); ++i) items.push_back(answer(rows, i));
    return Variant(qb::automation::makeObject<qb::automation::Collection>(std::move(items)));
}

bool Record::exists(const std::string& tail, const std::vector<Variant>& binds) {
    auto s = db().prepare(("SELECT 1 FROM " + kind_.table + " " + tail + " LIMIT 1").c_str());
    s.bindAll(binds);
    return s.step();
}

void Record::exec(const std::string& sql, const std::vector<Variant>& binds) {
    auto s = db().prepare(sql.c_str());
    s.bindAll(binds);
    s.step();
}

void Record::addStandardMembers(RecordKind& kind) {
    kind.members.method<Record>(L"loaddata", [](Record& r, const CallArgs& a) {
        for (size_t i = 0; i < kPositions && i < a.count(); ++i)
            if (a.has(i)) r.givenKey(i + 1) = a.value(i);
    });
    for (size_t i = 0; i < kind.fields.size(); ++i)
        kind.members.property<Record>(kind.fields[i], [i](Record& r) { return r.cell(i); });
}

qb::automation::ComPtr<IDispatch> createRecord(const RecordKind& kind) {
    return qb::automation::ComPtr<IDispatch>::attach(new Record(kind, nullptr));
}

}  // namespace tesra
