#include "cli/reportforms.h"

#include <cmath>

#include "platform/error.h"
#include "platform/plaintext.h"
#include "reports/statisticslabels.h"

namespace dorvane {

void WriteTariffLines(std::ostream& out, const RegionalSettings& rs,
                      const std::vector<TariffTotal>& tariffs) {
  if (tariffs.empty()) return;
  out << "\nUnder other charges tables, cheapest first:\n";
  for (const TariffTotal& t : tariffs) {
    out << t.name << ": " << MoneyToStr(rs, t.total) << ' ' << CostDifferenceText(rs, t.difference)
        << '\n';
  }
}

void AppendTariffHeader(std::string& row, const std::vector<TariffTotal>& ranked) {
  for (const TariffTotal& t : ranked) {
    row += ',' + CsvField("cost[" + t.name + "]");
    row += ',' + CsvField("difference[" + t.name + "]");
  }
}

void AppendTariffCells(std::string& row, const std::vector<TariffTotal>& ranked,
                       const std::vector<double>& costs, double ownCost) {
  for (const TariffTotal& t : ranked) {
    row += ',' + PlainNumber(costs[t.column]);
    row += ',' + PlainNumber(costs[t.column] - ownCost);
  }
}

std::string PlainSeconds(double days) {
  return PlainNumber(static_cast<double>(std::llround(days * kMsPerDay)) / 1000.0);
}

CallSpill::CallSpill(std::size_t tariffCount)
    : file_(std::tmpfile()), width_(5 + tariffCount), record_(width_) {
  if (file_ == nullptr) throw Error("Unable to create a temporary file");
}

CallSpill::~CallSpill() {
  std::fclose(file_);
}

void CallSpill::Add(const PricedCall& call, const std::vector<double>& tariffCosts) {
  record_[0] = call.start;
  record_[1] = call.end;
  record_[2] = call.cost;
  record_[3] = call.lowest;
  record_[4] = call.highest;
  std::copy(tariffCosts.begin(), tariffCosts.end(), record_.begin() + 5);
  if (std::fwrite(record_.data(), sizeof(double), width_, file_) != width_) {
    throw Error("Unable to write to a temporary file");
  }
}

void CallSpill::Rewind() {
  if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
    throw Error("Unable to read a temporary file");
  }
}

bool CallSpill::ReadRecord() {
  return std::fread(record_.data(), sizeof(double), width_, file_) == width_;
}

void CallSpill::CheckRead() {
  if (std::ferror(file_) != 0) throw Error("Unable to read a temporary file");
}

}  // namespace dorvane
