// The shading record as one JSON object: the form `valtorimex eval` reads
// and prints.
#pragma once

#include <string>
#include <string_view>

#include "host/services.h"

namespace vxs {

// The record keys that name elements of a scene rather than set a field.
struct RecordTarget {
    std::string object;  // "object": the shaded object's name; empty for none
    int polygon = 0;     // "polygon": its polygon, counted from 1; 0 for none
};

// Sets the keys present in `text` over what `record` holds, and those of
// `target` when it is given (without it, "object" and "polygon" are errors).
// False, with a one-line reason in `error`, on malformed JSON, an unknown key
// or a value of the wrong shape; `record` may then be partly set.
bool readRecordJson(std::string_view text, HostShading& record, std::string& error,
                    RecordTarget* target = nullptr);

// Every key on one line; numbers with 17 significant digits, so a double
// reads back exactly. A value that is not finite is written as the string
// "nan", "inf" or "-inf", which reads back too.
std::string recordJson(const HostShading& record);

}  // namespace vxs
