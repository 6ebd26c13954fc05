#include "views/RaceCardText.h"

#include "reference/FixedRecord.h"
#include "reference/KeibaFunc.h"
#include "reference/ShiftJis.h"
#include "views/CardSort.h"
#include "views/CsvExport.h"
#include "views/HeaderStrip.h"

#include <algorithm>

namespace tervan {
const std::array<std::string, kCardColumnCount>& RaceCardHeaderTexts()
{
    static const std::array<std::string, kCardColumnCount> texts = {
        SJ("枠"), SJ("馬"), SJ("格言該当"), SJ("馬名"), SJ("騎手"), SJ("調教師"), SJ("前1走"),
        SJ("前2走"), SJ("前3走"), SJ("前4走"), SJ("前5走"), SJ("予想配当"), SJ("予配順位"), SJ("結果"),
    };
    return texts;
}

std::string ForecastOddsCellText(double odds)
{
    return odds > 0 ? FormatOdds(odds) : std::string();
}

std::string ForecastRankCellText(int rank)
{
    return rank > 0 ? FormatText("%2d", rank) : std::string();
}

std::string ResultCellText(int finishingPlace, int popularity, double winOdds)
{
    std::string text = finishingPlace != 0 ? FormatText("%2d", finishingPlace) + SJ("着") : std::string(4, ' ');
    text += "  ";
    text += popularity != 0 ? FormatText("%2d", popularity) + SJ("人") : std::string(4, ' ');
    text += "  ";
    text += winOdds > 0 ? FormatOdds(winOdds) : std::string(6, ' ');
    return text;
}

std::array<std::string, kCardColumnCount> RaceCardRowTexts(const RaceSummary& race, int runner)
{
    std::array<std::string, kCardColumnCount> cells;
    if (runner < 0 || runner >= kRunnerCapacity)
        return cells;
    const RunnerSummary& r = race.runners[static_cast<std::size_t>(runner)];
    cells[0] = r.bracketNumber;
    cells[1] = r.horseNumber;
    cells[2] = r.maxim;
    cells[3] = r.horseName;
    cells[4] = r.jockeyName;
    cells[5] = r.trainerName;
    cells[6] = r.restDays;
    for (int k = 0; k < 4; ++k)
        cells[static_cast<std::size_t>(7 + k)] = r.pastRunGaps[static_cast<std::size_t>(k)];
    cells[11] = ForecastOddsCellText(r.forecastOdds);
    cells[12] = ForecastRankCellText(r.forecastRank);
    cells[13] = ResultCellText(r.finishingPlace, r.popularity, r.winOdds);
    return cells;
}

int RaceCardRunnerCount(const RaceSummary& race)
{
    return static_cast<int>(std::clamp<long long>(ReadDecimal(race.registeredCount), 0, kRunnerCapacity));
}

RaceCard MakeRaceCard(const RaceSlot& slot)
{
    RaceCard card;
    const RaceSummary& race = slot.summary;
    const int n = RaceCardRunnerCount(race);
    card.grid = TextGrid(kCardColumnCount, n + 1);
    const auto& header = RaceCardHeaderTexts();
    for (int c = 0; c < kCardColumnCount; ++c)
        card.grid.SetCell(c, 0, header[static_cast<std::size_t>(c)]);
    for (int row = 1; row <= n; ++row) {
        auto cells = RaceCardRowTexts(race, row - 1);
        for (int c = 0; c < kCardColumnCount; ++c)
            card.grid.SetCell(c, row, cells[static_cast<std::size_t>(c)]);
        if (ReadDecimal(cells[0]) < 1)
            card.complete = false;
    }
    if (!card.complete) {
        card.incompleteMessage = KeibaFunc::CourseName(Mid(slot.raceLine, 20, 2), 2)
            + KeibaFunc::BlankZeroNum(Mid(slot.raceLine, 26, 2)) + SJ("Rはデータ作成が未完了です。");
    }
    return card;
}

std::string RaceCardHeading(const RaceSummary& race)
{
    return CardExportHeading(DateMeetingLine(race.raceKey), RaceNumberOf(race.raceKey));
}

TextGrid DisplayedRaceCard(const RaceSlot& slot)
{
    RaceCard card = MakeRaceCard(slot);
    const std::vector<int> order = SortCardByHorseNumber(card.grid.Rows());
    return TextGrid::FromRows(ApplyRowOrder(card.grid.Rows(), order));
}

std::string RaceCardCopyText(const RaceSlot& slot)
{
    return CopyWholeGridText(DisplayedRaceCard(slot), RaceCardHeading(slot.summary));
}

} // namespace tervan
