#pragma once
// The expected-file builder of the block-structured targets is part of the
// shared test library; this name still reaches it.
#include "support/ExpectedJedec.h"
