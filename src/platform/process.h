#pragma once

namespace morvane {

// Returns the heap's free memory to the system, so that a large run does not leave the
// program bigger than before it.
void giveBackFreeMemory();

// A write past the file-size limit must fail with an error, not end the program.
void ignoreFileSizeSignal();

} // namespace morvane
