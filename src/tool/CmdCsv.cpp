// tervan-tool csv: the CSV file that the "ＣＳＶファイル出力" buttons write.
#include "tool/ToolCommand.h"

#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "tool/DayLoadTool.h"
#include "views/CsvExport.h"
#include "views/HeaderStrip.h"
#include "views/MatchListText.h"
#include "views/RaceCardText.h"

#include <memory>
#include <ostream>

namespace tervan::tool {
namespace {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const ToolCommand kCommand {
    "csv",
    "csv BASE DAY [RACE]",
    "writes the race card of race RACE (1-based position in the race list) of day DAY, or without RACE the day's "
    "matching-horse list, to BASE/CSV as the CSV button does, and prints the file's path",
    Run,
};
const ToolCommandRegistration kRegistration(kCommand);

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 2 && args.size() != 3)
        return UsageError(kCommand, err);
    long long race = 0;
    if (args.size() == 3 && !ParseRaceArgument(kCommand.name, args[2], race, err))
        return 2;
    auto day = std::make_unique<RaceDay>();
    if (!LoadDayForTool(*day, args[0], args[1], err))
        return 1;
    const std::string base = Utf8ToCp932(args[0]);

    std::string path;
    if (args.size() == 3) {
        const RaceSlot* picked = PickRace(*day, race, kCommand.name, err);
        if (!picked)
            return 1;
        const RaceSlot& slot = *picked;
        const RaceCard card = MakeRaceCard(slot);
        if (!card.complete)
            err << Cp932ToUtf8(card.incompleteMessage) << "\n";
        const std::string& key = slot.summary.raceKey;
        path = CardCsvFilePath(base, DateMeetingLine(key), RaceNumberOf(key));
        WriteCsvFile(base, path, RaceCardHeading(slot.summary), DisplayedRaceCard(slot));
    } else {
        const MatchList list = BuildMatchList(*day);
        path = ListCsvFilePath(base, day->dayEntry);
        WriteCsvFile(base, path, day->dayEntry, list.grid);
    }
    out << fs::ToNative(path).string() << "\n";
    return 0;
}

} // namespace
} // namespace tervan::tool
