#include "capture/storemerge.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <map>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "capture/storeformat.h"
#include "platform/ascii.h"
#include "platform/files.h"
#include "platform/linereader.h"
#include "platform/profile.h"

namespace dorvane {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// A store text written with a separator that is not the settings' own (a store mixed by
// earlier versions run under two notations).
bool ForeignNotation(const RegionalSettings& rs, std::string_view text) {
  for (char c : text) {
    if ((c == '.' || c == ',') && rs.decimalSeparator != std::string_view(&c, 1)) return true;
  }
  return false;
}

// The start as its text reads back. Texts of at most 15 significant digits come back from a
// double unchanged, so two starts have the same text exactly when they have the same key.
double StartKey(TDateTime start) {
  double key = start;
  TryStrToFloat(StorePointNotation(), DateTimeText(StorePointNotation(), start), key);
  return key;
}

// One walk over the store, deciding for each new call whether the store holds it, and, with an
// output, writing the store's replacement on the way.
class StoreWalk {
 public:
  enum Status : std::uint8_t { kNew, kHeld, kFilled, kRepeat };

  StoreWalk(const RegionalSettings& rs, const NewCalls& calls)
      : rs_(rs), calls_(calls), status_(calls.Size(), kNew) {
    const std::vector<std::uint32_t>& ordered = calls.Ordered();
    for (std::size_t i = 0; i < ordered.size(); ++i) {
      const NewCalls::Call& call = calls[ordered[i]];
      if (i > 0) {
        const NewCalls::Call& before = calls[ordered[i - 1]];
        if (before.month == call.month && before.key == call.key) {
          status_[ordered[i]] = kRepeat;
          continue;
        }
      }
      if (sections_.empty() || sections_.back().month != call.month) {
        sections_.push_back(Section{call.month, MonthSectionName(call.month), firsts_.size(),
                                    firsts_.size(), firsts_.size(), ordered[i], false});
        byName_.emplace(sections_.back().name, sections_.size() - 1);
      }
      Section& section = sections_.back();
      firsts_.push_back(ordered[i]);
      section.end = firsts_.size();
      section.firstArrival = std::min(section.firstArrival, ordered[i]);
    }
  }

  // False when the store exists but cannot be read to its end.
  bool Run(const std::string& path, AtomicFileWriter* out) {
    out_ = out;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    // Opened here, not through OpenFileLines: a store that is missing holds nothing, one that
    // cannot be read must not be replaced.
    bool readable = true;
    if (fd >= 0) {
      struct stat st {};
      if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        readable = CopyThrough(fd);
      } else {
        readable = false;
      }
      ::close(fd);
    } else {
      readable = errno == ENOENT;
    }
    if (!readable) {
      // Nothing read is held; nothing of it may be written either.
      std::fill(status_.begin(), status_.end(), kNew);
      return false;
    }
    AppendNewSections();
    return true;
  }

  Status StatusOf(std::size_t call) const { return static_cast<Status>(status_[call]); }
  std::size_t Added() const { return added_; }
  // The store was out of calendar order (months, or calls within a month), held a month
  // twice, a key that is no date, or a call in the other notation: the copy made on the way
  // is not the store to write.
  bool Disordered() const { return disordered_; }

 private:
  struct Section {
    StoreMonth month;
    std::string name;
    std::size_t begin;  // its calls in firsts_
    std::size_t end;
    std::size_t next;  // the first of them not yet passed on the way through the section
    std::uint32_t firstArrival;
    bool seen;  // its first section line has been read
  };
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  bool CopyThrough(int fd) {
    BlockLineReader lines(DescriptorBlocks(fd), 0);
    std::string_view line;
    bool first = true;
    std::size_t active = kNone;
    while (lines.Next(line)) {
      const std::string_view eol = lines.LineEnd();
      if (first && line.substr(0, kBom.size()) == kBom) {
        Write(kBom);
        line.remove_prefix(kBom.size());
        first = false;
        if (line.empty() && eol.empty()) break;  // the mark is all there is
      }
      first = false;
      const StoreLine parsed = ReadStoreLine(line);
      if (parsed.kind == StoreLineKind::Section) {
        if (active != kNone) FinishSection(active);
        active = kNone;
        inMonth_ = false;
        if (const auto month = SectionMonth(parsed.name)) {
          if (*month <= lastMonth_) disordered_ = true;
          lastMonth_ = *month;
          inMonth_ = true;
          lastKey_ = -std::numeric_limits<double>::infinity();
          // The new months before this one go here, in calendar order.
          FlushTrail();
          WriteSectionsBefore(*month);
        }
        const auto it = byName_.find(std::string(parsed.name));
        if (it != byName_.end() && !sections_[it->second].seen) {
          // Only the first section of a name is looked into, and written into.
          active = it->second;
          sections_[active].seen = true;
        }
        WriteLine(line, eol);
        continue;
      }
      double key = 0;
      if (inMonth_ && parsed.kind == StoreLineKind::Call) {
        if (!TryStoreDateTime(rs_, parsed.name, key) || key <= lastKey_ ||
            ForeignNotation(rs_, parsed.name) || ForeignNotation(rs_, parsed.end)) {
          disordered_ = true;
        }
        lastKey_ = key;
      }
      if (active == kNone) {
        WriteLine(line, eol);
        continue;
      }
      if (parsed.kind != StoreLineKind::Call) {
        // Blank and comment lines after a section's last key stay after the calls added to it.
        if (out_) trail_.append(line).append(eol);
        trailOpen_ = eol.empty();
        continue;
      }
      FlushTrail();
      // The new calls that start before this one go before it.
      WriteFreshBefore(sections_[active], key);
      const std::size_t call = FindKey(sections_[active], parsed.name);
      if (call != kNone && status_[call] == kNew) {
        if (!StoreEndText(parsed.end).empty()) {
          status_[call] = kHeld;
        } else {
          // A key without an end does not count as a call: it takes this one's end.
          status_[call] = kFilled;
          WriteLine(CallLine(parsed.name, DateTimeText(rs_, calls_[call].end)),
                    eol.empty() ? kStoreLineEnd : eol);
          ++added_;
          continue;
        }
      }
      WriteLine(line, eol);
    }
    if (active != kNone) FinishSection(active);
    return !lines.Failed();
  }

  // The new call whose start is this key text in the section, if any.
  std::size_t FindKey(const Section& section, std::string_view name) const {
    double value = 0;
    // A start written in the other notation is the same start.
    if (!TryStoreDateTime(rs_, name, value)) return kNone;
    const auto begin = firsts_.begin() + static_cast<std::ptrdiff_t>(section.begin);
    const auto end = firsts_.begin() + static_cast<std::ptrdiff_t>(section.end);
    const auto it = std::lower_bound(
        begin, end, value, [&](std::uint32_t call, double v) { return calls_[call].key < v; });
    if (it == end || calls_[*it].key != value) return kNone;
    // Texts that read as the same number but are written differently are other keys.
    if (!EqualNoCase(DateTimeText(rs_, value), name) &&
        DateTimeText(StorePointNotation(), value) != name &&
        DateTimeText(StoreCommaNotation(), value) != name) {
      return kNone;
    }
    return *it;
  }

  void FinishSection(std::size_t index) {
    WriteFreshBefore(sections_[index], std::numeric_limits<double>::infinity());
    FlushTrail();
  }

  void AppendNewSections() { WriteSectionsBefore(std::numeric_limits<StoreMonth>::max()); }

  // The months of new calls that the store lacks and that come before `month`, each a new
  // section with its calls.
  void WriteSectionsBefore(StoreMonth month) {
    for (; nextSection_ < sections_.size() && sections_[nextSection_].month < month;
         ++nextSection_) {
      Section& section = sections_[nextSection_];
      if (section.seen) continue;
      section.seen = true;
      WriteLine(SectionLine(section.month), kStoreLineEnd);
      WriteFreshBefore(section, std::numeric_limits<double>::infinity());
    }
  }

  // The section's calls the store does not hold that start before `limit`, in time order.
  void WriteFreshBefore(Section& section, double limit) {
    for (; section.next < section.end && calls_[firsts_[section.next]].key < limit;
         ++section.next) {
      const std::uint32_t call = firsts_[section.next];
      if (status_[call] != kNew) continue;
      WriteLine(CallLine(rs_, calls_[call].key, calls_[call].end), kStoreLineEnd);
      ++added_;
    }
  }

  void FlushTrail() {
    if (trail_.empty() && !trailOpen_) return;
    if (out_) {
      if (lineOpen_) out_->Write(kStoreLineEnd);
      out_->Write(trail_);
    }
    lineOpen_ = trailOpen_;
    trail_.clear();
    trailOpen_ = false;
  }

  void WriteLine(std::string_view text, std::string_view eol) {
    if (!out_) return;
    // The store's old last line had no line end; something now follows it.
    if (lineOpen_) out_->Write(kStoreLineEnd);
    out_->Write(text);
    out_->Write(eol);
    lineOpen_ = eol.empty();
  }

  void Write(std::string_view bytes) {
    if (out_) out_->Write(bytes);
  }

  const RegionalSettings& rs_;
  const NewCalls& calls_;
  std::vector<std::uint8_t> status_;
  std::vector<std::uint32_t> firsts_;  // the first call of each start, by month and key
  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> byName_;
  AtomicFileWriter* out_ = nullptr;
  std::string trail_;
  bool trailOpen_ = false;
  bool lineOpen_ = false;
  std::size_t added_ = 0;
  std::size_t nextSection_ = 0;
  StoreMonth lastMonth_ = std::numeric_limits<StoreMonth>::min();
  double lastKey_ = 0;
  bool inMonth_ = false;
  bool disordered_ = false;
};

// The store rebuilt in calendar order with the new calls among its own: for a store that the
// walk found out of order. Months in calendar order (a month found twice becomes one section),
// calls in time order within their month, each start once (the first line of a start wins),
// every call in the settings' notation; lines before the first section stay first, other
// sections and lines that are no call are kept after them. Holds the store in memory, which
// happens once: from then on the store is in order and merges stream through it.
class OrderedStore {
 public:
  // False when the store exists but cannot be read to its end.
  bool Load(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT;
    struct stat st {};
    bool readable = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (readable) {
      BlockLineReader lines(DescriptorBlocks(fd), 0);
      std::string_view line;
      bool first = true;
      Block* block = nullptr;
      std::vector<std::string>* loose = &preamble_;
      while (lines.Next(line)) {
        if (first && line.substr(0, kBom.size()) == kBom) {
          bom_ = true;
          line.remove_prefix(kBom.size());
        }
        first = false;
        const StoreLine parsed = ReadStoreLine(line);
        if (parsed.kind == StoreLineKind::Section) {
          if (const auto month = SectionMonth(parsed.name)) {
            block = &months_[*month];
            loose = &block->other;
          } else {
            block = nullptr;
            others_.push_back({std::string(line), {}});
            loose = &others_.back().second;
          }
          continue;
        }
        double key = 0;
        if (block != nullptr && parsed.kind == StoreLineKind::Call &&
            TryStoreDateTime(StorePointNotation(), parsed.name, key)) {
          block->calls.push_back(Entry{key, StoreEndText(parsed.end)});
          continue;
        }
        // Blank lines carry nothing; everything else is kept where it can be.
        if (parsed.kind != StoreLineKind::Blank || block == nullptr) loose->emplace_back(line);
      }
      readable = !lines.Failed();
    }
    ::close(fd);
    for (auto& [month, block] : months_) {
      std::stable_sort(block.calls.begin(), block.calls.end(),
                       [](const Entry& a, const Entry& b) { return a.key < b.key; });
      block.calls.erase(std::unique(block.calls.begin(), block.calls.end(),
                                    [](const Entry& a, const Entry& b) { return a.key == b.key; }),
                        block.calls.end());
    }
    return readable;
  }

  // Adds the calls the store does not hold; a start with an empty end takes the call's end.
  std::size_t Add(const NewCalls& calls) {
    std::size_t added = 0;
    const std::vector<std::uint32_t>& ordered = calls.Ordered();
    for (std::size_t i = 0; i < ordered.size(); ++i) {
      const NewCalls::Call& call = calls[ordered[i]];
      if (i > 0 && calls[ordered[i - 1]].month == call.month &&
          calls[ordered[i - 1]].key == call.key) {
        continue;  // a repeat: the first call of a start wins
      }
      std::vector<Entry>& entries = months_[call.month].calls;
      const auto it = std::lower_bound(entries.begin(), entries.end(), call.key,
                                       [](const Entry& e, double key) { return e.key < key; });
      if (it != entries.end() && it->key == call.key) {
        if (!it->end.empty()) continue;
        it->end = DateTimeText(StorePointNotation(), call.end);
      } else {
        entries.insert(it, Entry{call.key, DateTimeText(StorePointNotation(), call.end)});
      }
      ++added;
    }
    return added;
  }

  void Write(const RegionalSettings& rs, AtomicFileWriter& out) const {
    if (bom_) out.Write(kBom);
    for (const std::string& line : preamble_) WriteLine(out, line);
    for (const auto& [month, block] : months_) {
      WriteLine(out, SectionLine(month));
      for (const Entry& e : block.calls) {
        double end = 0;
        WriteLine(out, CallLine(DateTimeText(rs, e.key),
                                TryStoreDateTime(rs, e.end, end) ? DateTimeText(rs, end) : e.end));
      }
      for (const std::string& line : block.other) WriteLine(out, line);
    }
    for (const auto& [header, lines] : others_) {
      WriteLine(out, header);
      for (const std::string& line : lines) WriteLine(out, line);
    }
  }

 private:
  struct Entry {
    double key;
    std::string end;  // as written, unquoted
  };
  struct Block {
    std::vector<Entry> calls;
    std::vector<std::string> other;
  };

  static void WriteLine(AtomicFileWriter& out, std::string_view line) {
    out.Write(line);
    out.Write(kStoreLineEnd);
  }

  bool bom_ = false;
  std::vector<std::string> preamble_;
  std::map<StoreMonth, Block> months_;
  std::vector<std::pair<std::string, std::vector<std::string>>> others_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// NewCalls

void NewCalls::Add(TDateTime start, TDateTime end) {
  const StoreMonth month = MonthOf(start);
  calls_.push_back(Call{StartKey(start), end, month});
  orderedValid_ = false;
}

void NewCalls::Truncate(std::size_t count) {
  if (count >= calls_.size()) return;
  calls_.resize(count);
  orderedValid_ = false;
}

const std::vector<std::uint32_t>& NewCalls::Ordered() const {
  if (orderedValid_) return ordered_;
  ordered_.resize(calls_.size());
  std::iota(ordered_.begin(), ordered_.end(), std::uint32_t{0});
  std::sort(ordered_.begin(), ordered_.end(), [&](std::uint32_t a, std::uint32_t b) {
    const Call& x = calls_[a];
    const Call& y = calls_[b];
    if (x.month != y.month) return x.month < y.month;
    if (x.key != y.key) return x.key < y.key;
    return a < b;
  });
  ordered_.shrink_to_fit();
  orderedValid_ = true;
  return ordered_;
}

bool NewCalls::HasStart(TDateTime start, std::size_t count) const {
  const StoreMonth month = MonthOf(start);
  const double key = StartKey(start);
  const std::vector<std::uint32_t>& ordered = Ordered();
  const auto it =
      std::lower_bound(ordered.begin(), ordered.end(), std::make_pair(month, key),
                       [&](std::uint32_t call, const std::pair<StoreMonth, double>& k) {
                         const Call& c = calls_[call];
                         return c.month != k.first ? c.month < k.first : c.key < k.second;
                       });
  return it != ordered.end() && calls_[*it].month == month && calls_[*it].key == key && *it < count;
}

// ---------------------------------------------------------------------------------------------
// Merge

MergeOutcome MergeCalls(const std::string& storePath, const RegionalSettings& rs,
                        const NewCalls& calls) {
  MergeOutcome outcome;
  if (calls.Empty()) return outcome;
  // Held from the read of the store to the rename: a writer that comes after sees these calls.
  FileLock lock(storePath);
  StoreWalk walk(rs, calls);
  AtomicFileWriter replacement(storePath);
  const bool readable = walk.Run(storePath, &replacement);
  // A store that could not be read is never replaced: its calls would be lost.
  if (!readable) ThrowProfileWriteError(storePath);
  if (walk.Disordered()) {
    // Put in order by this write; the copy made on the way is not used.
    replacement.Discard();
    OrderedStore store;
    if (!store.Load(storePath)) ThrowProfileWriteError(storePath);
    outcome.added = store.Add(calls);
    outcome.known = calls.Size() - outcome.added;
    if (outcome.added == 0) return outcome;
    AtomicFileWriter ordered(storePath);
    store.Write(rs, ordered);
    if (!ordered.Commit()) ThrowProfileWriteError(storePath);
    return outcome;
  }
  outcome.added = walk.Added();
  outcome.known = calls.Size() - outcome.added;
  if (outcome.added == 0) return outcome;  // the replacement goes unused
  if (!replacement.Commit()) ThrowProfileWriteError(storePath);
  return outcome;
}

std::vector<bool> StoreHolds(const std::string& storePath, const RegionalSettings& rs,
                             const NewCalls& calls) {
  std::vector<bool> held(calls.Size(), false);
  if (calls.Empty()) return held;
  StoreWalk walk(rs, calls);
  walk.Run(storePath, nullptr);
  // A repeat is held when the first call of its start is.
  const std::vector<std::uint32_t>& ordered = calls.Ordered();
  bool firstHeld = false;
  for (std::uint32_t call : ordered) {
    const auto status = walk.StatusOf(call);
    if (status != StoreWalk::kRepeat) firstHeld = status == StoreWalk::kHeld;
    held[call] = firstHeld;
  }
  return held;
}

bool WriteStoreInNotation(const std::string& storePath, const RegionalSettings& rs,
                          AtomicFileWriter& out) {
  OrderedStore store;
  if (!store.Load(storePath)) return false;
  store.Write(rs, out);
  return out.IsOpen();
}

}  // namespace dorvane
