// The tests' main where they start the tools: the programs speak English, as
// the tests expect, whatever the machine's locale, unless a test says otherwise.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv)
{
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::unsetenv("LANGUAGE");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
