#include "acquisition/JVLinkStandIn.h"

#include "app/IniGT.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "reference/FixedRecord.h"

#include <algorithm>
#include <filesystem>
#include <limits>

namespace tervan {
namespace {

// A data file larger than this is refused as damaged (-402).
constexpr std::size_t kMaxDataFileSize = 256u * 1024 * 1024;
// JVStatus copies at least one file per call, and goes on while it has
// copied less than this.
constexpr std::size_t kCopyBytesPerStatus = 1u * 1024 * 1024;

JVLinkStandIn::FolderChooser& Chooser()
{
    static JVLinkStandIn::FolderChooser chooser;
    return chooser;
}

// Whether a file is too large to be a data file (or cannot be looked at).
bool TooLarge(std::string_view path)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(fs::ToNative(path), ec);
    return !ec && size > kMaxDataFileSize;
}

// Whether the cache holds the feed file as it is now: a copy of its size
// written since the feed file was (years of setup data are not read twice
// to learn that nothing changed).
bool Cached(std::string_view source, std::string_view copy)
{
    std::error_code ec1, ec2, ec3, ec4;
    const std::filesystem::path from = fs::ToNative(source), to = fs::ToNative(copy);
    const auto size = std::filesystem::file_size(from, ec1);
    const auto copySize = std::filesystem::file_size(to, ec2);
    const auto time = std::filesystem::last_write_time(from, ec3);
    const auto copyTime = std::filesystem::last_write_time(to, ec4);
    return !ec1 && !ec2 && !ec3 && !ec4 && size == copySize && size <= kMaxDataFileSize && copyTime >= time;
}

bool AllAlnum(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

bool IsAbsolute(std::string_view path)
{
    if (!path.empty() && (path[0] == '/' || path[0] == '\\'))
        return true;
    return path.size() >= 2 && path[1] == ':' && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

} // namespace

void JVLinkStandIn::SetFolderChooser(FolderChooser chooser)
{
    Chooser() = std::move(chooser);
}

JVLinkStandIn::JVLinkStandIn(std::string baseFolder)
    : m_base(std::move(baseFolder))
{
}

JVLinkStandIn::JVLinkStandIn(std::string baseFolder, std::string feedFolder)
    : m_base(std::move(baseFolder))
    , m_feedOverride(std::move(feedFolder))
{
}

std::string JVLinkStandIn::SettingsPath() const
{
    return fs::Join(m_base, kSettingsFileName);
}

std::string JVLinkStandIn::CacheFolder() const
{
    return fs::Join(m_base, kCacheFolderName);
}

std::string JVLinkStandIn::FeedFolder() const
{
    if (m_feedOverride)
        return *m_feedOverride;
    // A missing or unreadable settings file means the default feed.
    const std::string folder = TIniGT(SettingsPath()).ReadString(kSettingsSection, kSettingsKey, "");
    if (folder.empty())
        return fs::Join(m_base, kDefaultFeedFolder);
    return IsAbsolute(folder) ? folder : fs::Join(m_base, folder);
}

void JVLinkStandIn::SaveFeedFolder(const std::string& folder)
{
    TIniGT(SettingsPath()).WriteString(kSettingsSection, kSettingsKey, folder);
}

std::int32_t JVLinkStandIn::JVInit(const std::string& sid)
{
    if (sid.empty())
        return -101;
    if (sid.size() >= 64)
        return -102;
    if (sid[0] == ' ')
        return -103;
    m_initialized = true;
    return 0;
}

std::string JVLinkStandIn::JVLinkVersion()
{
    return kVersion;
}

std::int32_t JVLinkStandIn::JVSetUIProperties()
{
    if (!Chooser())
        return -100;
    std::optional<std::string> chosen = Chooser()(FeedFolder());
    if (!chosen)
        return 0;
    try {
        SaveFeedFolder(*chosen);
    } catch (const fs::FileError&) {
        return -100;
    }
    if (m_feedOverride)
        m_feedOverride = *chosen;
    return 0;
}

void JVLinkStandIn::ResetStream()
{
    m_stream = Stream::None;
    m_files.clear();
    m_downloadTotal = 0;
    m_downloaded = 0;
    m_nextDownload = 0;
    m_cancelled = false;
    m_fileIndex = 0;
    m_fileLoaded = false;
    m_content.clear();
    m_content.shrink_to_fit();
    m_pos = 0;
}

std::int32_t JVLinkStandIn::JVOpen(const std::string& dataspec, const std::string& fromtime, std::int32_t option,
                                   std::int32_t& readCount, std::int32_t& downloadCount,
                                   std::string& lastFileTimestamp)
{
    readCount = 0;
    downloadCount = 0;
    lastFileTimestamp.clear();
    if (!m_initialized)
        return -201;
    if (m_stream != Stream::None)
        return -202;
    if (dataspec.empty() || dataspec.size() % 4 != 0 || !AllAlnum(dataspec))
        return -111;
    if (fromtime.size() != 14 || !AllDigits(fromtime) || !ParseCompact(fromtime))
        return -112;
    if (option < 1 || option > 4)
        return -115;
    // Of the kinds the program asks for, "RCVN" (the runs of this week's
    // horses) exists only as this week's data; "RACE" takes every option.
    for (size_t i = 0; i + 4 <= dataspec.size(); i += 4)
        if (std::string_view(dataspec).substr(i, 4) == kThisWeekOnlyKind && option != kJVOptionThisWeek)
            return -116;

    struct Selected {
        std::string stamp;
        std::string name;
    };
    std::vector<Selected> selected;
    const std::string feed = FeedFolder();
    std::vector<std::string> names = fs::ListFiles(feed, "*.jvd");
    // This week of the feed: the seven days up to its newest "RACE" file.
    std::string weekStart;
    for (const std::string& name : names)
        if (name.size() >= 22 && std::string_view(name).substr(0, 4) == kRaceKind && AllDigits(std::string_view(name).substr(4, 14)))
            weekStart = std::max(weekStart, name.substr(4, 14));
    if (std::optional<DateTime> newest = ParseCompact(weekStart))
        weekStart = FormatCompact(AddDays(*newest, -7));
    for (std::string& name : names) {
        if (name.size() < 22)
            continue;
        std::string_view kind = std::string_view(name).substr(0, 4);
        std::string_view stamp = std::string_view(name).substr(4, 14);
        if (!AllDigits(stamp))
            continue;
        bool wanted = false;
        for (size_t i = 0; i + 4 <= dataspec.size(); i += 4)
            wanted = wanted || std::string_view(dataspec).substr(i, 4) == kind;
        if (!wanted)
            continue;
        const bool setup = option == kJVOptionSetup || option == kJVOptionSetupQuiet;
        if (setup ? stamp < std::string_view(fromtime) : stamp <= std::string_view(fromtime))
            continue;
        if (option == kJVOptionThisWeek && kind == kRaceKind && stamp < std::string_view(weekStart))
            continue;
        selected.push_back({std::string(stamp), std::move(name)});
    }
    if (selected.empty())
        return -1;
    if (selected.size() > static_cast<size_t>(std::numeric_limits<std::int32_t>::max()))
        return -401;
    std::sort(selected.begin(), selected.end(), [](const Selected& a, const Selected& b) {
        return a.stamp != b.stamp ? a.stamp < b.stamp : a.name < b.name;
    });

    const std::string cache = CacheFolder();
    try {
        fs::CreateDirs(cache);
    } catch (const fs::FileError&) {
        return -401;
    }
    std::vector<DataFile> files;
    std::int32_t toDownload = 0;
    for (const Selected& s : selected) {
        DataFile f;
        f.name = s.name;
        f.source = fs::Join(feed, s.name);
        f.readPath = fs::Join(cache, s.name);
        f.needsDownload = !Cached(f.source, f.readPath);
        toDownload += f.needsDownload ? 1 : 0;
        files.push_back(std::move(f));
    }

    ResetStream();
    m_stream = Stream::Accumulated;
    m_files = std::move(files);
    m_downloadTotal = toDownload;
    readCount = static_cast<std::int32_t>(m_files.size());
    downloadCount = toDownload;
    lastFileTimestamp = selected.back().stamp;
    return 0;
}

bool JVLinkStandIn::DownloadOne(DataFile& file, std::size_t& bytesCopied)
{
    bytesCopied = 0;
    std::string bytes;
    try {
        if (TooLarge(file.source) || !fs::ReadFile(file.source, bytes) || bytes.size() > kMaxDataFileSize)
            return false;
        fs::RewriteFile(file.readPath, bytes);
    } catch (const fs::FileError&) {
        return false;
    }
    file.downloaded = true;
    bytesCopied = bytes.size();
    ++m_downloaded;
    return true;
}

std::int32_t JVLinkStandIn::JVStatus()
{
    if (!m_initialized)
        return -201;
    if (m_stream == Stream::None)
        return -203;
    if (m_stream == Stream::Realtime || m_cancelled)
        return m_downloaded;
    std::size_t copied = 0;
    bool first = true;
    while (m_nextDownload < m_files.size() && (first || copied < kCopyBytesPerStatus)) {
        DataFile& f = m_files[m_nextDownload++];
        if (!f.needsDownload || f.downloaded)
            continue;
        std::size_t bytes = 0;
        if (!DownloadOne(f, bytes))
            return -502;
        copied += bytes;
        first = false;
    }
    return m_downloaded;
}

std::int32_t JVLinkStandIn::JVRead(std::string& buff, std::int32_t& size, std::string& fileName)
{
    if (!m_initialized)
        return -201;
    if (m_stream == Stream::None)
        return -203;
    if (m_fileIndex >= m_files.size())
        return 0;
    DataFile& f = m_files[m_fileIndex];
    if (!m_fileLoaded) {
        if (f.needsDownload && !f.downloaded) {
            // The file is still on its way: fetch it now, as the background
            // download would, and have the caller call again.
            std::size_t bytes = 0;
            if (m_cancelled || !DownloadOne(f, bytes))
                return -502;
            return -3;
        }
        if (TooLarge(f.readPath))
            return -402;
        try {
            if (!fs::ReadFile(f.readPath, m_content))
                return -503;
        } catch (const fs::FileError&) {
            return -503;
        }
        if (m_content.size() > kMaxDataFileSize) {
            m_content.clear();
            return -402;
        }
        m_fileLoaded = true;
        m_pos = 0;
    }
    while (m_pos < m_content.size()) {
        size_t nl = m_content.find('\n', m_pos);
        size_t end = nl == std::string::npos ? m_content.size() : nl + 1;
        std::string_view record(m_content.data() + m_pos, end - m_pos);
        m_pos = end;
        if (record == "\r\n" || record == "\n")
            continue;
        buff.assign(record);
        fileName = f.name;
        return static_cast<std::int32_t>(record.size());
    }
    m_fileLoaded = false;
    m_content.clear();
    m_pos = 0;
    ++m_fileIndex;
    return -1;
}

std::int32_t JVLinkStandIn::JVRTOpen(const std::string& dataspec, const std::string& key)
{
    if (!m_initialized)
        return -201;
    if (m_stream != Stream::None)
        return -202;
    if (dataspec.size() != 4 || !AllAlnum(dataspec))
        return -111;
    if (key.size() != 8 || !AllDigits(key))
        return -114;
    const std::string folder = fs::Join(FeedFolder(), kRealtimeFolder);
    std::vector<DataFile> files;
    for (const std::string& name : fs::ListFiles(folder, dataspec + key + "*.jvd")) {
        DataFile f;
        f.name = name;
        f.source = fs::Join(folder, name);
        f.readPath = f.source;
        files.push_back(std::move(f));
    }
    if (files.empty())
        return -1;
    ResetStream();
    m_stream = Stream::Realtime;
    m_files = std::move(files);
    return 0;
}

void JVLinkStandIn::JVCancel()
{
    if (m_stream != Stream::None)
        m_cancelled = true;
}

std::int32_t JVLinkStandIn::JVClose()
{
    ResetStream();
    return 0;
}

std::unique_ptr<IJVLink> CreateJVLink(const std::string& baseFolder)
{
    if (SystemHasJVLink())
        return CreateInstalledJVLink();
    return std::make_unique<JVLinkStandIn>(baseFolder);
}

} // namespace tervan
