#include <cstdio>

int main() {
    std::fputs("usage: kovet info [--json] FILE | kovet convert IN -o OUT.kvt\n", stderr);
    return 2;
}
