#pragma once
// Waiting assertions for GoogleTest tests of asynchronous Qt behaviour.
// Qt's QTRY_* macros report through QTest's own result log, which GoogleTest
// never reads: a timed-out QTRY_* would simply return and the test would pass.
#include <QTest>

#include <gtest/gtest.h>

#define VELA_TRY_VERIFY(expr) \
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(expr); }, 5000)) << "timed out waiting for: " #expr

#define VELA_TRY_COMPARE(actual, expected)                                         \
    do {                                                                          \
        (void)QTest::qWaitFor([&] { return (actual) == (expected); }, 5000);      \
        ASSERT_EQ(actual, expected) << "timed out waiting for: " #actual " == " #expected; \
    } while (0)
