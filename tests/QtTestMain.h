#pragma once

#include <QtTest>

#include <cstdio>
#include <unistd.h>

// Test programs leave through _exit once the test object is gone and the results are printed.
// Qt Multimedia's PulseAudio client can abort in its exit-time teardown ("Assertion 'pd'
// failed" in pa_pdispatch_run), after every test has passed; skipping the exit handlers keeps
// such a program's status the status of its tests.
#define VOCALIX_QTEST_MAIN_WITH(TestObject, AppClass)                                            \
    int main(int argc, char** argv) {                                                           \
        auto* app = new AppClass(argc, argv);                                                   \
        app->setAttribute(Qt::AA_Use96Dpi, true);                                               \
        auto* tc = new TestObject;                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                              \
        const int rc = QTest::qExec(tc, argc, argv);                                            \
        delete tc;                                                                              \
        std::fflush(nullptr);                                                                   \
        ::_exit(rc);                                                                            \
    }

#define VOCALIX_QTEST_MAIN(TestObject) VOCALIX_QTEST_MAIN_WITH(TestObject, QApplication)
#define VOCALIX_QTEST_GUILESS_MAIN(TestObject) VOCALIX_QTEST_MAIN_WITH(TestObject, QCoreApplication)
