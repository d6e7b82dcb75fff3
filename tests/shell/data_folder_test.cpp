// Finding the data without --data: the current folder first, then beside the executable, then the
// installed prefix; nothing found is an empty answer, never a guess.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "shell/data_folder.h"

namespace {

class DataFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/velmora-datafolder-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override
    {
        const std::string command = "rm -rf '" + root_ + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    std::string make(const std::string& relative)
    {
        std::string path = root_;
        size_t begin = 0;
        while (begin <= relative.size()) {
            const size_t slash = relative.find('/', begin);
            path = root_ + "/" + relative.substr(0, slash);
            mkdir(path.c_str(), 0777);
            if (slash == std::string::npos) {
                break;
            }
            begin = slash + 1;
        }
        return path;
    }
    std::string root_;
};

}  // namespace

TEST_F(DataFolder, LooksInTheCurrentFolderThenBesideTheProgramThenTheInstalledPrefix)
{
    const std::string current = make("work");
    const std::string bin = make("prefix/bin");
    const std::string installed = make("usr/share/velmora");
    const auto places = dataFolderCandidates(current, bin, installed);
    ASSERT_EQ(places.size(), 4u);
    EXPECT_EQ(places[0], current);
    EXPECT_EQ(places[1], root_ + "/prefix/share/velmora");
    EXPECT_EQ(places[2], bin + "/data");
    EXPECT_EQ(places[3], installed);

    // Nothing anywhere: no answer.
    EXPECT_EQ(findDataFolder(places), "");
    // Installed data only.
    make("usr/share/velmora/maps");
    EXPECT_EQ(findDataFolder(places), installed);
    // Data beside the program wins over the installed copy.
    make("prefix/share/velmora/pict");
    EXPECT_EQ(findDataFolder(places), root_ + "/prefix/share/velmora");
    // And the current folder wins over both, as the presentation always read its files from there.
    make("work/pict");
    EXPECT_EQ(findDataFolder(places), current);
}

TEST_F(DataFolder, AFolderWithoutPicturesOrScenesIsNotData)
{
    const std::string current = make("work/music");
    EXPECT_FALSE(looksLikeDataFolder(current));
    // A file named like a folder does not count either.
    const std::string file = root_ + "/work/pict";
    FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_FALSE(looksLikeDataFolder(root_ + "/work"));
    EXPECT_TRUE(dataFolderCandidates("", "", "").empty());
}

TEST_F(DataFolder, RelativeOutputPathsAreMadeAbsoluteAgainstTheStartingFolder)
{
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    EXPECT_EQ(absolutePath("out.mp4"), std::string(here) + "/out.mp4");
    EXPECT_EQ(absolutePath("./shots"), std::string(here) + "/shots");
    EXPECT_EQ(absolutePath("/tmp/x.mkv"), "/tmp/x.mkv");
    EXPECT_FALSE(executableDir().empty());
}
