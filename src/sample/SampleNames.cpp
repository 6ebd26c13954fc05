#include "sample/SampleNames.h"

#include "reference/ShiftJis.h"

#include <array>
#include <string_view>
#include <vector>

namespace tervan::sample {
namespace {

template <std::size_t N>
const char* PickOf(Rng& rng, const std::array<const char*, N>& items)
{
    return items[static_cast<std::size_t>(rng.Int(0, static_cast<int>(N) - 1))];
}

// Characters of a UTF-8 text.
std::size_t CharCount(std::string_view utf8)
{
    std::size_t n = 0;
    for (unsigned char c : utf8)
        n += (c & 0xC0) != 0x80;
    return n;
}

constexpr std::array<const char*, 60> kNameHeads = {
    "アース", "ブルー", "ゴールド", "シルバー", "スター", "ダイヤ", "サニー", "ムーン",
    "ハッピー", "ラッキー", "ロイヤル", "ノーブル", "ホワイト", "ブラック", "レッド", "オーシャン",
    "スカイ", "ウインド", "サクラ", "モミジ", "ハナ", "ユメ", "ミライ", "ヒカリ",
    "カゼ", "ソラ", "ホシ", "ツキ", "ナミ", "ユキ", "アカツキ", "イナズマ",
    "カガヤキ", "ヤマト", "ミヤコ", "アサヒ", "コスモ", "グラン", "エル", "ル",
    "ラ", "ヴィヴァ", "ファースト", "ミッキー", "ジョイ", "ブライト", "クリスタル", "サンデー",
    "マイ", "ウィン", "ニホン", "トーホク", "カントー", "キタノ", "ミナミ", "アイ",
    "ハヤテ", "シンセイ", "ワンダー", "ドリーム",
};
constexpr std::array<const char*, 8> kNameHeadsColt = {
    "キング", "プリンス", "ミスター", "サー", "ボス", "ジャック", "タイガー", "ドン",
};
constexpr std::array<const char*, 8> kNameHeadsFilly = {
    "クイーン", "レディ", "プリンセス", "ミス", "マダム", "ラブリー", "スウィート", "ベル",
};

constexpr std::array<const char*, 44> kNameTailsColt = {
    "ランナー", "ダンサー", "フラッシュ", "ストーム", "ブレイブ", "ハート", "ドリーム", "スピリット",
    "ジャーニー", "メモリー", "ウイング", "アロー", "ボルト", "ファイター", "マジック", "ミラクル",
    "ロード", "ブリッジ", "ノヴァ", "レジェンド", "クラウン", "エース", "ボーイ", "ハーバー",
    "サンバ", "ワルツ", "ボレロ", "カノン", "ソナタ", "タイガー", "ライオン", "ファルコン",
    "イーグル", "サムライ", "ショウグン", "テンペスト", "サンダー", "ブレーヴ", "バローズ", "キセキ",
    "ムサシ", "タイタン", "オリオン", "ペガサス",
};

constexpr std::array<const char*, 36> kNameTailsFilly = {
    "ローズ", "リリー", "ベル", "ティアラ", "キャンディ", "ガール", "プリンセス", "ヴィーナス",
    "ラプソディ", "セレナーデ", "ソング", "ハート", "ドリーム", "メモリー", "マジック", "ミラクル",
    "カノン", "ワルツ", "ソナタ", "ジュエル", "パール", "ルビー", "エメラルド", "サファイア",
    "ブーケ", "マリー", "アリア", "ルナ", "ステラ", "フローラ", "ミューズ", "エンジェル",
    "ドレス", "リボン", "サクラ", "カレン",
};

// Words from other languages, as many horse names are made.
constexpr std::array<const char*, 96> kWords = {
    "アモーレ", "ソーレ", "ルーチェ", "アルバ", "ステラ", "ノッテ", "マーレ", "フォルテ",
    "ドルチェ", "アレグロ", "ヴィータ", "リベルタ", "フェリーチェ", "セレーノ", "グランデ", "ロッソ",
    "ネーロ", "ビアンコ", "オーロ", "テソーロ", "コローナ", "レオーネ", "アクイラ", "ファルコ",
    "ヴェント", "トゥオーノ", "ネーヴェ", "ルーナ", "ソル", "ルス", "シエロ", "マール",
    "フエゴ", "ティエラ", "ノーチェ", "パロマ", "ロサ", "フロール", "オーラ", "エスプリ",
    "ソレイユ", "エトワール", "シエル", "ボヌール", "アムール", "レーヴ", "ブリーズ", "エクラ",
    "シャルム", "ミニョン", "ヴィクトワール", "ジョワ", "カリーナ", "ベラ", "ヴェルデ", "アズーリ",
    "カルマ", "ゼフィール", "アトラス", "オメガ", "シグマ", "デルタ", "ガンマ", "ネクサス",
    "パルサー", "クエーサー", "ノヴァ", "ルミナス", "リュンヌ", "アンジュ", "セラフ", "ヘリオス",
    "アポロ", "アテナ", "ミネルバ", "ダイアナ", "オーロラ", "イリス", "フレイヤ", "トール",
    "オーディン", "ロキ", "ラグナ", "ヴァルキリー", "シリウス", "ベガ", "アルタイル", "リゲル",
    "カペラ", "スピカ", "アンタレス", "プロキオン", "ミラ", "ポラリス", "ハヤブサ", "ミヤビ",
};

std::string HorseNameUtf8(Rng& rng, char sexCode)
{
    const bool filly = sexCode == '2';
    for (;;) {
        std::string head = PickOf(rng, kNameHeads);
        if (rng.Chance(0.15))
            head = filly ? PickOf(rng, kNameHeadsFilly) : PickOf(rng, kNameHeadsColt);
        const std::string tail = filly ? PickOf(rng, kNameTailsFilly) : PickOf(rng, kNameTailsColt);
        const std::string word = PickOf(rng, kWords);
        std::string name;
        switch (rng.Pick({0.45, 0.25, 0.15, 0.1, 0.05})) {
        case 0: name = head + tail; break;
        case 1: name = head + word; break;
        case 2: name = word + tail; break;
        case 3: name = word + PickOf(rng, kWords); break;
        default: name = word; break;
        }
        const std::size_t n = CharCount(name);
        if (n >= 2 && n <= 9)
            return name;
    }
}

constexpr std::array<const char*, 60> kSurnames = {
    "佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "山本", "中村", "小林", "加藤", "吉田", "山田",
    "佐々木", "山口", "松本", "井上", "木村", "斎藤", "清水", "山崎", "池田", "橋本", "阿部", "石川",
    "山下", "中島", "石井", "小川", "前田", "岡田", "長谷川", "藤田", "後藤", "近藤", "村上", "遠藤",
    "青木", "坂本", "福田", "太田", "西村", "藤井", "岡本", "松田", "中川", "中野", "原田", "小野",
    "竹内", "金子", "和田", "中山", "石田", "上田", "森田", "柴田", "酒井", "工藤", "横山", "宮崎",
};
constexpr std::array<const char*, 48> kGivenNames = {
    "健太", "大輔", "翔太", "拓也", "雄一", "和也", "直樹", "勝己", "隆之", "正人", "亮介", "優斗",
    "達也", "康太", "智之", "将司", "浩二", "秀樹", "一真", "幸四", "光太", "真吾", "純一", "博之",
    "英明", "洋介", "俊彦", "哲也", "昌弘", "義男", "勇", "誠", "剛", "修", "悟", "昇",
    "栄", "豊", "稔", "学", "潤", "徹", "聡", "武", "仁", "進", "進一", "文雄",
};

constexpr std::array<const char*, 24> kClubWords = {
    "サンライト", "ブルーリバー", "グリーンヒル", "ノースフィールド", "スターダスト", "ミルキーウェイ",
    "レッドウッド", "シーサイド", "ゴールデンゲート", "ホワイトクラウド", "オータムリーフ", "スプリングタイム",
    "北斗", "大和", "東海", "瀬戸内", "みちのく", "日高", "十勝", "浦河", "静内", "門別", "新冠", "三石",
};
constexpr std::array<const char*, 6> kClubKinds = {
    "レーシング", "ホースクラブ", "ファーム", "牧場", "ステーブル", "サラブレッドクラブ",
};

constexpr std::array<const char*, 11> kColours = {
    "赤", "青", "黄", "緑", "紫", "白", "黒", "桃", "水色", "茶", "橙",
};
constexpr std::array<const char*, 10> kPatterns = {
    "一本輪", "二本輪", "縦縞", "襷", "山形", "菱山形", "元禄", "星散らし", "帯", "鋸歯形",
};

} // namespace

std::string MakeHorseName(Rng& rng, char sexCode, std::unordered_set<std::string>& used)
{
    for (int attempt = 0;; ++attempt) {
        std::string utf8 = HorseNameUtf8(rng, sexCode);
        if (attempt > 40) {
            // Very crowded: a head and three syllables counted from the
            // number of names made, so that a free name is always found.
            static constexpr std::array<const char*, 16> kSyllables = {
                "カ", "ラ", "ナ", "ル", "ミ", "リ", "ト", "ス", "レ", "ノ", "ア", "ロ", "マ", "ティ", "ヴィ", "サ"};
            std::size_t code = used.size() * 7 + static_cast<std::size_t>(attempt);
            utf8 = kNameHeads[code % kNameHeads.size()];
            code /= kNameHeads.size();
            for (int i = 0; i < 3; ++i, code /= kSyllables.size())
                utf8 += kSyllables[code % kSyllables.size()];
        }
        std::string name = Utf8ToCp932(utf8);
        if (used.insert(name).second)
            return name;
    }
}

std::string MakePersonShortName(Rng& rng, int kanjiCount, std::unordered_set<std::string>& used)
{
    for (int attempt = 0;; ++attempt) {
        const std::string surname = PickOf(rng, kSurnames);
        const std::string given = PickOf(rng, kGivenNames);
        std::string utf8 = surname;
        // The given name fills what the surname leaves of the characters.
        std::size_t left = static_cast<std::size_t>(kanjiCount) - CharCount(surname);
        std::size_t i = 0;
        while (left > 0 && i < given.size()) {
            std::size_t w = 1;
            while (i + w < given.size() && (static_cast<unsigned char>(given[i + w]) & 0xC0) == 0x80)
                ++w;
            utf8 += given.substr(i, w);
            i += w;
            --left;
        }
        std::string name = Utf8ToCp932(utf8);
        if (used.insert(name).second || attempt > 200)
            return name;
    }
}

std::string MakeOwnerName(Rng& rng)
{
    if (rng.Chance(0.45))
        return Utf8ToCp932(std::string(PickOf(rng, kClubWords)) + PickOf(rng, kClubKinds));
    return Utf8ToCp932(std::string(PickOf(rng, kSurnames)) + PickOf(rng, kGivenNames));
}

std::string MakeSilks(Rng& rng)
{
    const std::string body = PickOf(rng, kColours);
    std::string mark = PickOf(rng, kColours);
    while (mark == body)
        mark = PickOf(rng, kColours);
    std::string utf8 = body + "，" + mark + PickOf(rng, kPatterns);
    if (rng.Chance(0.7))
        utf8 += std::string("，") + PickOf(rng, kColours) + "袖";
    return Utf8ToCp932(utf8);
}

std::string CoursePlaceName(std::string_view courseCode, std::uint64_t choice)
{
    static const std::vector<std::vector<std::string>> places = [] {
        const std::vector<std::vector<const char*>> utf8 = {
            {"石狩", "藻岩山", "定山渓", "羊ヶ丘", "大通", "手稲", "支笏湖", "大倉山"},      // 01 札幌
            {"五稜郭", "湯川", "大沼", "駒ケ岳", "恵山", "松前", "函館山", "立待岬"},         // 02 函館
            {"吾妻", "安達太良", "猪苗代", "阿武隈", "磐梯", "信夫山", "会津", "奥只見"},     // 03 福島
            {"信濃川", "弥彦", "佐渡", "越後", "妙高", "阿賀野川", "瓢湖", "日本海"},         // 04 新潟
            {"府中", "多摩川", "武蔵野", "秩父", "甲州", "神代", "高尾", "井の頭"},           // 05 東京
            {"船橋", "習志野", "房総", "利根川", "香取", "印旛沼", "九十九里", "館山"},       // 06 中山
            {"熱田", "犬山", "知多", "三河", "木曽川", "長良川", "伊吹", "鈴鹿"},             // 07 中京
            {"鴨川", "嵐山", "比叡", "宇治川", "桂川", "鞍馬", "大原", "醍醐"},               // 08 京都
            {"六甲", "甲南", "武庫川", "須磨", "有馬", "夙川", "西宮", "明石"},               // 09 阪神
            {"門司", "玄界灘", "英彦山", "関門", "筑豊", "平尾台", "皿倉山", "響灘"},         // 10 小倉
        };
        std::vector<std::vector<std::string>> out;
        for (const auto& list : utf8) {
            out.emplace_back();
            for (const char* p : list)
                out.back().push_back(Utf8ToCp932(p));
        }
        return out;
    }();
    int index = 0;
    if (courseCode.size() == 2 && courseCode[0] >= '0' && courseCode[0] <= '9' && courseCode[1] >= '0' &&
        courseCode[1] <= '9')
        index = (courseCode[0] - '0') * 10 + (courseCode[1] - '0') - 1;
    if (index < 0 || index >= static_cast<int>(places.size()))
        index = 4;
    const auto& list = places[static_cast<std::size_t>(index)];
    return list[choice % list.size()];
}

} // namespace tervan::sample
