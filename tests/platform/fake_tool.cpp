// A stand-in for faults no real tool produces on demand: huge output, zero bytes, a hang.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "bytes") {  // bytes N: N bytes of a repeating pattern on stdout
        long remaining = std::atol(argv[2]);
        char block[8192];
        for (size_t i = 0; i < sizeof block; ++i)
            block[i] = static_cast<char>('a' + i % 26);
        while (remaining > 0) {
            long n = remaining < static_cast<long>(sizeof block) ? remaining : sizeof block;
            if (::write(1, block, n) != n)
                return 1;
            remaining -= n;
        }
        return 0;
    }
    if (mode == "zero") {  // text with a zero byte inside
        static const char text[] = "before\0after";
        return ::write(1, text, sizeof text - 1) == sizeof text - 1 ? 0 : 1;
    }
    if (mode == "both") {  // one line on each stream, in a known order
        std::fputs("out line\n", stdout);
        std::fflush(stdout);
        std::fputs("error: err line\n", stderr);
        return 3;
    }
    if (mode == "hang" || mode == "devices") {  // says something, then never ends
        std::fputs("started\n", stdout);
        std::fflush(stdout);
        for (;;)
            ::pause();
    }
    if (mode == "quiet") {  // closes its output, then never ends
        ::close(1);
        ::close(2);
        for (;;)
            ::pause();
    }
    if (mode == "upload") {  // upload FILE MS: reads FILE, is silent for MS ms, says Success
        std::FILE* file = std::fopen(argv[2], "rb");
        char block[8192];
        while (file != nullptr && std::fread(block, 1, sizeof block, file) > 0) {
        }
        ::usleep(static_cast<useconds_t>(std::atol(argv[3]) * 1000));
        std::puts("Success");
        return file != nullptr && std::fclose(file) == 0 ? 0 : 1;
    }
    if (mode == "env") {  // env NAME: the variable's value
        const char* value = std::getenv(argv[2]);
        std::puts(value != nullptr ? value : "(unset)");
        return 0;
    }
    if (mode == "stdin") {  // whether stdin ends at once
        char c;
        std::puts(::read(0, &c, 1) == 0 ? "end of file" : "more");
        return 0;
    }
    if (mode == "tty") {
        std::puts(::isatty(1) ? "terminal" : "pipe");
        return 0;
    }
    if (mode == "args") {
        for (int i = 2; i < argc; ++i)
            std::printf("[%s]\n", argv[i]);
        return 0;
    }
    return 2;
}
