// Text helpers of the stand-in host: blanks, case, and the conversions
// between the file manager's OEM code page and the terminal's encoding.
#pragma once

#include <string>

std::string Trim(const std::string& text);
// ASCII case only, so that nothing depends on the locale.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);
bool LessIgnoringCase(const std::string& a, const std::string& b);
