#pragma once

#include "whole_file.h"

namespace velumira {

// WriteWholeFile on the platform's file system.
bool WriteWholeFile(const std::string& path, std::initializer_list<Bytes> parts);

// Removes the file `path` the way a failed WriteWholeFile does.
void RemoveFile(const std::string& path);

} // namespace velumira
