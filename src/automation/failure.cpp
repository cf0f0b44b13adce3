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

}  // namespace qb::automation
