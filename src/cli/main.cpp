// The terminal program: wires a terminal or answer-script port to a Session and runs the loop.
#include <cstdio>

int main(int argc, char** argv) {
    std::puts("zuva");
    return 0;
}
