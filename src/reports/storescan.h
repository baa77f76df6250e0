// The reports' pass over the call store: its call lines in file order, and the progress bar's
// position as the characters go by.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/datetime.h"
#include "platform/linereader.h"
#include "platform/regional.h"

namespace dorvane {

// The bar's position after `charactersRead`: the characters divided by the size units (the
// file's size over 128, at least 1), a half to the even neighbour, at most 100.
int ScanProgress(std::uint64_t charactersRead, std::uint64_t fileSize);

// Reads the store's lines in file order. Each call line's start and end are read as the store
// writes them (ReadStoreCall: a line that is no call ends the scan with an error naming
// `storePath` and the line) and handed to onCall; after every line, call line or not,
// onProgress gets the bar's position when it has changed. Whether the file was read to its end
// is the lines' Failed().
void ScanCallStore(LineSource& lines, const RegionalSettings& rs,
                   const std::function<void(TDateTime start, TDateTime end)>& onCall,
                   const std::function<void(int position)>& onProgress,
                   std::string_view storePath = {});

}  // namespace dorvane
