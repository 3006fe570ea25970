// The main of every test program: widget tests run without a display on Qt's offscreen platform,
// under one application object; a warning of Qt fails the test it comes in.
#include "qt_messages.h"
#include "znq_application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    znq::TApplication app(argc, argv);
    znq::testing_support::FailOnQtWarnings(
        [](const std::string& message) { ADD_FAILURE() << message; });
    return RUN_ALL_TESTS();
}
