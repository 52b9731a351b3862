#include "fendro/market/plain_candles.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <type_traits>

#include "fendro/json/scan.hpp"
#include "fendro/json/short_number.hpp"
#include "fendro/market/candle_fields.hpp"
#include "fendro/util/huge_pages.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__GNUC__)
#define FENDRO_PLAIN_INLINE [[gnu::always_inline]] inline
#else
#define FENDRO_PLAIN_INLINE inline
#endif

namespace fendro {
namespace {

using json::detail::load8;

// The first bytes of a text as a word, as load8 reads them.
template <std::size_t N>
constexpr std::uint64_t word(const char (&s)[N]) {
  std::uint64_t w = 0;
  for (std::size_t k = 0; k + 1 < N && k < 8; ++k) w |= std::uint64_t{static_cast<unsigned char>(s[k])} << (8 * k);
  return w;
}

constexpr std::uint64_t kLow7 = 0x00FFFFFFFFFFFFFFULL;
constexpr std::uint64_t kLow6 = 0x0000FFFFFFFFFFFFULL;

// Room to read a key (two loads at most) and the number after it.
constexpr std::ptrdiff_t kFieldRoom = 16 + static_cast<std::ptrdiff_t>(json::kShortNumberRoom);

// JSON writers put blanks between the tokens of a candle by default: a
// space after each comma and colon, or a line break and indentation before
// each member. Each place a blank may stand moves the reader at most one
// byte on the quick path below, so these extra bytes of room cover them
// all for one member (BlankSteps) or one usual candle (kUsualRoom).
constexpr std::ptrdiff_t kBlankSteps = 4;
constexpr std::ptrdiff_t kUsualRoom = 6 * kFieldRoom + 6 * kBlankSteps;

inline bool is_blank(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

constexpr std::uint64_t kEightSpaces = 0x2020202020202020ULL;

// Blanks a candle list's layout puts in one place at most (a line break and
// deep indentation); a longer run is left to the parse, which asks its
// interrupt as it goes through it.
constexpr std::ptrdiff_t kLongestBlankRun = 4096;

// Past a run of blanks longer than one space (indentation, say): the first
// byte after it when at least `room` bytes follow, else nullptr (nullptr
// too for a run longer than kLongestBlankRun).
[[gnu::noinline]] const char* skip_blank_run(const char* p, const char* end, std::ptrdiff_t room) {
  const char* const limit = end - p > kLongestBlankRun ? p + kLongestBlankRun : end;
  while (p < limit && is_blank(*p)) {
    ++p;
    while (limit - p >= 8 && load8(p) == kEightSpaces) p += 8;
  }
  if (p == limit && limit != end) return nullptr;
  return end - p >= room ? p : nullptr;
}

// The first byte at or after p that is not a blank (p and p + 1 readable).
// No blank or a single space costs a comparison or two; a longer run, far
// from the room the caller checked, asks for `room` bytes after it again.
FENDRO_PLAIN_INLINE const char* skip_blanks(const char* p, const char* end, std::ptrdiff_t room) {
  if (static_cast<unsigned char>(*p) > ' ') return p;
  if (*p == ' ' && static_cast<unsigned char>(p[1]) > ' ') return p + 1;
  return skip_blank_run(p, end, room);
}

// The field whose key, with its quotes and colon, starts at p (kFieldRoom
// bytes readable), and the key's length; -1 for any other text.
inline int key_at(const char* p, int& length) {
  const std::uint64_t w = load8(p);
  switch (p[1]) {
    case 't': length = 7; return (w & kLow7) == word("\"time\":") ? 0 : -1;
    case 'o': length = 7; return (w & kLow7) == word("\"open\":") ? 1 : -1;
    case 'h': length = 7; return (w & kLow7) == word("\"high\":") ? 2 : -1;
    case 'l': length = 6; return (w & kLow6) == word("\"low\":") ? 3 : -1;
    case 'c': length = 8; return w == word("\"close\":") ? 4 : -1;
    case 'v': length = 9; return w == word("\"volume\"") && p[8] == ':' ? 5 : -1;
    default: return -1;
  }
}

// The value of field `field` at p; the end of it, or nullptr.
inline const char* value_at(const char* p, int field, Candle& c) {
  if (field == 0) return json::read_short_integer(p, c.time);
  return json::read_short_number(p, c.*kFloatFields[field - 1]);
}

// An object candle at p (its '{') whose keys may come in any order; the
// end of it, or nullptr.
const char* read_object(const char* p, const char* end, Candle& c) {
  ++p;
  unsigned seen = 0;
  for (;;) {
    constexpr std::ptrdiff_t kRoom = kFieldRoom + kBlankSteps;
    if (end - p < kRoom || (p = skip_blanks(p, end, kRoom)) == nullptr) return nullptr;
    int length = 0;
    const int field = key_at(p, length);
    if (field < 0 || (seen & (1u << field)) != 0) return nullptr;
    seen |= 1u << field;
    p = skip_blanks(p + length, end, kRoom);
    if (p == nullptr || (p = value_at(p, field, c)) == nullptr) return nullptr;
    if ((p = skip_blanks(p, end, kRoom)) == nullptr) return nullptr;
    if (*p == '}') break;
    if (*p != ',') return nullptr;
    ++p;
  }
  // Volume may be missing (it stays 0); the others may not.
  return (seen & kRequiredFields) == kRequiredFields ? p + 1 : nullptr;
}

// A number of the kind of `out` at p; the end of it, or nullptr.
template <typename T>
FENDRO_PLAIN_INLINE const char* read_value(const char* p, T& out) {
  if constexpr (std::is_same_v<T, double>) {
    return json::read_short_number(p, out);
  } else {
    return json::read_short_integer(p, out);
  }
}

// Where a value's spelling goes, when it is asked for (kSpell): a place
// and a length in a CandleSpellings.
struct SpellingSlot {
  const char** at;
  std::uint32_t* length;
};

// As read_value, also noting at `slot` where the value is spelled: an
// integer by its digits, a float in the fixed decimal form only.
template <bool kSpell, typename T>
FENDRO_PLAIN_INLINE const char* read_value(const char* p, T& out, SpellingSlot slot) {
  if constexpr (!kSpell) {
    return read_value(p, out);
  } else if constexpr (std::is_same_v<T, double>) {
    unsigned fixed = 0;
    const char* const end = json::read_short_number(p, out, fixed);
    *slot.at = p;
    *slot.length = fixed;
    return end;
  } else {
    const char* const end = json::read_short_integer(p, out);
    const std::size_t length = end != nullptr ? static_cast<std::size_t>(end - p) : 0;
    *slot.at = p;
    *slot.length = static_cast<std::uint32_t>(length <= kSpellingRoom ? length : 0);
    return end;
  }
}

// Blanks, the key of one member of a candle in the usual order (of
// `length` bytes, the first eight of them `key` under `mask`), blanks and a
// value of its kind at p; the end of the value, or nullptr.
template <std::uint64_t kKey, std::uint64_t kMask, int kLength, bool kSpell = false, typename T>
FENDRO_PLAIN_INLINE const char* usual_key_and_value(const char* p, const char* end, T& out,
                                                     SpellingSlot slot = {}) {
  if ((p = skip_blanks(p, end, kUsualRoom)) == nullptr) return nullptr;
  if ((load8(p) & kMask) != kKey || (kLength == 9 && p[8] != ':')) return nullptr;
  if ((p = skip_blanks(p + kLength, end, kUsualRoom)) == nullptr) return nullptr;
  return read_value<kSpell>(p, out, slot);
}

// Such a member at p and the byte `after` it, blanks allowed before that
// byte; the end of that byte, or nullptr.
template <std::uint64_t kKey, std::uint64_t kMask, int kLength, char kAfter, typename T>
FENDRO_PLAIN_INLINE const char* usual_member(const char* p, const char* end, T& out) {
  p = usual_key_and_value<kKey, kMask, kLength>(p, end, out);
  if (p == nullptr || (p = skip_blanks(p, end, kUsualRoom)) == nullptr) return nullptr;
  return *p == kAfter ? p + 1 : nullptr;
}

#if defined(__SSE2__)
// The places of the commas and closing brackets `kClose` among the
// kSeparatorSpan bytes at p, one bit each (the first byte in the lowest bit).
constexpr std::ptrdiff_t kSeparatorSpan = 128;
// The readers ask for kUsualRoom readable bytes before looking at the span.
static_assert(kSeparatorSpan <= kUsualRoom);
template <char kClose>
FENDRO_PLAIN_INLINE unsigned __int128 separators_at(const char* p) {
  const __m128i comma = _mm_set1_epi8(',');
  const __m128i close = _mm_set1_epi8(kClose);
  std::uint64_t half[2] = {0, 0};
  for (int k = 0; k < 8; ++k) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    const auto bits = static_cast<std::uint64_t>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(x, comma), _mm_cmpeq_epi8(x, close))));
    half[k / 4] |= bits << (16 * (k % 4));
  }
  return (static_cast<unsigned __int128>(half[1]) << 64) | half[0];
}

// The end `p` of a value reaches `to` (a separator), but for blanks.
FENDRO_PLAIN_INLINE bool reaches(const char* p, const char* to, const char* end) {
  return p == to || (p != nullptr && skip_blanks(p, end, kUsualRoom) == to);
}

// The place of the first separator left in `s` (kSeparatorSpan or more
// when none is), which is then taken out. Without branches: where the
// sixth separator of a candle falls varies from one candle to the next.
FENDRO_PLAIN_INLINE std::ptrdiff_t next_separator(unsigned __int128& s) {
  const auto low = static_cast<std::uint64_t>(s);
  const auto high = static_cast<std::uint64_t>(s >> 64);
  const int in_low = std::countr_zero(low);
  const int in_high = 64 + std::countr_zero(high);
  s &= s - 1;
  return low != 0 ? in_low : in_high;
}

// One member of a candle in the usual order between `from` (after the '{'
// or comma before it) and `to` (the separator after its value): blanks,
// its key, blanks, a value of its kind that reaches `to`, but for blanks.
template <std::uint64_t kKey, std::uint64_t kMask, int kLength, bool kSpell, typename T>
FENDRO_PLAIN_INLINE bool member_between(const char* from, const char* to, const char* end, T& out,
                                        SpellingSlot slot) {
  return reaches(usual_key_and_value<kKey, kMask, kLength, kSpell>(from, end, out, slot), to, end);
}

// The slot of field `k` in `s`, or none when spellings are not asked for.
template <bool kSpell>
FENDRO_PLAIN_INLINE SpellingSlot slot_of(CandleSpellings* s, int k) {
  if constexpr (kSpell) {
    return {&s->at[k], &s->length[k]};
  } else {
    return {};
  }
}

// The places of the first six commas or closing brackets `kClose` of the
// candle at p (kUsualRoom bytes readable), or of its last byte looked at
// for those not among the kSeparatorSpan bytes at p.
template <char kClose>
FENDRO_PLAIN_INLINE void first_separators(const char* p, const char* (&at)[6]) {
  unsigned __int128 s = separators_at<kClose>(p);
  for (const char*& a : at) a = p + std::min(next_separator(s), kSeparatorSpan - 1);
}

// As read_usual_object, for a candle whose closing brace lies within
// kSeparatorSpan bytes: the separators are found all at once, so the
// members are read each on its own rather than one after the other.
template <bool kSpell>
FENDRO_PLAIN_INLINE const char* read_usual_object_at_once(const char* p, const char* end, Candle& c,
                                                          CandleSpellings* s) {
  if (end - p < kUsualRoom) return nullptr;
  const char* at[6];
  first_separators<'}'>(p, at);
  // The first five must be commas, the sixth the closing brace.
  if ((*at[0] & *at[1] & *at[2] & *at[3] & *at[4]) != ',' || *at[5] != '}' ||
      (*at[0] | *at[1] | *at[2] | *at[3] | *at[4]) != ',') {
    return nullptr;
  }
  bool ok = member_between<word("\"time\":"), kLow7, 7, kSpell>(p + 1, at[0], end, c.time, slot_of<kSpell>(s, 0));
  ok &= member_between<word("\"open\":"), kLow7, 7, kSpell>(at[0] + 1, at[1], end, c.open, slot_of<kSpell>(s, 1));
  ok &= member_between<word("\"high\":"), kLow7, 7, kSpell>(at[1] + 1, at[2], end, c.high, slot_of<kSpell>(s, 2));
  ok &= member_between<word("\"low\":"), kLow6, 6, kSpell>(at[2] + 1, at[3], end, c.low, slot_of<kSpell>(s, 3));
  ok &= member_between<word("\"close\":"), ~std::uint64_t{0}, 8, kSpell>(at[3] + 1, at[4], end, c.close,
                                                                         slot_of<kSpell>(s, 4));
  ok &= member_between<word("\"volume\""), ~std::uint64_t{0}, 9, kSpell>(at[4] + 1, at[5], end, c.volume,
                                                                         slot_of<kSpell>(s, 5));
  return ok ? at[5] + 1 : nullptr;
}

// One element of an array candle between `from` (after the '[' or comma
// before it) and `to` (the separator after it): blanks, a value of its
// kind that reaches `to`, but for blanks.
template <bool kSpell, typename T>
FENDRO_PLAIN_INLINE bool element_between(const char* from, const char* to, const char* end, T& out,
                                         SpellingSlot slot) {
  const char* p = skip_blanks(from, end, kUsualRoom);
  return p != nullptr && reaches(read_value<kSpell>(p, out, slot), to, end);
}

// As read_array, for a candle of 5 or 6 elements whose closing bracket lies
// within kSeparatorSpan bytes, its elements read each on its own.
template <bool kSpell>
FENDRO_PLAIN_INLINE const char* read_array_at_once(const char* p, const char* end, Candle& c, CandleSpellings* s) {
  if (end - p < kUsualRoom) return nullptr;
  const char* at[6];
  first_separators<']'>(p, at);
  // The first four must be commas; then the closing bracket, or a comma
  // and the closing bracket.
  if ((*at[0] & *at[1] & *at[2] & *at[3]) != ',' || (*at[0] | *at[1] | *at[2] | *at[3]) != ',') return nullptr;
  const bool six = *at[4] == ',';
  if (!six && *at[4] != ']') return nullptr;
  if (six && *at[5] != ']') return nullptr;
  bool ok = element_between<kSpell>(p + 1, at[0], end, c.time, slot_of<kSpell>(s, 0));
  ok &= element_between<kSpell>(at[0] + 1, at[1], end, c.open, slot_of<kSpell>(s, 1));
  ok &= element_between<kSpell>(at[1] + 1, at[2], end, c.high, slot_of<kSpell>(s, 2));
  ok &= element_between<kSpell>(at[2] + 1, at[3], end, c.low, slot_of<kSpell>(s, 3));
  ok &= element_between<kSpell>(at[3] + 1, at[4], end, c.close, slot_of<kSpell>(s, 4));
  if (!six) return ok ? at[4] + 1 : nullptr;  // a missing volume is written from its value
  ok &= element_between<kSpell>(at[4] + 1, at[5], end, c.volume, slot_of<kSpell>(s, 5));
  return ok ? at[5] + 1 : nullptr;
}
#endif

// An object candle at p in the order nearly every one comes in: all six
// fields, time first and volume last; the end of it, or nullptr.
FENDRO_PLAIN_INLINE const char* read_usual_object(const char* p, const char* end, Candle& c) {
  if (end - p < kUsualRoom) return nullptr;
  ++p;
  p = usual_member<word("\"time\":"), kLow7, 7, ','>(p, end, c.time);
  if (p != nullptr) p = usual_member<word("\"open\":"), kLow7, 7, ','>(p, end, c.open);
  if (p != nullptr) p = usual_member<word("\"high\":"), kLow7, 7, ','>(p, end, c.high);
  if (p != nullptr) p = usual_member<word("\"low\":"), kLow6, 6, ','>(p, end, c.low);
  if (p != nullptr) p = usual_member<word("\"close\":"), ~std::uint64_t{0}, 8, ','>(p, end, c.close);
  if (p != nullptr) p = usual_member<word("\"volume\""), ~std::uint64_t{0}, 9, '}'>(p, end, c.volume);
  return p;
}

// An array candle at p (its '['); the end of it, or nullptr.
const char* read_array(const char* p, const char* end, Candle& c) {
  ++p;
  for (int index = 0;; ++index) {
    constexpr std::ptrdiff_t kRoom = kFieldRoom + kBlankSteps;
    if (end - p < kRoom || (p = skip_blanks(p, end, kRoom)) == nullptr) return nullptr;
    p = value_at(p, index, c);
    if (p == nullptr || (p = skip_blanks(p, end, kRoom)) == nullptr) return nullptr;
    if (*p == ']') return index >= 4 ? p + 1 : nullptr;
    // A seventh element fails the candle: the general reader tells how.
    if (*p != ',' || index == 5) return nullptr;
    ++p;
  }
}

// Lists of more candles than this get room for the rest at once.
constexpr std::size_t kLongList = 1024;

// Before appending to a full `out` that is already long: room for as many
// more candles as the `bytes_ahead` of text hold at 7/8 of the mean length
// so far, `bytes_read` over the `read` candles of this call. A guess on the high side costs only address space (the
// pages are never touched, and the reader of the list gives a room twice
// too large back); one on the low side would grow the vector once more
// near the end, holding both copies for a moment, so prices that get
// shorter later in the list are allowed for. At least half as many again,
// so that a low guess still grows the vector geometrically.
void make_room(std::vector<Candle>& out, std::size_t bytes_ahead, std::size_t bytes_read, std::size_t read) {
  const std::size_t n = out.size();
  if (n != out.capacity() || n < kLongList) return;
  const std::size_t bytes_each = bytes_read / read;
  const std::size_t at_least = std::max<std::size_t>(bytes_each - bytes_each / 8, 1);
  out.reserve(std::max(n + bytes_ahead / at_least + 1, n + n / 2));
  // Filling a long list otherwise faults once per 4 KiB, which costs about
  // as much as decoding the candles.
  advise_huge_pages(out.data() + n, (out.capacity() - n) * sizeof(Candle));
}

template <bool kSpell>
std::size_t read_plain(std::string_view text, std::vector<Candle>& out, std::size_t stretch,
                       std::vector<CandleSpellings>* spellings) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  if (end - begin < kFieldRoom) return 0;
  const std::size_t first = out.size();
  const char* const stop = stretch < text.size() ? begin + stretch : end;
  const char* taken = begin;
  const char* p = begin;
  // Every step below stays within the room checked before each field.
  for (;;) {
    Candle c;
    // Lengths 0: a candle read any other way than at once is written from its values.
    CandleSpellings s{};
    const char* next = nullptr;
    if (*p == '{') {
#if defined(__SSE2__)
      next = read_usual_object_at_once<kSpell>(p, end, c, &s);
      if (next == nullptr) {
        if constexpr (kSpell) s = CandleSpellings{};
        next = read_usual_object(p, end, c);
      }
#else
      next = read_usual_object(p, end, c);
#endif
      if (next == nullptr) {
        c = Candle{};  // read afresh, whatever the usual order took
        next = read_object(p, end, c);
      }
    } else if (*p == '[') {
#if defined(__SSE2__)
      next = read_array_at_once<kSpell>(p, end, c, &s);
      if (next == nullptr) {
        if constexpr (kSpell) s = CandleSpellings{};
        c = Candle{};
        next = read_array(p, end, c);
      }
#else
      next = read_array(p, end, c);
#endif
    }
    if (next == nullptr) break;
    make_room(out, static_cast<std::size_t>(end - next), static_cast<std::size_t>(next - begin),
              out.size() - first + 1);
    out.push_back(c);
    if constexpr (kSpell) spellings->push_back(s);
    taken = next;
    // Blanks may stand around the comma before the next candle.
    if (next >= stop || end - next < kFieldRoom) break;
    p = skip_blanks(next, end, kFieldRoom);
    if (p == nullptr || *p != ',' || (p = skip_blanks(p + 1, end, kFieldRoom)) == nullptr) break;
  }
  return static_cast<std::size_t>(taken - begin);
}

}  // namespace

std::size_t read_plain_candles(std::string_view text, std::vector<Candle>& out, std::size_t stretch,
                               std::vector<CandleSpellings>* spellings) {
  return spellings != nullptr ? read_plain<true>(text, out, stretch, spellings)
                              : read_plain<false>(text, out, stretch, nullptr);
}

}  // namespace fendro
