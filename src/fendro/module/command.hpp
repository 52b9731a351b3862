// The command protocol: one JSON command text in, one canonical JSON response out.
#pragma once

#include <string>
#include <string_view>

#include "fendro/proof/response_writer.hpp"
#include "fendro/util/interrupt.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Never fails: every failure becomes the error response {"error":...,"ok":false}.
// (Allocation failure may still throw std::bad_alloc; the binding turns it
// into MemoryError.)
std::string apply_command(std::string_view cmd_json);
// The same response, handed to `out` in pieces as it is written; a large
// response never exists whole on this side.
void apply_command(std::string_view cmd_json, ResponseSink& out);
// The same, asking `interrupt` at bounded intervals of the work (text read,
// bars run, text hashed and written). When it asks to stop, the command ends
// there, everything it built is freed, and Stopped is returned: whatever
// `out` took by then is an unfinished response, to be dropped.
Status<Stopped> apply_command(std::string_view cmd_json, ResponseSink& out, const Interrupt& interrupt);

}  // namespace fendro
