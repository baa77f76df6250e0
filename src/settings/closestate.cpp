#include "settings/closestate.h"

namespace dorvane {

void SaveAtClose(SettingsFile& file, const SettingsCloseState& state, const Options& options,
                 int activePage, const ChargeRows& bands) {
  file.Save(state.MaySave(SettingsPart::Options) ? &options : nullptr,
            state.MaySave(SettingsPart::ActivePage) ? &activePage : nullptr,
            state.MaySave(SettingsPart::ChargesTable) ? &bands : nullptr);
}

std::string CloseAnywayText(const std::string& failure, const std::string& reason) {
  std::string text = "Dorvane could not save its settings.\n\n" + failure;
  if (!reason.empty()) text += ": " + reason;
  return text + "\n\n" + kCloseAnywayQuestion;
}

}  // namespace dorvane
