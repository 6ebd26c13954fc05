// A base folder of three hand-made race days with known 格言成績 outcomes,
// shared by the core, tool and tab tests.
//
//   2006-05-28 東京 race 1 (芝 1600 m): 1 牡1戦目 1st, 2 牝2戦目 1st (dead
//     heat, 単勝 250 each), 3 牡3戦目 3rd, 4 gelding 4th, 5 male without a
//     place, 6 female 5th; 複勝 1 120, 2 130, 3 300.
//   2006-05-28 東京 race 2 (ダ 1200 m): 7 牡1戦目 and 8 3rd (dead heat,
//     複勝 500 and 600), 9 1st (単勝 400, 複勝 150), 10 2nd (複勝 200).
//   2006-05-28 東京 race 3: a winner, but no payout line.
//   2007-06-03 中山 race 1 (障 3000 m): 12 牡1戦目 2nd (複勝 140), 13 1st
//     (単勝 180, 複勝 110); forecast odds give 13 rank 1, 12 rank 2.
//   2008-01-05 京都 race 1: a winner, but no payout file.
#pragma once

#include "app/StoredDayBuilder.h"

#include <string>

namespace tervan::test {

inline void WriteBacktestBase(const std::string& base)
{
    auto horse = [](int number, const char* sex, int place) {
        Horse h;
        h.number = number;
        h.bracket = (number + 1) / 2;
        h.pedigree = "20021000" + std::string(number < 10 ? "0" : "") + std::to_string(number);
        h.sex = sex;
        h.place = place;
        return h;
    };
    auto entry = [](int horse, int yen) {
        char text[16];
        std::snprintf(text, sizeof text, "%02d%09d01", horse, yen);
        return std::string(text);
    };
    auto payout = [&](const Key& k, std::vector<std::pair<int, int>> win, std::vector<std::pair<int, int>> place) {
        Line hr(719);
        PutKey(hr, "HR", k);
        for (std::size_t e = 0; e < win.size(); ++e)
            hr.Put(103 + 13 * e, entry(win[e].first, win[e].second));
        for (std::size_t e = 0; e < place.size(); ++e)
            hr.Put(142 + 13 * e, entry(place[e].first, place[e].second));
        return hr;
    };

    StoredDay tokyo(base, KeyOn("20060528", 1, "05"));
    const Key a1 = KeyOn("20060528", 1, "05"), a2 = KeyOn("20060528", 2, "05"), a3 = KeyOn("20060528", 3, "05");
    tokyo.AddRace(RaLine(a1, 6));
    Line ra2 = RaLine(a2, 4);
    ra2.Put(698, "1200").Put(706, "24");
    tokyo.AddRace(ra2);
    tokyo.AddRace(RaLine(a3, 1));
    const Horse race1[] = {horse(1, "1", 1), horse(2, "2", 1), horse(3, "1", 3),
                           horse(4, "3", 4), horse(5, "1", 0), horse(6, "2", 5)};
    for (const Horse& h : race1)
        tokyo.SetSlot(1, h.number, SeLine(a1, h));
    const Horse race2[] = {horse(7, "1", 3), horse(8, "2", 3), horse(9, "1", 1), horse(10, "1", 2)};
    for (int i = 0; i < 4; ++i) {
        Horse h = race2[i];
        h.number = i + 1; // horse numbers 1-4 of race 2
        tokyo.SetSlot(2, h.number, SeLine(a2, h));
    }
    tokyo.SetSlot(3, 1, SeLine(a3, horse(11, "1", 1)));
    tokyo.AddPayout(payout(a1, {{1, 250}, {2, 250}}, {{1, 120}, {2, 130}, {3, 300}}));
    tokyo.AddPayout(payout(a2, {{3, 400}}, {{3, 150}, {4, 200}, {1, 500}, {2, 600}}));
    tokyo.Write();
    WriteHistory(base, race1[0].pedigree, {KeyOn("20060301")});                                       // rest 88
    WriteHistory(base, race1[1].pedigree, {KeyOn("20060110"), KeyOn("20060507")});                    // gap 0 117
    WriteHistory(base, race1[2].pedigree, {KeyOn("20060201"), KeyOn("20060501"), KeyOn("20060514")}); // gap 1 89
    WriteHistory(base, race1[3].pedigree, {KeyOn("20060101")});
    WriteHistory(base, race2[0].pedigree, {KeyOn("20060320")}); // rest 69

    StoredDay nakayama(base, KeyOn("20070603", 1, "06"));
    const Key b1 = KeyOn("20070603", 1, "06");
    Line rb = RaLine(b1, 2);
    rb.Put(698, "3000").Put(706, "54");
    nakayama.AddRace(rb);
    Horse h12 = horse(12, "1", 2), h13 = horse(13, "2", 1);
    h12.number = 1;
    h13.number = 2;
    nakayama.SetSlot(1, 1, SeLine(b1, h12));
    nakayama.SetSlot(1, 2, SeLine(b1, h13));
    nakayama.AddPayout(payout(b1, {{2, 180}}, {{2, 110}, {1, 140}}));
    nakayama.Write();
    WriteHistory(base, h12.pedigree, {KeyOn("20070301")});
    fs::RewriteFile(base + "/DATA/" + SJ("2007年06月03日.yoz"), ForecastLine("20070603", "06", 1, 'J', {"3.5", "2.0"}));

    StoredDay kyoto(base, KeyOn("20080105", 1, "08"));
    const Key c1 = KeyOn("20080105", 1, "08");
    kyoto.AddRace(RaLine(c1, 1));
    kyoto.SetSlot(1, 1, SeLine(c1, horse(14, "1", 1)));
    kyoto.Write();
}

} // namespace tervan::test
