#include "automation/failure.h"

#include <new>
#include <string>

namespace qb::automation {

ComError currentError() {
    try {
        throw;
    } catch (const ComError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return ComError::runtime(err::OutOfMemory);
    } catch (const std::exception& e) {
        std::string what = e.what();
        return ComError(51, L"Internal error: " + std::wstring(what.begin(), what.end()), kComponentSource);
    } catch (...) {
        return ComError(51, L"Internal error", kComponentSource);
    }
}

ComError notPutBack(const ComError& failure, std::wstring_view what, const ComError& putBack, std::wstring_view check) {
    return ComError(failure.number(),
                    failure.description() + L" " + std::wstring(what) + L" could not be put back entirely (" +
                        putBack.description() + L"): check " + std::wstring(check) + L".",
                    failure.source(), failure.helpFile(), failure.helpContext());
}

}  // namespace qb::automation
