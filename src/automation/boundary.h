#pragma once
// Where C++ exceptions stop: every COM method and exported entry point runs its body through one of these.
#include <windows.h>
#include <oaidl.h>

#include "automation/failure.h"

namespace qb::automation {

// Fills EXCEPINFO (when given) and the thread's error info from `e`; returns the HRESULT for the client.
HRESULT reportToCaller(const ComError& e, EXCEPINFO* excep, REFIID iid);

// For IDispatch::Invoke: a failure becomes DISP_E_EXCEPTION with EXCEPINFO filled in.
template <class F>
HRESULT invokeBoundary(EXCEPINFO* excep, REFIID iid, F&& body) noexcept {
    try {
        return std::forward<F>(body)();
    } catch (...) {
        try {
            return reportToCaller(currentError(), excep, iid);
        } catch (...) {
            return E_UNEXPECTED;
        }
    }
}

// For entry points that return a plain HRESULT.
template <class F>
HRESULT hresultBoundary(F&& body) noexcept {
    try {
        return std::forward<F>(body)();
    } catch (...) {
        try {
            return reportToCaller(currentError(), nullptr, IID_NULL);
        } catch (...) {
            return E_UNEXPECTED;
        }
    }
}

}  // namespace qb::automation
