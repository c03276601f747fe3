// The line the front ends show for what a save did.
#pragma once

#include "writer/save_outcome.hpp"

namespace framestow {

const char* saveResultText(SaveResult result);

}  // namespace framestow
