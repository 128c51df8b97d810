#include <cstdio>

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    std::puts("veltrix-settings: the settings bundle of the Veltrix lock-screen add-on");
    return 0;
}
