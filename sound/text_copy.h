// Bounded copies of zero-terminated byte strings.
#pragma once

// Copies source into a buffer of capacity bytes, cutting it short when it
// does not fit; the copy is always terminated (when capacity is at least 1).
// A null source copies the empty text. Source and destination may overlap.
void copyTruncated(char *destination, int capacity, const char *source);
