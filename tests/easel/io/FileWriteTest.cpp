// The one helper every output file goes through: what replacing a file
// keeps (its permissions, a symbolic link in its place), what it refuses,
// and which of easel's temporary files it cleans up.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "io/FileWrite.h"

namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeText(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

mode_t modeOf(const fs::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_mode & 07777;
}

std::set<std::string> namesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

// The id of a process that has ended (and been waited for).
pid_t goneProcess() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return pid;
}

class FileWrite : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("easel-filewrite-" + std::to_string(::getpid()));
    std::string error;
    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
};

TEST_F(FileWrite, ReplacingAFileKeepsItsPermissionsAndALinkStaysALink) {
    // A new file gets the default permissions (the umask applies).
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(easel::writeFileAtomically((dir / "new.txt").string(), "new", error)) << error;
    EXPECT_EQ(modeOf(dir / "new.txt"), 0644u);
    ::umask(mask);

    for (const mode_t mode : {0600u, 0640u, 0755u}) {
        const fs::path p = dir / "kept.txt";
        writeText(p, "old");
        ::chmod(p.c_str(), mode);
        ASSERT_TRUE(easel::writeFileAtomically(p.string(), "replaced", error)) << error;
        EXPECT_EQ(modeOf(p), mode);
        EXPECT_EQ(readText(p), "replaced");
    }

    // Links, absolute and relative (from the link's own folder), and a chain
    // of them: each stays a link, the file at the end is replaced.
    fs::create_directories(dir / "real");
    fs::create_directories(dir / "links");
    writeText(dir / "real" / "target.json", "old");
    ::chmod((dir / "real" / "target.json").c_str(), 0600);
    fs::create_symlink(dir / "real" / "target.json", dir / "links" / "absolute.json");
    fs::create_symlink("../real/target.json", dir / "links" / "relative.json");
    fs::create_symlink("relative.json", dir / "links" / "chain.json");
    for (const char* link : {"absolute.json", "relative.json", "chain.json"}) {
        const fs::path p = dir / "links" / link;
        ASSERT_TRUE(easel::writeFileAtomically(p.string(), std::string("through ") + link, error)) << error;
        EXPECT_TRUE(fs::is_symlink(p)) << link;
        EXPECT_EQ(readText(dir / "real" / "target.json"), std::string("through ") + link);
        EXPECT_EQ(modeOf(dir / "real" / "target.json"), 0600u);
    }
    // A link to a file not made yet makes it where the link points.
    fs::create_symlink("later.json", dir / "links" / "dangling.json");
    ASSERT_TRUE(easel::writeFileAtomically((dir / "links" / "dangling.json").string(), "made", error)) << error;
    EXPECT_EQ(readText(dir / "links" / "later.json"), "made");
    EXPECT_TRUE(fs::is_symlink(dir / "links" / "dangling.json"));
    // Nothing else is left behind.
    EXPECT_EQ(namesIn(dir / "links"),
              (std::set<std::string>{"absolute.json", "relative.json", "chain.json", "dangling.json", "later.json"}));
}

TEST_F(FileWrite, RefusedDestinationsSayWhyAndLeaveNothing) {
    fs::create_directories(dir / "folder");
    fs::create_symlink("loop-b", dir / "loop-a");
    fs::create_symlink("loop-a", dir / "loop-b");
    const struct {
        fs::path path;
        const char* says;
    } cases[] = {
        {dir / "folder", "it is a folder"},
        {dir / "missing" / "out.json", "does its folder exist?"},
        {dir / "loop-a", "cannot write"},
    };
    for (const auto& c : cases) {
        error.clear();
        EXPECT_FALSE(easel::writeFileAtomically(c.path.string(), "text", error)) << c.path;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
    EXPECT_EQ(namesIn(dir), (std::set<std::string>{"folder", "loop-a", "loop-b"}));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));

    // The folder check makes a missing folder and says when one cannot be made.
    EXPECT_TRUE(easel::checkFolderWritable((dir / "made" / "deeper").string(), error)) << error;
    EXPECT_TRUE(fs::is_empty(dir / "made" / "deeper"));
    writeText(dir / "plain", "a file, not a folder");
    EXPECT_FALSE(easel::checkFolderWritable((dir / "plain" / "sub").string(), error));
    EXPECT_NE(error.find(dir.string()), std::string::npos) << error;

    // Contents past the limit given are refused whole; the file keeps what it held.
    const auto pieces = [](int n) {
        return [n](const easel::FilePieceSink& sink) {
            for (int i = 0; i < n; ++i) sink("abcd");
        };
    };
    EXPECT_FALSE(easel::writeFileAtomically((dir / "plain").string(), pieces(3), error, 11));
    EXPECT_NE(error.find("more than 11 bytes (the limit of a file easel reads)"), std::string::npos) << error;
    EXPECT_EQ(readText(dir / "plain"), "a file, not a folder");
    EXPECT_TRUE(easel::writeFileAtomically((dir / "plain").string(), pieces(3), error, 12)) << error;
    EXPECT_EQ(readText(dir / "plain"), "abcdabcdabcd");
    EXPECT_EQ(namesIn(dir), (std::set<std::string>{"folder", "loop-a", "loop-b", "made", "plain"}));
}

TEST_F(FileWrite, LeftoversOfAProcessThatHasGoneAreRemovedOthersStay) {
    const std::string gone = std::to_string(goneProcess());
    const std::string alive = std::to_string(::getppid());
    const std::string mine = std::to_string(::getpid());
    const std::set<std::string> stay = {
        ".out.json.easel-tmp-" + alive + "-0",        // a live process may be writing it
        ".out.json.easel-tmp-" + mine + "-0",         // so may another thread of this one
        ".other.json.easel-tmp-" + gone + "-0",       // another destination's
        "out.json.tmp-Ab12Cd",                        // not recognisably easel's
        ".out.json.easel-tmp-" + gone + "-x",         // not of easel's form
    };
    for (const auto& name : stay) writeText(dir / name, "partial");
    writeText(dir / (".out.json.easel-tmp-" + gone + "-0"), "partial");
    writeText(dir / (".out.json.easel-tmp-" + gone + "-17"), "partial");
    ASSERT_TRUE(easel::writeFileAtomically((dir / "out.json").string(), "complete", error)) << error;
    std::set<std::string> expected = stay;
    expected.insert("out.json");
    EXPECT_EQ(namesIn(dir), expected);
    EXPECT_EQ(readText(dir / "out.json"), "complete");
}

}  // namespace
