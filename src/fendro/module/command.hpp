// The command protocol: one JSON command text in, one canonical JSON response out.
#pragma once

#include <string>
#include <string_view>

#include "fendro/proof/response_writer.hpp"

namespace fendro {

// Never fails: every failure becomes the error response {"error":...,"ok":false}.
// (Allocation failure may still throw std::bad_alloc; the binding turns it
// into MemoryError.)
std::string apply_command(std::string_view cmd_json);
// The same response, handed to `out` in pieces as it is written; a large
// response never exists whole on this side.
void apply_command(std::string_view cmd_json, ResponseSink& out);

}  // namespace fendro
