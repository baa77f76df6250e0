#include "capture/storemerge.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "capture/callstore.h"
#include "platform/ascii.h"
#include "platform/files.h"
#include "platform/linereader.h"
#include "platform/profile.h"

namespace dorvane {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kCrLf = "\r\n";

const RegionalSettings& PlainSettings() {
  static const RegionalSettings plain;
  return plain;
}

std::int32_t MonthNumber(TDateTime start) {
  const DateParts parts = DecodeDate(start);
  return parts.year * 12 + parts.month - 1;
}

std::string MonthName(std::int32_t month) {
  return MonthSectionName(EncodeDate(month / 12, month % 12 + 1, 1));
}

// The start as its text reads back. Texts of at most 15 significant digits come back from a
// double unchanged, so two starts have the same text exactly when they have the same key.
double StartKey(TDateTime start) {
  double key = start;
  TryStrToFloat(PlainSettings(), FloatToStr(PlainSettings(), start), key);
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
        sections_.push_back(Section{call.month, MonthName(call.month), firsts_.size(),
                                    firsts_.size(), ordered[i], false});
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

 private:
  struct Section {
    std::int32_t month;
    std::string name;
    std::size_t begin;  // its calls in firsts_
    std::size_t end;
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
      const ProfileLine parsed = ParseProfileLine(line);
      if (parsed.kind == ProfileLineKind::Section) {
        if (active != kNone) FinishSection(active);
        active = kNone;
        const auto it = byName_.find(std::string(parsed.name));
        if (it != byName_.end() && !sections_[it->second].seen) {
          // Only the first section of a name is looked into, and written into.
          active = it->second;
          sections_[active].seen = true;
        }
        WriteLine(line, eol);
        continue;
      }
      if (active == kNone) {
        WriteLine(line, eol);
        continue;
      }
      if (parsed.kind != ProfileLineKind::Key) {
        // Blank and comment lines after a section's last key stay after the calls added to it.
        if (out_) trail_.append(line).append(eol);
        trailOpen_ = eol.empty();
        continue;
      }
      FlushTrail();
      const std::size_t call = FindKey(sections_[active], parsed.name);
      if (call != kNone && status_[call] == kNew) {
        if (!ProfileValueText(parsed.value).empty()) {
          status_[call] = kHeld;
        } else {
          // A key without an end does not count as a call: it takes this one's end.
          status_[call] = kFilled;
          std::string filled(parsed.name);
          filled += '=';
          filled += DateTimeText(rs_, calls_[call].end);
          WriteLine(filled, eol.empty() ? kCrLf : eol);
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
    if (!TryStrToFloat(rs_, name, value)) return kNone;
    const auto begin = firsts_.begin() + static_cast<std::ptrdiff_t>(section.begin);
    const auto end = firsts_.begin() + static_cast<std::ptrdiff_t>(section.end);
    const auto it = std::lower_bound(
        begin, end, value, [&](std::uint32_t call, double v) { return calls_[call].key < v; });
    if (it == end || calls_[*it].key != value) return kNone;
    // Texts that read as the same number but are written differently are other keys.
    if (!EqualNoCase(DateTimeText(rs_, value), name)) return kNone;
    return *it;
  }

  void FinishSection(std::size_t index) {
    WriteNewCalls(sections_[index]);
    FlushTrail();
  }

  void AppendNewSections() {
    std::vector<std::size_t> unseen;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
      if (!sections_[i].seen) unseen.push_back(i);
    }
    std::sort(unseen.begin(), unseen.end(), [&](std::size_t a, std::size_t b) {
      return sections_[a].firstArrival < sections_[b].firstArrival;
    });
    for (std::size_t i : unseen) {
      WriteLine("[" + sections_[i].name + "]", kCrLf);
      WriteNewCalls(sections_[i]);
    }
  }

  // The section's calls the store does not hold, in the order they came.
  void WriteNewCalls(const Section& section) {
    std::vector<std::uint32_t> fresh;
    for (std::size_t i = section.begin; i < section.end; ++i) {
      if (status_[firsts_[i]] == kNew) fresh.push_back(firsts_[i]);
    }
    std::sort(fresh.begin(), fresh.end());
    for (std::uint32_t call : fresh) {
      WriteLine(DateTimeText(rs_, calls_[call].key) + "=" + DateTimeText(rs_, calls_[call].end),
                kCrLf);
    }
    added_ += fresh.size();
  }

  void FlushTrail() {
    if (trail_.empty() && !trailOpen_) return;
    if (out_) {
      if (lineOpen_) out_->Write(kCrLf);
      out_->Write(trail_);
    }
    lineOpen_ = trailOpen_;
    trail_.clear();
    trailOpen_ = false;
  }

  void WriteLine(std::string_view text, std::string_view eol) {
    if (!out_) return;
    // The store's old last line had no line end; something now follows it.
    if (lineOpen_) out_->Write(kCrLf);
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
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// NewCalls

void NewCalls::Add(TDateTime start, TDateTime end) {
  const std::int32_t month = MonthNumber(start);
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
  const std::int32_t month = MonthNumber(start);
  const double key = StartKey(start);
  const std::vector<std::uint32_t>& ordered = Ordered();
  const auto it =
      std::lower_bound(ordered.begin(), ordered.end(), std::make_pair(month, key),
                       [&](std::uint32_t call, const std::pair<std::int32_t, double>& k) {
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

}  // namespace dorvane
