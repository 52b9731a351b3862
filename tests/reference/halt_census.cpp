// Census of what every candle-fed type does on a long halt after a walk
// (halt_swings.hpp): each key that swings, and each key's last changing halt
// bar past 1,000. Run `halt_census [Key]`.
#include <cstdio>
#include <string>

#include "fendro/registry/key_table.hpp"
#include "reference/halt_swings.hpp"

int main(int argc, char** argv) {
  using namespace fendro;
  const char* only = argc > 1 ? argv[1] : nullptr;
  std::size_t faults = 0;
  for (const registry::Entry& row : registry::key_rows()) {
    if (row.feed != Feed::Kline) continue;
    if (only && row.key != only) continue;
    const reference::HaltSwing s = reference::halt_swing_of(row);
    if (!s.swing.empty()) {
      std::printf("SWING %s | %s\n", std::string(row.key).c_str(), s.swing.c_str());
      ++faults;
    } else if (only || s.last_change > 1000) {
      std::printf("last %s %zu\n", std::string(row.key).c_str(), s.last_change);
    }
  }
  std::printf("swinging keys %zu\n", faults);
}
