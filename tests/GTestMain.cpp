// The main of the GoogleTest programs: tests that touch the sound server leave as the
// programs do (see LeaveProcess), after the leak check of sanitizer builds.
#include "base/ProcessExit.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    vocalix::base::LeaveProcess(RUN_ALL_TESTS());
}
