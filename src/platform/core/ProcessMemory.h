#pragma once
// How the process keeps memory it has freed. A report reads tens of
// thousands of rows into memory and frees them when it closes; by default
// the C library hands such memory back to the system at once, and the next
// report pays a page fault for every page it touches again (on a virtual
// machine that is a third of a report's time on the workstation).

namespace orlo {

// Up to this much freed memory stays with the process for the next read.
inline constexpr int kKeptFreeMemoryBytes = 128 * 1024 * 1024;
// Blocks up to this size come from the kept heap rather than from a
// mapping of their own that is returned on free (the rows of a report).
inline constexpr int kHeapBlockLimitBytes = 32 * 1024 * 1024;

// Called once at the start of a program that opens reports (the desk, the
// admin tool, the benchmarks that time them). Returns false where the C
// library has no such settings; the program runs as before.
bool keepFreedMemoryForReuse();

}  // namespace orlo
