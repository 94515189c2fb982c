// Figures of the accounts: the cost of one login check against a hashed password.
#include "bench/Bench.h"
#include "schema/Schema.h"
#include "tests/support/TestSupport.h"
#include "users/Passwords.h"

#include <algorithm>

using namespace schema;

namespace {

// The median of five checks of the administrator's hashed password, in milliseconds.
const BenchRegistration loginCheck("login_hash_verify_ms", "ms", [] {
    TestDatabase t;
    const QString administrator = QString::fromUtf8(AdministratorUser);
    WriteUserPassword(administrator, QStringLiteral("admin"));
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        bool matched = false;
        times.push_back(SecondsOf([&] { matched = CheckLoginPassword(administrator, QStringLiteral("admin")); }) *
                        1000);
        if (!matched)
            return -1.0;
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
});

} // namespace
