// Variant parameters: a value or a colour, each element with an envelope on
// a channel of the parameter's group.
#pragma once

#include <string>

#include "host/texture_services.h"
#include "standin/textures/envelope.h"

struct HostVParm {
    int type = HOST_VP_VALUE;
    double value[3] = {};
    int state = 0;
    HostChannel* channels[3] = {};  // one per element used
};

namespace vxs {

int vparmElements(const HostVParm& parm);
// The parameter's value at `time`; an element follows its envelope when the
// parameter is enveloped.
void vparmValue(const HostVParm& parm, double time, double out[3]);

const HostVParmFuncs* vparmService();

}  // namespace vxs
