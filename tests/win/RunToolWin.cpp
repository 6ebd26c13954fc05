// RunTool on Windows: tervan-tool.exe started with CreateProcessW, its
// standard output and error written to files of a scratch folder.
#include "support/TestSupport.h"

#include <windows.h>

namespace tervan::test {
namespace {

std::wstring Wide(std::string_view utf8)
{
    std::wstring out(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0)), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), static_cast<int>(out.size()));
    return out;
}

// One argument quoted the way CommandLineToArgvW reads it back.
std::wstring Quoted(const std::wstring& arg)
{
    std::wstring q = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        q.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        q += c;
    }
    q.append(backslashes * 2, L'\\');
    return q + L"\"";
}

HANDLE Inheritable(const std::filesystem::path& path, DWORD access, DWORD disposition)
{
    SECURITY_ATTRIBUTES sa {sizeof sa, nullptr, TRUE};
    return ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

int RunTool(const std::vector<std::string>& args, std::string& out, std::string* err)
{
    TempDir scratch;
    const std::filesystem::path tool = std::filesystem::path(TERVAN_TOOL_PATH).make_preferred();
    std::wstring cmd = Quoted(tool.native());
    for (const std::string& a : args)
        cmd += L" " + Quoted(Wide(a));
    const auto outFile = scratch.native() / "out";
    const auto errFile = scratch.native() / "err";
    HANDLE outHandle = Inheritable(outFile, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE errHandle = Inheritable(errFile, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE inHandle = Inheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
    STARTUPINFOW si {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = inHandle;
    si.hStdOutput = outHandle;
    si.hStdError = errHandle;
    PROCESS_INFORMATION pi {};
    DWORD code = static_cast<DWORD>(-1);
    if (::CreateProcessW(tool.c_str(), cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        ::WaitForSingleObject(pi.hProcess, INFINITE);
        ::GetExitCodeProcess(pi.hProcess, &code);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
    ::CloseHandle(outHandle);
    ::CloseHandle(errHandle);
    ::CloseHandle(inHandle);
    out = ReadAll(outFile);
    if (err)
        *err = ReadAll(errFile);
    return static_cast<int>(code);
}

} // namespace tervan::test
