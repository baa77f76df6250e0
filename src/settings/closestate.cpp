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

std::string ReadChargesTableAgainText(const std::string& settingsPath) {
  return "The charges table was not read from " + settingsPath +
         " at start. Read it now? (No: your changes to the table are not saved.)";
}

std::string ChargesTableKeptOutText(const std::string& settingsPath) {
  return "The charges table was not read from " + settingsPath +
         " at start, so your changes to it are not saved.";
}

std::string DataFolderUnwritableText(const std::string& folder, const std::string& reason) {
  return "Dorvane cannot write to its data folder " + folder + ": " + reason +
         ". New calls are not imported and nothing is saved until it can";
}

std::string CloseAnywayText(const std::string& failure, const std::string& reason) {
  std::string text = "Dorvane could not save its settings.\n\n" + failure;
  if (!reason.empty()) text += ": " + reason;
  return text + "\n\n" + kCloseAnywayQuestion;
}

}  // namespace dorvane
