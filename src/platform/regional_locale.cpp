// Regional settings read from a POSIX locale: numbers from LC_NUMERIC, money from LC_MONETARY,
// dates, times and names from LC_TIME. The process-wide locale is never changed.
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ascii.h"
#include "platform/error.h"
#include "platform/regional.h"

namespace dorvane {

namespace {

// Owns a locale object made by newlocale.
class Locale {
 public:
  explicit Locale(locale_t handle) : handle_(handle) {}
  Locale(const Locale&) = delete;
  Locale& operator=(const Locale&) = delete;
  ~Locale() {
    if (handle_ != nullptr) freelocale(handle_);
  }
  locale_t get() const { return handle_; }

 private:
  locale_t handle_;
};

// Makes the locale current for this thread only while it lives (localeconv reads it).
class ThreadLocale {
 public:
  explicit ThreadLocale(locale_t handle) : previous_(uselocale(handle)) {}
  ThreadLocale(const ThreadLocale&) = delete;
  ThreadLocale& operator=(const ThreadLocale&) = delete;
  ~ThreadLocale() { uselocale(previous_); }

 private:
  locale_t previous_;
};

// Texts of a locale whose character set is not UTF-8 are converted; what does not convert is
// left out rather than passed on as broken UTF-8.
class ToUtf8 {
 public:
  explicit ToUtf8(const char* codeset) {
    if (codeset != nullptr && std::strcmp(codeset, "UTF-8") != 0 &&
        std::strcmp(codeset, "ANSI_X3.4-1968") != 0) {
      cd_ = iconv_open("UTF-8", codeset);
    }
  }
  ToUtf8(const ToUtf8&) = delete;
  ToUtf8& operator=(const ToUtf8&) = delete;
  ~ToUtf8() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }

  std::string operator()(const char* text) const {
    if (text == nullptr) return {};
    std::string in(text);
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return in;
    std::string out(in.size() * 4 + 4, '\0');
    char* src = in.data();
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
      std::string ascii;
      for (char c : in) {
        if (static_cast<unsigned char>(c) < 0x80) ascii += c;
      }
      return ascii;
    }
    out.resize(out.size() - dstLeft);
    return out;
  }

 private:
  iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
};

// One piece of a translated pattern: a field in the classic letters, or literal text.
struct Piece {
  std::string text;
  bool field = false;
  bool seconds = false;
  bool designator = false;
};

bool IsPatternSpecial(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '"' || c == '\'' || c == '/' ||
         c == ':';
}

// Literal text in a classic pattern: the separator stands as its placeholder, text that the
// pattern would read as letters is quoted.
std::string Literal(const std::string& text, const std::string& separator, char placeholder) {
  if (!separator.empty() && text == separator) return std::string(1, placeholder);
  bool special = false;
  for (char c : text) special = special || IsPatternSpecial(c);
  if (!special) return text;
  const char quote = text.find('"') == std::string::npos ? '"' : '\'';
  std::string out(1, quote);
  for (char c : text) {
    if (c != quote) out += c;
  }
  out += quote;
  return out;
}

// Splits a strftime format into classic fields and literal text; %D, %F, %T, %R and %r are
// expanded (%r into the locale's 12-hour format, `ampmFormat`).
void Translate(std::string_view format, std::string_view ampmFormat, std::vector<Piece>& pieces,
               int depth = 0) {
  auto literal = [&pieces](std::string_view text) {
    if (text.empty()) return;
    if (pieces.empty() || pieces.back().field) pieces.push_back(Piece{});
    pieces.back().text.append(text);
  };
  auto field = [&pieces](const char* text, bool seconds = false, bool designator = false) {
    pieces.push_back(Piece{text, true, seconds, designator});
  };
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      literal(format.substr(i, 1));
      continue;
    }
    bool unpadded = false;
    ++i;
    while (i < format.size() && std::strchr("-_0^#", format[i]) != nullptr) {
      unpadded = unpadded || format[i] == '-';
      ++i;
    }
    while (i < format.size() && (format[i] >= '0' && format[i] <= '9')) ++i;
    while (i < format.size() && (format[i] == 'E' || format[i] == 'O')) ++i;
    if (i >= format.size()) break;
    auto nested = [&](std::string_view inner) {
      if (depth < 3) Translate(inner, ampmFormat, pieces, depth + 1);
    };
    switch (format[i]) {
      case 'd':
        field(unpadded ? "d" : "dd");
        break;
      case 'e':
        field("d");
        break;
      case 'm':
        field(unpadded ? "m" : "mm");
        break;
      case 'Y':
        field("yyyy");
        break;
      case 'y':
        field("yy");
        break;
      case 'b':
      case 'h':
        field("mmm");
        break;
      case 'B':
        field("mmmm");
        break;
      case 'a':
        field("ddd");
        break;
      case 'A':
        field("dddd");
        break;
      case 'H':
        field(unpadded ? "h" : "hh");
        break;
      case 'k':
        field("h");
        break;
      case 'I':
        field(unpadded ? "h" : "hh");
        break;
      case 'l':
        field("h");
        break;
      case 'M':
        field(unpadded ? "n" : "nn");
        break;
      case 'S':
        field(unpadded ? "s" : "ss", true);
        break;
      case 'p':
      case 'P':
        field("AMPM", false, true);
        break;
      case 'D':
        nested("%m/%d/%y");
        break;
      case 'F':
        nested("%Y-%m-%d");
        break;
      case 'T':
        nested("%H:%M:%S");
        break;
      case 'R':
        nested("%H:%M");
        break;
      case 'r':
        nested(ampmFormat.empty() ? std::string_view("%I:%M:%S %p") : ampmFormat);
        break;
      case 'n':
      case 't':
        literal(" ");
        break;
      case '%':
        literal("%");
        break;
      default:
        break;  // time zones, week numbers and the like have no place in these texts
    }
  }
}

// Punctuation marks only: ".", ":", "-". A word between two fields ("時", "시", "h") is text
// of the format, not a separator; durations and hand-typed times would read "00時06時40".
bool IsPunctuation(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return c > ' ' && c < '\x7f' && !(AsciiUpper(c) >= 'A' && AsciiUpper(c) <= 'Z') &&
           !(c >= '0' && c <= '9');
  });
}

std::string_view TrimmedBlanks(std::string_view text) {
  const auto from = text.find_first_not_of(' ');
  if (from == std::string_view::npos) return {};
  return text.substr(from, text.find_last_not_of(' ') - from + 1);
}

// The first literal text between two fields, blanks trimmed: the separator of the format when it
// is punctuation, else the fallback (and the text stays in the format as it is).
std::string SeparatorOf(const std::vector<Piece>& pieces, const char* fallback) {
  for (std::size_t k = 1; k + 1 < pieces.size(); ++k) {
    if (pieces[k].field || !pieces[k - 1].field || !pieces[k + 1].field) continue;
    const std::string_view separator = TrimmedBlanks(pieces[k].text);
    if (separator.empty()) continue;
    return IsPunctuation(separator) ? std::string(separator) : fallback;
  }
  return fallback;
}

// Removes the first field of a kind with the literal text that joins it to the rest: the one
// before it, or the one after it when it comes first. A word before it is the unit of the field
// before ("分" in "%H時%M分%S秒"); then the field's own unit, after it, goes instead.
void DropField(std::vector<Piece>& pieces, bool Piece::*kind) {
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    if (!(pieces[k].*kind)) continue;
    const auto at = [&pieces](std::size_t index) {
      return pieces.begin() + static_cast<std::ptrdiff_t>(index);
    };
    const bool unitBefore = k > 0 && !pieces[k - 1].field &&
                            !TrimmedBlanks(pieces[k - 1].text).empty() &&
                            !IsPunctuation(TrimmedBlanks(pieces[k - 1].text));
    const bool literalAfter = k + 1 < pieces.size() && !pieces[k + 1].field;
    if (unitBefore && literalAfter) {
      pieces.erase(at(k), at(k + 2));
    } else if (k > 0 && !pieces[k - 1].field) {
      pieces.erase(at(k - 1), at(k + 1));
    } else if (k + 1 < pieces.size() && !pieces[k + 1].field) {
      pieces.erase(at(k), at(k + 2));
    } else {
      pieces.erase(at(k));
    }
    return;
  }
}

std::string Join(std::vector<Piece> pieces, const std::string& separator, char placeholder,
                 bool withoutSeconds) {
  if (withoutSeconds) DropField(pieces, &Piece::seconds);
  // Blanks left at the end (after a dropped time zone or unit, say) are trimmed.
  if (withoutSeconds && !pieces.empty() && !pieces.back().field) {
    const auto end = pieces.back().text.find_last_not_of(' ');
    pieces.back().text.erase(end == std::string::npos ? 0 : end + 1);
  }
  while (!pieces.empty() && !pieces.back().field &&
         pieces.back().text.find_first_not_of(' ') == std::string::npos) {
    pieces.pop_back();
  }
  std::string out;
  for (const auto& p : pieces) {
    out += p.field ? p.text : Literal(p.text, separator, placeholder);
  }
  return out;
}

// The positive currency form: 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
int PositiveForm(char precedes, char separated) {
  if (precedes == CHAR_MAX) return 0;
  const bool space = separated == 1;
  if (precedes) return space ? 2 : 0;
  return space ? 3 : 1;
}

// The negative currency form from where the sign goes (0 brackets, 1 before all, 2 after all,
// 3 just before the symbol, 4 just after it), the symbol's place and the blank beside it.
int NegativeForm(char precedes, char separated, char signPosition) {
  if (precedes == CHAR_MAX || signPosition == CHAR_MAX) return 0;
  const bool space = separated == 1 || separated == 2;
  const bool before = precedes != 0;
  switch (signPosition) {
    case 0:
      return before ? (space ? 14 : 0) : (space ? 15 : 4);
    case 2:
      return before ? (space ? 11 : 3) : (space ? 10 : 7);
    case 3:
      return before ? (space ? 9 : 1) : (space ? 13 : 6);
    case 4:
      return before ? (space ? 12 : 2) : (space ? 10 : 7);
    default:
      return before ? (space ? 9 : 1) : (space ? 8 : 5);
  }
}

RegionalSettings FromHandle(locale_t loc) {
  RegionalSettings rs = RegionalSettings::UsEnglish();
  const ToUtf8 text(nl_langinfo_l(CODESET, loc));
  {
    const ThreadLocale current(loc);
    const lconv* lc = localeconv();
    const std::string decimal = text(lc->decimal_point);
    if (!decimal.empty()) rs.decimalSeparator = decimal;
    std::string thousands = text(lc->thousands_sep);
    if (thousands.empty()) thousands = text(lc->mon_thousands_sep);
    if (!thousands.empty()) rs.thousandSeparator = thousands;
    const std::string symbol = text(lc->currency_symbol);
    if (!symbol.empty()) rs.currencySymbol = symbol;
    if (lc->frac_digits != CHAR_MAX) rs.currencyDecimals = lc->frac_digits;
    rs.currencyFormat = PositiveForm(lc->p_cs_precedes, lc->p_sep_by_space);
    rs.negCurrFormat = NegativeForm(lc->n_cs_precedes, lc->n_sep_by_space, lc->n_sign_posn);
  }

  std::vector<Piece> date;
  Translate(text(nl_langinfo_l(D_FMT, loc)), {}, date);
  if (!date.empty()) {
    rs.dateSeparator = SeparatorOf(date, "/");
    rs.shortDateFormat = Join(date, rs.dateSeparator, '/', false);
  }
  rs.timeAMString = text(nl_langinfo_l(AM_STR, loc));
  rs.timePMString = text(nl_langinfo_l(PM_STR, loc));
  const std::string ampm = text(nl_langinfo_l(T_FMT_AMPM, loc));
  std::vector<Piece> time;
  Translate(text(nl_langinfo_l(T_FMT, loc)), ampm, time);
  // A 12-hour clock whose designators are empty or alike loses the afternoon: such a locale
  // gets the 24-hour form of its own format.
  if (!HasAmPmDesignators(rs)) {
    while (std::any_of(time.begin(), time.end(), [](const Piece& p) { return p.designator; })) {
      DropField(time, &Piece::designator);
    }
  }
  if (!time.empty()) {
    rs.timeSeparator = SeparatorOf(time, ":");
    rs.longTimeFormat = Join(time, rs.timeSeparator, ':', false);
    rs.shortTimeFormat = Join(time, rs.timeSeparator, ':', true);
  }

  static constexpr nl_item kShortDays[] = {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4,
                                           ABDAY_5, ABDAY_6, ABDAY_7};
  static constexpr nl_item kLongDays[] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};
  static constexpr nl_item kShortMonths[] = {ABMON_1, ABMON_2,  ABMON_3,  ABMON_4,
                                             ABMON_5, ABMON_6,  ABMON_7,  ABMON_8,
                                             ABMON_9, ABMON_10, ABMON_11, ABMON_12};
  static constexpr nl_item kLongMonths[] = {MON_1, MON_2, MON_3, MON_4,  MON_5,  MON_6,
                                            MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
  auto names = [&](const nl_item* items, std::string* target, int count) {
    for (int k = 0; k < count; ++k) {
      std::string name = text(nl_langinfo_l(items[k], loc));
      if (!name.empty()) target[k] = std::move(name);
    }
  };
  names(kShortDays, rs.shortDayNames.data(), 7);
  names(kLongDays, rs.longDayNames.data(), 7);
  names(kShortMonths, rs.shortMonthNames.data(), 12);
  names(kLongMonths, rs.longMonthNames.data(), 12);
  return rs;
}

}  // namespace

RegionalSettings RegionalSettings::FromLocale(const std::string& localeName) {
  const Locale loc(newlocale(LC_ALL_MASK, localeName.c_str(), static_cast<locale_t>(nullptr)));
  if (loc.get() == nullptr) {
    throw Error(FormatMessage("The regional settings '%s' are not installed", localeName));
  }
  return FromHandle(loc.get());
}

RegionalSettings RegionalSettings::FromSystem() {
  // Category by category, as the environment names them (LC_ALL, LC_NUMERIC and so on, LANG);
  // a category whose locale is missing keeps the plain "C" values.
  locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  if (loc == nullptr) return UsEnglish();
  for (int mask : {LC_NUMERIC_MASK, LC_MONETARY_MASK, LC_TIME_MASK}) {
    if (locale_t next = newlocale(mask, "", loc); next != nullptr) loc = next;
  }
  const Locale owned(loc);
  return FromHandle(owned.get());
}

}  // namespace dorvane
