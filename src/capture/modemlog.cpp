#include "capture/modemlog.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <optional>
#include <utility>

#include "capture/modemstamp.h"
#include "platform/ascii.h"
#include "platform/error.h"
#include "platform/textbytes.h"

namespace dorvane {

namespace {

// The time stamp fills the first columns; nothing after them is read by position.
constexpr std::size_t kStampLength = kModemStampShape.size();

// The words the import looks for, each a case-sensitive substring anywhere in a line.
enum Keyword : unsigned {
  kInUse = 1u << 0,
  kClosed = 1u << 1,
  kDialing = 1u << 2,
  kAtdt = 1u << 3,
  kNoCarrier = 1u << 4,
  kHangingUp = 1u << 5,
  kBusy = 1u << 6,
};

constexpr std::array<std::pair<std::string_view, Keyword>, 7> kKeywords = {{
    {"in use", kInUse},
    {"closed", kClosed},
    {"Dialing", kDialing},
    {"ATDT", kAtdt},
    {"NO CARRIER", kNoCarrier},
    {"Hanging up", kHangingUp},
    {"BUSY", kBusy},
}};
constexpr std::size_t kLongestKeyword = 10;

unsigned KeywordsIn(std::string_view text) {
  unsigned found = 0;
  for (const auto& [word, flag] : kKeywords) {
    if (text.find(word) != std::string_view::npos) found |= flag;
  }
  return found;
}

// What the import needs of one log line: its first columns and the words in it. A line comes
// in pieces as it is read, so a line of any length costs a few bytes.
class LineFacts {
 public:
  void Add(std::string_view piece) {
    if (stamp_.size() < kStampLength) stamp_.append(piece.substr(0, kStampLength - stamp_.size()));
    // A word may straddle two pieces: look at the joint too.
    if (!tail_.empty()) {
      std::string joint = tail_;
      joint.append(piece.substr(0, kLongestKeyword - 1));
      words_ |= KeywordsIn(joint);
    }
    words_ |= KeywordsIn(piece);
    tail_.append(piece.substr(piece.size() - std::min(piece.size(), kLongestKeyword - 1)));
    if (tail_.size() > kLongestKeyword - 1) tail_.erase(0, tail_.size() - (kLongestKeyword - 1));
  }
  void Clear() {
    stamp_.clear();
    tail_.clear();
    words_ = 0;
  }

  const std::string& Stamp() const { return stamp_; }
  bool Has(unsigned words) const { return (words_ & words) != 0; }

 private:
  std::string stamp_;
  std::string tail_;
  unsigned words_ = 0;
};

// The log's bytes as text. A UTF-8 byte-order mark is dropped; a UTF-16 one, in either byte
// order, makes the rest UTF-16 text, turned into UTF-8 (an unpaired surrogate or a lone last
// byte becomes U+FFFD). Without a mark the bytes pass as they are, as the driver writes them.
class LogDecoder {
 public:
  // Appends the text of the next bytes of the log to `out`.
  void Feed(std::string_view bytes, std::string& out) {
    if (encoding_ == Encoding::Unknown) {
      head_.append(bytes);
      if (head_.size() < 3) return;
      Decide(out);
      return;
    }
    Decode(bytes, out);
  }

  void Finish(std::string& out) {
    if (encoding_ == Encoding::Unknown) Decide(out);
    const bool cut = odd_.has_value() || units_.Waiting();
    odd_.reset();
    units_ = Utf16Decoder();
    if (cut) AppendUtf8(out, 0xFFFD);
  }

 private:
  enum class Encoding { Unknown, Bytes, Utf16Le, Utf16Be };

  void Decide(std::string& out) {
    std::string_view head = head_;
    if (head.starts_with("\xEF\xBB\xBF")) {
      encoding_ = Encoding::Bytes;
      head.remove_prefix(3);
    } else if (head.starts_with("\xFF\xFE")) {
      encoding_ = Encoding::Utf16Le;
      head.remove_prefix(2);
    } else if (head.starts_with("\xFE\xFF")) {
      encoding_ = Encoding::Utf16Be;
      head.remove_prefix(2);
    } else {
      encoding_ = Encoding::Bytes;
    }
    Decode(head, out);
    head_.clear();
    head_.shrink_to_fit();
  }

  void Decode(std::string_view bytes, std::string& out) {
    if (encoding_ == Encoding::Bytes) {
      out.append(bytes);
      return;
    }
    for (char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      if (!odd_) {
        odd_ = byte;
        continue;
      }
      const char16_t unit = encoding_ == Encoding::Utf16Le
                                ? static_cast<char16_t>(*odd_ | (byte << 8))
                                : static_cast<char16_t>((*odd_ << 8) | byte);
      odd_.reset();
      units_.Unit(unit, out);
    }
  }

  Encoding encoding_ = Encoding::Unknown;
  std::string head_;  // the first bytes, until it is known whether they are a mark
  std::optional<unsigned char> odd_;
  Utf16Decoder units_;
};

// One import's pairing. Lines are paired as they are read; what a pass would record is kept
// aside until the session's next "closed" line (or the end of the log) runs the pass, and is
// dropped when an "in use" line clears the session first. So the log is never held, and the
// calls, and the errors, are exactly those of a pass over the session lines at each "closed".
class SessionPairing {
 public:
  SessionPairing(const CallStore& store, bool ignoreBusyCalls)
      : store_(store), ignoreBusyCalls_(ignoreBusyCalls) {}

  void Line(const LineFacts& line) {
    if (stopCommitted_) return;
    if (line.Has(kInUse)) ClearSessionLines();
    if (!stop_) Pair(line);
    if (line.Has(kClosed)) PairSessionLines();
  }

  // The pass at a "closed" line (and at the end of a log cut off inside a session): what was
  // paired since the last pass is recorded.
  void PairSessionLines() {
    committedCalls_ = calls_.Size();
    committedChecks_ = checks_.size();
    if (stop_) stopCommitted_ = true;
  }

  // An error ended the import at a pass: nothing after it is read.
  bool Stopped() const { return stopCommitted_; }

  // Brings the recorded calls into the store, then raises the error that stopped the import, if
  // one did. The calls before an error reach the disk even so.
  void Finish() {
    calls_.Truncate(committedCalls_);
    checks_.resize(committedChecks_);
    // One lock from the last look-up to the write.
    FileLock lock(store_.Path());
    ResolveChecks();
    if (!stop_) {
      MergeCalls(store_.Path(), store_.Regional(), calls_);
      return;
    }
    try {
      MergeCalls(store_.Path(), store_.Regional(), calls_);
    } catch (const Error&) {
      // The error that stopped the import is the one the user sees; the log stays.
    }
    std::rethrow_exception(stop_);
  }

 private:
  // An end line whose time stamp did not convert, after a start that did: an error only if the
  // start is not recorded by then (a recorded start's end is never converted), which the store
  // tells later.
  struct Check {
    TDateTime start;
    std::size_t callsBefore;
    std::string endStamp;
  };
  static constexpr std::size_t kMaxChecks = 4096;

  void ClearSessionLines() {
    calls_.Truncate(committedCalls_);
    checks_.resize(committedChecks_);
    stop_ = nullptr;
    pendingStart_.reset();
  }

  void Pair(const LineFacts& line) {
    // A line with a start and an end keyword counts as a start; the last start before an end
    // line gives the call's start.
    if (line.Has(kDialing | kAtdt)) {
      pendingStart_ = line.Stamp();
      return;
    }
    const bool end = line.Has(kNoCarrier | kHangingUp);
    // A busy attempt either stays out of the store or is recorded ending at the busy line.
    const bool busy = !end && line.Has(kBusy);
    if (!end && !busy) return;
    if (pendingStart_ && (end || !ignoreBusyCalls_)) Record(*pendingStart_, line.Stamp());
    pendingStart_.reset();
  }

  void Record(const std::string& startStamp, const std::string& endStamp) {
    TDateTime start = 0;
    try {
      start = LogLineToDateTime(startStamp);
    } catch (const Error&) {
      stop_ = std::current_exception();
      return;
    }
    TDateTime end = 0;
    try {
      end = LogLineToDateTime(endStamp);
    } catch (const Error&) {
      checks_.push_back(Check{start, calls_.Size(), endStamp});
      if (checks_.size() >= kMaxChecks) ResolveChecks();
      return;
    }
    calls_.Add(start, end);
  }

  // Settles the checks: the first whose start is neither among the calls before it nor in the
  // store is where the import stops, with that end line's error.
  void ResolveChecks() {
    if (checks_.empty()) return;
    NewCalls open;
    std::vector<std::size_t> openChecks;
    for (std::size_t i = 0; i < checks_.size(); ++i) {
      if (calls_.HasStart(checks_[i].start, checks_[i].callsBefore)) continue;
      open.Add(checks_[i].start, checks_[i].start);
      openChecks.push_back(i);
    }
    const std::vector<bool> held = StoreHolds(store_.Path(), store_.Regional(), open);
    for (std::size_t j = 0; j < openChecks.size(); ++j) {
      if (held[j]) continue;
      const std::size_t i = openChecks[j];
      try {
        LogLineToDateTime(checks_[i].endStamp);
      } catch (const Error&) {
        stop_ = std::current_exception();
      }
      calls_.Truncate(checks_[i].callsBefore);
      if (i < committedChecks_) {
        stopCommitted_ = true;
        committedCalls_ = std::min(committedCalls_, checks_[i].callsBefore);
      }
      break;
    }
    checks_.clear();
    committedChecks_ = 0;
  }

  const CallStore& store_;
  const bool ignoreBusyCalls_;
  NewCalls calls_;
  std::size_t committedCalls_ = 0;
  std::vector<Check> checks_;
  std::size_t committedChecks_ = 0;
  std::exception_ptr stop_;
  bool stopCommitted_ = false;
  std::optional<std::string> pendingStart_;
};

// The log's lines as they come in blocks of bytes: decoded, cut at the line ends, each line
// handed on as its facts. Also tells whether the log is a modem log at all.
class LogLines {
 public:
  template <typename OnLine>
  void Feed(std::string_view bytes, OnLine&& onLine) {
    text_.clear();
    decoder_.Feed(bytes, text_);
    Cut(onLine);
  }

  template <typename OnLine>
  void Finish(OnLine&& onLine) {
    text_.clear();
    decoder_.Finish(text_);
    Cut(onLine);
    if (cutter_.Finish()) Line(facts_, onLine);
    facts_.Clear();
  }

  // A line begins with a time stamp, or there is no text at all.
  bool IsModemLog() const { return stamped_ || !anyText_; }

 private:
  template <typename OnLine>
  void Cut(OnLine& onLine) {
    anyText_ = anyText_ || !text_.empty();
    cutter_.Feed(text_, [&](std::string_view piece, bool ended) {
      facts_.Add(piece);
      if (!ended) return;
      Line(facts_, onLine);
      facts_.Clear();
    });
  }

  template <typename OnLine>
  void Line(const LineFacts& line, OnLine& onLine) {
    if (!stamped_) stamped_ = IsModemTimeStamp(line.Stamp());
    onLine(line);
  }

  LogDecoder decoder_;
  LineCutter cutter_;
  LineFacts facts_;
  std::string text_;
  bool anyText_ = false;
  bool stamped_ = false;
};

}  // namespace

std::string DefaultLogFileName(std::string_view windowsDirectory) {
  std::string path(windowsDirectory);
  path += '\\';
  path += kDefaultModemLogName;
  return path;
}

std::string EnableModemLogging(Registry& registry, const FolderProbe& folderExists) {
  // Neither opening is checked: a key that cannot be had reads as empty, and a value that
  // cannot be written raises the registry's own error.
  registry.OpenKey(kSetupKey);
  const std::optional<std::string> winDir = registry.ReadString(kSetupKey, "WinDir");
  // On Linux no driver names a Windows directory; the pppd hook's folder takes its place, so
  // the default log is the one the hook writes.
  const std::string windowsDirectory =
      winDir ? *winDir : (folderExists(kHookLogFolder) ? kHookLogFolder : "");
  registry.OpenKey(kModemKey);
  registry.WriteString(kModemKey, "LoggingPath", DefaultLogFileName(windowsDirectory));
  registry.WriteBinary(kModemKey, "Logging", {std::uint8_t{0x01}});
  return windowsDirectory;
}

ModemLogImport::ModemLogImport(CallStore& store, FileSystem& fs, MessageService& messages,
                               std::vector<std::string> programFiles)
    : store_(store), fs_(fs), messages_(messages), programFiles_(std::move(programFiles)) {}

bool ModemLogImport::IsProgramFile(const std::string& path) const {
  return std::any_of(programFiles_.begin(), programFiles_.end(),
                     [&](const std::string& own) { return fs_.SameFile(path, own); });
}

void ModemLogImport::ImportModemLog(const std::string& logFileName, bool ignoreBusyCalls) {
  if (logFileName.empty()) return;
  // The option may name any file; the program's own are no log, and are left as they are.
  if (IsProgramFile(logFileName)) return;

  // A log handed over by a run that stopped before it was done comes first: its calls are older.
  const std::string aside = logFileName + kHandedOverSuffix;
  // A run that holds its claim is still importing it: the log waits for a later import.
  if (fs_.Exists(aside) && !IsProgramFile(aside)) {
    const FileSystem::Claim claim = fs_.ClaimFile(aside);
    if (!claim || !ImportHandedOver(aside, logFileName, ignoreBusyCalls)) return;
  }
  if (!fs_.Exists(logFileName)) return;
  // The hook goes on appending while the log is read: taken aside under its lock, the log is
  // read and deleted whole, and what comes after starts a new log for the next import. Another
  // run that finds it aside before this one claims it imports it instead.
  if (fs_.HandOver(logFileName, aside)) {
    if (const FileSystem::Claim claim = fs_.ClaimFile(aside)) {
      ImportHandedOver(aside, logFileName, ignoreBusyCalls);
    }
    return;
  }
  // Another run took it aside first, or is still importing the last one: it is theirs now, or
  // waits for a later import.
  if (!fs_.Exists(logFileName) || fs_.Exists(aside)) return;

  // The stamp is taken before the read: if the driver writes in between, the stamps differ at
  // the end and the log is kept.
  const std::optional<FileStamp> stampAtRead = fs_.Stamp(logFileName);
  const std::optional<bool> modemLog = ReadLog(logFileName, ignoreBusyCalls);
  // The log is the journal of calls not yet in the store: it goes only once they are on disk,
  // only if nothing was added to it since it was read, and only if it is a modem log at all.
  if (!modemLog || !*modemLog) return;
  const std::optional<FileStamp> stampNow = fs_.Stamp(logFileName);
  if (stampAtRead && stampNow && *stampAtRead == *stampNow) fs_.Delete(logFileName);
}

bool ModemLogImport::ImportHandedOver(const std::string& aside, const std::string& logFileName,
                                      bool ignoreBusyCalls) {
  std::optional<bool> modemLog;
  try {
    modemLog = ReadLog(aside, ignoreBusyCalls);
  } catch (...) {
    // Its calls are not all on disk: the log stays, under its own name where that is free.
    fs_.GiveBack(aside, logFileName);
    throw;
  }
  if (modemLog && *modemLog) return fs_.Delete(aside);
  // Not a modem log after all, or unreadable: it is no file of ours to delete.
  fs_.GiveBack(aside, logFileName);
  return false;
}

std::optional<bool> ModemLogImport::ReadLog(const std::string& path, bool ignoreBusyCalls) {
  const ReadBlock read = fs_.OpenBytes(path);
  if (!read) {
    // The driver holds the log while a connection is up; its calls come in at a later start.
    messages_.Information(kOnlineNotice);
    return std::nullopt;
  }

  SessionPairing pairing(store_, ignoreBusyCalls);
  LogLines lines;
  const auto onLine = [&](const LineFacts& line) { pairing.Line(line); };
  std::vector<char> block(kLineBlockSize);
  while (!pairing.Stopped()) {
    const std::ptrdiff_t got = read(block.data(), block.size());
    if (got < 0) {
      // Cut off while it was read: as for a log that cannot be opened, nothing of it is taken.
      messages_.Information(kOnlineNotice);
      return std::nullopt;
    }
    if (got == 0) {
      lines.Finish(onLine);
      // A log cut off inside a session (the driver or the machine stopped before "closed")
      // still holds whole calls; they would go with the deleted log.
      pairing.PairSessionLines();
      break;
    }
    lines.Feed(std::string_view(block.data(), static_cast<std::size_t>(got)), onLine);
  }
  pairing.Finish();
  return lines.IsModemLog();
}

}  // namespace dorvane
