// The settings file (<exe>.INI in the data folder FindDataPaths names): the options of the Options
// page, the page last used and every cell of the charges table, kept from one run to the next.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "charges/chargerow.h"
#include "platform/profile.h"
#include "platform/regional.h"

namespace dorvane {

inline constexpr const char* kLogFileSection = "Windows Modem Log File";
inline constexpr const char* kWarnMonthlySection = "Warn Monthly Cost";
inline constexpr const char* kWarnAverageSection = "Warn Average Cost";
inline constexpr const char* kPageSection = "PageControl";
inline constexpr const char* kChargesSection = "strgrdCost";
inline constexpr const char* kFirstRunSection = "Prog";

// A stored band count above this is taken as this many bands: a number typed by hand must not
// make the program read and show millions of copies of the catch-all band.
inline constexpr int kMostChargeBands = 10000;

// The values of the Options page. The threshold texts are kept exactly as typed.
struct Options {
  bool ignoreBusyCalls = true;
  std::string logFileName;
  bool warnCost = false;
  std::string warnCostText = "0";
  bool warnAverageCost = false;
  std::string warnAverageCostText = "0";
};

// The key of one cell: "Cell", the column digit, then the row number (Cell01, Cell110, Cell512).
std::string ChargeCellKey(int column, int row);

// The cells of the catch-all band as a first start shows them: start cost 0.3, cost per minute
// 0.1, no minimum cost and no minimum period, in the notation of the regional settings.
ChargeRow DefaultChargeCells(const RegionalSettings& rs);

// The charges table of a settings file's text, read once (a snapshot for a reader that must not
// mix two versions of the file): the first section "strgrdCost" and its first key of a name,
// as the profile functions read them; a missing cell takes its column's default. nullopt when
// the text holds no table: no such section, or a "Count" that is missing, not a number or
// below 1 (an empty file, one in another encoding, a call store).
std::optional<ChargeRows> ChargesTableFromText(std::string_view text, const RegionalSettings& rs);

class SettingsFile {
 public:
  explicit SettingsFile(std::string path) : file_(std::move(path)) {}

  const std::string& Path() const { return file_.Path(); }

  // Every read falls back to its default: a missing or unreadable value never stops loading.
  // The log file defaults to the Windows directory, "\" and "ModemLog.txt".
  Options LoadOptions(std::string_view windowsDirectory) const;
  // The bands in grid order, at least one: a stored count below 1 gives the catch-all band
  // alone, so the table keeps its band of last resort.
  ChargeRows LoadChargesTable(const RegionalSettings& rs) const;
  // The same table for a reader beside a running Dorvane: no lock taken, nothing written
  // beside the file. Reads the file once per cell, so a caller that needs one version of it
  // compares the file's stamp before and after.
  ChargeRows LoadChargesTableReadOnly(const RegionalSettings& rs) const;
  // The tag of the page last used, 1 when none is stored.
  int LoadActivePage() const;
  // True when something outside the program asked for the first-run help.
  bool ReadFirstTime() const;
  // Removes the first-run section, so that the help opens once.
  void ClearFirstTime();

  // Writes every value, changed or not, in one atomic replace of the file. Rows beyond the
  // new count stay in the file unread. A value the file cannot take raises "Unable to write
  // to %s"; what was written before it is kept and the rest is skipped.
  void Save(const Options& options, int activePage, const ChargeRows& bands);
  // The same for the parts given: a part left out (null) keeps what the file holds, and with
  // no part at all the file is not touched.
  void Save(const Options* options, const int* activePage, const ChargeRows* bands);

 private:
  ProfileFile file_;
};

}  // namespace dorvane
