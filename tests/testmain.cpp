// The main of every test program: runs the tests, then leaves without running the program's
// static destructors.
//
// Window tests keep their QApplication for the program's life, and where a test used a web pane
// the browser engine's threads still run at exit: destroying statics under them has corrupted
// the heap after every test had passed ("malloc_consolidate(): unaligned fastbin chunk
// detected", the program aborted). What a test checks is done by then; the leak check of a
// sanitizer build still runs.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::fflush(nullptr);
#if defined(__SANITIZE_ADDRESS__)
    __lsan_do_leak_check();
#endif
    std::_Exit(result);
}
