#include "app/CommandLine.h"
#include "app/Unattended.h"
#include "app/WindowCatalog.h"
#include "device/WindowClasses.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {
struct CommandLineCase {
    const char* name;
    QStringList arguments;
    bool accepted;
    QString captureFile;
    double after;
};

class CommandLineCases : public ::testing::TestWithParam<CommandLineCase> {};
} // namespace

TEST_P(CommandLineCases, AcceptsCaptureOptionsAndRefusesBadValues) {
    const CommandLineCase& c = GetParam();
    QString error;
    const auto options = ParseCommandLine(QStringList{"otk5530-eval"} + c.arguments, error);
    ASSERT_EQ(options.has_value(), c.accepted) << error.toStdString();
    if (!c.accepted) {
        EXPECT_FALSE(error.isEmpty());
        return;
    }
    EXPECT_EQ(options->captureFile, c.captureFile);
    EXPECT_EQ(options->captureAfter, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineCases,
    ::testing::Values(
        CommandLineCase{"Nothing", {}, true, "", 0},
        CommandLineCase{"Capture", {"--capture", "main.png", "--after", "2.5"}, true, "main.png", 2.5},
        CommandLineCase{"CaptureAtOnce", {"--capture", "main.png"}, true, "main.png", 0},
        CommandLineCase{"AfterNotANumber", {"--capture", "m.png", "--after", "soon"}, false, "", 0},
        CommandLineCase{"AfterNegative", {"--capture", "m.png", "--after", "-1"}, false, "", 0},
        CommandLineCase{"AfterBeyondTheTimersRange", {"--capture", "m.png", "--after", "1e10"}, false, "", 0},
        CommandLineCase{"AfterWithoutCapture", {"--after", "3"}, false, "", 0},
        CommandLineCase{"UnknownOption", {"--fast"}, false, "", 0},
        CommandLineCase{"StrayArgument", {"extra"}, false, "", 0}),
    [](const ::testing::TestParamInfo<CommandLineCase>& row) { return row.param.name; });

TEST(CommandLine, AdapterChoiceIsPassedOnForTheAdapterLibraryToCheck) {
    QString error;
    const auto chosen = ParseCommandLine({"otk5530-eval", "--adapter", "i2c:/dev/i2c-1"}, error);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->adapter, "i2c:/dev/i2c-1");
    const auto none = ParseCommandLine({"otk5530-eval"}, error);
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->adapter.isEmpty()); // the environment or the simulated board decides
    EXPECT_FALSE(ParseCommandLine({"otk5530-eval", "--adapter"}, error).has_value());
}

TEST(CommandLine, UnattendedOptionsNameTheWindowsAndTheLogFile) {
    QString error;
    const auto options = ParseCommandLine({"otk5530-eval", "--open", "frmRegMap, frmLimits", "--open",
                                           "frmAbout", "--continuous-read", "--log", "/tmp/run.csv"},
                                          error);
    ASSERT_TRUE(options.has_value()) << error.toStdString();
    EXPECT_EQ(options->openWindows, (QStringList{"frmRegMap", "frmLimits", "frmAbout"}));
    EXPECT_TRUE(options->continuousRead);
    EXPECT_EQ(options->logFile, "/tmp/run.csv");
    // The register map's box can only be ticked in an open register map.
    EXPECT_FALSE(ParseCommandLine({"otk5530-eval", "--continuous-read"}, error).has_value());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(ParseCommandLine({"otk5530-eval", "--log", ""}, error).has_value());
}

// The catalogue's keys, the windows' own names and what --open accepts must be one and the same.
TEST(CommandLine, EveryOpenableNameBuildsTheWindowOfThatNameAndOthersAreRefused) {
    const QStringList names{WindowClass::kRegMap,    WindowClass::kGraph,   WindowClass::kLimits,
                            WindowClass::kConfig,    WindowClass::kLogging, WindowClass::kSave,
                            WindowClass::kSWOptions, WindowClass::kAbout};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const std::unique_ptr<QWidget> window(CreateChildWindow(name).widget);
        ASSERT_TRUE(window);
        EXPECT_EQ(window->objectName(), name);
    }
    EXPECT_EQ(UnknownWindowClass(names), "");
    // Names are exact: the main window and the splash are no child windows.
    for (const QString bad : {"frmregmap", "frmMain", "frmSplash"}) {
        SCOPED_TRACE(bad.toStdString());
        EXPECT_EQ(UnknownWindowClass({WindowClass::kGraph, bad}), bad);
    }
}
