#pragma once

#include <cstddef>

namespace classfile {

// Bounds on nesting that the format leaves open. Each lies far above what a
// compiler writes and far below what would exhaust a thread's stack.

/// Code attributes nested inside Code attributes (compilers nest none).
constexpr unsigned kMaxCodeDepth = 8;
/// Element values nested in arrays and annotations.
constexpr unsigned kMaxElementValueDepth = 128;
/// Storage for a byte array of unknown remaining input grows in steps of this.
constexpr size_t kReadChunk = 64 * 1024;

} // namespace classfile
