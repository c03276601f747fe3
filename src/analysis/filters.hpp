// Surface filter lists (SWF 8 and later), which sit between a placement's
// fields and its clip actions and in button records.
#pragma once

#include "swfin/reader.hpp"

namespace framestow {

// Steps over a FILTERLIST. False for a filter kind whose size is unknown.
bool skipFilterList(Reader& reader);

}  // namespace framestow
