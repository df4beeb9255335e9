// Runs an export's body; an exception never crosses the library's interface, it becomes the
// export's failure result.
#pragma once

#include <exception>

template <typename Result, typename Body>
Result guarded(Result fallback, Body body) noexcept {
    try {
        return body();
    } catch (const std::exception&) {
        return fallback;
    }
}
