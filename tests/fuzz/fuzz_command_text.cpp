// The command entry on arbitrary text: every answer is canonical JSON of the
// error or success shape, and a proof the entry gives verifies as valid when
// the same command comes back as "verify".
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fendro/module/command.hpp"
#include "fuzz_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace fendro;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string response = apply_command(text);
  const bool ok = fuzz::check_response(response);
  if (!ok || response.rfind("{\"engine_version\":", 0) != 0 || response.find("\"report_hash\"") == std::string::npos) {
    return 0;
  }
  const std::string verify = fuzz::verify_command(text, response);
  if (verify.empty()) return 0;
  const std::string verdict = apply_command(verify);
  fuzz::expect_same(verdict, R"({"ok":true,"valid":true})", "a fresh proof does not verify");
  return 0;
}
