#pragma once

#include "SimTypes.h"

namespace testing_support {

// One fault of a virtual boot loader: on the first request with this
// command (and, when given, report byte 4: a data piece's length) after
// skip such requests have gone through.
inline tbsim::FaultRule upgradeFault(tbsim::FaultKind kind, int code, int param2 = -1, int skip = 0)
{
    tbsim::FaultRule rule;
    rule.kind = kind;
    rule.code = code;
    rule.param2 = param2;
    rule.skip = skip;
    rule.count = 1;
    return rule;
}

} // namespace testing_support
