// Payouts of a race from its finishing order: which combinations of each bet
// won (dead heats included), what they pay and how popular they were.
//
// The amounts come from the runners' final win odds by a simple model of each
// pool (the more fancied the runners, the less a combination pays), with a
// small fixed variation per combination; the popularity of a winning
// combination is its rank among all combinations of the bet by that model,
// so payouts and popularity always agree.
#include "sample/SampleWorld.h"
#include "sample/SampleRandom.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace tervan::sample {
namespace {

struct Model {
    double scale;                 // log of the constant factor
    std::array<double, 3> power;  // exponent of each member's log odds
};

// One bet over the runners (by index into race.runners, 0-based).
class Bet {
public:
    Bet(const SampleRace& race, std::uint64_t seed, int betId, Model model)
        : m_seed(seed)
        , m_betId(betId)
        , m_model(model)
    {
        for (const SampleRunner& r : race.runners)
            m_logOdds.push_back(std::log(r.oddsTenths / 10.0));
    }

    // Model value (log of the pay-out per unit) of a combination of runner
    // indexes, ordered as the bet names them.
    double LogValue(const std::vector<int>& combo) const
    {
        double v = m_model.scale;
        std::uint64_t h = Hash({m_seed, static_cast<std::uint64_t>(m_betId)});
        for (std::size_t k = 0; k < combo.size(); ++k) {
            v += m_model.power[std::min<std::size_t>(k, 2)] * m_logOdds[static_cast<std::size_t>(combo[k])];
            h = Mix64(h ^ static_cast<std::uint64_t>(combo[k] + 1));
        }
        const double u = static_cast<double>(h >> 11) * (1.0 / 9007199254740992.0);
        return v + 0.32 * (u - 0.5);
    }

    // Rank (1 = most popular = lowest value) of a value among the values of
    // all combinations.
    static int Popularity(double value, const std::vector<double>& all)
    {
        int rank = 1;
        for (double v : all)
            rank += v < value;
        return rank;
    }

    // winners: the winning combinations of the race; usual: how many there
    // are without a dead heat. More share the pool and pay less.
    long Yen(const std::vector<int>& combo, int winners, int usual) const
    {
        double v = std::exp(LogValue(combo));
        if (winners > usual)
            v *= std::sqrt(static_cast<double>(usual) / winners);
        const long yen = static_cast<long>(v * 100.0 / 10.0) * 10;
        return std::clamp(yen, 100L, 999999990L);
    }

private:
    std::uint64_t m_seed;
    int m_betId;
    Model m_model;
    std::vector<double> m_logOdds;
};

// Whether the runners of `set` can all be among the first `k` under some
// order of the dead heats.
bool InTop(const std::vector<int>& places, const std::vector<int>& set, int k)
{
    int worst = 0;
    for (int i : set)
        worst = std::max(worst, places[static_cast<std::size_t>(i)]);
    int before = 0;
    for (std::size_t j = 0; j < places.size(); ++j)
        if (places[j] < worst && std::find(set.begin(), set.end(), static_cast<int>(j)) == set.end())
            ++before;
    return before + static_cast<int>(set.size()) <= k;
}

// Whether the runners of `seq` can finish first, second, ... in that order.
bool InOrder(const std::vector<int>& places, const std::vector<int>& seq)
{
    for (std::size_t j = 0; j < seq.size(); ++j) {
        const int p = places[static_cast<std::size_t>(seq[j])];
        if (j > 0 && places[static_cast<std::size_t>(seq[j - 1])] > p)
            return false;
        int less = 0, notMore = 0;
        for (int q : places) {
            less += q < p;
            notMore += q <= p;
        }
        const int position = static_cast<int>(j) + 1;
        if (less > position - 1 || notMore < position)
            return false;
    }
    return true;
}

void ForEachCombination(int n, int size, bool ordered, const std::function<void(const std::vector<int>&)>& f)
{
    std::vector<int> c(static_cast<std::size_t>(size));
    std::function<void(int)> rec = [&](int depth) {
        if (depth == size) {
            f(c);
            return;
        }
        for (int i = ordered ? 0 : (depth ? c[static_cast<std::size_t>(depth - 1)] + 1 : 0); i < n; ++i) {
            if (ordered && std::find(c.begin(), c.begin() + depth, i) != c.begin() + depth)
                continue;
            c[static_cast<std::size_t>(depth)] = i;
            rec(depth + 1);
        }
    };
    rec(0);
}

} // namespace

void ComputePayouts(SampleRace& race, std::uint64_t seed)
{
    race.payouts = {};
    const int n = static_cast<int>(race.runners.size());
    if (n < 2)
        return;
    std::vector<int> places;
    for (const SampleRunner& r : race.runners)
        places.push_back(r.place);
    auto number = [&](int i) { return race.runners[static_cast<std::size_t>(i)].horseNumber; };

    // Runners that can take part in a winning combination at all.
    std::vector<int> front;
    for (int i = 0; i < n; ++i)
        if (places[static_cast<std::size_t>(i)] <= 3)
            front.push_back(i);

    // The general pattern: all combinations for the popularity, the winning
    // ones among the front runners.
    auto run = [&](int betId, Model model, int size, bool ordered, int usual,
                   const std::function<bool(const std::vector<int>&)>& wins, std::vector<PayoutEntry>& out, std::size_t slots) {
        Bet bet(race, seed, betId, model);
        std::vector<double> all;
        ForEachCombination(n, size, ordered, [&](const std::vector<int>& c) { all.push_back(bet.LogValue(c)); });
        std::vector<std::vector<int>> won;
        ForEachCombination(static_cast<int>(front.size()), size, ordered, [&](const std::vector<int>& c) {
            std::vector<int> combo;
            for (int i : c)
                combo.push_back(front[static_cast<std::size_t>(i)]);
            if (!ordered)
                std::sort(combo.begin(), combo.end());
            if (wins(combo))
                won.push_back(combo);
        });
        std::sort(won.begin(), won.end(), [&](const std::vector<int>& a, const std::vector<int>& b) {
            std::vector<int> na, nb;
            for (int i : a)
                na.push_back(number(i));
            for (int i : b)
                nb.push_back(number(i));
            return na < nb;
        });
        for (const auto& combo : won) {
            if (out.size() >= slots)
                break;
            PayoutEntry e;
            for (int i : combo)
                e.combination.push_back(number(i));
            e.yen = bet.Yen(combo, static_cast<int>(won.size()), usual);
            e.popularity = Bet::Popularity(bet.LogValue(combo), all);
            out.push_back(std::move(e));
        }
    };

    SamplePayouts& p = race.payouts;
    const int placesPaid = n >= 8 ? 3 : 2;
    // Win: the final odds are what a winner pays; a dead heat halves the pool.
    int winners = 0;
    for (int q : places)
        winners += q == 1;
    for (const SampleRunner& r : race.runners) {
        if (r.place != 1 || p.win.size() >= 3)
            continue;
        PayoutEntry e;
        e.combination = {r.horseNumber};
        e.yen = winners > 1 ? std::max(100L, static_cast<long>(r.oddsTenths * 10L * 0.55) / 10 * 10) : r.oddsTenths * 10L;
        e.popularity = r.popularity;
        p.win.push_back(std::move(e));
    }
    if (n >= 5)
        run(2, {std::log(0.55), {0.75, 0, 0}}, 1, false, placesPaid, [&](const std::vector<int>& c) { return InTop(places, c, placesPaid); },
            p.place, 5);
    run(4, {std::log(0.62), {0.9, 0.9, 0}}, 2, false, 1, [&](const std::vector<int>& c) { return InTop(places, c, 2); },
        p.quinella, 3);
    if (n >= 3)
        run(5, {std::log(0.24), {0.88, 0.88, 0}}, 2, false, 3, [&](const std::vector<int>& c) { return InTop(places, c, 3); },
            p.wide, 7);
    run(6, {std::log(1.12), {0.98, 0.86, 0}}, 2, true, 1, [&](const std::vector<int>& c) { return InOrder(places, c); }, p.exacta, 6);
    if (n >= 3) {
        run(7, {std::log(0.21), {0.86, 0.86, 0.86}}, 3, false, 1, [&](const std::vector<int>& c) { return InTop(places, c, 3); },
            p.trio, 3);
        run(8, {std::log(0.95), {0.98, 0.9, 0.82}}, 3, true, 1, [&](const std::vector<int>& c) { return InOrder(places, c); },
            p.trifecta, 6);
    }

    // Bracket quinella, sold for nine runners or more: the brackets of the
    // winning quinella pairs; a bracket's odds combine those of its horses.
    if (n >= 9) {
        std::array<double, 9> inverse {};
        std::array<int, 9> count {};
        std::array<std::vector<double>, 9> members;
        for (const SampleRunner& r : race.runners) {
            inverse[static_cast<std::size_t>(r.bracket)] += 10.0 / r.oddsTenths;
            count[static_cast<std::size_t>(r.bracket)]++;
            members[static_cast<std::size_t>(r.bracket)].push_back(r.oddsTenths / 10.0);
        }
        auto logValue = [&](int a, int b) {
            double v;
            if (a == b) {
                std::vector<double> m = members[static_cast<std::size_t>(a)];
                std::sort(m.begin(), m.end());
                v = std::log(0.62) + 0.9 * (std::log(m[0]) + std::log(m[1]));
            } else {
                v = std::log(0.55) + 0.9 * (std::log(1.0 / inverse[static_cast<std::size_t>(a)]) + std::log(1.0 / inverse[static_cast<std::size_t>(b)]));
            }
            const std::uint64_t h = Hash({seed, 3, static_cast<std::uint64_t>(a), static_cast<std::uint64_t>(b)});
            return v + 0.32 * (static_cast<double>(h >> 11) * (1.0 / 9007199254740992.0) - 0.5);
        };
        std::vector<std::pair<int, int>> all;
        for (int a = 1; a <= 8; ++a)
            for (int b = a; b <= 8; ++b)
                if (count[static_cast<std::size_t>(a)] > 0 && count[static_cast<std::size_t>(b)] > 0 &&
                    (a != b || count[static_cast<std::size_t>(a)] >= 2))
                    all.push_back({a, b});
        std::vector<std::pair<int, int>> won;
        for (const PayoutEntry& q : p.quinella) {
            int a = 0, b = 0;
            for (const SampleRunner& r : race.runners) {
                if (r.horseNumber == q.combination[0])
                    a = r.bracket;
                if (r.horseNumber == q.combination[1])
                    b = r.bracket;
            }
            const std::pair<int, int> pair {std::min(a, b), std::max(a, b)};
            if (std::find(won.begin(), won.end(), pair) == won.end())
                won.push_back(pair);
        }
        std::sort(won.begin(), won.end());
        for (const auto& w : won) {
            if (p.bracketQuinella.size() >= 3)
                break;
            const double v = logValue(w.first, w.second);
            int rank = 1;
            for (const auto& c : all)
                if (c != w && (logValue(c.first, c.second) < v || (logValue(c.first, c.second) == v && c < w)))
                    ++rank;
            PayoutEntry e;
            e.combination = {w.first, w.second};
            double yen = std::exp(v) * 100.0;
            if (won.size() > 1)
                yen /= std::sqrt(static_cast<double>(won.size()));
            e.yen = std::clamp(static_cast<long>(yen / 10.0) * 10, 100L, 999999990L);
            e.popularity = rank;
            p.bracketQuinella.push_back(std::move(e));
        }
    }
}

} // namespace tervan::sample
