// The COM adapter of JV-Link against an in-process IDispatch double whose
// answers are scripted, and the "not installed" path as it really runs
// (Wine has no JV-Link). Every BSTR made on either side is counted through
// a spy on the COM task allocator, with the BSTR cache off, so a BSTR that
// is not freed shows up as a live allocation.
#include "acquisition/win/TJVLink.h"

#include "acquisition/JVRecordBuilder.h"
#include "acquisition/ReadLoop.h"
#include "acquisition/StoredFiles.h"
#include "app/BaseFolder.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <oleauto.h>

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace tervan;

namespace {

// Counts the task allocator's live blocks.
class AllocationSpy : public IMallocSpy {
public:
    std::set<void*> live;
    std::size_t pendingSize = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (riid == IID_IUnknown || riid == IID_IMallocSpy) {
            *out = static_cast<IMallocSpy*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T cbRequest) override { return cbRequest; }
    void* STDMETHODCALLTYPE PostAlloc(void* actual) override
    {
        if (actual)
            live.insert(actual);
        return actual;
    }
    void* STDMETHODCALLTYPE PreFree(void* request, BOOL spyed) override
    {
        if (spyed)
            live.erase(request);
        return request;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T cbRequest, void** newRequest, BOOL spyed) override
    {
        if (spyed)
            live.erase(request);
        *newRequest = request;
        return cbRequest;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL spyed) override
    {
        if (actual && spyed)
            live.insert(actual);
        return actual;
    }
    void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T actual, BOOL) override { return actual; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}
};

// Registered for one test; BSTRs then come from the task allocator, uncached.
class SpiedAllocations {
public:
    SpiedAllocations()
    {
        EnsureComApartment();
        if (auto noCache = reinterpret_cast<void(WINAPI*)()>(::GetProcAddress(::GetModuleHandleW(L"oleaut32.dll"), "SetOaNoCache")))
            noCache();
        registered = SUCCEEDED(::CoRegisterMallocSpy(&spy));
    }
    ~SpiedAllocations()
    {
        if (registered)
            ::CoRevokeMallocSpy();
    }
    std::size_t Live() const { return spy.live.size(); }
    AllocationSpy spy;
    bool registered = false;
};

// One JVRead answer: the code and, for a record, its text and file name.
struct ReadAnswer {
    LONG code;
    std::wstring record;
    std::wstring file;
};

// JV-Link as an automation object whose answers a test sets beforehand.
class ScriptedDispatch : public IDispatch {
public:
    // Answers.
    LONG initResult = 0, uiResult = 0, openResult = 0, rtOpenResult = 0, closeResult = 0;
    LONG openReadCount = 0, openDownloadCount = 0;
    std::wstring openStamp, version = L"0490";
    std::deque<LONG> statusResults;
    std::deque<ReadAnswer> reads;
    bool raise = false; // every call fails with an exception of the component
    // The version property: its dispatch identifier, and whether it is
    // known by its name (older components answer only at 16).
    DISPID versionId = 40;
    bool versionHasName = true;

    // What arrived: one line per call, "name(arg,arg,...)".
    std::vector<std::wstring> calls;
    ULONG references = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        static const std::map<std::wstring, DISPID> kIds = {
            {L"JVInit", 1}, {L"JVSetUIProperties", 2}, {L"JVOpen", 3}, {L"JVStatus", 4},
            {L"JVRead", 5}, {L"JVRTOpen", 6}, {L"JVCancel", 7}, {L"JVClose", 8},
        };
        if (count == 1 && versionHasName && std::wstring(names[0]) == L"m_JVLinkVersion") {
            ids[0] = versionId;
            return S_OK;
        }
        const auto found = count == 1 ? kIds.find(names[0]) : kIds.end();
        if (found == kIds.end()) {
            ids[0] = DISPID_UNKNOWN;
            return DISP_E_UNKNOWNNAME;
        }
        ++lookups[found->first];
        ids[0] = found->second;
        return S_OK;
    }
    std::map<std::wstring, int> lookups;

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* error, UINT*) override
    {
        static const wchar_t* const kNames[] = {L"", L"JVInit", L"JVSetUIProperties", L"JVOpen", L"JVStatus",
                                                L"JVRead", L"JVRTOpen", L"JVCancel", L"JVClose"};
        if (raise) {
            error->bstrSource = ::SysAllocString(L"JVDTLab.JVLink");
            error->bstrDescription = ::SysAllocString(L"内部エラー");
            return DISP_E_EXCEPTION;
        }
        if (id == versionId) {
            if (flags != DISPATCH_PROPERTYGET || params->cArgs != 0)
                return DISP_E_MEMBERNOTFOUND;
            calls.push_back(L"version");
            result->vt = VT_BSTR;
            result->bstrVal = ::SysAllocString(version.c_str());
            return S_OK;
        }
        if (id < 1 || id > 8 || !(flags & DISPATCH_METHOD) || params->cNamedArgs != 0)
            return DISP_E_MEMBERNOTFOUND;
        // Arguments in their written order, each checked for its type.
        static const std::vector<std::vector<VARTYPE>> kTypes = {
            {}, {VT_BSTR}, {}, {VT_BSTR, VT_BSTR, VT_I4, VT_I4 | VT_BYREF, VT_I4 | VT_BYREF, VT_BSTR | VT_BYREF},
            {}, {VT_BSTR | VT_BYREF, VT_I4 | VT_BYREF, VT_BSTR | VT_BYREF}, {VT_BSTR, VT_BSTR}, {}, {}};
        const std::vector<VARTYPE>& types = kTypes[static_cast<std::size_t>(id)];
        if (params->cArgs != types.size())
            return DISP_E_BADPARAMCOUNT;
        std::vector<VARIANTARG*> arg;
        std::wstring line = std::wstring(kNames[id]) + L"(";
        for (UINT i = 0; i < params->cArgs; ++i) {
            VARIANTARG* a = &params->rgvarg[params->cArgs - 1 - i];
            if (a->vt != types[i])
                return DISP_E_TYPEMISMATCH;
            arg.push_back(a);
            line += i ? L"," : L"";
            if (a->vt == VT_BSTR)
                line += std::wstring(a->bstrVal, ::SysStringLen(a->bstrVal));
            else if (a->vt == VT_I4)
                line += std::to_wstring(a->lVal);
            else if (a->vt == (VT_I4 | VT_BYREF))
                line += std::to_wstring(*a->plVal);
            else
                line += L"&";
        }
        calls.push_back(line + L")");

        auto setText = [](VARIANTARG* a, const std::wstring& text) {
            ::SysFreeString(*a->pbstrVal);
            *a->pbstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        };
        LONG code = 0;
        switch (id) {
        case 1: code = initResult; break;
        case 2: code = uiResult; break;
        case 3:
            *arg[3]->plVal = openReadCount;
            *arg[4]->plVal = openDownloadCount;
            setText(arg[5], openStamp);
            code = openResult;
            break;
        case 4:
            code = statusResults.empty() ? 0 : statusResults.front();
            if (statusResults.size() > 1)
                statusResults.pop_front();
            break;
        case 5:
            if (!reads.empty()) {
                const ReadAnswer r = reads.front();
                reads.pop_front();
                setText(arg[0], r.record);
                setText(arg[2], r.file);
                code = r.code;
            }
            break;
        case 6: code = rtOpenResult; break;
        case 7: return S_OK; // no result
        case 8: code = closeResult; break;
        }
        result->vt = VT_I4;
        result->lVal = code;
        return S_OK;
    }
};

std::string Bytes(const char* cp932)
{
    return std::string(cp932);
}

} // namespace

TEST(TJVLink, EveryOperationPassesItsArgumentsAndTakesItsOutputs)
{
    SpiedAllocations allocations;
    ASSERT_TRUE(allocations.registered);
    const std::size_t before = allocations.Live();
    ScriptedDispatch jv;
    {
        TJVLink link(&jv);
        EXPECT_EQ(jv.references, 2u);

        EXPECT_EQ(link.JVInit(JVSoftwareId()), 0);
        jv.version = L"0510";
        EXPECT_EQ(link.JVLinkVersion(), "0510");
        EXPECT_EQ(link.JVSetUIProperties(), 0);

        jv.openReadCount = 31;
        jv.openDownloadCount = 4;
        jv.openStamp = L"20261207235959";
        std::int32_t reads = -7, downloads = -7;
        std::string stamp = "old";
        EXPECT_EQ(link.JVOpen("RACERCVN", "20261129000000", 2, reads, downloads, stamp), 0);
        EXPECT_EQ(reads, 31);
        EXPECT_EQ(downloads, 4);
        EXPECT_EQ(stamp, "20261207235959");

        jv.statusResults = {1, 4};
        EXPECT_EQ(link.JVStatus(), 1);
        EXPECT_EQ(link.JVStatus(), 4);

        // Full-width and half-width characters, and 表 whose second CP932
        // byte is "\": the record is CP932 before anything slices it, and
        // the answer is its length in CP932 bytes.
        jv.reads = {{-3, L"", L""},
                    {11, L"RA東京ﾃﾞｰﾀ表\r\n", L"RAVN2026120720261207.jvd"},
                    {-1, L"", L""},
                    {0, L"", L""}};
        std::string buff, file;
        std::int32_t size = 60000;
        EXPECT_EQ(link.JVRead(buff, size, file), -3);
        EXPECT_EQ(link.JVRead(buff, size, file), 14);
        EXPECT_EQ(buff, Bytes("RA\x93\x8C\x8B\x9E\xC3\xDE\xB0\xC0\x95\x5C\r\n"));
        EXPECT_EQ(file, "RAVN2026120720261207.jvd");
        EXPECT_EQ(size, 60000);
        EXPECT_EQ(link.JVRead(buff, size, file), -1);
        EXPECT_EQ(link.JVRead(buff, size, file), 0);

        link.JVCancel();
        EXPECT_EQ(link.JVClose(), 0);
        EXPECT_EQ(link.JVRTOpen("0B12", "20261207"), 0);
        EXPECT_EQ(link.JVClose(), 0);
        EXPECT_EQ(allocations.Live(), before) << "a BSTR or VARIANT was not freed";
    }
    EXPECT_EQ(jv.references, 1u);
    EXPECT_EQ(jv.lookups[L"JVClose"], 1) << "each name is looked up once";

    const std::vector<std::wstring> expected = {
        L"JVInit(SA510327/SD884106/tkvmrw/Version 1.40)",
        L"version",
        L"JVSetUIProperties()",
        L"JVOpen(RACERCVN,20261129000000,2,0,0,&)",
        L"JVStatus()",
        L"JVStatus()",
        L"JVRead(&,60000,&)",
        L"JVRead(&,60000,&)",
        L"JVRead(&,60000,&)",
        L"JVRead(&,60000,&)",
        L"JVCancel()",
        L"JVClose()",
        L"JVRTOpen(0B12,20261207)",
        L"JVClose()",
    };
    EXPECT_EQ(jv.calls, expected);
}

TEST(TJVLink, ErrorCodesAndFailedCallsComeBackAsCodes)
{
    SpiedAllocations allocations;
    ASSERT_TRUE(allocations.registered);
    const std::size_t before = allocations.Live();
    ScriptedDispatch jv;
    {
        TJVLink link(&jv);
        jv.initResult = -103;
        EXPECT_EQ(link.JVInit(" x"), -103);
        jv.uiResult = -100;
        EXPECT_EQ(link.JVSetUIProperties(), -100);

        // -1 (nothing newer) still hands back the outputs.
        jv.openResult = -1;
        jv.openStamp = L"00000000000000";
        std::int32_t reads = 0, downloads = 0;
        std::string stamp;
        EXPECT_EQ(link.JVOpen("RACERCVN", "20261129000000", 2, reads, downloads, stamp), -1);
        EXPECT_EQ(stamp, "00000000000000");
        jv.openResult = -202;
        EXPECT_EQ(link.JVOpen("RACERCVN", "20261129000000", 2, reads, downloads, stamp), -202);

        jv.statusResults = {-502};
        EXPECT_EQ(link.JVStatus(), -502);
        jv.reads = {{-203, L"", L""}, {-503, L"", L"missing.jvd"}};
        std::string buff = "old", file;
        std::int32_t size = 60000;
        EXPECT_EQ(link.JVRead(buff, size, file), -203);
        EXPECT_EQ(buff, "");
        EXPECT_EQ(link.JVRead(buff, size, file), -503);
        jv.rtOpenResult = -1;
        EXPECT_EQ(link.JVRTOpen("0B12", "20261207"), -1);
        jv.closeResult = -201;
        EXPECT_EQ(link.JVClose(), -201);

        EXPECT_EQ(link.CallFailure(), "") << "an error code is the component's own answer";

        // The component raising an error: the call answers JV-Link's
        // internal error code and keeps the HRESULT for the message; the
        // version reads as empty (below "0490").
        jv.raise = true;
        const std::string raised = SJ("JV-Link 内部エラー (0x80020009)");
        EXPECT_EQ(link.JVInit(JVSoftwareId()), TJVLink::kCallFailed);
        EXPECT_EQ(link.CallFailure(), raised);
        EXPECT_EQ(link.JVOpen("RACERCVN", "20261129000000", 2, reads, downloads, stamp), TJVLink::kCallFailed);
        EXPECT_EQ(link.JVRead(buff, size, file), TJVLink::kCallFailed);
        EXPECT_EQ(link.CallFailure(), raised);
        EXPECT_EQ(link.JVLinkVersion(), "");
        link.JVCancel();
        EXPECT_EQ(link.CallFailure(), raised);
        jv.raise = false;
        EXPECT_EQ(link.JVClose(), -201);
        EXPECT_EQ(link.CallFailure(), "");

        // A download whose JVOpen fails inside the component shows the
        // HRESULT, not a bare internal error code.
        {
            test::TempDir base;
            StoredRaceFiles files(base.path());
            struct Boxes : ReadLoopNotifier {
                void Information(const std::string& text) override { shown.push_back(text); }
                std::vector<std::string> shown;
            } boxes;
            std::atomic<bool> cancel {false};
            const DateTime now {2026, 12, 7, 20, 0, 0};
            JVDownload download(link, files, boxes, [now] { return now; }, cancel);
            jv.raise = true;
            EXPECT_FALSE(download.Start(now));
            jv.raise = false;
            ASSERT_GE(boxes.shown.size(), 2u);
            EXPECT_EQ(boxes.shown[1], SJ("JVOpenエラー:JV-Link 内部エラー (0x80020009)"));
        }
        EXPECT_EQ(allocations.Live(), before) << "a BSTR or VARIANT was not freed";
    }
    EXPECT_EQ(jv.references, 1u);
}

// A component that does not know the version property's name still answers
// at its dispatch identifier 16.
TEST(TJVLink, VersionIsAskedForByNameThenAt16)
{
    ScriptedDispatch jv;
    TJVLink named(&jv);
    jv.version = L"0520";
    EXPECT_EQ(named.JVLinkVersion(), "0520");

    ScriptedDispatch old;
    old.versionHasName = false;
    old.versionId = 16;
    TJVLink byNumber(&old);
    EXPECT_EQ(byNumber.JVLinkVersion(), "0490");
    EXPECT_EQ(old.calls, std::vector<std::wstring> {L"version"});
}

// The download's read loop through the adapter: the wide record texts are
// stored as the CP932 bytes the data service sent.
TEST(TJVLink, DownloadThroughTheAdapterStoresCp932Records)
{
    const auto wide = [](const std::string& cp932) {
        std::wstring w(cp932.size(), L'\0');
        w.resize(static_cast<std::size_t>(::MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), w.data(), static_cast<int>(w.size()))));
        return w;
    };
    test::RecordSpec raSpec, seSpec;
    seSpec.kind = "SE";
    const std::string ra = test::MakeRecord(raSpec), se = test::MakeRecord(seSpec);
    ScriptedDispatch jv;
    jv.openReadCount = 1;
    jv.openStamp = L"20060529120000";
    jv.reads = {{1, wide(ra), L"RAVN.jvd"}, {1, wide(se), L"RAVN.jvd"}, {-1, L"", L""}, {0, L"", L""}};
    TJVLink link(&jv);
    test::TempDir base;
    EnsureBaseFolders(base.path());
    StoredRaceFiles files(base.path());
    ReadLoopNotifier notifier;
    std::atomic<bool> cancel {false};
    const DateTime now {2006, 5, 29, 20, 0, 0};
    JVDownload download(link, files, notifier, [now] { return now; }, cancel);
    EXPECT_FALSE(download.Start(now));
    EXPECT_EQ(download.LastOutcome(), JVDownload::Outcome::Completed);

    std::string stored;
    ASSERT_TRUE(fs::ReadFile(base.path() + "\\Data\\" + SJ("2006年05月28日東京.jvRA"), stored));
    ASSERT_GE(stored.size(), 44u);
    EXPECT_EQ(stored.substr(32, 12), SJ("日本ダービー"));  // the race name, sliced by CP932 byte position
    ASSERT_TRUE(fs::ReadFile(base.path() + "\\Data\\" + SJ("2006年05月28日東京.jvSEr"), stored));
    EXPECT_NE(stored.find(se.substr(0, se.size() - 2)), std::string::npos);
}

// Wine has no JV-Link: the presence test fails for real, the program never
// falls back to the stand-in, and the tool says how to get JV-Link.
TEST(TJVLink, NotInstalledIsReportedAndNeverReplacedByTheStandIn)
{
    EXPECT_TRUE(SystemHasJVLink());
    EXPECT_EQ(TJVLink::Create(), nullptr);
    test::TempDir dir;
    EXPECT_EQ(CreateJVLink(dir.path()), nullptr);

    std::string out, err;
    const std::u8string base = dir.native().u8string();
    EXPECT_EQ(test::RunTool({"import-jv", std::string(base.begin(), base.end()), "--jvlink"}, out, &err), 1);
    EXPECT_EQ(err, "JRA-VANのホームページより【JV-Link】を入手し、インストールしてください。\n");
    EXPECT_FALSE(std::filesystem::exists(dir.native() / "tervan.ini"));
}
