#pragma once

#include <cstddef>

// Counts the bytes that operator new hands out in this test binary (the
// binary replaces the global operator new and delete), so that a test can
// tell how much memory one operation held at its peak.
namespace reliability {

/// Measures the peak of live bytes from construction on, above the live
/// bytes at construction. Measurements do not nest.
class PeakScope {
public:
    PeakScope();
    /// The highest live bytes since construction minus those at construction.
    size_t peak() const;

private:
    size_t mBase;
};

} // namespace reliability
