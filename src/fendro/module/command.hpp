// The command protocol: one JSON command text in, one canonical JSON response out.
#pragma once

#include <string>
#include <string_view>

namespace fendro {

// Never fails: every failure becomes the error response {"error":...,"ok":false}.
// (Allocation failure may still throw std::bad_alloc; the binding turns it
// into MemoryError.)
std::string apply_command(std::string_view cmd_json);

}  // namespace fendro
