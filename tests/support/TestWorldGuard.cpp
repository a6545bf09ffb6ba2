// Every test removes and rewrites files in HOME, the XDG folders and the
// device bench (user folders, caches, the one-time folder move, the
// simulated devices' memory). Run by hand, without tests/run-test.sh, it
// would do so in the developer's own home and on the real bench. So a test
// refuses to start unless HOME, and each of the folders below that is set,
// lies inside the temporary folder that the runner made for it (or one a
// test made for a child it starts), all seen with every link and "." or
// ".." resolved (HOME=/x/../.. is not inside /x). Plain C++: the device
// library's tests have it too.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

// The path with links and "." and ".." resolved; empty when it names
// nothing or cannot be resolved. A path not made yet is its nearest existing
// parent resolved, with the rest added and its "." and ".." folded, as the
// folders would be made.
std::string resolved(const char* path)
{
    if (path == nullptr || *path == '\0')
        return {};
    std::error_code error;
    const std::filesystem::path out = std::filesystem::weakly_canonical(path, error);
    return error ? std::string() : out.string();
}

// Whether path lies strictly inside one of the worlds: the folders, separated
// by ":", that DIZADI_TEST_TMP names (the runner's, and one a test makes on
// another file system for a child it starts). None may be "/" or missing.
bool insideWorld(const std::string& path)
{
    const char* list = std::getenv("DIZADI_TEST_TMP");
    if (list == nullptr || *list == '\0')
        return false;
    const std::string all(list);
    bool inside = false;
    for (std::string::size_type from = 0; from <= all.size();) {
        const std::string::size_type end = std::min(all.find(':', from), all.size());
        const std::string world = resolved(all.substr(from, end - from).c_str());
        if (world.empty() || world == "/")
            return false;
        inside = inside
                 || (path.size() > world.size() + 1 && path.compare(0, world.size() + 1, world + '/') == 0);
        from = end + 1;
    }
    return inside;
}

[[gnu::constructor(101)]] void refuseOutsideTestWorld()
{
    bool inside = insideWorld(resolved(std::getenv("HOME")));
    // The folders that stand in for HOME's own where they are set.
    for (const char* name : {"HIDUSB_BENCH", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"}) {
        const char* value = std::getenv(name);
        if (inside && value != nullptr && *value != '\0')
            inside = insideWorld(resolved(value));
    }
    if (inside)
        return;
    std::fprintf(stderr,
                 "refused: this test changes files in HOME, the XDG folders and on the device bench; run it "
                 "through tests/run-test.sh (ctest does), which gives it a temporary HOME and bench\n");
    std::_Exit(2);
}

}  // namespace
