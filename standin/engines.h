#pragma once
// The suite's engines: item loader, connection and file server, configuration, process check,
// browser opener.
#include "record.h"

namespace tesra {

class ItemLoader final : public SuiteObject {
protected:
    const MemberTable& members() const override;
};

class Gatehouse final : public SuiteObject {
protected:
    const MemberTable& members() const override;
};

class Settler final : public SuiteObject {
protected:
    const MemberTable& members() const override;
};

class ProcessWatch final : public qb::automation::DispatchObject {
protected:
    const MemberTable& members() const override;
};

class WebOpener final : public qb::automation::DispatchObject {
protected:
    const MemberTable& members() const override;
};

// A forward-only record set as the file server answers: BOF, EOF, MoveFirst, MoveNext and
// fields(name or index).Value.
class RecordSet final : public qb::automation::DispatchObject {
public:
    using Row = std::vector<std::pair<std::wstring, Variant>>;
    explicit RecordSet(std::vector<Row> rows) : rows_(std::move(rows)) {}

protected:
    const MemberTable& members() const override;

private:
    std::vector<Row> rows_;
    size_t position_ = 0;
};

}  // namespace tesra
