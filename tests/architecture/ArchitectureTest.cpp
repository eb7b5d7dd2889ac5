// The tree's structure as docs/architecture.md draws it: every quoted include
// names its folder (unless it is beside the includer) and points down the
// layer table, the CMake targets link without a cycle, and no file or function
// outgrows the size guide.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kRoot = EASEL_SOURCE_DIR;

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string repoPath(const fs::path& p) { return fs::relative(p, kRoot).generic_string(); }

// The source folders the check reads: the plug-ins' and the host's code, and the tests.
std::vector<fs::path> sources(const std::vector<std::string>& exts) {
    std::vector<fs::path> out;
    for (const char* top : {"host", "frame", "plugins", "engine", "dialogs", "tools", "pointdrag", "resources", "easel",
                            "tests", "bench", "fuzz"}) {
        if (!fs::exists(kRoot / top)) continue;
        for (const auto& e : fs::recursive_directory_iterator(kRoot / top)) {
            const std::string path = e.path().generic_string();
            if (!e.is_regular_file() || path.find("node_modules") != std::string::npos ||
                path.find("/corpus/") != std::string::npos)
                continue;
            if (std::find(exts.begin(), exts.end(), e.path().extension().string()) != exts.end()) out.push_back(e.path());
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The layer table of docs/architecture.md: "| `folder` | `below`, `below` |" rows,
// each folder with the folders it may include.
std::map<std::string, std::set<std::string>> layerTable() {
    std::map<std::string, std::set<std::string>> table;
    std::istringstream doc(readText(kRoot / "docs/architecture.md"));
    const std::regex row(R"(^\|\s*`([a-z0-9/_]+)`\s*\|([^|]*)\|)"), name("`([a-z0-9/_]+)`");
    for (std::string line; std::getline(doc, line);) {
        std::smatch m;
        if (!std::regex_search(line, m, row)) continue;
        std::set<std::string>& below = table[m[1]];
        const std::string rest = m[2];
        for (auto it = std::sregex_iterator(rest.begin(), rest.end(), name); it != std::sregex_iterator(); ++it)
            below.insert((*it)[1]);
    }
    return table;
}

// The layer a file belongs to: the longest folder of the table that holds it.
std::string layerOf(const std::string& rel, const std::map<std::string, std::set<std::string>>& table) {
    std::string best;
    for (const auto& [folder, below] : table)
        if (rel.rfind(folder + "/", 0) == 0 && folder.size() > best.size()) best = folder;
    return best;
}

// The roots a folder-qualified include is written from.
const std::vector<fs::path> kIncludeRoots = {kRoot, kRoot / "easel"};

TEST(Architecture, IncludesNameTheirFolderAndPointDownTheLayers) {
    const auto table = layerTable();
    ASSERT_GE(table.size(), 10u) << "docs/architecture.md lost its layer table";
    const std::regex include(R"(^\s*#\s*include\s*\"([^\"]+)\")");
    std::vector<std::string> problems;
    for (const fs::path& file : sources({".h", ".cpp", ".hpp"})) {
        const std::string rel = repoPath(file), from = layerOf(rel, table);
        if (rel.rfind("tests/", 0) == 0 || rel.rfind("bench/", 0) == 0 || rel.rfind("fuzz/", 0) == 0) {
            // Tests may include any layer; their includes still name the folder.
        } else if (from.empty()) {
            problems.push_back(rel + ": in no layer of docs/architecture.md");
            continue;
        }
        std::istringstream text(readText(file));
        int n = 0;
        for (std::string line; std::getline(text, line);) {
            ++n;
            std::smatch m;
            if (!std::regex_search(line, m, include)) continue;
            const std::string name = m[1], where = rel + ":" + std::to_string(n) + ": \"" + name + "\"";
            fs::path target;
            if (fs::exists(file.parent_path() / name) && name.find('/') == std::string::npos) {
                target = file.parent_path() / name;  // beside the includer
            } else {
                for (const fs::path& r : kIncludeRoots)
                    if (target.empty() && name.find('/') != std::string::npos && fs::exists(r / name)) target = r / name;
                if (target.empty()) {
                    // Generated headers (assets made at build time) live in the build tree.
                    if (name.find('/') == std::string::npos && !fs::exists(file.parent_path() / name)) continue;
                    problems.push_back(where + " does not name its folder");
                    continue;
                }
            }
            const std::string to = layerOf(repoPath(fs::weakly_canonical(target)), table);
            if (from.empty() || to.empty() || to == from) continue;
            if (!table.at(from).count(to)) problems.push_back(where + ": layer " + from + " may not include " + to);
        }
    }
    EXPECT_TRUE(problems.empty()) << [&] {
        std::string s;
        for (const auto& p : problems) s += p + "\n";
        return s;
    }();
}

TEST(Architecture, TheLayerTableHasNoCycle) {
    const auto table = layerTable();
    std::map<std::string, int> state;  // 0 unseen, 1 on the path, 2 done
    std::vector<std::string> path;
    std::function<bool(const std::string&)> cyclic = [&](const std::string& f) {
        if (state[f] == 1) return true;
        if (state[f] == 2) return false;
        state[f] = 1;
        path.push_back(f);
        if (auto it = table.find(f); it != table.end())
            for (const auto& b : it->second)
                if (cyclic(b)) return true;
        path.pop_back();
        state[f] = 2;
        return false;
    };
    for (const auto& [f, below] : table) {
        ASSERT_FALSE(cyclic(f)) << "layers in a cycle through " << path.back();
        for (const auto& b : below) EXPECT_TRUE(table.count(b)) << f << " names an unknown layer " << b;
    }
}

// target_link_libraries(A [PUBLIC|PRIVATE|INTERFACE] B C ...) across every
// CMakeLists.txt of the project: the graph of what links what.
TEST(Architecture, TargetsLinkWithoutACycle) {
    std::map<std::string, std::set<std::string>> links;
    const std::regex link(R"(target_link_libraries\s*\(\s*([A-Za-z0-9_]+)([^)]*)\))"), word(R"([A-Za-z0-9_:]+)");
    for (auto it = fs::recursive_directory_iterator(kRoot); it != fs::recursive_directory_iterator(); ++it) {
        const fs::directory_entry& e = *it;
        const std::string name = e.path().filename().string();
        if (e.is_directory() && (name == "build" || name == "node_modules" || name[0] == '.' || name == "out")) {
            it.disable_recursion_pending();
            continue;
        }
        if (name != "CMakeLists.txt") continue;
        const std::string text = std::regex_replace(readText(e.path()), std::regex("#[^\n]*"), "");
        for (auto l = std::sregex_iterator(text.begin(), text.end(), link); l != std::sregex_iterator(); ++l) {
            const std::string rest = (*l)[2];
            for (auto w = std::sregex_iterator(rest.begin(), rest.end(), word); w != std::sregex_iterator(); ++w)
                links[(*l)[1]].insert((*w)[0]);
        }
    }
    ASSERT_GE(links.size(), 10u) << "the CMake files link fewer targets than the project has";
    std::map<std::string, int> state;  // 0 unseen, 1 on the path, 2 done
    std::vector<std::string> path;
    std::function<bool(const std::string&)> cyclic = [&](const std::string& t) {
        if (state[t] == 1) return true;
        if (state[t] == 2 || !links.count(t)) return false;
        state[t] = 1;
        path.push_back(t);
        for (const auto& d : links[t])
            if (cyclic(d)) return true;
        path.pop_back();
        state[t] = 2;
        return false;
    };
    for (const auto& [t, deps] : links) {
        const bool cycle = cyclic(t);
        std::string chain;
        for (const auto& p : path) chain += p + " -> ";
        ASSERT_FALSE(cycle) << "CMake targets link in a cycle: " << chain << "...";
    }
}

// Code with comments, strings and character literals blanked, lines kept.
std::string codeOnly(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        if (s.compare(i, 2, "//") == 0) {
            while (i < s.size() && s[i] != '\n') ++i;
        } else if (s.compare(i, 2, "/*") == 0) {
            const size_t end = std::min(s.size(), s.find("*/", i + 2) == std::string::npos ? s.size() : s.find("*/", i + 2) + 2);
            out.append(static_cast<size_t>(std::count(s.begin() + static_cast<long>(i), s.begin() + static_cast<long>(end), '\n')), '\n');
            i = end;
        } else if (s.compare(i, 2, "R\"") == 0 && (i == 0 || !(std::isalnum(static_cast<unsigned char>(s[i - 1])) || s[i - 1] == '_'))) {
            const size_t open = s.find('(', i);
            const std::string close = ")" + s.substr(i + 2, open - i - 2) + "\"";
            size_t end = s.find(close, open);
            end = end == std::string::npos ? s.size() : end + close.size();
            out += "\"\"";
            out.append(static_cast<size_t>(std::count(s.begin() + static_cast<long>(i), s.begin() + static_cast<long>(end), '\n')), '\n');
            i = end;
        } else if (s[i] == '"' || (s[i] == '\'' && !(i > 0 && std::isxdigit(static_cast<unsigned char>(s[i - 1]))))) {
            const char q = s[i];
            size_t j = i + 1;
            while (j < s.size() && s[j] != q && s[j] != '\n') j += s[j] == '\\' ? 2 : 1;
            out += q;
            out += q;
            i = j + 1;
        } else {
            out += s[i++];
        }
    }
    return out;
}

// Functions (and lambdas at file scope) longer than `limit` lines: blocks opened
// at namespace level after a head with a parenthesis, not initialisers of data;
// the tables of data a function holds (`= { ... }`) do not count.
std::vector<std::string> longFunctions(const fs::path& file, int limit) {
    // Preprocessor lines (with their continuations) are blanked: they are not code heads.
    std::string code;
    {
        std::istringstream in(codeOnly(readText(file)));
        bool continued = false;
        for (std::string l; std::getline(in, l);) {
            const size_t first = l.find_first_not_of(" \t");
            const bool directive = continued || (first != std::string::npos && l[first] == '#');
            continued = directive && !l.empty() && l.back() == '\\';
            code += (directive ? std::string() : l) + "\n";
        }
    }
    struct Open {
        bool ns;
        int line;         // where a function opened, else -1
        bool data;        // an initialiser: `= {`
        int dataLines;    // lines of initialisers inside a function: tables of data
    };
    std::vector<Open> stack;
    std::vector<std::string> out;
    std::string head;
    int line = 1;
    const std::regex nsHead(R"((^|\s)(namespace(\s+[A-Za-z_:]+)?|extern\s*"")\s*$)"), dataHead(R"(=\s*$)");
    for (char c : code) {
        if (c == '\n') {
            ++line;
            head += ' ';
        } else if (c == '{') {
            const bool atTop = std::all_of(stack.begin(), stack.end(), [](const Open& o) { return o.ns; });
            const bool isNs = atTop && std::regex_search(head, nsHead);
            const bool isFunction = atTop && !isNs && head.find('(') != std::string::npos && !std::regex_search(head, dataHead);
            stack.push_back({isNs, isFunction ? line : -1, std::regex_search(head, dataHead), 0});
            head.clear();
        } else if (c == '}') {
            if (!stack.empty()) {
                const Open o = stack.back();
                stack.pop_back();
                const bool inData = std::any_of(stack.begin(), stack.end(), [](const Open& x) { return x.data; });
                if (o.data && !inData) {
                    auto f = std::find_if(stack.rbegin(), stack.rend(), [](const Open& x) { return x.line > 0; });
                    if (f != stack.rend()) f->dataLines += line - o.line + 1;
                }
                const int length = line - o.line + 1 - o.dataLines;
                if (o.line > 0 && length > limit)
                    out.push_back(repoPath(file) + ":" + std::to_string(o.line) + " (" + std::to_string(length) + " lines)");
            }
            head.clear();
        } else if (c == ';') {
            head.clear();
        } else {
            head += c;
        }
    }
    return out;
}

TEST(Architecture, NoFileOrFunctionOutgrowsTheSizeGuide) {
    std::vector<std::string> problems;
    for (const fs::path& file : sources({".h", ".cpp", ".hpp", ".js", ".mjs"})) {
        const std::string text = readText(file);
        const long lines = std::count(text.begin(), text.end(), '\n');
        if (lines > 800) problems.push_back(repoPath(file) + " has " + std::to_string(lines) + " lines");
        if (file.extension() != ".js" && file.extension() != ".mjs")
            for (const auto& f : longFunctions(file, 100)) problems.push_back("function at " + f);
    }
    EXPECT_TRUE(problems.empty()) << [&] {
        std::string s;
        for (const auto& p : problems) s += p + "\n";
        return s;
    }();
}

}  // namespace
