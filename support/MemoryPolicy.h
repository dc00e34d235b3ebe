// How the process keeps memory between pages. Every page allocates and frees
// buffers of tens to hundreds of megabytes (the rendered page, the grey
// image, the threshold's accumulators); the C library would map each of them
// afresh and hand it back at once, and faulting in fresh pages costs more
// than the work done on them. So freed memory is kept for the next page, and
// handed back to the system when a run is over.
//
// Operations: KeepFreedMemoryForReuse, ReleaseFreedMemory.
#pragma once

namespace bitonix {

// At start-up, before any thread exists: large blocks come from the heap
// instead of fresh mappings, freed memory stays with the process, and all
// threads share one heap (a worker thread's own heap could not hold a page's
// buffers and would map them afresh). Memory stays bounded by the largest
// set of pages in flight at once.
void KeepFreedMemoryForReuse();

// At the end of a run: hands the memory kept for reuse back to the system.
void ReleaseFreedMemory();

} // namespace bitonix
