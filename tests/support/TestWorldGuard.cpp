// Every test removes and rewrites files in HOME, the XDG folders and the
// device bench (user folders, caches, the one-time folder move, the
// simulated devices' memory). Run by hand, without tests/run-test.sh, it
// would do so in the developer's own home and on the real bench. So a test
// refuses to start unless HOME lies inside the temporary folder that the
// runner made for it, both seen with every link and "." or ".." resolved
// (HOME=/x/../.. is not inside /x). Plain C++: the device library's tests
// have it too.
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The path with links and "." and ".." resolved; empty when it names nothing.
std::string resolved(const char* path)
{
    if (path == nullptr || *path == '\0')
        return {};
    char* real = ::realpath(path, nullptr);
    if (real == nullptr)
        return {};
    std::string out(real);
    std::free(real);
    return out;
}

[[gnu::constructor(101)]] void refuseOutsideTestWorld()
{
    const std::string world = resolved(std::getenv("DIZADI_TEST_TMP"));
    const std::string home = resolved(std::getenv("HOME"));
    if (!world.empty() && world != "/" && home.compare(0, world.size() + 1, world + '/') == 0
        && home.size() > world.size() + 1)
        return;
    std::fprintf(stderr,
                 "refused: this test changes files in HOME and on the device bench; run it through "
                 "tests/run-test.sh (ctest does), which gives it a temporary HOME and bench\n");
    std::_Exit(2);
}

}  // namespace
