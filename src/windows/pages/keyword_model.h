#pragma once
// The keywords of the view the Keywords page shows, as the suite answered them: the tree holds a
// group's keyword nodes only once the group is opened, and asks this model for them then. Each
// group keeps its keywords in the suite's order; one put back (unrelated) while its group was not
// opened yet goes to the end, where the tree would have added it.
#include <string>
#include <unordered_map>
#include <vector>

namespace qb::windows {

class KeywordModel {
public:
    struct Keyword {
        long id;
        std::wstring name;
        long group;
        std::wstring lowered;  // the name in lower case, for the filter (once lowerNames ran)
    };

    // The view's keywords, in the order the suite answered them.
    void assign(std::vector<Keyword> keywords);
    void clear() { assign({}); }
    const std::vector<Keyword>& all() const { return keywords_; }
    // A keyword by id, or nullptr when the model has none of that id.
    const Keyword* find(long id) const;
    // A group's keywords in their order.
    std::vector<const Keyword*> ofGroup(long group) const;
    // A keyword put back under its group: last in that group's order (added when unknown).
    void putLast(long id, const std::wstring& name, long group);

    // Gives every keyword its `lowered` name: the filter's first keystroke asks for it, a
    // window opened and closed without filtering never pays for it.
    void lowerNames();

    // `lowered` of a text, as the filter compares it.
    static std::wstring lower(std::wstring text);

private:
    bool namesLowered_ = false;
    std::vector<Keyword> keywords_;
    std::unordered_map<long, size_t> byId_;
    std::unordered_map<long, std::vector<size_t>> byGroup_;
};

}  // namespace qb::windows
