#include "model/ParamIds.h"

#include <climits>

namespace vapora::ids {

RawRange RangeOfParam(int32_t param)
{
    const params::Param* p = params::Find(param);
    return p != nullptr ? p->Range() : RawRange{INT32_MIN, INT32_MAX};
}

} // namespace vapora::ids
