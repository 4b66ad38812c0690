#pragma once

// Memory the program has freed is kept by the C library for the next allocations; after a
// list of a million files goes, that is hundreds of megabytes in small pieces, which the next
// large task (the undo of the run) cannot all reuse and adds to.
namespace FreedMemory {

// Gives what can be given back to the system. Costs a few milliseconds: for after large tasks.
void giveBack();

} // namespace FreedMemory
