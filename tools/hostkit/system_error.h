// The system's words for an error code, as the stand-in host, the tests and
// the benchmark show them.
#pragma once

#include <string>

// The system's text for an error code, in UTF-8, without its line end.
std::string SystemErrorText(unsigned long error);
