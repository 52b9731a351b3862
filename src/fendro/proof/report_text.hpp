// The canonical text of a run's report, written straight from the run's
// trades and curve: no value tree, members in key order, non-finite numbers
// as null.
#pragma once

#include <string>

#include "fendro/proof/response_writer.hpp"
#include "fendro/strategy/report.hpp"
#include "fendro/util/interrupt.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

void write_report(ResponseWriter& out, const Report& report);

// The report_hash of `report`, without keeping its text.
std::string report_hash(const Report& report);
// The same, asking `interrupt` between stretches of the text.
Result<std::string, Stopped> report_hash(const Report& report, const Interrupt& interrupt);

}  // namespace fendro
