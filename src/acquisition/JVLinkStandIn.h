// The file-backed JV-Link stand-in.
//
// It serves JV-Data from a feed folder instead of the data service:
// - every file directly in the feed named "*.jvd" is one data file; name
//   characters 1-4 are its data kind ("RACE", "RCVN", ...), characters 5-18
//   its time stamp "yyyymmddhhnnss"; its content is CP932 JV-Data records,
//   each ending in CR LF;
// - JVOpen selects the files of the requested kinds by its option, as
//   JV-Link does, in time stamp order (then name):
//     1 (normal data): the files newer than fromtime;
//     2 (this week's data): the "RACE" files of this week, the seven days up
//       to the newest "RACE" file of the feed, and the files of other kinds,
//       newer than fromtime;
//     3, 4 (setup, with and without JV-Link's dialog): every file from
//       fromtime on, years of them;
//   "RCVN" exists only as this week's data: asked for with another option,
//   JVOpen answers -116; an option other than 1-4 answers -115. The files
//   not yet in the stand-in's cache folder (a copy of the same size written
//   since the feed file was) must first be "downloaded": JVStatus copies at
//   least one more per call, and JVRead of a file not yet there answers -3
//   and fetches it;
// - JVRTOpen(dataspec, yyyymmdd) reads the files
//   "realtime/<dataspec><yyyymmdd>*.jvd" of the feed in name order.
// JVRead ends every file with -1 (also the last one), then answers 0.
//
// Its settings (the feed folder) are kept in a small file of its own in the
// base folder; without one the feed is the folder "sample-feed" in the base
// folder (the executable's folder in the program). A missing or empty feed is
// not a failure: JVOpen then answers -1, nothing newer.
#pragma once

#include "acquisition/JVLink.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tervan {

class JVLinkStandIn : public IJVLink {
public:
    static constexpr char kSettingsFileName[] = "JVLinkStandIn.ini";
    static constexpr char kSettingsSection[] = "Feed";
    static constexpr char kSettingsKey[] = "Folder";
    static constexpr char kCacheFolderName[] = "JVLinkCache";
    static constexpr char kDefaultFeedFolder[] = "sample-feed";
    static constexpr char kRealtimeFolder[] = "realtime";
    static constexpr char kVersion[] = "0490";
    static constexpr char kRaceKind[] = "RACE";
    static constexpr char kThisWeekOnlyKind[] = "RCVN";

    // The settings dialog of JVSetUIProperties: given the current feed folder
    // (CP932), returns the chosen one, or nothing when the user cancelled.
    // The program's window layer installs it once at start-up.
    using FolderChooser = std::function<std::optional<std::string>(const std::string& current)>;
    static void SetFolderChooser(FolderChooser chooser);

    // baseFolder: the program's base folder (CP932), which holds the
    // stand-in's settings file and its cache folder.
    explicit JVLinkStandIn(std::string baseFolder);
    // A stand-in that reads the given feed whatever the settings name.
    JVLinkStandIn(std::string baseFolder, std::string feedFolder);

    std::int32_t JVInit(const std::string& sid) override;
    std::string JVLinkVersion() override;
    std::int32_t JVSetUIProperties() override;
    std::int32_t JVOpen(const std::string& dataspec, const std::string& fromtime, std::int32_t option,
                        std::int32_t& readCount, std::int32_t& downloadCount,
                        std::string& lastFileTimestamp) override;
    std::int32_t JVStatus() override;
    std::int32_t JVRead(std::string& buff, std::int32_t& size, std::string& fileName) override;
    std::int32_t JVRTOpen(const std::string& dataspec, const std::string& key) override;
    void JVCancel() override;
    std::int32_t JVClose() override;

    // The feed folder in use (CP932): the override, else the settings, else
    // the default. A relative folder in the settings is taken from the base
    // folder.
    std::string FeedFolder() const;
    // Writes the feed folder to the settings file (throws fs::FileError).
    void SaveFeedFolder(const std::string& folder);

    std::string SettingsPath() const;
    std::string CacheFolder() const;

private:
    struct DataFile {
        std::string name;     // CP932 name without folder
        std::string source;   // path in the feed
        std::string readPath; // path JVRead takes it from
        bool needsDownload = false;
        bool downloaded = false;
    };
    enum class Stream { None, Accumulated, Realtime };

    bool DownloadOne(DataFile& file, std::size_t& bytesCopied);
    void ResetStream();

    std::string m_base;
    std::optional<std::string> m_feedOverride;
    bool m_initialized = false;
    Stream m_stream = Stream::None;
    std::vector<DataFile> m_files;
    std::int32_t m_downloadTotal = 0;
    std::int32_t m_downloaded = 0;
    std::size_t m_nextDownload = 0;
    bool m_cancelled = false;
    std::size_t m_fileIndex = 0;
    bool m_fileLoaded = false;
    std::string m_content;
    std::size_t m_pos = 0;
};

} // namespace tervan
