#include "platform/runtime/runtime_error.h"

#include <gtest/gtest.h>

namespace {

TEST(RuntimeError, ReportNamesTheErrorAndTheCause)
{
    platform::RuntimeError error(platform::RuntimeErrorKind::SubscriptOutOfRange,
                                 "record 250 does not exist: the catalogue has records 0 to 120");
    EXPECT_EQ(error.report(),
              "Run-time error '9': Subscript out of range\n\n"
              "record 250 does not exist: the catalogue has records 0 to 120");
}

TEST(RuntimeError, ContextIsPrefixedAndKindKept)
{
    platform::RuntimeError error(platform::RuntimeErrorKind::Overflow, "40000 does not fit in 16 bits");
    auto withKey = error.withContext("TimeZone = 40000");
    EXPECT_EQ(withKey.kind(), platform::RuntimeErrorKind::Overflow);
    EXPECT_EQ(withKey.detail(), "TimeZone = 40000: 40000 does not fit in 16 bits");
}

} // namespace
