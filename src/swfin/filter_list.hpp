// Surface filter lists (SWF 8 and later), which sit between a placement's
// fields and its clip actions, and in the records of DefineButton2.
#pragma once

#include "swfin/byte_reader.hpp"

namespace framestow {

// Steps over a FILTERLIST. False for a filter kind whose size is unknown, or
// a list that runs past the end.
bool skipFilterList(ByteReader& reader);

}  // namespace framestow
