// The expected JEDEC file of a block-structured target, worked out address by
// address from the fuse map (kept with the writer tests), built into this
// test program as well.
#include "jedec/ExpectedJedec.cpp"
