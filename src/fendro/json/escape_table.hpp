// Which characters a quoted text in a message writes as \u{...}.
#pragma once

namespace fendro::json {

// True for code points from U+0080 up that are not printable or that extend
// the preceding character (combining marks).
bool shown_escaped(char32_t c);

}  // namespace fendro::json
