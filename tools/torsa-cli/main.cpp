#include <cstdio>

int main()
{
    std::fputs("torsa-cli: not built yet\n", stderr);
    return 64;
}
