// Every example of CHANGELOG.md, run: each ```series block names a key and
// its parameters, the bars to feed, and lines of the values that each
// distribution version gave on given bars. The newest version a line names
// is what this build must give, to the bit; the older ones were read off the
// builds of their commits when the section was written.
//
// A block's lines:
//   Key [p1, p2, ...]           the type and its parameters (first line)
//   closes x1 x2 ...            candles whose four prices are each x, volume 1
//   candle open high low close volume
//   candles NAME                the candles of the ```candles NAME block
//   halt N                      N candles at the last close, volume 0
//   buy PRICE SIZE / sell PRICE SIZE   a bar with that one print
//   walk N                      the first N bars of the test walk (make_bars)
//   bar N[-M] [output]: VERSION VALUE; VERSION VALUE ...
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "indicators/all_feeds.hpp"
#include "indicators/orderflow/orderflow_bars.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

using orderflow::Bar;

std::string changelog_text() {
  std::ifstream in(std::string(FENDRO_TEST_DATA_DIR) + "/../../CHANGELOG.md");
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The fenced blocks whose info string starts with `kind`: (info, body).
std::vector<std::pair<std::string, std::string>> blocks(const std::string& text, const std::string& kind) {
  std::vector<std::pair<std::string, std::string>> out;
  const std::regex fence("```" + kind + "( [^\\n]*)?\\n([\\s\\S]*?)```");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), fence); it != std::sregex_iterator(); ++it) {
    std::string info = (*it)[1].str();
    if (!info.empty()) info.erase(0, 1);
    out.emplace_back(info, (*it)[2].str());
  }
  return out;
}

std::vector<std::string> lines_of(const std::string& body) {
  std::vector<std::string> out;
  std::istringstream in(body);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) out.push_back(line);
  }
  return out;
}

std::vector<double> numbers(const std::string& text) {
  std::vector<double> out;
  std::istringstream in(text);
  for (std::string word; in >> word;) {
    char* end = nullptr;
    out.push_back(std::strtod(word.c_str(), &end));
    EXPECT_EQ(*end, '\0') << "not a number: " << word;
  }
  return out;
}

Bar candle_bar(double o, double h, double l, double c, double v) {
  Bar b;
  b.candle = Candle{0, o, h, l, c, v};
  return b;
}

// A value as the changelog writes it: 17 significant digits.
std::string written(double x) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", x);
  return buf;
}

// "none" is no value, "nan" any NaN; anything else a number, to the bit.
bool reads(std::optional<double> got, const std::string& want) {
  if (want == "none") return !got;
  if (want == "nan") return got && std::isnan(*got);
  char* end = nullptr;
  const double x = std::strtod(want.c_str(), &end);
  EXPECT_EQ(*end, '\0') << "not a value: " << want;
  return same_value(got, x);
}

std::tuple<int, int, int> version_of(const std::string& text) {
  int a = -1, b = -1, c = -1;
  std::sscanf(text.c_str(), "%d.%d.%d", &a, &b, &c);
  return {a, b, c};
}

struct Example {
  std::string key;
  std::vector<double> params;
  std::vector<Bar> bars;
  // (first bar, last bar, output or "", [(version, value)]), bars from 1.
  struct Check {
    std::size_t from, to;
    std::string output;
    std::vector<std::pair<std::string, std::string>> values;
  };
  std::vector<Check> checks;
};

Example parse(const std::string& body, const std::map<std::string, std::vector<Bar>>& named) {
  Example e;
  const std::vector<std::string> lines = lines_of(body);
  const std::regex head(R"(^(\w+) \[([^\]]*)\]$)");
  const std::regex check(R"(^bars? (\d+)(?:-(\d+))?(?: (\w+))?: (.+)$)");
  std::smatch m;
  EXPECT_TRUE(!lines.empty() && std::regex_match(lines[0], m, head)) << body;
  if (lines.empty() || m.empty()) return e;
  e.key = m[1].str();
  std::string params = m[2].str();
  for (char& ch : params) ch = ch == ',' ? ' ' : ch;
  e.params = numbers(params);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::string word = line.substr(0, line.find(' '));
    const std::string rest = line.size() > word.size() ? line.substr(word.size() + 1) : "";
    if (word == "closes") {
      for (const double x : numbers(rest)) e.bars.push_back(candle_bar(x, x, x, x, 1.0));
    } else if (word == "candle") {
      const std::vector<double> v = numbers(rest);
      EXPECT_EQ(v.size(), 5u) << line;
      if (v.size() == 5) e.bars.push_back(candle_bar(v[0], v[1], v[2], v[3], v[4]));
    } else if (word == "candles") {
      EXPECT_TRUE(named.contains(rest)) << line;
      if (named.contains(rest)) e.bars.insert(e.bars.end(), named.at(rest).begin(), named.at(rest).end());
    } else if (word == "halt") {
      const double x = e.bars.empty() ? 0.0 : e.bars.back().candle.close;
      for (int k = std::atoi(rest.c_str()); k > 0; --k) e.bars.push_back(candle_bar(x, x, x, x, 0.0));
    } else if (word == "buy" || word == "sell") {
      const std::vector<double> v = numbers(rest);
      EXPECT_EQ(v.size(), 2u) << line;
      if (v.size() == 2) {
        e.bars.push_back(orderflow::trade_bar({word == "buy" ? orderflow::buy(v[0], v[1])
                                                             : orderflow::sell(v[0], v[1])}));
      }
    } else if (word == "walk") {
      for (const testing::Bar& b : make_bars(std::strtoul(rest.c_str(), nullptr, 10))) {
        Bar one;
        one.candle = b.candle;
        e.bars.push_back(one);
      }
    } else if (std::regex_match(line, m, check)) {
      Example::Check c;
      c.from = std::stoul(m[1].str());
      c.to = m[2].matched ? std::stoul(m[2].str()) : c.from;
      c.output = m[3].str();
      std::istringstream values(m[4].str());
      for (std::string pair; std::getline(values, pair, ';');) {
        std::istringstream words(pair);
        std::string version, value, extra;
        words >> version >> value;
        EXPECT_FALSE(value.empty() || (words >> extra)) << line;
        c.values.emplace_back(version, value);
      }
      e.checks.push_back(c);
    } else {
      ADD_FAILURE() << "unknown line in a series block: " << line;
    }
  }
  return e;
}

TEST(ChangelogExamples, EachGivesTheNewestValueItsLinesName) {
  const std::string text = changelog_text();
  ASSERT_FALSE(text.empty());
  std::set<std::string> sections;
  const std::regex heading(R"(\n## \[(\d+\.\d+\.\d+)\] - )");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), heading); it != std::sregex_iterator(); ++it) {
    sections.insert((*it)[1].str());
  }
  std::map<std::string, std::vector<Bar>> named;
  for (const auto& [name, body] : blocks(text, "candles")) {
    for (const std::string& line : lines_of(body)) {
      const std::vector<double> v = numbers(line);
      ASSERT_EQ(v.size(), 5u) << line;
      named[name].push_back(candle_bar(v[0], v[1], v[2], v[3], v[4]));
    }
  }
  const auto examples = blocks(text, "series");
  ASSERT_GE(examples.size(), 10u);
  for (const auto& [info, body] : examples) {
    const Example e = parse(body, named);
    const std::string what = e.key + " " + params_text(e.params);
    IndicatorPtr ind = make(e.key, e.params);
    ASSERT_TRUE(ind) << what;
    ASSERT_FALSE(e.checks.empty()) << what;
    // Every bar's value, and every named output after each bar.
    Values got;
    std::vector<std::map<std::string, double>> outputs;
    for (const Bar& b : e.bars) {
      got.push_back(orderflow::step(*ind, b));
      std::map<std::string, double> named_outputs;
      for (const NamedOutput& o : ind->outputs()) named_outputs[std::string(o.name)] = o.value;
      outputs.push_back(std::move(named_outputs));
    }
    for (const Example::Check& c : e.checks) {
      ASSERT_FALSE(c.values.empty()) << what;
      for (std::size_t k = 1; k < c.values.size(); ++k) {
        EXPECT_LT(version_of(c.values[k - 1].first), version_of(c.values[k].first)) << what;
      }
      for (const auto& [version, value] : c.values) {
        EXPECT_TRUE(sections.contains(version)) << what << ": no section for " << version;
      }
      const std::string& want = c.values.back().second;
      ASSERT_TRUE(c.from >= 1 && c.from <= c.to && c.to <= got.size()) << what << " bar " << c.to;
      for (std::size_t bar = c.from; bar <= c.to; ++bar) {
        std::optional<double> value = got[bar - 1];
        if (!c.output.empty()) {
          const auto& outs = outputs[bar - 1];
          ASSERT_TRUE(outs.contains(c.output)) << what << ": no output " << c.output;
          value = outs.at(c.output);
        }
        EXPECT_TRUE(reads(value, want))
            << what << " bar " << bar << (c.output.empty() ? "" : " " + c.output) << ": want " << want
            << ", got " << (value ? written(*value) : "none");
      }
    }
  }
}

}  // namespace
}  // namespace fendro::testing
