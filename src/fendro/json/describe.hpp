// How reading failures name an offending value ("integer `5`", "map", ...),
// and the standard texts of record-reading failures built from it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "fendro/json/value.hpp"

namespace fendro::json {

// D: "null", "boolean `true`", "integer `5`", "floating point `1.5`",
// "string \"...\"" (escaped), "sequence", "map".
std::string describe(const Value& v);
// The same, appended to `out`. A long string's text is built in stretches
// with the thread's scope asked between them: once told to stop, `out` holds
// only a part (the command ends as stopped).
void append_description(std::string& out, const Value& v);

// "invalid type: " D ", expected " expected
std::string invalid_type(const Value& found, std::string_view expected);
// "invalid value: " D ", expected " expected
std::string invalid_value(const Value& found, std::string_view expected);
// "invalid length " n ", expected " expected
std::string invalid_length(std::size_t n, std::string_view expected);
// "missing field `name`"
std::string missing_field(std::string_view name);
// A key met twice never fails a reading: a value tree holds each key once (the
// last wins), and the text readers keep to the same rule.
// "unknown variant `name`, expected ..." is built by the readers that need it.

}  // namespace fendro::json
