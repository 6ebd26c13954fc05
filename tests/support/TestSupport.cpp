#include "support/TestSupport.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "platform/FileSystem.h"

namespace tervan::test {

TempDir::TempDir()
{
    static std::atomic<int> counter {0};
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = std::filesystem::temp_directory_path()
            / ("tervan-test-" + std::to_string(rd() % 1000000) + "-" + std::to_string(counter++) + "-" + std::to_string(rd() % 100000));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

std::string TempDir::path() const
{
    return fs::FromNative(m_path);
}

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteAll(const std::filesystem::path& path, std::string_view contents)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::filesystem::path TestData(std::string_view relative)
{
    return std::filesystem::path(TERVAN_TEST_DATA) / relative;
}

std::filesystem::path SharedDir()
{
    return std::filesystem::path(TERVAN_SHARED_DIR);
}

} // namespace tervan::test
