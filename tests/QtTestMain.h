#pragma once

#include "base/ProcessExit.h"

#include <QtTest>

// The test object goes before the application object, so that everything the tests made is
// torn down while Qt is still whole; the leak check of sanitizer builds runs, and the program
// leaves without the libraries' racy exit-time destructors (see LeaveProcess).
#define VOCALIX_QTEST_MAIN_WITH(TestObject, AppClass)                                            \
    int main(int argc, char** argv) {                                                           \
        auto app = std::make_unique<AppClass>(argc, argv);                                      \
        app->setAttribute(Qt::AA_Use96Dpi, true);                                               \
        auto tc = std::make_unique<TestObject>();                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                              \
        const int rc = QTest::qExec(tc.get(), argc, argv);                                      \
        tc.reset();                                                                             \
        app.reset();                                                                            \
        vocalix::base::LeaveProcess(rc);                                                        \
    }

#define VOCALIX_QTEST_MAIN(TestObject) VOCALIX_QTEST_MAIN_WITH(TestObject, QApplication)
#define VOCALIX_QTEST_GUILESS_MAIN(TestObject) VOCALIX_QTEST_MAIN_WITH(TestObject, QCoreApplication)
