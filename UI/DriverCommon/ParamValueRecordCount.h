// How many entries a list of changed parameter values holds, as the main control counts them
// before it applies each: the leading length word of each entry leads to the next.
#pragma once

#include "Utilities/Storage/ParamValues.h"

#include <cstdint>

// 0 unless the Variant is a list (type 16) of more than 4 bytes. From offset 0, each entry's
// length word, counting itself, is added to the offset and the entry counted, while more than
// 4 bytes lie beyond the offset. A length below 4 ends the count there, uncounted: such an
// entry cannot be stepped over, and a length of 0 would otherwise be counted for ever.
int32_t CountParamValueRecords(const SV::ParamValues& values);
