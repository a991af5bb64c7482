#pragma once

#include <string>

namespace winmenu {

// A text field of the program's own version resource, read through the system's version
// service and looked up in the record as the Linux program looks up its embedded one: the
// string table of the first translation, the text cut to 259 characters and without the blanks
// and control characters around it; empty when the record or the field is missing.
std::string ownVersionField(const char* fieldName);

} // namespace winmenu
