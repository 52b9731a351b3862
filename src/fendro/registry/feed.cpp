#include "fendro/registry/feed.hpp"

#include <array>

namespace fendro {
namespace {

struct FeedNames {
  Feed feed;
  std::string_view display;
  std::string_view json;
};

constexpr std::array<FeedNames, 6> kNames = {{
    {Feed::Kline, "Kline", "kline"},
    {Feed::Trade, "Trade", "trade"},
    {Feed::Orderbook, "Orderbook", "orderbook"},
    {Feed::TradeQuote, "TradeQuote", "trade_quote"},
    {Feed::Derivatives, "Derivatives", "derivatives"},
    {Feed::CrossSection, "CrossSection", "cross_section"},
}};

const FeedNames* names_of(Feed f) {
  const auto code = static_cast<std::size_t>(f);
  return code < kNames.size() ? &kNames[code] : nullptr;
}

}  // namespace

std::string_view feed_display_name(Feed f) {
  const FeedNames* n = names_of(f);
  return n != nullptr ? n->display : "none";
}

std::string_view feed_json_name(Feed f) {
  const FeedNames* n = names_of(f);
  return n != nullptr ? n->json : "none";
}

}  // namespace fendro
