// The whole screen saved as a PNG file, as the Windows terminal's screenshot session shoots it.
#pragma once

#include <string>

// False when the screen could not be read or the file not written.
bool SaveScreenAsPng(const std::string& path);
