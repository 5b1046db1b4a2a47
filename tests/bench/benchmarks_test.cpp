#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <set>
#include <string>

namespace {

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// scripts/bench.sh runs what the build lists; a benchmark built outside bench/ (the console
// start-up one is built with the console's end-to-end tests) must be listed all the same.
TEST(BenchmarkList, NamesEveryBenchmarkTheBuildMakesAndEachExists) {
    std::ifstream list(TALMOR_BENCHMARK_LIST);
    ASSERT_TRUE(list.good()) << TALMOR_BENCHMARK_LIST;
    std::set<std::string> names;
    for (std::string path; std::getline(list, path);) {
        if (path.empty()) {
            continue;
        }
        struct stat info {};
        EXPECT_TRUE(::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IXUSR) != 0) << path;
        names.insert(BaseName(path));
    }
    std::set<std::string> expected = {"bench_console", "bench_login"};
    if (TALMOR_BENCH_BUILT) {
        expected.insert({"bench_cipher", "bench_intake", "bench_storage", "bench_call_storm",
                         "bench_contacts", "bench_search"});
    }
    for (const std::string& name : expected) {
        EXPECT_EQ(names.count(name), 1u) << name;
    }
}

} // namespace
