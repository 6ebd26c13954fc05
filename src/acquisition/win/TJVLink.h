// TJVLink: the JV-Link ActiveX control "JVDTLab.JVLink" driven through COM
// automation. Each operation is found by name (IDispatch::GetIDsOfNames) and
// called with Invoke; texts cross as BSTR, numbers as VT_I4, outputs by
// reference. Wide texts become CP932 with code page 932 before anything
// slices them.
#pragma once

#include "acquisition/JVLink.h"

#include <map>
#include <memory>
#include <string>

struct IDispatch;

namespace tervan {

class TJVLink : public IJVLink {
public:
    // Wraps a created component (tests pass a double); takes a reference of
    // its own and releases it when destroyed.
    explicit TJVLink(IDispatch* component);
    ~TJVLink() override;
    TJVLink(const TJVLink&) = delete;
    TJVLink& operator=(const TJVLink&) = delete;

    // Creates the component by its ProgID on this thread, initialising COM
    // (apartment-threaded) on first use; null when it is not installed.
    static std::unique_ptr<TJVLink> Create();

    std::int32_t JVInit(const std::string& sid) override;
    std::string JVLinkVersion() override;
    std::int32_t JVSetUIProperties() override;
    std::int32_t JVOpen(const std::string& dataspec, const std::string& fromtime, std::int32_t option,
                        std::int32_t& readCount, std::int32_t& downloadCount, std::string& lastFileTimestamp) override;
    std::int32_t JVStatus() override;
    std::int32_t JVRead(std::string& buff, std::int32_t& size, std::string& fileName) override;
    std::int32_t JVRTOpen(const std::string& dataspec, const std::string& key) override;
    void JVCancel() override;
    std::int32_t JVClose() override;
    // "JV-Link 内部エラー (0x80020009)" after a call that failed, with its
    // HRESULT; empty after one that answered.
    std::string CallFailure() const override { return m_failure; }

    // The code an operation answers when the call itself fails (the
    // component raised an error or has no such operation): JV-Link's own
    // "internal error".
    static constexpr std::int32_t kCallFailed = -401;

private:
    long DispatchId(const wchar_t* name);

    IDispatch* m_component;
    std::map<std::wstring, long> m_ids;
    std::string m_failure;
};

// Initialises COM on the calling thread, apartment-threaded, once per thread.
void EnsureComApartment();

} // namespace tervan
