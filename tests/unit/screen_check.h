#pragma once
// What the relation window shows against what the suite stores for its item in the window's
// view: the related keywords, the tree of the others, the memo grid and the Files list.
#include <string>
#include <vector>

#include "store.h"
#include "windows/relation/frm_quillbox.h"

namespace qb::testing {

enum class Agreement {
    Exact,     // everything stored is shown, and nothing else
    NoMoreThan  // nothing is shown that is not stored (a failed refill may show less)
};

// Empty when the screen agrees; otherwise one line per thing that does not.
std::vector<std::string> screenDisagreement(windows::frmQuillbox& w, tesra::Database& db, long fileId, Agreement how);

}  // namespace qb::testing
