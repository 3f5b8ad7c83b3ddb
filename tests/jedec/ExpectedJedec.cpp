// The expected-file builder of the block-structured targets is compiled into
// the shared test library (support/ExpectedJedec.cpp); test programs that
// include this file get its definitions from there.
