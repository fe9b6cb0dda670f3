// "LW Interface Info 3": the state of the interface the stand-in does not
// show, which the commands set as a user would by moving the time slider.
#pragma once

#include "host/services.h"

namespace vxs {

const HostInterfaceInfo* interfaceInfoService();

// The time the interface shows, in seconds; 0 until set.
void setInterfaceTime(double time);

}  // namespace vxs
