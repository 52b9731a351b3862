// The whole text a streamed writer gives, collected into a string.
#pragma once

#include <string>

#include "fendro/proof/response_writer.hpp"

namespace fendro::testing {

// `write` is called with a ResponseWriter whose pieces are appended in order.
template <class Write>
std::string streamed_text(Write&& write) {
  std::string out;
  StringSink sink(out);
  ResponseWriter writer(&sink);
  write(writer);
  writer.finish();
  return out;
}

}  // namespace fendro::testing
