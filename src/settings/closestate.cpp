#include "settings/closestate.h"

namespace dorvane {

void SaveAtClose(SettingsFile& file, const SettingsCloseState& state, const Options& options,
                 int activePage, const ChargeRows& bands) {
  file.Save(state.MaySave(SettingsPart::Options) ? &options : nullptr,
            state.MaySave(SettingsPart::ActivePage) ? &activePage : nullptr,
            state.MaySave(SettingsPart::ChargesTable) ? &bands : nullptr);
}

void SaveTariffAtClose(SettingsFile& file, const SettingsCloseState& state,
                       const TariffSettings& tariff) {
  if (!state.MaySave(SettingsPart::Tariff)) return;
  ProfileEdit edit{ProfileFile(file.Path())};
  WriteTariffSettings(edit, tariff);
  edit.Commit();
}

std::string CloseAnywayText(const std::string& settingsPath) {
  return std::string(kCloseAnywayQuestion) + "\n\n" + settingsPath;
}

}  // namespace dorvane
