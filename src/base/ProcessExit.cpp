#include "base/ProcessExit.h"

#include <cstdio>
#include <iostream>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define VOCALIX_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define VOCALIX_LEAK_CHECK 1
#endif
#endif
#ifdef VOCALIX_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace vocalix::base {

void LeaveProcess(int status) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
#ifdef VOCALIX_LEAK_CHECK
    // Ends the process with the sanitizer's exit code when something leaked.
    __lsan_do_leak_check();
#endif
    ::_exit(status);
}

} // namespace vocalix::base
