#include <cstdio>

int main()
{
    std::fputs("zel-sim: not built yet\n", stderr);
    return 1;
}
