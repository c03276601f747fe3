#include "planner/plan.hpp"

namespace framestow {

void clearPlan(Plan& plan) {
  plan.testCounterFlag = kFirstPlanningStamp;
  plan.blockChecked.clear();
  plan.releaseVisited.clear();
  plan.onWalk.clear();
  plan.walkStack.clear();
  plan.movableBytes = 0;
  plan.countEnd = 0;
  plan.exportID = 0;
  plan.initScriptBlock = 0;
  plan.plannedFrame = 0;
  plan.cyclic = false;
}

void coverCharacters(Plan& plan, std::size_t range) {
  if (plan.blockChecked.size() >= range) return;
  // New entries hold no stamp: unvisited in every run.
  plan.blockChecked.resize(range, 0);
  plan.releaseVisited.resize(range, 0);
  plan.onWalk.resize(range, 0);
}

}  // namespace framestow
