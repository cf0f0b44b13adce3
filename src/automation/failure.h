#pragma once
// The three ways a procedure deals with a failure:
//  - an event handler reports it and logs it (see support/error_report.h);
//  - a few handlers ignore it and go on with the next statement: ignoreFailure;
//  - every other procedure raises it again with its own qualified name appended: Qualified.
#include <exception>
#include <string_view>
#include <utility>

#include "automation/com_error.h"

namespace qb::automation {

// Turns any exception in flight into the component's error type.
ComError currentError();

// A change failed and putting back what it had made failed too: one failure still, the first,
// saying what is left as it is ("The item's record") and what to check, with the put-back's error.
ComError notPutBack(const ComError& failure, std::wstring_view what, const ComError& putBack, std::wstring_view check);

// Runs one statement; a failure in it is dropped ("resume next").
template <class F>
void ignoreFailure(F&& statement) noexcept {
    try {
        std::forward<F>(statement)();
    } catch (...) {
    }
}

// Runs a procedure body; a failure leaves it with " name " appended to the source.
template <class F>
decltype(auto) qualified(std::wstring_view name, F&& body) {
    try {
        return std::forward<F>(body)();
    } catch (...) {
        ComError e = currentError();
        e.appendSource(name);
        throw e;
    }
}

}  // namespace qb::automation
