// The allocator under every heap block of the library (host library blocks and OLE strings),
// with a switch that makes allocations fail on purpose so that tests can reach every path that
// handles a lack of memory.
#pragma once

#include <cstddef>

namespace brtl::platform {

void *allocate(size_t bytes);
void *allocate_zeroed(size_t count, size_t size);
void *reallocate(void *block, size_t bytes);
void release(void *block);
// The bytes a block from allocate or reallocate can hold (at least what was asked for), so that
// a block grown step by step can use the room the allocator already gave it.
size_t usable_size(void *block);

// A block that a cache keeps for the life of the process (filled on first use, never freed):
// the failure injection applies to it, but it is not counted among the live blocks, so that a
// leak check around a call that happens to fill a cache sees only what the call owns. Such a
// block is given back only with release_lasting (a cache entry that lost a race).
void *allocate_lasting(size_t bytes);
void release_lasting(void *block);

// Failure injection: after `successes` more allocations succeed, the next one fails; with
// `persistent` every later one fails too. A negative count switches the injection off.
void fail_allocations_after(long successes, bool persistent = false);
// Counts one allocation that the system makes rather than this allocator (the system's OLE
// strings on Windows) and says whether the switch makes it fail.
bool allocation_fails();
// Counts blocks that the system allocated (+n) or released (-n) among the live blocks.
void count_system_blocks(long delta);
// The number of allocations made since the process started (for sweeping failure points).
unsigned long allocation_count();
// Starts counting the live blocks; a test program calls it before its first allocation.
void count_live_blocks();
// The number of blocks allocated and not yet released since counting started (for leak checks
// in tests).
long live_blocks();

} // namespace brtl::platform
