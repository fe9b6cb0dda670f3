// The shading record as one JSON object: the form `valtorimex eval` reads
// and prints.
#pragma once

#include <string>
#include <string_view>

#include "host/services.h"

namespace vxs {

// Sets the keys present in `text` over what `record` holds. False, with a
// one-line reason in `error`, on malformed JSON, an unknown key or a value of
// the wrong shape; `record` may then be partly set.
bool readRecordJson(std::string_view text, HostShading& record, std::string& error);

// Every key on one line; numbers with 17 significant digits, so a double
// reads back exactly. A value that is not finite is written as null.
std::string recordJson(const HostShading& record);

}  // namespace vxs
