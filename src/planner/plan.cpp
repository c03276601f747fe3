#include "planner/plan.hpp"

namespace framestow {

void clearPlan(Plan& plan) {
  plan.testCounterFlag = kFirstPlanningStamp;
  plan.blockChecked.assign(kCharacterIds, 0);
  plan.releaseVisited.assign(kCharacterIds, 0);
  plan.onWalk.assign(kCharacterIds, 0);
  plan.walkStack.clear();
  plan.movableBytes = 0;
  plan.countEnd = 0;
  plan.exportID = 0;
  plan.initScriptBlock = 0;
  plan.plannedFrame = 0;
  plan.cyclic = false;
}

}  // namespace framestow
