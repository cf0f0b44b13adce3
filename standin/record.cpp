#include "record.h"

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

Variant Record::field(std::wstring_view name) const {
    for (size_t i = 0; i < kind_.fields.size(); ++i)
        if (kind_.fields[i] == name) return i < row_.size() ? row_[i] : Variant();
    return Variant();
}

void Record::setField(std::wstring_view name, const Variant& v) {
    row_.resize(kind_.fields.size());
    for (size_t i = 0; i < kind_.fields.size(); ++i)
        if (kind_.fields[i] == name) row_[i] = v;
}

std::shared_ptr<Record> Record::fromRow(Statement& s) {
    auto* r = new Record(kind_, connection());
    auto owner = std::shared_ptr<Record>(r, [](Record* p) { p->Release(); });
    for (size_t i = 0; i < kind_.fields.size(); ++i) {
        r->row_.push_back(s.value(static_cast<int>(i)));
        if (int pos = kind_.keyOfField[i]) r->keys_[pos - 1] = r->row_.back();  // an answer knows its keys
    }
    return owner;
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
    if (!s.step()) return Variant(static_cast<IDispatch*>(nullptr));
    return Variant(static_cast<IDispatch*>(fromRow(s).get()));
}

Variant Record::many(const std::string& tail, const std::vector<Variant>& binds) {
    auto s = db().prepare((selectList(kind_) + tail).c_str());
    s.bindAll(binds);
    std::vector<Variant> items;
    while (s.step()) items.emplace_back(static_cast<IDispatch*>(fromRow(s).get()));
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
            if (a.has(i)) r.keys_[i] = a.value(i);
    });
    for (const std::wstring& f : kind.fields)
        kind.members.property<Record>(f, [f](Record& r) { return r.field(f); });
}

qb::automation::ComPtr<IDispatch> createRecord(const RecordKind& kind) {
    return qb::automation::ComPtr<IDispatch>::attach(new Record(kind, nullptr));
}

}  // namespace tesra
