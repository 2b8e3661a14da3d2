// Uses of a road's pass, compiled (never run) by the roadpass_* tests with the flags of the
// window's sources: the right use compiles, a dropped or untested pass must not.
#include "roadgate.h"

void road(RoadGate &gate);

void road(RoadGate &gate)
{
#if defined(PASS_DROPPED)
    gate.enterRoad(); // the pass ends here and the road goes on without it
#elif defined(PASS_UNTESTED)
    const RoadGate::RoadPass road = gate.enterRoad(); // goes on whether it got the pass or not
#else
    const RoadGate::RoadPass road = gate.enterRoad();
    if (!road)
        return;
#endif
}
