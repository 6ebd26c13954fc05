// JV-Link, the JRA-VAN Data Lab. data-access component, as the program calls
// it.
//
// Everything above this interface works unchanged whichever component sits
// behind it: on Windows an adapter around the ActiveX control
// "JVDTLab.JVLink", here the file-backed stand-in (JVLinkStandIn.h). Texts
// cross the interface as CP932 bytes; an adapter around the control converts
// its wide strings at its own edge. Numbers are 32-bit signed result codes.
//
// At most one data stream (JVOpen or JVRTOpen, then JVRead calls, then
// JVClose) is open at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tervan {

class IJVLink {
public:
    virtual ~IJVLink() = default;

    // Readies the component for the software named by sid. 0: ready;
    // -101 empty sid, -102 sid of 64 bytes or more, -103 sid starting with a
    // space.
    virtual std::int32_t JVInit(const std::string& sid) = 0;

    // The component's version text (4 characters, e.g. "0490"), compared as
    // text.
    virtual std::string JVLinkVersion() = 0;

    // Shows the component's own settings dialog. 0: done; otherwise an error
    // code.
    virtual std::int32_t JVSetUIProperties() = 0;

    // Opens a stream of accumulated data: dataspec is a run of 4-character
    // data kinds ("RACERCVN"), fromtime "yyyymmddhhnnss", option 1-4.
    // 0: opened, with readCount files to read, downloadCount of them to be
    // downloaded first and lastFileTimestamp the newest file's
    // "yyyymmddhhnnss" (may be empty or "00000000000000"); -1: nothing newer;
    // other negative: error (-111 dataspec, -112 fromtime, -115 option,
    // -116 a data kind the option does not offer, -201 no JVInit, -202 a
    // stream is still open).
    virtual std::int32_t JVOpen(const std::string& dataspec, const std::string& fromtime, std::int32_t option,
                                std::int32_t& readCount, std::int32_t& downloadCount,
                                std::string& lastFileTimestamp)
        = 0;

    // Files downloaded so far (>= 0), or a negative error code (-201, -203
    // no open stream, -502 download failed).
    virtual std::int32_t JVStatus() = 0;

    // One step of the open stream. size is the caller's buffer size (60000).
    // > 0: one record (CR LF included) in buff, the value is its length,
    // fileName the data file it came from; 0: every file read; -1: a file
    // ended and the next one starts; -2, -3 (a file is still downloading):
    // call again; below -3: error (-201, -203, -402, -403, -502, -503).
    virtual std::int32_t JVRead(std::string& buff, std::int32_t& size, std::string& fileName) = 0;

    // Opens a stream of real-time data: dataspec "0B12", key a race date
    // "yyyymmdd". 0: opened; otherwise failure.
    virtual std::int32_t JVRTOpen(const std::string& dataspec, const std::string& key) = 0;

    // Stops a running download.
    virtual void JVCancel() = 0;

    // Closes the stream. 0: closed; otherwise an error code.
    virtual std::int32_t JVClose() = 0;

    // Why the last call failed inside the component instead of answering
    // (CP932, "JV-Link 内部エラー (0x80020009)" with the failure's HRESULT);
    // such a call answers JV-Link's internal error -401. Empty when the last
    // call answered for itself.
    virtual std::string CallFailure() const { return {}; }
};

// JVOpen's options: normal data, this week's data, setup data with
// JV-Link's own setup dialog, and setup data without it (after the first
// time).
inline constexpr std::int32_t kJVOptionNormal = 1;
inline constexpr std::int32_t kJVOptionThisWeek = 2;
inline constexpr std::int32_t kJVOptionSetup = 3;
inline constexpr std::int32_t kJVOptionSetupQuiet = 4;

// The software identification passed to JVInit: the stored identification
// string followed directly by the version label.
inline constexpr char kJVSoftwareIdBase[] = "SA510327/SD884106/tkvmrw/";
inline constexpr char kVersionLabel[] = "Version 1.40";
inline std::string JVSoftwareId()
{
    return std::string(kJVSoftwareIdBase) + kVersionLabel;
}
// The oldest JV-Link version the program works with (compared as text).
inline constexpr char kJVLinkMinimumVersion[] = "0490";

// Creates the JV-Link component for a program whose base folder is given, as
// the program's start-up does by its ProgID. Null when no component is
// installed. On Windows it is the installed control (never the stand-in);
// elsewhere always the stand-in.
std::unique_ptr<IJVLink> CreateJVLink(const std::string& baseFolder);

// True on systems where JV-Link can be installed (Windows).
bool SystemHasJVLink();
// The JV-Link control installed on this system, driven through COM
// (win/TJVLink.h); null when it is not installed, and always on a system
// that has no JV-Link.
std::unique_ptr<IJVLink> CreateInstalledJVLink();

} // namespace tervan
