// What the close sequence may write to the settings file, and when a close that cannot save
// may go ahead anyway. A value is written only when this run read it from the file or the
// user changed it since: a start that failed before loading must not put the window's design
// defaults over the user's settings.
#pragma once

#include <array>
#include <string>

#include "settings/settingsfile.h"
#include "settings/tariffsettings.h"

namespace dorvane {

// The parts of the settings file that the close sequence writes, each as a whole.
// Tariff: the billing day, the holidays and the tariff history's dates and earlier tables; the
// close writes them only after the user changed one, so a file that holds none stays as it is.
enum class SettingsPart { Options, ActivePage, ChargesTable, Tariff };

inline constexpr const char* kCloseAnywayQuestion = "Close anyway?";

class SettingsCloseState {
 public:
  // The show sequence read this part from the settings file.
  void Loaded(SettingsPart part) {
    loaded_[Index(part)] = true;
    Mark(part);
  }
  bool WasLoaded(SettingsPart part) const { return loaded_[Index(part)]; }
  // The user changed this part in the window: a band added, edited or deleted, a page chosen.
  // The options have no such way in: typed over options that were never loaded, they would be
  // saved together with the design defaults of the others. Nor has a charges table this run
  // did not read: a band added to the empty grid of a failed start would be saved over the
  // user's whole tariff. Those edits are kept out of the file (ChargesTableEditsKeptOut).
  void ChangedByUser(SettingsPart part) {
    if (part == SettingsPart::Options) return;
    if (part == SettingsPart::ChargesTable && !WasLoaded(part)) {
      tableEditsKeptOut_ = true;
      return;
    }
    Mark(part);
  }
  bool MaySave(SettingsPart part) const { return mayWrite_[Index(part)]; }
  // The user edited a charges table that was never read; the close says they are not saved.
  bool ChargesTableEditsKeptOut() const { return tableEditsKeptOut_; }

 private:
  static std::size_t Index(SettingsPart part) { return static_cast<std::size_t>(part); }
  void Mark(SettingsPart part) { mayWrite_[Index(part)] = true; }

  std::array<bool, 4> mayWrite_{};
  std::array<bool, 4> loaded_{};
  bool tableEditsKeptOut_ = false;
};

// The close sequence's save: every part the state allows, each value written whether or not
// it changed (as SettingsFile::Save), the other parts left as the file holds them.
void SaveAtClose(SettingsFile& file, const SettingsCloseState& state, const Options& options,
                 int activePage, const ChargeRows& bands);

// The billing day, the holidays and the tariff history, when the state allows it; written in
// one atomic replace of the file after SaveAtClose.
void SaveTariffAtClose(SettingsFile& file, const SettingsCloseState& state,
                       const TariffSettings& tariff);

// The offer made at the first edit of a charges table that the start did not read.
std::string ReadChargesTableAgainText(const std::string& settingsPath);
// The note at a close that keeps the user's edits of such a table out of the file.
std::string ChargesTableKeptOutText(const std::string& settingsPath);

// The error at a start whose data folder cannot be written, with the system's reason.
std::string DataFolderUnwritableText(const std::string& folder, const std::string& reason);

// The question of a close whose save failed, asked once: what could not be written and the
// system's reason (when one is known), then whether to close anyway or go back to the window.
std::string CloseAnywayText(const std::string& failure, const std::string& reason);

}  // namespace dorvane
