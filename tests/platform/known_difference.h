// Where the conformance tests meet a known difference of the platform they
// run on. The tests build against our layer and, cross-built, against the
// real SDK under Wine; Wine is the stand-in for the platform there and
// differs from it in a few documented places.
#pragma once

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <iostream>
#include <optional>
#include <string>

#include "platform/win32.h"

namespace conformance {

inline bool runningUnderWine()
{
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

// Marks the checks of a scope as failing for a known reason where
// `applies` holds, as Wine's own tests do with todo_wine: the checks still
// run, their failures are reported as known and do not fail the test, and a
// marked scope whose checks all pass fails the test, so that the mark comes
// off once the difference is gone. Where it does not apply the checks count
// as usual. A check that crashes on that platform cannot be marked: guard it
// with `if (!runningUnderWine())` and say why.
class KnownDifference {
public:
    KnownDifference(bool applies, const char *reason, const char *file, int line)
        : reason_(reason), file_(file), line_(line)
    {
        if (applies)
            reporter_.emplace(::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD,
                              &failures_);
    }

    ~KnownDifference()
    {
        if (!reporter_)
            return;
        reporter_.reset();
        if (failures_.size() == 0) {
            ADD_FAILURE_AT(file_, line_) << "marked as a known difference but passed: " << reason_;
            return;
        }
        for (int i = 0; i < failures_.size(); ++i) {
            const ::testing::TestPartResult &failure = failures_.GetTestPartResult(i);
            std::cout << file_ << ":" << line_ << ": known difference (" << reason_ << "): "
                      << failure.summary() << "\n";
        }
    }

    KnownDifference(const KnownDifference &) = delete;
    KnownDifference &operator=(const KnownDifference &) = delete;

private:
    const char *reason_;
    const char *file_;
    int line_;
    ::testing::TestPartResultArray failures_;
    std::optional<::testing::ScopedFakeTestPartResultReporter> reporter_;
};

}  // namespace conformance

// One marker per scope: KNOWN_DIFFERENCE(conformance::runningUnderWine(), "why");
#define KNOWN_DIFFERENCE(applies, reason) \
    const ::conformance::KnownDifference knownDifference((applies), (reason), __FILE__, __LINE__)
