#pragma once

#include <algorithm>

// The median of a run of measurements; of an even number, the upper of the two middle ones.
template <typename Values>
typename Values::value_type median(Values values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}
