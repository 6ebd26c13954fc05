#include "sample/RecordLayout.h"

#include "reference/ShiftJis.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace tervan::sample {
namespace {

constexpr Blank N = Blank::Zero;
constexpr Blank X = Blank::Space;
constexpr Blank K = Blank::Wide;

// The head and race key shared by the three kinds.
#define TERVAN_RECORD_HEAD                                                                         \
    {1, 2, X, "レコード種別ID"}, {3, 1, X, "データ区分"}, {4, 8, N, "データ作成年月日"},            \
        {12, 4, N, "開催年"}, {16, 4, N, "開催月日"}, {20, 2, X, "競馬場コード"},                  \
        {22, 2, N, "開催回"}, {24, 2, N, "開催日目"}, {26, 2, N, "レース番号"}

// レース詳細
constexpr LayoutField kRA[] = {
    TERVAN_RECORD_HEAD,
    {28, 1, N, "曜日コード"},
    {29, 4, N, "特別競走番号"},
    {33, 60, K, "競走名本題"},
    {93, 60, K, "競走名副題"},
    {153, 60, K, "競走名カッコ内"},
    {213, 120, X, "競走名本題欧字"},
    {333, 120, X, "競走名副題欧字"},
    {453, 120, X, "競走名カッコ内欧字"},
    {573, 20, K, "競走名略称10文字"},
    {593, 12, K, "競走名略称6文字"},
    {605, 6, K, "競走名略称3文字"},
    {611, 1, N, "競走名区分"},
    {612, 3, N, "重賞回次"},
    {615, 1, X, "グレードコード"},
    {616, 1, X, "変更前グレードコード"},
    {617, 2, N, "競走種別コード"},
    {619, 3, N, "競走記号コード"},
    {622, 1, N, "重量種別コード"},
    {623, 3, N, "競走条件コード 2歳条件"},
    {626, 3, N, "競走条件コード 3歳条件"},
    {629, 3, N, "競走条件コード 4歳条件"},
    {632, 3, N, "競走条件コード 5歳以上条件"},
    {635, 3, N, "競走条件コード 最若年条件"},
    {638, 60, K, "競走条件名称"},
    {698, 4, N, "距離"},
    {702, 4, N, "変更前距離"},
    {706, 2, N, "トラックコード"},
    {708, 2, N, "変更前トラックコード"},
    {710, 2, X, "コース区分"},
    {712, 2, X, "変更前コース区分"},
    {714, 56, N, "本賞金"},
    {770, 40, N, "変更前本賞金"},
    {810, 40, N, "付加賞金"},
    {850, 24, N, "変更前付加賞金"},
    {874, 4, N, "発走時刻"},
    {878, 4, N, "変更前発走時刻"},
    {882, 2, N, "登録頭数"},
    {884, 2, N, "出走頭数"},
    {886, 2, N, "入線頭数"},
    {888, 1, N, "天候コード"},
    {889, 1, N, "芝馬場状態コード"},
    {890, 1, N, "ダート馬場状態コード"},
    {891, 75, N, "ラップタイム"},
    {966, 4, N, "障害マイルタイム"},
    {970, 3, N, "前3ハロン"},
    {973, 3, N, "前4ハロン"},
    {976, 3, N, "後3ハロン"},
    {979, 3, N, "後4ハロン"},
    {982, 1, N, "コーナー1 コーナー"},
    {983, 1, N, "コーナー1 周回数"},
    {984, 70, X, "コーナー1 各通過順位"},
    {1054, 1, N, "コーナー2 コーナー"},
    {1055, 1, N, "コーナー2 周回数"},
    {1056, 70, X, "コーナー2 各通過順位"},
    {1126, 1, N, "コーナー3 コーナー"},
    {1127, 1, N, "コーナー3 周回数"},
    {1128, 70, X, "コーナー3 各通過順位"},
    {1198, 1, N, "コーナー4 コーナー"},
    {1199, 1, N, "コーナー4 周回数"},
    {1200, 70, X, "コーナー4 各通過順位"},
    {1270, 1, N, "レコード更新区分"},
};

// 馬毎レース情報
constexpr LayoutField kSE[] = {
    TERVAN_RECORD_HEAD,
    {28, 1, N, "枠番"},
    {29, 2, N, "馬番"},
    {31, 10, N, "血統登録番号"},
    {41, 36, K, "馬名"},
    {77, 2, N, "馬記号コード"},
    {79, 1, N, "性別コード"},
    {80, 1, N, "品種コード"},
    {81, 2, N, "毛色コード"},
    {83, 2, N, "馬齢"},
    {85, 1, N, "東西所属コード"},
    {86, 5, N, "調教師コード"},
    {91, 8, K, "調教師名略称"},
    {99, 6, N, "馬主コード"},
    {105, 64, K, "馬主名(法人格無)"},
    {169, 60, K, "服色標示"},
    {229, 60, X, "予備"},
    {289, 3, N, "負担重量"},
    {292, 3, N, "変更前負担重量"},
    {295, 1, N, "ブリンカー使用区分"},
    {296, 1, X, "予備"},
    {297, 5, N, "騎手コード"},
    {302, 5, N, "変更前騎手コード"},
    {307, 8, K, "騎手名略称"},
    {315, 8, K, "変更前騎手名略称"},
    {323, 1, N, "騎手見習コード"},
    {324, 1, N, "変更前騎手見習コード"},
    {325, 3, N, "馬体重"},
    {328, 1, X, "増減符号"},
    {329, 3, N, "増減差"},
    {332, 1, N, "異常区分コード"},
    {333, 2, N, "入線順位"},
    {335, 2, N, "確定着順"},
    {337, 1, N, "同着区分"},
    {338, 1, N, "同着頭数"},
    {339, 4, N, "走破タイム"},
    {343, 3, X, "着差コード"},
    {346, 3, X, "+着差コード"},
    {349, 3, X, "++着差コード"},
    {352, 2, N, "1コーナーでの順位"},
    {354, 2, N, "2コーナーでの順位"},
    {356, 2, N, "3コーナーでの順位"},
    {358, 2, N, "4コーナーでの順位"},
    {360, 4, N, "単勝オッズ"},
    {364, 2, N, "単勝人気順"},
    {366, 8, N, "獲得本賞金"},
    {374, 8, N, "獲得付加賞金"},
    {382, 3, X, "予備"},
    {385, 3, X, "予備"},
    {388, 3, N, "後4ハロンタイム"},
    {391, 3, N, "後3ハロンタイム"},
    {394, 10, N, "1着馬(相手馬)1 血統登録番号"},
    {404, 36, K, "1着馬(相手馬)1 馬名"},
    {440, 10, N, "1着馬(相手馬)2 血統登録番号"},
    {450, 36, K, "1着馬(相手馬)2 馬名"},
    {486, 10, N, "1着馬(相手馬)3 血統登録番号"},
    {496, 36, K, "1着馬(相手馬)3 馬名"},
    {532, 4, X, "タイム差"},
    {536, 1, N, "レコード更新区分"},
    {537, 1, N, "マイニング区分"},
    {538, 5, N, "マイニング予想走破タイム"},
    {543, 4, N, "マイニング予想誤差(信頼度)＋"},
    {547, 4, N, "マイニング予想誤差(信頼度)－"},
    {551, 2, N, "マイニング予想順位"},
    {553, 1, N, "今回レース脚質判定"},
};

// 払戻
constexpr LayoutField kHR[] = {
    TERVAN_RECORD_HEAD,
    {28, 2, N, "登録頭数"},
    {30, 2, N, "出走頭数"},
    {32, 9, N, "不成立フラグ"},
    {41, 9, N, "特払フラグ"},
    {50, 9, N, "返還フラグ"},
    {59, 28, N, "返還馬番情報"},
    {87, 8, N, "返還枠番情報"},
    {95, 8, N, "返還同枠情報"},
    {103, 39, N, "単勝払戻"},
    {142, 65, N, "複勝払戻"},
    {207, 39, N, "枠連払戻"},
    {246, 48, N, "馬連払戻"},
    {294, 112, N, "ワイド払戻"},
    {406, 48, N, "予備"},
    {454, 96, N, "馬単払戻"},
    {550, 54, N, "3連複払戻"},
    {604, 114, N, "3連単払戻"},
};

#undef TERVAN_RECORD_HEAD

std::string MakeBlank(RecordKind kind)
{
    std::string r(RecordLength(kind), ' ');
    for (const LayoutField& f : Layout(kind)) {
        switch (f.blank) {
        case Blank::Zero:
            r.replace(f.pos - 1, f.len, f.len, '0');
            break;
        case Blank::Space:
            r.replace(f.pos - 1, f.len, f.len, ' ');
            break;
        case Blank::Wide:
            for (std::size_t i = 0; i + 1 < f.len; i += 2) {
                r[f.pos - 1 + i] = '\x81';
                r[f.pos + i] = '\x40';
            }
            break;
        }
    }
    const std::string_view id = KindId(kind);
    r.replace(0, 2, id);
    r[r.size() - 2] = '\r';
    r[r.size() - 1] = '\n';
    return r;
}

} // namespace

std::span<const LayoutField> Layout(RecordKind kind)
{
    switch (kind) {
    case RecordKind::RA:
        return kRA;
    case RecordKind::SE:
        return kSE;
    case RecordKind::HR:
        return kHR;
    }
    return {};
}

std::size_t RecordLength(RecordKind kind)
{
    switch (kind) {
    case RecordKind::RA:
        return JVData::kLengthRA;
    case RecordKind::SE:
        return JVData::kLengthSE;
    case RecordKind::HR:
        return JVData::kLengthHR;
    }
    return 0;
}

std::string_view KindId(RecordKind kind)
{
    switch (kind) {
    case RecordKind::RA:
        return JVData::kKindRA;
    case RecordKind::SE:
        return JVData::kKindSE;
    case RecordKind::HR:
        return JVData::kKindHR;
    }
    return {};
}

const std::string& BlankRecord(RecordKind kind)
{
    static const std::array<std::string, 3> blanks = {
        MakeBlank(RecordKind::RA), MakeBlank(RecordKind::SE), MakeBlank(RecordKind::HR)};
    return blanks[static_cast<std::size_t>(kind)];
}

std::string_view CutCp932(std::string_view text, std::size_t len)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t w = (IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
        if (i + w > len)
            break;
        i += w;
    }
    return text.substr(0, i);
}

RecordBuilder::RecordBuilder(RecordKind kind)
    : m_record(BlankRecord(kind))
{
}

RecordBuilder::RecordBuilder(std::string record)
    : m_record(std::move(record))
{
}

static void CheckRange(const std::string& record, std::size_t pos, std::size_t len)
{
    // Never past the last byte before the CR LF.
    if (pos == 0 || pos - 1 + len > record.size() - 2)
        throw std::out_of_range("record field outside the record");
}

RecordBuilder& RecordBuilder::Text(std::size_t pos, std::size_t len, std::string_view cp932)
{
    CheckRange(m_record, pos, len);
    const std::string_view cut = CutCp932(cp932, len);
    m_record.replace(pos - 1, len, len, ' ');
    m_record.replace(pos - 1, cut.size(), cut);
    return *this;
}

RecordBuilder& RecordBuilder::Wide(std::size_t pos, std::size_t len, std::string_view cp932)
{
    CheckRange(m_record, pos, len);
    const std::string_view cut = CutCp932(cp932, len);
    m_record.replace(pos - 1, cut.size(), cut);
    std::size_t i = cut.size();
    for (; i + 1 < len; i += 2) {
        m_record[pos - 1 + i] = '\x81';
        m_record[pos + i] = '\x40';
    }
    if (i < len)
        m_record[pos - 1 + i] = ' ';
    return *this;
}

RecordBuilder& RecordBuilder::Number(std::size_t pos, std::size_t len, long long value)
{
    CheckRange(m_record, pos, len);
    if (value < 0)
        value = 0;
    for (std::size_t i = len; i-- > 0;) {
        m_record[pos - 1 + i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    if (value > 0) // too wide: the field's largest value
        m_record.replace(pos - 1, len, len, '9');
    return *this;
}

RecordBuilder& RecordBuilder::Char(std::size_t pos, char c)
{
    CheckRange(m_record, pos, 1);
    m_record[pos - 1] = c;
    return *this;
}

RecordBuilder& RecordBuilder::Head(char division, long yyyymmdd)
{
    Char(JVData::kDataDivision.pos, division);
    return Number(JVData::kCreationDate, yyyymmdd);
}

RecordBuilder& RecordBuilder::RaceKey(std::string_view key16)
{
    return Text(JVData::kRaceKey, key16);
}

} // namespace tervan::sample
