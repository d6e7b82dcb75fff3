// The launch dialog's procedure and the command line, without a display: the platform keeps the
// dialog's check states itself until a real dialog is built.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "shell/launch.h"
#include "shell/options.h"

namespace {

void click(int id)
{
    // An automatic radio button or checkbox changes its state before it notifies the dialog.
    if (id == IDC_WINDOWED) {
        sysDialogSetCheck(id, !sysDialogIsChecked(id));
    } else if (id != IDC_LAUNCH && id != IDC_EXIT) {
        sysDialogSetCheck(id, true);
    }
    launchDialogProc(DialogMessage::Command, id);
}

class LaunchDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        setLaunchDefaults();
        sysDialogSetCheck(IDC_WINDOWED, false);
        launchDialogProc(DialogMessage::InitDialog, 0);
    }
};

}  // namespace

TEST_F(LaunchDialog, DefaultsAre800x600FullScreenWithTheMiddleRadioChecked)
{
    EXPECT_TRUE(sysDialogIsChecked(IDC_RES_800));
    click(IDC_LAUNCH);
    EXPECT_TRUE(launchChosen);
    EXPECT_FALSE(exitChosen);
    EXPECT_EQ(screenWidth, 800);
    EXPECT_EQ(screenHeight, 600);
    EXPECT_TRUE(fullScreen);
}

TEST_F(LaunchDialog, WindowedTwiceLeavesFullScreenOn)
{
    click(IDC_WINDOWED);
    EXPECT_FALSE(fullScreen);
    click(IDC_WINDOWED);
    EXPECT_TRUE(fullScreen);
}

TEST_F(LaunchDialog, LastResolutionClickedWins)
{
    click(IDC_RES_1024);
    EXPECT_EQ(screenWidth, 1024);
    EXPECT_EQ(screenHeight, 768);
    click(IDC_RES_640);
    EXPECT_EQ(screenWidth, 640);
    EXPECT_EQ(screenHeight, 480);
    click(IDC_RES_1152);
    EXPECT_EQ(screenWidth, 1152);
    EXPECT_EQ(screenHeight, 864);
}

TEST_F(LaunchDialog, NoRadioCheckedChecks800AgainAndKeepsTheResolution)
{
    click(IDC_RES_640);
    sysDialogSetCheck(IDC_RES_640, false);
    launchDialogProc(DialogMessage::Command, 4242);
    EXPECT_TRUE(sysDialogIsChecked(IDC_RES_800));
    EXPECT_EQ(screenWidth, 640);
    EXPECT_EQ(screenHeight, 480);
}

TEST_F(LaunchDialog, OpensOnTheCommandLinesChoiceAndTheClicksStillDecide)
{
    // --windowed --resolution 1024x768: the dialog shows them checked...
    setLaunchDefaults();
    fullScreen = false;
    screenWidth = 1024;
    screenHeight = 768;
    launchDialogProc(DialogMessage::InitDialog, 0);
    EXPECT_TRUE(sysDialogIsChecked(IDC_RES_1024));
    EXPECT_FALSE(sysDialogIsChecked(IDC_RES_800));
    EXPECT_TRUE(sysDialogIsChecked(IDC_WINDOWED));
    // ...and what the person then picks is what plays.
    click(IDC_WINDOWED);
    click(IDC_RES_640);
    click(IDC_LAUNCH);
    EXPECT_TRUE(fullScreen);
    EXPECT_EQ(screenWidth, 640);
    EXPECT_EQ(screenHeight, 480);
}

TEST_F(LaunchDialog, ExitAndCloseChooseExit)
{
    click(IDC_EXIT);
    EXPECT_TRUE(exitChosen);
    EXPECT_FALSE(launchChosen);
    setLaunchDefaults();
    EXPECT_TRUE(launchDialogProc(DialogMessage::Close, 0));
    EXPECT_TRUE(exitChosen);
}

namespace {

bool parse(std::vector<std::string> args, Options* options, std::string* error)
{
    std::vector<char*> argv;
    static std::string program = "velmora";
    argv.push_back(program.data());
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    return parseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

}  // namespace

TEST(CommandLine, AcceptsEveryOptionWithGoodValues)
{
    Options options;
    std::string error;
    ASSERT_TRUE(
        parse({"--no-dialog", "--windowed", "--resolution", "1152x864", "--data", "/tmp", "--fps", "30", "--batch"},
              &options, &error))
        << error;
    EXPECT_TRUE(options.noDialog);
    EXPECT_TRUE(options.windowed);
    EXPECT_EQ(options.width, 1152);
    EXPECT_EQ(options.height, 864);
    EXPECT_EQ(options.dataDir, "/tmp");
    EXPECT_EQ(options.fps, 30);
    EXPECT_TRUE(options.batch);
}

TEST(CommandLine, RejectsUnknownOptionsAndBadValuesNamingThem)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},        {"--resolution", "800x601"}, {"--resolution"}, {"--fps", "0"},
        {"--fps", "12abc"}, {"--fps", "99999999999"},    {"--data", ""},   {"-x"}};
    for (const auto& args : bad) {
        Options options;
        std::string error;
        EXPECT_FALSE(parse(args, &options, &error)) << args[0];
        EXPECT_NE(error.find(args[0]), std::string::npos) << error;
    }
}
