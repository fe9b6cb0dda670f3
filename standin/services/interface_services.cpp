#include "standin/services/interface_services.h"

namespace vxs {

namespace {
double gInterfaceTime = 0;

double currentTime() { return gInterfaceTime; }

const HostInterfaceInfo kInterfaceInfo{.currentTime = currentTime};
}  // namespace

const HostInterfaceInfo* interfaceInfoService() { return &kInterfaceInfo; }

void setInterfaceTime(double time) { gInterfaceTime = time; }

}  // namespace vxs
