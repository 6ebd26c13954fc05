#include "import/PayoutImport.h"

#include "app/RecordReader.h"
#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"

#include <algorithm>

namespace tervan {
std::vector<std::string> HrReadBtnClick(RaceDay& day)
{
    std::vector<std::string> warnings;
    std::string raceContents, slotContents, payoutContents;
    RecordList races, runners, payouts;

    // Races and runners.
    if (!day.raceFilePath.empty() && ReadStoredFile(day.raceFilePath, raceContents)) {
        races.Parse(raceContents, kRaceRecordSize);
        if (races.Damaged())
            warnings.push_back(LoadWarning("レースファイルの形式が正しくありません（読める行だけを読み込みました）", day.raceFilePath));
        const bool haveSlots = !day.runnerSlotFilePath.empty() && ReadStoredFile(day.runnerSlotFilePath, slotContents);
        if (haveSlots) {
            runners.Parse(slotContents, kRunnerRecordSize);
            if (runners.Damaged())
                warnings.push_back(LoadWarning("出走馬ファイルの形式が正しくありません（読める行だけを読み込みました）", day.runnerSlotFilePath));
        }
        bool slotsMissing = false;
        const std::size_t count = std::min<std::size_t>(races.Count(), kRaceCapacity);
        for (std::size_t p = 0; p < count; ++p) {
            RaceSlot& slot = day.slots[p];
            AssignRecord(slot.raceLine, races.Record(p), kRaceRecordSize);
            if (!haveSlots || TrimSpaces(Mid(slot.raceLine, 12, 4)).empty())
                continue;
            // A race number outside 1-12 has no slots; a registered count
            // above 18 reads 18 runners.
            const long long r = ReadDecimal(Mid(slot.raceLine, 26, 2));
            const long long n = std::clamp<long long>(ReadDecimal(Mid(slot.raceLine, 882, 2)), 0, kRunnerCapacity);
            if (r < 1 || r > kRaceCapacity)
                continue;
            for (long long i = 0; i < n; ++i) {
                const std::size_t index = static_cast<std::size_t>((r - 1) * kRunnerCapacity + i);
                if (index >= runners.Count()) {
                    slotsMissing = true;
                    continue;
                }
                AssignRecord(slot.runnerLines[static_cast<std::size_t>(i)], runners.Record(index), kRunnerRecordSize);
            }
        }
        if (slotsMissing)
            warnings.push_back(LoadWarning("出走馬ファイルの行数が足りません（ない行の出走馬は前の内容のままです）", day.runnerSlotFilePath));
        for (RaceSlot& slot : day.slots)
            for (int i = 0; i < kRunnerCapacity; ++i)
                FillRunnerResults(slot.summary.runners[static_cast<std::size_t>(i)], slot.runnerLines[static_cast<std::size_t>(i)]);
    }

    // Payouts, matched by the whole RaceKey.
    if (!day.payoutFilePath.empty() && ReadStoredFile(day.payoutFilePath, payoutContents)) {
        payouts.Parse(payoutContents, kPayoutRecordSize);
        if (payouts.Damaged())
            warnings.push_back(LoadWarning("払戻ファイルの形式が正しくありません（読める行だけを読み込みました）", day.payoutFilePath));
        for (RaceSlot& slot : day.slots)
            BlankRecord(slot.payoutLine, kPayoutRecordSize);
        const std::size_t count = std::min<std::size_t>(payouts.Count(), kPayoutRereadMaxRecords);
        for (std::size_t k = 0; k < count; ++k) {
            const std::string_view record = payouts.Record(k);
            const std::string_view key = Mid(record, 12, 16);
            if (key.size() < 16 || TrimSpaces(key).empty())
                continue;
            for (RaceSlot& slot : day.slots) {
                if (Mid(slot.raceLine, 12, 16) == key) {
                    AssignRecord(slot.payoutLine, record, kPayoutRecordSize);
                    break;
                }
            }
        }
        for (RaceSlot& slot : day.slots)
            FillPayouts(slot);
    }
    return warnings;
}

} // namespace tervan
