// A separate process that copies one file over another as a backup does, so
// tests can kill it or limit its writes: copy_child FROM TO.
#include "platform/Files.h"

#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    // Under a file size limit the write fails instead of the process dying.
    std::signal(SIGXFSZ, SIG_IGN);
    std::string why;
    if (CopyFileReplacing(argv[1], argv[2], &why)) return 0;
    std::fprintf(stderr, "%s\n", why.c_str());
    return 1;
}
