// The user a program of the saver runs as: the host makes every picture that
// user's alone, and the renderer shows only pictures that user owns.
#pragma once

#include <string>
#include <vector>

namespace velumira {

// The user of this process's token as SID bytes; empty when the token cannot
// be read.
std::vector<unsigned char> ProcessUserSid();

// The same as SID text ("S-1-5-21-..."); empty when unknown.
std::string ProcessUserSidText();

} // namespace velumira
