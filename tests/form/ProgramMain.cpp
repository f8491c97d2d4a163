// vidorra-sim's own main(), built under another name so that a test can run it
// and see what it returns.
#define main vidorraMain
#include "vidorra-sim.cpp"
