// The SDKs define the result codes as plain int constants while the
// functions return unsigned types (of a width that differs between SDKs):
// these compare them as the function's own type.
#pragma once

#include <gtest/gtest.h>

#include "platform/win32.h"

#define EXPECT_MMRESULT(expected, call) \
    EXPECT_EQ(static_cast<MMRESULT>(expected), static_cast<MMRESULT>(call))
#define ASSERT_MMRESULT(expected, call) \
    ASSERT_EQ(static_cast<MMRESULT>(expected), static_cast<MMRESULT>(call))
#define EXPECT_MCIERROR(expected, call) \
    EXPECT_EQ(static_cast<MCIERROR>(expected), static_cast<MCIERROR>(call))
#define ASSERT_MCIERROR(expected, call) \
    ASSERT_EQ(static_cast<MCIERROR>(expected), static_cast<MCIERROR>(call))
