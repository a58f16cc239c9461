// A module for the loader's tests: one entry point that answers.
extern "C" __attribute__((visibility("default"))) int tavrix_test_entry() { return 42; }
