#include <cstdio>
#include <cstring>

namespace {
void printUsage(FILE *out)
{
    std::fputs("usage: yomora-cli <command> [options]\n"
               "\n"
               "A headless tool over the Yomora engine.\n"
               "\n"
               "commands:\n"
               "  help        show this text\n",
               out);
}
} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
        printUsage(stdout);
        return argc < 2 ? 1 : 0;
    }
    std::fprintf(stderr, "yomora-cli: unknown command '%s'\n\n", argv[1]);
    printUsage(stderr);
    return 2;
}
