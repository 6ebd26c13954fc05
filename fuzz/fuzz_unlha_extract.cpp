// Whole-archive extraction into a temporary folder, with the name clean-up,
// stored folders and overwrite rules of TUnLha. Fails when anything is
// written outside the output folder or the archive itself is changed.
//
// The first input byte picks the options; the rest is the archive. Output
// files are capped at 1 MB by the file size limit, so that a few packed
// bytes claiming gigabytes cannot fill the disk: a write beyond it fails and
// ends that extraction as a write error.
#include "archive/UnLha.h"
#include "platform/FileSystem.h"

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace {

namespace stdfs = std::filesystem;

// The fuzz tree: top/a/b holds the archive and the output folder "out", so
// that names climbing one or two levels land in the tree and are seen.
struct Tree {
    stdfs::path top, folder, archive, out;
    Tree()
    {
        char pattern[] = "/tmp/fuzz-unlha-XXXXXX";
        if (!::mkdtemp(pattern))
            std::abort();
        top = pattern;
        folder = top / "a" / "b";
        archive = folder / "arc.lzh";
        out = folder / "out";
        stdfs::create_directories(out);
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {1 << 20, 1 << 20};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
};

Tree& TheTree()
{
    static Tree tree;
    static const bool cleanUp = [] {
        std::atexit([] {
            std::error_code ec;
            stdfs::remove_all(TheTree().top, ec);
        });
        return true;
    }();
    (void)cleanUp;
    return tree;
}

std::string ReadFile(const stdfs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every path of the tree is the archive, a folder on the way to it, or lies
// in the output folder.
void CheckNothingOutside(const Tree& t)
{
    for (auto it = stdfs::recursive_directory_iterator(t.top); it != stdfs::recursive_directory_iterator(); ++it) {
        const stdfs::path& p = it->path();
        if (p == t.top / "a" || p == t.folder || p == t.archive || p == t.out)
            continue;
        const std::string rel = stdfs::relative(p, t.out).generic_string();
        if (rel.empty() || rel.rfind("..", 0) == 0) {
            std::fprintf(stderr, "written outside the output folder: %s\n", p.c_str());
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    Tree& t = TheTree();
    const std::uint8_t options = data[0];
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    {
        std::ofstream(t.archive, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    // A folder and a file that members may meet.
    stdfs::create_directories(t.out / "sub");
    std::ofstream(t.out / "old.txt") << "old";

    tervan::TUnLha unlha;
    unlha.ArchiveFile = tervan::fs::FromNative(t.archive);
    unlha.FileSpec = {"*.*"};
    // Bit 0: the archive's own folder, which holds only the archive and the
    // output folder, stands for ExtractDir.
    unlha.ExtractDir = (options & 1) ? std::string() : tervan::fs::FromNative(t.out);
    unlha.UseStoredDirs = (options & 2) == 0;
    unlha.CreateStoredDirs = (options & 4) != 0;
    unlha.RecurseDirs = (options & 8) == 0;
    unlha.OverwriteMode = (options & 16) ? tervan::omSkip : tervan::omOverwrite;
    unlha.RestoreFileAttr = (options & 32) != 0;
    unlha.Extract();

    if (ReadFile(t.archive) != bytes) {
        std::fprintf(stderr, "the archive was changed\n");
        std::abort();
    }
    if (options & 1) {
        // Extracted beside the archive: the archive's folder is the output.
        for (const auto& e : stdfs::directory_iterator(t.folder))
            if (e.path() != t.archive && e.path() != t.out)
                stdfs::remove_all(e.path());
    }
    CheckNothingOutside(t);
    stdfs::remove_all(t.out);
    stdfs::create_directories(t.out);
    return 0;
}
