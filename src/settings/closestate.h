// What the close sequence may write to the settings file, and when a close that cannot save
// may go ahead anyway. A value is written only when this run read it from the file or the
// user changed it since: a start that failed before loading must not put the window's design
// defaults over the user's settings.
#pragma once

#include <array>
#include <string>

#include "settings/settingsfile.h"

namespace dorvane {

// The parts of the settings file that the close sequence writes, each as a whole.
enum class SettingsPart { Options, ActivePage, ChargesTable };

inline constexpr const char* kCloseAnywayQuestion = "Close anyway?";

class SettingsCloseState {
 public:
  // The show sequence read this part from the settings file.
  void Loaded(SettingsPart part) { Mark(part); }
  // The user changed this part in the window: a band added, edited or deleted, a page chosen.
  // The options have no such way in: typed over options that were never loaded, they would be
  // saved together with the design defaults of the others.
  void ChangedByUser(SettingsPart part) {
    if (part != SettingsPart::Options) Mark(part);
  }
  bool MaySave(SettingsPart part) const { return mayWrite_[Index(part)]; }

 private:
  static std::size_t Index(SettingsPart part) { return static_cast<std::size_t>(part); }
  void Mark(SettingsPart part) { mayWrite_[Index(part)] = true; }

  std::array<bool, 3> mayWrite_{};
};

// The close sequence's save: every part the state allows, each value written whether or not
// it changed (as SettingsFile::Save), the other parts left as the file holds them.
void SaveAtClose(SettingsFile& file, const SettingsCloseState& state, const Options& options,
                 int activePage, const ChargeRows& bands);

// The question of a close whose save failed, asked once: what could not be written and the
// system's reason (when one is known), then whether to close anyway or go back to the window.
std::string CloseAnywayText(const std::string& failure, const std::string& reason);

}  // namespace dorvane
