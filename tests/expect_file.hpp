// Compares a generated text with the checked-in file it must equal.
#pragma once

#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace fendro::testing {

// Shows every line of `got` that the file does not hold and the reverse.
inline int compare_with_file(const std::string& got, const char* path, const char* who) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: cannot read %s\n", who, path);
    return 1;
  }
  const std::string want((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (got == want) {
    std::printf("%s: identical to %s\n", who, path);
    return 0;
  }
  auto lines = [](const std::string& text) {
    std::set<std::string> set;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
      set.insert(text.substr(start, end - start));
    }
    return set;
  };
  const std::set<std::string> g = lines(got), w = lines(want);
  for (const std::string& l : w) {
    if (!g.count(l)) std::printf("- %s\n", l.c_str());
  }
  for (const std::string& l : g) {
    if (!w.count(l)) std::printf("+ %s\n", l.c_str());
  }
  std::printf("%s: differs from %s (- expected, + computed)\n", who, path);
  return 1;
}

}  // namespace fendro::testing
