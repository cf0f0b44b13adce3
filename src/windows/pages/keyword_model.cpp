#include "windows/pages/keyword_model.h"

#include <windows.h>

#include <algorithm>

namespace qb::windows {

std::wstring KeywordModel::lower(std::wstring text) {
    if (!text.empty()) ::CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

void KeywordModel::assign(std::vector<Keyword> keywords) {
    keywords_ = std::move(keywords);
    byId_.clear();
    byGroup_.clear();
    byId_.reserve(keywords_.size());
    namesLowered_ = false;
    for (size_t i = 0; i < keywords_.size(); ++i) {
        const Keyword& k = keywords_[i];
        byId_[k.id] = i;
        byGroup_[k.group].push_back(i);
    }
}

void KeywordModel::lowerNames() {
    if (namesLowered_) return;
    for (Keyword& k : keywords_)
        if (k.lowered.empty()) k.lowered = lower(k.name);
    namesLowered_ = true;
}

const KeywordModel::Keyword* KeywordModel::find(long id) const {
    auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : &keywords_[it->second];
}

std::vector<const KeywordModel::Keyword*> KeywordModel::ofGroup(long group) const {
    std::vector<const Keyword*> out;
    auto it = byGroup_.find(group);
    if (it == byGroup_.end()) return out;
    out.reserve(it->second.size());
    for (size_t i : it->second) out.push_back(&keywords_[i]);
    return out;
}

void KeywordModel::putLast(long id, const std::wstring& name, long group) {
    size_t at;
    if (auto it = byId_.find(id); it != byId_.end()) {
        at = it->second;
        std::vector<size_t>& before = byGroup_[keywords_[at].group];
        before.erase(std::remove(before.begin(), before.end(), at), before.end());
        keywords_[at].name = name;
        keywords_[at].lowered = lower(name);
        keywords_[at].group = group;
    } else {
        at = keywords_.size();
        keywords_.push_back({id, name, group, lower(name)});
        byId_[id] = at;
    }
    byGroup_[group].push_back(at);
}

}  // namespace qb::windows
