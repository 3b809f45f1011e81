#pragma once

#include "LinkTiming.h"

namespace testing_support {

// The protocol's waits shortened for tests against the virtual adapter.
inline tarnbus::LinkTiming fastTiming()
{
    return tarnbus::LinkTiming::forVirtualAdapter();
}

} // namespace testing_support
