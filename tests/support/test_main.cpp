// Entry point of the test programs without windows.
#include "TestProcess.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    fl::test::prepareTestProcess();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
