#include "linux/syslogcalls.h"

#include <time.h>

#include <algorithm>
#include <array>

#include "capture/modemstamp.h"
#include "platform/ascii.h"
#include "platform/files.h"

namespace dorvane {

namespace {

constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<std::string_view, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fri", "Sat"};

// A small reader over the head of a line; every step fails without moving on a mismatch.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  std::string_view Rest() const { return text_.substr(pos_); }
  bool AtEnd() const { return pos_ >= text_.size(); }

  bool Char(char c) {
    if (AtEnd() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  // Exactly `width` digits.
  bool Number(std::size_t width, int& out) {
    if (pos_ + width > text_.size()) return false;
    int value = 0;
    for (std::size_t i = 0; i < width; ++i) {
      const char c = text_[pos_ + i];
      if (!IsDigit(c)) return false;
      value = value * 10 + (c - '0');
    }
    pos_ += width;
    out = value;
    return true;
  }
  // One or two digits.
  bool ShortNumber(int& out) {
    if (!Number(1, out)) return false;
    int second = 0;
    if (Number(1, second)) out = out * 10 + second;
    return true;
  }
  // Three letters out of a list; the index.
  template <std::size_t N>
  bool Name(const std::array<std::string_view, N>& names, int& index) {
    const std::string_view rest = Rest().substr(0, 3);
    for (std::size_t i = 0; i < N; ++i) {
      if (rest == names[i]) {
        pos_ += 3;
        index = static_cast<int>(i);
        return true;
      }
    }
    return false;
  }
  bool Blanks() {
    const std::size_t start = pos_;
    while (!AtEnd() && text_[pos_] == ' ') ++pos_;
    return pos_ > start;
  }
  void SkipFraction() {
    if (!Char('.') && !Char(',')) return;
    while (!AtEnd() && IsDigit(text_[pos_])) ++pos_;
  }
  // "HH:MM:SS", fraction dropped.
  bool Clock(LocalTime& t) {
    if (!Number(2, t.hour) || !Char(':') || !Number(2, t.minute) || !Char(':') ||
        !Number(2, t.second)) {
      return false;
    }
    SkipFraction();
    return true;
  }
  std::string_view Token() {
    const std::size_t start = pos_;
    while (!AtEnd() && text_[pos_] != ' ') ++pos_;
    return text_.substr(start, pos_ - start);
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

bool ValidTime(const LocalTime& t) {
  TDateTime ignored = 0;
  return TryEncodeDate(t.year, t.month, t.day, ignored) &&
         TryEncodeTime(t.hour, t.minute, t.second, 0, ignored);
}

// busybox names no host: the word after its stamp is the facility and level.
enum class StampKind { kNone, kClassic, kDated, kBusybox };

// The stamp at the head of a line. A classic stamp leaves the year at 0. `cursor` stops after the
// stamp's blanks.
StampKind ReadStamp(Cursor& c, const TimeZone& zone, LocalTime& t) {
  // RFC 3339 and short-iso: 2023-03-02T10:11:12.345678+01:00, 2023-09-08T17:20:30+0200.
  {
    Cursor iso = c;
    if (iso.Number(4, t.year) && iso.Char('-') && iso.Number(2, t.month) && iso.Char('-') &&
        iso.Number(2, t.day) && iso.Char('T') && iso.Clock(t)) {
      bool offset = false;
      int sign = 0;
      int hours = 0;
      int minutes = 0;
      if (iso.Char('Z')) {
        offset = true;
      } else if (iso.Char('+')) {
        sign = 1;
      } else if (iso.Char('-')) {
        sign = -1;
      }
      if (sign != 0) {
        if (!iso.Number(2, hours)) return StampKind::kNone;
        iso.Char(':');
        iso.Number(2, minutes);
        offset = true;
      }
      if (!iso.Blanks() || !ValidTime(t)) return StampKind::kNone;
      if (offset) {
        const std::int64_t utc = DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 +
                                 t.minute * 60 + t.second - sign * (hours * 3600 + minutes * 60);
        t = zone.ToLocal(utc);
      }
      c = iso;
      return StampKind::kDated;
    }
  }
  // busybox: Sun Feb 26 23:04:27 2017
  {
    Cursor bb = c;
    int weekday = 0;
    int month = 0;
    if (bb.Name(kWeekdays, weekday) && bb.Blanks() && bb.Name(kMonths, month) && bb.Blanks() &&
        bb.ShortNumber(t.day) && bb.Blanks() && bb.Clock(t) && bb.Blanks() &&
        bb.Number(4, t.year) && bb.Blanks()) {
      t.month = month + 1;
      c = bb;
      return StampKind::kBusybox;
    }
  }
  // classic: Sep 16 16:26:08, Sep  6 16:26:08.123456
  {
    Cursor classic = c;
    int month = 0;
    if (classic.Name(kMonths, month) && classic.Blanks() && classic.ShortNumber(t.day) &&
        classic.Blanks() && classic.Clock(t) && classic.Blanks()) {
      t.month = month + 1;
      t.year = 0;
      c = classic;
      return StampKind::kClassic;
    }
  }
  return StampKind::kNone;
}

// After the stamp: an optional host (busybox: the facility and level), then "program[pid]:" and the
// message. The tag is the first token that ends with ":".
bool ReadSource(Cursor& c, StampKind kind, LogRecord& r) {
  for (int token = 0; token < 2; ++token) {
    const std::string_view word = c.Token();
    if (word.empty()) return false;
    if (word.back() == ':' && word.size() > 1) {
      std::string_view tag = word.substr(0, word.size() - 1);
      const auto bracket = tag.find('[');
      if (bracket != std::string_view::npos && tag.back() == ']') {
        r.pid = std::string(tag.substr(bracket + 1, tag.size() - bracket - 2));
        tag = tag.substr(0, bracket);
      }
      r.program = std::string(tag);
      c.Char(' ');
      std::string_view message = c.Rest();
      while (!message.empty() && (message.back() == ' ' || message.back() == '\t' ||
                                  message.back() == '\r' || message.back() == '\n')) {
        message.remove_suffix(1);
      }
      r.message = std::string(message);
      return true;
    }
    if (token == 1) return false;
    if (kind != StampKind::kBusybox) r.host = std::string(word);
    if (!c.Blanks()) return false;
  }
  return false;
}

// The quick look at a whole line, before its stamp is read: whether a program asked for is named
// anywhere in it (any line when none is asked for).
bool MentionsAProgram(std::string_view line, const std::vector<std::string>& programs) {
  if (programs.empty()) return true;
  return std::any_of(programs.begin(), programs.end(),
                     [&](const std::string& p) { return line.find(p) != std::string_view::npos; });
}

// The exact test once the record is read: whether its source is a program asked for.
bool FromAProgram(const LogRecord& r, const std::vector<std::string>& programs) {
  return programs.empty() ||
         std::find(programs.begin(), programs.end(), r.program) != programs.end();
}

}  // namespace

std::int64_t WallSeconds(const LocalTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

TDateTime ToDateTime(const LocalTime& t) {
  return ModemStampDateTime({{t.year, t.month, t.day}, {t.hour, t.minute, t.second, 0}});
}

LocalTime SystemTimeZone::ToLocal(std::int64_t utcSeconds) const {
  const time_t when = static_cast<time_t>(utcSeconds);
  struct tm local {};
  ::localtime_r(&when, &local);
  // A leap second reads as the last second of its minute.
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                   local.tm_hour,        local.tm_min,     std::min(local.tm_sec, 59)};
}

std::optional<LogRecord> ParseLogLine(std::string_view line, int classicYear,
                                      const TimeZone& zone) {
  Cursor c(line);
  LogRecord r;
  const StampKind kind = ReadStamp(c, zone, r.time);
  if (kind == StampKind::kNone) return std::nullopt;
  if (kind == StampKind::kClassic) r.time.year = classicYear;
  if (!ValidTime(r.time) || !ReadSource(c, kind, r)) return std::nullopt;
  return r;
}

LogRecordReader::LogRecordReader(const YearHint& hint, const TimeZone& zone,
                                 std::vector<std::string> programs)
    : hint_(hint), zone_(zone), programs_(std::move(programs)) {}

void LogRecordReader::Line(std::string_view line) {
  Cursor c(line);
  Held h;
  const StampKind kind = ReadStamp(c, zone_, h.record.time);
  if (kind == StampKind::kNone) return;
  if (kind == StampKind::kClassic) {
    // Every dated line moves the year on, whatever its program.
    if (previousMonth_ != 0 && h.record.time.month < previousMonth_) ++turns_;
    if (firstMonth_ == 0) firstMonth_ = h.record.time.month;
    previousMonth_ = h.record.time.month;
    h.classic = true;
    h.turns = turns_;
  }
  // Most lines of a syslog are someone else's: look for the program's name before taking
  // the line apart.
  if (!MentionsAProgram(c.Rest(), programs_)) return;
  if (!h.classic && !ValidTime(h.record.time)) return;
  if (!ReadSource(c, kind, h.record) || !FromAProgram(h.record, programs_)) return;
  held_.push_back(std::move(h));
}

std::vector<LogRecord> LogRecordReader::Finish(YearHint* next) {
  // The year of the first classic stamp: given, or counted back from the last one, which lies
  // before the file's modification.
  int firstYear = 0;
  if (hint_.year) {
    firstYear = *hint_.year;
    // Carried on from the file before: a smaller month is the next year's.
    if (hint_.previousMonth != 0 && firstMonth_ != 0 && firstMonth_ < hint_.previousMonth) {
      ++firstYear;
    }
  } else {
    const int lastYear =
        previousMonth_ > hint_.modified.month ? hint_.modified.year - 1 : hint_.modified.year;
    firstYear = lastYear - turns_;
  }
  std::vector<LogRecord> records;
  records.reserve(held_.size());
  for (Held& h : held_) {
    if (h.classic) {
      h.record.time.year = firstYear + h.turns;
      if (!ValidTime(h.record.time)) continue;
    }
    records.push_back(std::move(h.record));
  }
  held_.clear();
  if (next != nullptr) {
    *next = hint_;
    if (previousMonth_ != 0) {
      next->year = firstYear + turns_;
      next->previousMonth = previousMonth_;
    }
  }
  return records;
}

std::vector<LogRecord> ReadLogRecords(std::string_view text, const YearHint& hint,
                                      const TimeZone& zone,
                                      const std::vector<std::string>& programs, YearHint* next) {
  LogRecordReader reader(hint, zone, programs);
  for (std::string_view line : SplitLines(text)) reader.Line(line);
  return reader.Finish(next);
}

// ---------------------------------------------------------------------------------------------
// Calls

namespace {

// "Script /usr/sbin/chat -v -f /etc/chatscripts/isp finished (pid 1064), status = 0x0": 1064.
std::string ScriptPid(std::string_view message) {
  if (!message.starts_with("Script ")) return {};
  const std::string_view key = " finished (pid ";
  const auto at = message.rfind(key);
  if (at == std::string_view::npos) return {};
  std::string_view rest = message.substr(at + key.size());
  std::size_t n = 0;
  while (n < rest.size() && IsDigit(rest[n])) ++n;
  if (n == 0 || n >= rest.size() || rest[n] != ')') return {};
  return std::string(rest.substr(0, n));
}

}  // namespace

void PppCallFinder::Add(const LogRecord& r) {
  const std::string_view message = r.message;
  if (r.program == "chat") {
    // Chat scripts write the dial command in either case ("ATDT", "atdt").
    if (EqualNoCase(message.substr(0, 9), "send (ATD")) {
      hosts_[r.host].dials.push_back(Dial{r.time, r.pid, false});
    }
    return;
  }
  if (r.program != "pppd") return;
  const auto key = std::make_pair(r.host, r.pid);
  Process& p = processes_[key];
  if (message.starts_with("pppd ") && message.find(" started by ") != std::string_view::npos) {
    // A new process under a process id seen before: the old one died without a word.
    if (p.open) Abandon(p, r);
    p.scriptPid.clear();
  } else if (message.starts_with("Script ")) {
    if (std::string pid = ScriptPid(message); !pid.empty()) p.scriptPid = std::move(pid);
  } else if (message == "Connect script failed") {
    // Whatever was dialled so far on this host did not connect.
    for (Dial& d : hosts_[r.host].dials) d.taken = true;
    p.scriptPid.clear();
  } else if (message == "Serial connection established.") {
    if (p.open) Abandon(p, r);
    Open(p, StartAtSerial(hosts_[r.host], p, r.time));
    p.scriptPid.clear();
  } else if (message.starts_with("Connect: ")) {
    if (!p.open) Open(p, r.time);
  } else if (message == "Modem hangup" || message == "Connection terminated.") {
    if (p.open) Close(p, r);
  } else if (message == "Exit.") {
    if (p.open) Close(p, r);
    processes_.erase(key);
  }
  if (const auto it = processes_.find(key); it != processes_.end() && it->second.open) {
    lastStart_[r.pid] = it->second.start;
  }
}

// The telephone company bills from the dial, which chat logs just before the serial line.
LocalTime PppCallFinder::StartAtSerial(Host& host, const Process& p, const LocalTime& serial) {
  const std::int64_t now = WallSeconds(serial);
  auto& dials = host.dials;
  dials.erase(std::remove_if(dials.begin(), dials.end(),
                             [&](const Dial& d) {
                               const std::int64_t gap = now - WallSeconds(d.time);
                               return gap > kChatWindowSeconds;
                             }),
              dials.end());
  const auto inWindow = [&](const Dial& d) { return WallSeconds(d.time) <= now; };
  Dial* chosen = nullptr;
  if (!p.scriptPid.empty()) {
    // This process's own script: its last dial.
    for (Dial& d : dials) {
      if (d.chatPid == p.scriptPid && inWindow(d)) chosen = &d;
    }
  } else {
    int free = 0;
    for (Dial& d : dials) {
      if (!d.taken && inWindow(d)) {
        ++free;
        chosen = &d;
      }
    }
    // Two links dialling at once: neither dial can be told to be this link's.
    if (free != 1) chosen = nullptr;
  }
  if (chosen == nullptr) return serial;
  chosen->taken = true;
  return chosen->time;
}

std::optional<LocalTime> PppCallFinder::StartOf(std::string_view pid) const {
  const auto it = lastStart_.find(pid);
  if (it == lastStart_.end()) return std::nullopt;
  return it->second;
}

void PppCallFinder::Open(Process& p, const LocalTime& start) {
  p.open = true;
  p.start = start;
}

void PppCallFinder::Close(Process& p, const LogRecord& r) {
  calls_.push_back(FoundCall{p.start, r.time, r.host, r.pid});
  p.open = false;
}

void PppCallFinder::Abandon(Process& p, const LogRecord& r) {
  unfinished_.push_back(FoundCall{p.start, p.start, r.host, r.pid});
  p.open = false;
}

void PppCallFinder::Finish() {
  for (auto& [key, p] : processes_) {
    if (p.open) unfinished_.push_back(FoundCall{p.start, p.start, key.first, key.second});
  }
  processes_.clear();
  std::stable_sort(unfinished_.begin(), unfinished_.end(),
                   [](const FoundCall& a, const FoundCall& b) { return a.start < b.start; });
}

}  // namespace dorvane
