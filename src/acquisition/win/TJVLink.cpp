#include "acquisition/win/TJVLink.h"

#include "platform/win/WinText.h"
#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"

#include <objbase.h>
#include <oaidl.h>
#include <oleauto.h>

#include <algorithm>
#include <iterator>

namespace tervan {
namespace {

// JV-Link's version property: asked for by name, and by the dispatch
// identifier it has always had when the name is not known.
constexpr wchar_t kVersionPropertyName[] = L"m_JVLinkVersion";
constexpr DISPID kVersionPropertyId = 16;

// A BSTR owned here: made from CP932 text, or filled by the component
// through Out(), and freed when it goes out of scope.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::string& cp932)
    {
        const std::wstring wide = win::Cp932ToWide(cp932);
        m_b = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    ~Bstr() { ::SysFreeString(m_b); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return m_b; }
    BSTR* Out() { return &m_b; }
    std::string ToCp932() const { return win::WideToCp932(std::wstring_view(m_b ? m_b : L"", ::SysStringLen(m_b))); }

private:
    BSTR m_b = nullptr;
};

// A VARIANT cleared when it goes out of scope.
struct Variant {
    VARIANT v;
    Variant() { ::VariantInit(&v); }
    ~Variant() { ::VariantClear(&v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
};

VARIANTARG Text(const Bstr& b)
{
    VARIANTARG a;
    ::VariantInit(&a);
    a.vt = VT_BSTR;
    a.bstrVal = b.get();
    return a;
}

VARIANTARG Number(LONG n)
{
    VARIANTARG a;
    ::VariantInit(&a);
    a.vt = VT_I4;
    a.lVal = n;
    return a;
}

VARIANTARG TextOut(Bstr& b)
{
    VARIANTARG a;
    ::VariantInit(&a);
    a.vt = VT_BSTR | VT_BYREF;
    a.pbstrVal = b.Out();
    return a;
}

VARIANTARG NumberOut(LONG& n)
{
    VARIANTARG a;
    ::VariantInit(&a);
    a.vt = VT_I4 | VT_BYREF;
    a.plVal = &n;
    return a;
}

// Invokes a member with the arguments in their written order (DISPPARAMS
// wants them last first). The arguments stay owned by the caller.
HRESULT Invoke(IDispatch* component, DISPID id, WORD flags, std::initializer_list<VARIANTARG> args, VARIANT* result)
{
    VARIANTARG reversed[6]; // JVOpen has the most arguments
    if (args.size() > std::size(reversed))
        return DISP_E_BADPARAMCOUNT;
    std::reverse_copy(args.begin(), args.end(), reversed);
    DISPPARAMS params {args.size() ? reversed : nullptr, nullptr, static_cast<UINT>(args.size()), 0};
    EXCEPINFO error {};
    UINT argError = 0;
    const HRESULT hr = component->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &error, &argError);
    if (hr == DISP_E_EXCEPTION) {
        if (error.pfnDeferredFillIn)
            error.pfnDeferredFillIn(&error);
        ::SysFreeString(error.bstrSource);
        ::SysFreeString(error.bstrDescription);
        ::SysFreeString(error.bstrHelpFile);
    }
    return hr;
}

// What the user is told of a call that failed inside the component:
// "JV-Link 内部エラー (0x80020009)", the HRESULT in eight hexadecimal digits.
std::string FailureText(HRESULT hr)
{
    return SJ("JV-Link 内部エラー (0x") + FormatText("%08lX", static_cast<unsigned long>(hr)) + ")";
}

// Whether a call succeeded; the failure text is kept for CallFailure, or
// cleared after a success.
bool Succeeded(HRESULT hr, std::string& failure)
{
    if (FAILED(hr)) {
        failure = FailureText(hr);
        return false;
    }
    failure.clear();
    return true;
}

// The result code a call answered, as a 32-bit number; a call that failed
// (or answered no number) keeps its HRESULT in `failure` and answers
// kCallFailed.
std::int32_t Code(HRESULT hr, VARIANT& result, std::string& failure)
{
    if (SUCCEEDED(hr))
        hr = ::VariantChangeType(&result, &result, 0, VT_I4);
    if (!Succeeded(hr, failure))
        return TJVLink::kCallFailed;
    return result.lVal;
}

} // namespace

void EnsureComApartment()
{
    thread_local bool initialised = false;
    if (initialised)
        return;
    // S_FALSE (already initialised here) and RPC_E_CHANGED_MODE (the
    // toolkit chose the apartment first) leave COM usable as well.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    initialised = true;
}

TJVLink::TJVLink(IDispatch* component)
    : m_component(component)
{
    m_component->AddRef();
}

TJVLink::~TJVLink()
{
    m_component->Release();
}

std::unique_ptr<TJVLink> TJVLink::Create()
{
    EnsureComApartment();
    CLSID clsid;
    if (FAILED(::CLSIDFromProgID(L"JVDTLab.JVLink", &clsid)))
        return nullptr;
    IDispatch* component = nullptr;
    if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(&component)))
        || !component)
        return nullptr;
    auto link = std::make_unique<TJVLink>(component);
    component->Release();
    return link;
}

long TJVLink::DispatchId(const wchar_t* name)
{
    const auto found = m_ids.find(name);
    if (found != m_ids.end())
        return found->second;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    if (FAILED(m_component->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
        return DISPID_UNKNOWN;
    m_ids.emplace(name, id);
    return id;
}

std::int32_t TJVLink::JVInit(const std::string& sid)
{
    const Bstr text(sid);
    Variant result;
    return Code(Invoke(m_component, DispatchId(L"JVInit"), DISPATCH_METHOD, {Text(text)}, &result.v), result.v, m_failure);
}

std::string TJVLink::JVLinkVersion()
{
    DISPID id = DispatchId(kVersionPropertyName);
    if (id == DISPID_UNKNOWN)
        id = kVersionPropertyId;
    Variant result;
    HRESULT hr = Invoke(m_component, id, DISPATCH_PROPERTYGET, {}, &result.v);
    if (SUCCEEDED(hr))
        hr = ::VariantChangeType(&result.v, &result.v, 0, VT_BSTR);
    if (!Succeeded(hr, m_failure))
        return std::string();
    return win::WideToCp932(std::wstring_view(result.v.bstrVal ? result.v.bstrVal : L"", ::SysStringLen(result.v.bstrVal)));
}

std::int32_t TJVLink::JVSetUIProperties()
{
    Variant result;
    return Code(Invoke(m_component, DispatchId(L"JVSetUIProperties"), DISPATCH_METHOD, {}, &result.v), result.v, m_failure);
}

std::int32_t TJVLink::JVOpen(const std::string& dataspec, const std::string& fromtime, std::int32_t option,
                             std::int32_t& readCount, std::int32_t& downloadCount, std::string& lastFileTimestamp)
{
    const Bstr kinds(dataspec), from(fromtime);
    LONG reads = 0, downloads = 0;
    Bstr stamp;
    Variant result;
    const HRESULT hr = Invoke(m_component, DispatchId(L"JVOpen"), DISPATCH_METHOD,
                              {Text(kinds), Text(from), Number(option), NumberOut(reads), NumberOut(downloads), TextOut(stamp)},
                              &result.v);
    readCount = reads;
    downloadCount = downloads;
    lastFileTimestamp = stamp.ToCp932();
    return Code(hr, result.v, m_failure);
}

std::int32_t TJVLink::JVStatus()
{
    Variant result;
    return Code(Invoke(m_component, DispatchId(L"JVStatus"), DISPATCH_METHOD, {}, &result.v), result.v, m_failure);
}

std::int32_t TJVLink::JVRead(std::string& buff, std::int32_t& size, std::string& fileName)
{
    Bstr record, name;
    LONG length = size;
    Variant result;
    const HRESULT hr = Invoke(m_component, DispatchId(L"JVRead"), DISPATCH_METHOD,
                              {TextOut(record), NumberOut(length), TextOut(name)}, &result.v);
    const std::int32_t code = Code(hr, result.v, m_failure);
    size = length;
    // The record is sliced by CP932 byte position: its length is that of
    // the converted text (never 0, which would end the read loop).
    buff = record.ToCp932();
    fileName = name.ToCp932();
    return code > 0 && !buff.empty() ? static_cast<std::int32_t>(buff.size()) : code;
}

std::int32_t TJVLink::JVRTOpen(const std::string& dataspec, const std::string& key)
{
    const Bstr kinds(dataspec), k(key);
    Variant result;
    return Code(Invoke(m_component, DispatchId(L"JVRTOpen"), DISPATCH_METHOD, {Text(kinds), Text(k)}, &result.v), result.v, m_failure);
}

void TJVLink::JVCancel()
{
    Variant result;
    Succeeded(Invoke(m_component, DispatchId(L"JVCancel"), DISPATCH_METHOD, {}, &result.v), m_failure);
}

std::int32_t TJVLink::JVClose()
{
    Variant result;
    return Code(Invoke(m_component, DispatchId(L"JVClose"), DISPATCH_METHOD, {}, &result.v), result.v, m_failure);
}

bool SystemHasJVLink()
{
    return true;
}

std::unique_ptr<IJVLink> CreateInstalledJVLink()
{
    return TJVLink::Create();
}

} // namespace tervan
