// The writer tests' address-by-address model of the block-target JEDEC
// files, built into this program as well so that whole files of real runs
// can be held against it.
#include "jedec/ExpectedJedec.cpp"
