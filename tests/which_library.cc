// A library that says which of two builds of it was loaded: the module
// tests rename one over the other.
extern "C" int WhichLibrary() { return BRENMOOR_WHICH_LIBRARY; }
