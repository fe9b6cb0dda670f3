// "File IO": tree files through the host's save and load states.
#pragma once

#include "host/services.h"

namespace vxs {

// openSave writes the file when the state is closed (mode 0 binary, 1 text),
// through writeFile;
// openLoad reads the whole file, in whichever form it is, and gives null when
// it cannot be read or is too large.
const HostFileIO* fileIOService();

}  // namespace vxs
