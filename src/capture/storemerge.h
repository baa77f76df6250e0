// Bringing many new calls into the call store at once: the calls are gathered first, then the
// store is copied through once into its replacement, each month section checked only against
// the new calls that start in it. Memory grows with the new calls, never with the store.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "capture/storeformat.h"
#include "platform/datetime.h"
#include "platform/regional.h"

namespace dorvane {

// New calls in the order they came in, as start and end date-times. Two calls are the same call
// when their starts have the same date-time text in the same month section (the section is the
// start's month, the text that of the store); the first of them wins, whatever the ends.
class NewCalls {
 public:
  // Throws Error "'%s' is not a valid date and time" for a start that is no date.
  void Add(TDateTime start, TDateTime end);
  std::size_t Size() const { return calls_.size(); }
  bool Empty() const { return calls_.empty(); }
  // Keeps the first `count` calls.
  void Truncate(std::size_t count);
  // True when one of the first `count` calls is the same call as one starting at `start`.
  bool HasStart(TDateTime start, std::size_t count) const;

  struct Call {
    double key;  // the start as its store text reads back: equal texts, equal keys
    double end;
    StoreMonth month;  // of the start
  };
  const Call& operator[](std::size_t i) const { return calls_[i]; }
  // Indexes of the calls ordered by month, key and arrival: each month a run, the first of
  // equal starts first.
  const std::vector<std::uint32_t>& Ordered() const;

 private:
  std::deque<Call> calls_;  // no doubling copy while a long log comes in
  mutable std::vector<std::uint32_t> ordered_;
  mutable bool orderedValid_ = true;
};

struct MergeOutcome {
  std::size_t added = 0;  // call lines written
  std::size_t known = 0;  // calls the store held already, or repeats of an earlier new call
};

// Writes the new calls that the store does not hold into their month sections, in one atomic
// replace of the store made under its lock (another instance merging at the same time waits,
// then finds these calls). A call line is added at the end of its month section, in the order
// the calls came; a month missing from the store is appended as a new section at the end, in the
// order of first use. The store "holds" a call when the first section of its month has a key
// line of the start's text with an end that is not empty; a key line with an empty end gets the
// new call's end. Every other byte of the store is kept. Nothing is written when every call is
// known. Throws WriteError "Unable to write to %s" (the store's full path) when the store must
// change and cannot be read or written; the store is then as it was.
MergeOutcome MergeCalls(const std::string& storePath, const RegionalSettings& rs,
                        const NewCalls& calls);

// For each call, whether the store holds its start (as MergeCalls decides it), in one read of
// the store. A missing or unreadable store holds nothing.
std::vector<bool> StoreHolds(const std::string& storePath, const RegionalSettings& rs,
                             const NewCalls& calls);

class AtomicFileWriter;

// Writes the store into `out` (not committed) in calendar order, each start once and every
// number in the notation of `rs`, as a merge rebuilds a store found out of order; a store
// written that way comes out byte for byte as it was. The caller holds the store's lock. False
// when the store exists but cannot be read to its end.
bool WriteStoreInNotation(const std::string& storePath, const RegionalSettings& rs,
                          AtomicFileWriter& out);

}  // namespace dorvane
