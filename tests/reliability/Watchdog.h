#pragma once

#include <string>

namespace reliability {

/// Ends the test process with a message naming the input when one decode
/// runs longer than its limit: a hang or a runaway loop is a finding, and
/// the test must say which input caused it rather than wait for ctest.
class Watchdog {
public:
    explicit Watchdog(unsigned seconds);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    /// Names the input about to be decoded and restarts the time limit.
    void arm(const std::string& what);

private:
    unsigned mSeconds;
};

} // namespace reliability
