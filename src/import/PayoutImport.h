// Re-reading the results and payouts of the loaded race day (the hidden
// "払戻取込" command, HrReadBtnClick), after the real-time results update has
// merged new records into the day's stored files.
#pragma once

#include "app/RaceDay.h"

#include <string>
#include <vector>

namespace tervan {

// Payout records the re-read looks at.
inline constexpr int kPayoutRereadMaxRecords = 36;

// Re-reads the race lines (at most 12) and the runner lines of the loaded day
// (each race's runners from the slots of its own race number), recomputes
// every runner's finishing place, popularity and win odds, then re-reads the
// payout lines (at most 36 records, matched by the whole RaceKey) and
// recomputes every race's payouts. Race fields, identities, past runs,
// maxims, forecast odds and ranks and the race list stay as loaded. A missing
// file skips its part. Returns warnings (CP932) about damaged files; throws
// fs::FileError when a file exists but cannot be read.
std::vector<std::string> HrReadBtnClick(RaceDay& day);

} // namespace tervan
