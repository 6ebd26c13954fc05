// The program's settings: every key of the settings file with its default.
//
// The settings file sits in the base folder and is named after the
// executable with ".ini" ("tervan.ini"). A missing file or key gives the
// default and nothing is reported.
#pragma once

#include "app/IniGT.h"
#include "app/MaximRule.h"
#include "platform/Clock.h"

#include <string>
#include <string_view>

namespace tervan {

// Section and key names as they appear in the file.
namespace SettingsKey {
inline constexpr std::string_view kLocate = "locate";
inline constexpr std::string_view kTop = "top";
inline constexpr std::string_view kLeft = "left";
inline constexpr std::string_view kWidth = "width";
inline constexpr std::string_view kHeight = "height";
inline constexpr std::string_view kDataList = "datalist";
inline constexpr std::string_view kClose = "close";
inline constexpr std::string_view kDir = "Dir";
inline constexpr std::string_view kYoso = "yoso";
inline constexpr std::string_view kJvDataGet = "JvDataGet";
inline constexpr std::string_view kLastTime = "LastTime";
// 格言ラボ: "name1" and "rule1" (the text form) to "name20" and "rule20";
// an entry whose two values are empty is no rule.
inline constexpr std::string_view kMaximLab = "MaximLab";
inline constexpr std::string_view kName = "name";
inline constexpr std::string_view kRule = "rule";
} // namespace SettingsKey

// base + separator + executable stem + ".ini".
std::string SettingsFilePath(std::string_view base, std::string_view executableStem);

// The main window's position and size, stored and restored as they are.
struct WindowGeometry {
    int top = 10;
    int left = 10;
    int width = 800;
    int height = 700;

    bool operator==(const WindowGeometry&) const = default;
};

class Settings {
public:
    // The settings file of the program whose executable stem is given
    // (fs::ExecutableStem() in the program), in the base folder.
    Settings(std::string base, std::string_view executableStem);

    const std::string& BaseFolder() const { return m_base; }
    const std::string& FileName() const { return m_ini.FileName(); }
    TIniGT& Ini() { return m_ini; }

    // "locate": top, left, width, height (10, 10, 800, 700).
    WindowGeometry ReadLocate() const;
    void WriteLocate(const WindowGeometry& g);

    // "datalist"/"close": hide the day list after loading (false).
    bool ReadDataListClose() const;
    void WriteDataListClose(bool close);

    // "Dir"/"yoso": folder of the forecast odds archives (base + "ylzh").
    std::string DefaultYosoDir() const;
    std::string ReadYosoDir() const;
    void WriteYosoDir(std::string_view dir);

    // "JvDataGet"/"LastTime": start point of the next download, as
    // "yyyy/mm/dd hh:nn:ss" (now minus 8 days).
    static std::string DefaultLastTime(const DateTime& now);
    std::string ReadLastTime(const DateTime& now) const;
    // The stored start point as a date and time; a value that is not a valid
    // "yyyy/mm/dd hh:nn:ss" gives the default too, so a hand-edited file
    // never stops the download dialog.
    DateTime ReadLastTimeValue(const DateTime& now) const;
    void WriteLastTime(std::string_view text);
    void WriteLastTime(const DateTime& t);

    // "MaximLab": the user's rules of 格言ラボ, at most kMaximRuleLimit. An
    // entry that does not read as a sound rule is left out with a message
    // ("格言ラボの規則3「名前」を読めません: ..."); none ever stops the program.
    SavedMaximRules ReadMaximRules() const;
    // Replaces the saved rules (the first kMaximRuleLimit of them); entries
    // beyond them are emptied. Throws fs::FileError when the file cannot be
    // written.
    void WriteMaximRules(const std::vector<MaximRule>& rules);

private:
    std::string m_base;
    TIniGT m_ini;
};

} // namespace tervan
