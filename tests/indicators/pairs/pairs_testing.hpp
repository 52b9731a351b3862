// Runs of the two-series pair types over two equal-length series.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "../testing.hpp"
#include "../two_series.hpp"

namespace fendro::testing::pairs {

// The value of every bar of a run over equal-length series A and B.
inline std::vector<std::optional<double>> run_pair(Indicator& ind, const std::vector<double>& a,
                                                   const std::vector<double>& b) {
  std::vector<std::optional<double>> out;
  for (std::size_t i = 0; i < a.size(); ++i) out.push_back(step_pair(ind, a[i], b[i]));
  return out;
}

// The last value of a key over series A and B.
inline std::optional<double> last_pair_value(const std::string& key,
                                             const std::vector<double>& params,
                                             const std::vector<double>& a,
                                             const std::vector<double>& b) {
  IndicatorPtr ind = make(key, params);
  if (!ind) return std::nullopt;
  return run_pair(*ind, a, b).back();
}

}  // namespace fendro::testing::pairs
